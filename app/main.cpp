#include "runtime/services.h"
#include "ui/form1.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);

    // The window is laid out for Arial and Microsoft Sans Serif. Liberation Sans has Arial's
    // metrics; without this, Microsoft Sans Serif falls to a wider face and captions overflow.
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));

    kalvor::ui::Form1 window(kalvor::runtime::DesktopServices());
    window.Form_Load();
    return app.exec();
}
