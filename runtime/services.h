#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// The two platform services the window calls: a modal warning box and the launcher that
// hands the maker's address to the desktop's web browser. The window holds them as
// functions so that tests can put recorders in their place.
namespace kalvor::runtime {

// Shows a modal box with the exclamation icon, one OK button, the title and the prompt,
// and returns when the user has closed it.
using MessageBoxService =
    std::function<void(QWidget *parent, const QString &prompt, const QString &title)>;

// Opens the address in the desktop's web browser without a shell and without waiting for
// it; false when no browser could be started.
using LauncherService = std::function<bool(const QUrl &address)>;

// Asks a question with the buttons Sì and No; true for Sì.
using QuestionService =
    std::function<bool(QWidget *parent, const QString &question, const QString &title)>;
bool AskYesNo(QWidget *parent, const QString &question, const QString &title);

struct Services {
    MessageBoxService messageBox;
    LauncherService launcher;
    QuestionService question = AskYesNo;
};

void ShowWarningBox(QWidget *parent, const QString &prompt, const QString &title);
// How wide a warning box is at least, so that its whole title shows in the title bar.
int WarningBoxMinimumWidth(const QString &title);
bool OpenInBrowser(const QUrl &address);

// The real services: QMessageBox and QDesktopServices.
Services DesktopServices();

} // namespace kalvor::runtime
