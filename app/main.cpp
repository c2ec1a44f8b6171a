#include "app/fontconfig_warm_up.h"
#include "runtime/services.h"
#include "store/desk_files.h"
#include "store/places.h"
#include "ui/qt/form1.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char *argv[]) {
    namespace store = kalvor::store;
    const auto environment = store::ProcessEnvironment();
    const std::optional<std::string> offerFolder = store::OfferFolder(environment);
    // kalvor --esporta-offerta FILE: the saved offer as CSV, with no window at all.
    if (argc >= 2 && std::strcmp(argv[1], "--esporta-offerta") == 0) {
        if (argc != 3 || !offerFolder) {
            std::fputs("uso: kalvor --esporta-offerta FILE\n", stderr);
            return 2;
        }
        const store::ExportResult result = store::ExportSavedOffer(
            store::PathFromUtf8(*offerFolder), store::PathFromUtf8(argv[2]));
        if (!result.message.empty()) {
            std::fprintf(stderr, "%s\n", result.message.c_str());
        }
        return result.exitCode;
    }

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
    // The desk's files are read when first needed, after the window's first paint.
    if (const auto materials = store::MaterialsFile(environment)) {
        window.UseOwnMaterials(
            std::make_shared<store::MaterialsOnDisk>(store::PathFromUtf8(*materials)));
    }
    if (offerFolder) {
        window.UseOffer(std::make_shared<store::OfferOnDisk>(store::PathFromUtf8(*offerFolder)));
    }
    window.Form_Load();
    return app.exec();
}
