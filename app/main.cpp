#include "app/fontconfig_warm_up.h"
#include "runtime/services.h"
#include "ui/qt/form1.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    // First of all, so that it overlaps Qt's own start: loading its libraries' plugins and
    // connecting to the display.
    kalvor::app::FontConfigWarmUp fontConfig;

    QApplication app(argc, argv);
    // Lets a desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.Kalvor"));

    kalvor::ui::InstallFontSubstitutions();
    kalvor::ui::InstallItalianTranslation();
    kalvor::ui::UseDesignedLook();
    kalvor::ui::PreloadGroupBoxFrame();

    fontConfig.Join();
    kalvor::ui::UseWindowFont();
    kalvor::ui::Form1 window(kalvor::runtime::DesktopServices());
    window.Form_Load();
    return app.exec();
}
