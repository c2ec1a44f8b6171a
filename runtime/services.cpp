#include "runtime/services.h"

#include <QDesktopServices>
#include <QMessageBox>

namespace kalvor::runtime {

void ShowWarningBox(QWidget *parent, const QString &prompt, const QString &title) {
    QMessageBox box(QMessageBox::Warning, title, prompt, QMessageBox::Ok, parent);
    box.exec();
}

bool OpenInBrowser(const QUrl &address) {
    return QDesktopServices::openUrl(address);
}

Services DesktopServices() {
    return Services{ShowWarningBox, OpenInBrowser};
}

} // namespace kalvor::runtime
