#include "runtime/services.h"
#include "ui/qt/form1.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    // Lets a desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.Kalvor"));

    kalvor::ui::InstallFontSubstitutions();
    kalvor::ui::InstallItalianTranslation();
    kalvor::ui::UseDesignedLook();
    kalvor::ui::UseWindowFont();

    kalvor::ui::Form1 window(kalvor::runtime::DesktopServices());
    window.Form_Load();
    return app.exec();
}
