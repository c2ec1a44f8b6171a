#include "ui/win32/offer_window.h"

#include "offer/texts.h"
#include "store/files.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/win32_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kalvor::win32 {
namespace {

constexpr int kDesignDpi = 96;
// Each column's width in pixels at 96 DPI, in the order of offer::kTableHeader.
constexpr std::array<int, offer::kTableHeader.size()> kColumnWidths{35, 150, 110, 110, 50,
                                                                    70, 95,  105, 120};
constexpr std::array<bool, offer::kTableHeader.size()> kNumberColumn{
    true, false, false, false, true, true, true, true, true};

struct Button {
    int id;
    const wchar_t *caption;
};
constexpr std::array<Button, 4> kButtons{{{kOfferRemove, L"Rimuovi"},
                                          {kOfferClear, L"Svuota"},
                                          {kOfferCopy, L"Copia"},
                                          {kOfferExport, L"Esporta..."}}};

template <class Function> Function LibraryFunction(const wchar_t *library, const char *name) {
    const HMODULE module = LoadLibraryW(library);
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// The user's Documents folder. The shell and COM are loaded only now, when an export asks:
// the program starts without them.
std::wstring DocumentsFolder() {
    using KnownFolderPath = HRESULT(WINAPI *)(const GUID &, DWORD, HANDLE, PWSTR *);
    using TaskMemFree = void(WINAPI *)(void *);
    static constexpr GUID kDocuments{
        0xFDD39AD0, 0x238F, 0x46AF, {0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7}};
    static const auto knownFolderPath =
        LibraryFunction<KnownFolderPath>(L"shell32.dll", "SHGetKnownFolderPath");
    static const auto taskMemFree = LibraryFunction<TaskMemFree>(L"ole32.dll", "CoTaskMemFree");
    std::wstring folder;
    PWSTR path = nullptr;
    if (knownFolderPath != nullptr && knownFolderPath(kDocuments, 0, nullptr, &path) == S_OK) {
        folder = path;
    }
    if (path != nullptr && taskMemFree != nullptr) {
        taskMemFree(path);
    }
    if (folder.empty()) {
        if (const wchar_t *profile = _wgetenv(L"USERPROFILE")) {
            folder = std::wstring(profile) + L"\\Documents";
        }
    }
    return folder;
}

// Where the user wants the CSV file, asked with the common Save dialog; empty when cancelled.
std::wstring AskExportFile(HWND owner, const std::wstring &defaultName) {
    using SaveFileName = BOOL(WINAPI *)(OPENFILENAMEW *);
    static const auto getSaveFileName =
        LibraryFunction<SaveFileName>(L"comdlg32.dll", "GetSaveFileNameW");
    if (getSaveFileName == nullptr) {
        return {};
    }
    std::wstring file = defaultName;
    file.resize(MAX_PATH * 4, L'\0');
    const std::wstring folder = DocumentsFolder();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"File CSV (*.csv)\0*.csv\0Tutti i file (*.*)\0*.*\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = L"Esporta l'offerta";
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!getSaveFileName(&dialog)) {
        return {};
    }
    file.resize(file.find(L'\0'));
    return file;
}

} // namespace

OfferWindow::OfferWindow(HINSTANCE instance, HWND owner, std::shared_ptr<form::OfferKeeper> keeper)
    : instance_(instance), owner_(owner), desk_(std::move(keeper)) {}

void OfferWindow::Add(const form::Recorded &line) {
    Tell(desk_.Add(line));
}

void OfferWindow::Show() {
    if (hwnd_ == nullptr && !Create()) {
        return;
    }
    const form::OfferDesk::Answer answer = desk_.Open();
    Refresh();
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
    Tell({false, answer.message});
}

void OfferWindow::Close() {
    if (hwnd_ != nullptr) {
        Cliente_LostFocus();
    }
}

bool OfferWindow::PreTranslate(const MSG &message) {
    if (hwnd_ == nullptr || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) {
        return false;
    }
    MSG copy = message;
    return IsDialogMessageW(hwnd_, &copy) != FALSE;
}

bool OfferWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(owner_, GCLP_HICON));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kOfferWindowClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    CreateWindowExW(0, kOfferWindowClass, Widen(form::kOfferTitle).c_str(), WS_OVERLAPPEDWINDOW,
                    CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner_, nullptr, instance_, this);
    if (hwnd_ == nullptr) {
        return false;
    }
    dpi_ = GetDeviceCaps(WindowDC(hwnd_).get(), LOGPIXELSY);
    MakeFont();

    const auto make = [this](DWORD exStyle, const wchar_t *type, const wchar_t *text, DWORD style,
                             int id) {
        const HWND control =
            CreateWindowExW(exStyle, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return control;
    };
    const HWND list = make(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                           WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, kOfferList);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (std::size_t n = 0; n < offer::kTableHeader.size(); ++n) {
        std::wstring title = Widen(offer::kTableHeader[n]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = kNumberColumn[n] ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = Scaled(kColumnWidths[n]);
        column.pszText = title.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, n, reinterpret_cast<LPARAM>(&column));
    }
    make(0, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, kOfferTotalWeight);
    make(0, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, kOfferTotalAmount);
    make(0, L"STATIC", L"Cliente:", 0, kOfferClientCaption);
    make(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kOfferClient);
    for (const Button &button : kButtons) {
        make(0, L"BUTTON", button.caption, WS_TABSTOP | BS_PUSHBUTTON, button.id);
    }

    int width = Scaled(20);
    for (const int column : kColumnWidths) {
        width += Scaled(column);
    }
    RECT frame{0, 0, width, Scaled(360)};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    return true;
}

