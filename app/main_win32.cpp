#include "store/desk_files.h"
#include "store/files.h"
#include "store/places.h"
#include "ui/win32/form1.h"
#include "ui/win32/win32_text.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kalvor;

// The program's arguments, split as the C runtime splits them: quotes group blanks, and
// backslashes count only before a quote ("a\"b" is a"b, "a\\" is a\). CommandLineToArgvW
// would load the shell at every start.
std::vector<std::wstring> Arguments(const wchar_t *line) {
    std::vector<std::wstring> arguments;
    std::wstring argument;
    bool quoted = false;
    bool any = false;
    for (const wchar_t *at = line;; ++at) {
        std::size_t backslashes = 0;
        for (; *at == L'\\'; ++at) {
            ++backslashes;
        }
        if (*at == L'"') {
            argument.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 1) {
                argument += L'"';
            } else {
                quoted = !quoted;
            }
            any = true;
            continue;
        }
        argument.append(backslashes, L'\\');
        any = any || backslashes > 0;
        if (*at == L'\0' || (!quoted && (*at == L' ' || *at == L'\t'))) {
            if (any) {
                arguments.push_back(std::move(argument));
            }
            argument.clear();
            any = false;
            if (*at == L'\0') {
                return arguments;
            }
            continue;
        }
        argument += *at;
        any = true;
    }
}

// A line on standard error: the handle a script redirected, or the console of the program
// that started this one. A window program has neither when started from the desktop.
void WriteError(std::string_view text) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if ((error == nullptr || error == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        error = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    }
    if (error == nullptr || error == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string line = std::string(text) + "\r\n";
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode)) { // a console shows UTF-16, whatever its code page
        const std::wstring wide = win32::Widen(line);
        WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

// kalvor.exe --esporta-offerta FILE: the saved offer as CSV, with no window.
int ExportOffer(const std::vector<std::wstring> &arguments) {
    if (arguments.size() != 3) {
        WriteError("kalvor: uso: kalvor --esporta-offerta FILE.csv");
        return 2;
    }
    const std::optional<std::string> folder = store::OfferFolder(store::ProcessEnvironment());
    if (!folder) {
        WriteError("kalvor: la cartella dell'offerta è sconosciuta (APPDATA non è impostata)");
        return 1;
    }
    const store::ExportResult result =
        store::ExportSavedOffer(store::PathFromUtf8(*folder), std::filesystem::path(arguments[2]));
    if (!result.message.empty()) {
        WriteError(result.message);
    }
    return result.exitCode;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    if (const std::vector<std::wstring> arguments = Arguments(GetCommandLineW());
        arguments.size() >= 2 && arguments[1] == L"--esporta-offerta") {
        return ExportOffer(arguments);
    }
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);

    // Only the places are worked out here: the files are read after the first paint, the
    // offer when it is first needed.
    kalvor::win32::Form1 window(instance);
    const store::Environment environment = store::ProcessEnvironment();
    if (const std::optional<std::string> file = store::MaterialsFile(environment)) {
        window.UseOwnMaterials(
            std::make_shared<store::MaterialsOnDisk>(store::PathFromUtf8(*file)));
    }
    if (const std::optional<std::string> folder = store::OfferFolder(environment)) {
        window.UseOffer(std::make_shared<store::OfferOnDisk>(store::PathFromUtf8(*folder)));
    }
    if (!window.Form_Load(showCommand)) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
