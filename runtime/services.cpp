#include "runtime/services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace kalvor::runtime {
namespace {

// Room beside a title for the window's own icon and buttons, which a window manager draws in
// the same bar.
constexpr int kTitleBarButtons = 120;

} // namespace

int WarningBoxMinimumWidth(const QString &title) {
    QFont titleFont = QApplication::font();
    titleFont.setBold(true); // the widest a title bar draws it
    return QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarButtons;
}

void ShowWarningBox(QWidget *parent, const QString &prompt, const QString &title) {
    QMessageBox box(QMessageBox::Warning, title, prompt, QMessageBox::Ok, parent);
    // A box is only as wide as its prompt; a window manager cuts a longer title to fit it
    // ("materia…zionato"). A spacer across the box's grid keeps the whole title in view.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(WarningBoxMinimumWidth(title), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

bool AskYesNo(QWidget *parent, const QString &question, const QString &title) {
    return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool OpenInBrowser(const QUrl &address) {
    return QDesktopServices::openUrl(address);
}

Services DesktopServices() {
    return Services{ShowWarningBox, OpenInBrowser, AskYesNo};
}

} // namespace kalvor::runtime