int OfferWindow::Scaled(int pixels) const {
    return MulDiv(pixels, dpi_, kDesignDpi);
}

// The system's message font, at the window's DPI; the controls made so far take it.
void OfferWindow::MakeFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const int systemDpi = GetDeviceCaps(WindowDC(nullptr).get(), LOGPIXELSY);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi_, systemDpi);
    Font font(CreateFontIndirectW(&metrics.lfMessageFont));
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);
}

// The list takes what the totals, the client's row and the buttons leave, from the top.
void OfferWindow::Layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int margin = Scaled(8);
    const int line = Scaled(18);
    const int buttonHeight = Scaled(25);
    const int buttonWidth = Scaled(90);
    const int editHeight = Scaled(22);
    const int buttonsTop = client.bottom - margin - buttonHeight;
    const int clientTop = buttonsTop - margin - editHeight;
    const int amountTop = clientTop - margin - line;
    const int weightTop = amountTop - line;
    const int width = client.right - 2 * margin;
    const auto place = [this](int id, int x, int y, int w, int h) {
        MoveWindow(Item(id), x, y, std::max(w, 0), std::max(h, 0), TRUE);
    };
    place(kOfferList, margin, margin, width, weightTop - 2 * margin);
    place(kOfferTotalWeight, margin, weightTop, width, line);
    place(kOfferTotalAmount, margin, amountTop, width, line);
    place(kOfferClientCaption, margin, clientTop + Scaled(3), Scaled(50), line);
    place(kOfferClient, margin + Scaled(54), clientTop, Scaled(300), editHeight);
    for (std::size_t n = 0; n < kButtons.size(); ++n) {
        place(kButtons[n].id, margin + static_cast<int>(n) * (buttonWidth + Scaled(6)), buttonsTop,
              buttonWidth, buttonHeight);
    }
}

LRESULT CALLBACK OfferWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *self = static_cast<OfferWindow *>(
            reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<OfferWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->OnMessage(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT OfferWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        if (const auto *key = reinterpret_cast<const NMLVKEYDOWN *>(lParam);
            key->hdr.idFrom == kOfferList && key->hdr.code == LVN_KEYDOWN &&
            key->wVKey == VK_DELETE) {
            Rimuovi_Click();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_SIZE:
        Layout();
        return 0;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        MakeFont();
        const RECT &suggested = *reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_GETMINMAXINFO: {
        auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
        limits->ptMinTrackSize = {Scaled(420), Scaled(240)};
        return 0;
    }
    case WM_CLOSE: // hidden, not destroyed: the offer stays where the user left it
        Cliente_LostFocus();
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void OfferWindow::OnCommand(int control, UINT code) {
    switch (control) {
    case kOfferRemove:
        Rimuovi_Click();
        break;
    case kOfferClear:
        Svuota_Click();
        break;
    case kOfferCopy:
        Copia_Click();
        break;
    case kOfferExport:
        Esporta_Click();
        break;
    case kOfferClient:
        if (code == EN_KILLFOCUS) {
            Cliente_LostFocus();
        }
        break;
    case IDCANCEL: // Escape
        SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// The table, the totals and the client as the desk holds them now.
void OfferWindow::Refresh() {
    if (hwnd_ == nullptr) {
        return;
    }
    const offer::TableView view = desk_.View();
    const HWND list = Item(kOfferList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < view.rows.size(); ++row) {
        for (std::size_t column = 0; column < view.rows[row].size(); ++column) {
            std::wstring text = Widen(view.rows[row][column]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.iSubItem = static_cast<int>(column);
            item.pszText = text.data();
            SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetText(Item(kOfferTotalWeight), view.totalWeight);
    SetText(Item(kOfferTotalAmount), view.totalAmount);
    if (TextOf(Item(kOfferClient)) != desk_.Now().client) {
        SetText(Item(kOfferClient), desk_.Now().client);
    }
}

// Each answer's message in a box, and the table again when the offer changed.
void OfferWindow::Tell(const form::OfferDesk::Answer &answer) {
    if (answer.changed) {
        Refresh();
    }
    if (!answer.message.empty()) {
        const HWND over = hwnd_ != nullptr && IsWindowVisible(hwnd_) ? hwnd_ : owner_;
        MessageBoxW(over, Widen(answer.message).c_str(), Widen(form::kOfferTitle).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    }
}

std::vector<std::size_t> OfferWindow::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (LRESULT row = -1; (row = SendMessageW(Item(kOfferList), LVM_GETNEXTITEM,
                                               static_cast<WPARAM>(row), LVNI_SELECTED)) >= 0;) {
        rows.push_back(static_cast<std::size_t>(row));
    }
    return rows;
}

void OfferWindow::Rimuovi_Click() {
    Tell(desk_.Remove(SelectedRows()));
}

void OfferWindow::Svuota_Click() {
    if (MessageBoxW(hwnd_, Widen(form::kClearQuestion).c_str(), Widen(form::kOfferTitle).c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        Tell(desk_.Clear());
    }
}

void OfferWindow::Copia_Click() {
    CopyToClipboard(hwnd_, desk_.CopyText());
}

void OfferWindow::Esporta_Click() {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const std::wstring file =
        AskExportFile(hwnd_, Widen(form::ExportName(today.wYear, today.wMonth, today.wDay)));
    if (file.empty()) {
        return;
    }
    if (const auto error = store::ReplaceAtomically(std::filesystem::path(file), desk_.CsvText())) {
        Tell({false, error->message});
    }
}

void OfferWindow::Cliente_LostFocus() {
    Tell(desk_.SetClient(TextOf(Item(kOfferClient))));
}

} // namespace kalvor::win32
