#include "ui/win32/form1.h"

#include "calc/calcola.h"
#include "calc/catalogue.h"
#include "calc/messages.h"
#include "form/maker.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/win32_text.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace kalvor::win32 {
namespace {

enum MenuCommand : UINT { kCopyLineCommand = 1, kCopyAllCommand = 2 };

bool IsChecked(HWND option) {
    return SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string ListText(HWND list, LRESULT row) {
    std::wstring text(
        static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(row), 0)) +
            1,
        L'\0');
    const LRESULT length = SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return Narrow(text);
}

std::string ClipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) {
        return text;
    }
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *wide = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = Narrow(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<Form1 *>(reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->OnMessage(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (const LRESULT brush =
                OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return brush;
        }
        break;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam))) {
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // The focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (const HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd_, focus)) {
                lastFocus_ = focus;
            }
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
            restoringFocus_ = true;
            SetFocus(lastFocus_);
            restoringFocus_ = false;
        }
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Frames hold controls: what those tell their parent goes on to the window.
LRESULT CALLBACK Form1::FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    auto *self = reinterpret_cast<Form1 *>(data);
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_CONTEXTMENU: // naming the control clicked, not the frame
        return SendMessageW(self->hwnd_, message, wParam, lParam);
    case WM_ERASEBKGND: {
        // A group box paints only its border: a control hidden inside it leaves a hole.
        RECT inside{};
        GetClientRect(frame, &inside);
        FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_PAINT:
        self->PaintFrame(frame);
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(frame, FrameProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(frame, message, wParam, lParam);
}

// The wheel turns a list only while the list has the keyboard focus.
LRESULT CALLBACK Form1::ListProc(HWND part, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR list, DWORD_PTR) {
    if (message == WM_MOUSEWHEEL) {
        const auto combo = reinterpret_cast<HWND>(list);
        const HWND focus = GetFocus();
        if (focus != combo && !IsChild(combo, focus)) {
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(part, ListProc, list);
    }
    return DefSubclassProc(part, message, wParam, lParam);
}

LRESULT CALLBACK Form1::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    auto *self = reinterpret_cast<Form1 *>(data);
    switch (message) {
    case WM_CHAR: {
        const auto typed = static_cast<char16_t>(wParam);
        // Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z and the like arrive as control characters: they are
        // editing shortcuts, not typing. AltGr characters (Ctrl+Alt) are typing. Ctrl+Backspace
        // would put a DEL character into the text.
        if (GetKeyState(VK_CONTROL) < 0 && (typed < 0x20 || typed == 0x7F)) {
            return typed == 0x7F ? 0 : DefSubclassProc(field, message, wParam, lParam);
        }
        self->Text_KeyPress(field);
        if (typed == u'\r') { // never inserted
            if (form::CalculatesOnEnter(*self->TableRowOf(field))) {
                self->Command1_Click();
            }
            return 0;
        }
        const char16_t kept = form::FilterKey(self->TableRowOf(field)->filter, typed);
        if (kept == 0) {
            return 0;
        }
        return DefSubclassProc(field, WM_CHAR, kept, lParam);
    }
    case WM_PASTE:
        self->Text_Paste(field);
        return 0;
    case WM_KEYDOWN: // Shift+Insert pastes without a WM_PASTE
        if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
            self->Text_Paste(field);
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
        self->Text_GotFocus(field);
        return result;
    }
    case WM_LBUTTONDOWN: {
        // A click that brings the focus selects the whole text, not a caret at the click.
        const bool entering = GetFocus() != field;
        const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
        if (entering) {
            self->Text_GotFocus(field);
        }
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(field, FieldProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

bool Form1::PreTranslate(const MSG &message) {
    if (message.message != WM_KEYDOWN || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) {
        return false;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    const HWND owner = OwnerOfFocus();
    switch (message.wParam) {
    case VK_TAB:
        if (control || alt) {
            return false;
        }
        MoveTab(shift);
        return true;
    case VK_RETURN: {
        // Enter in a number field arrives there as a typed character (see FieldProc).
        const bool listOpen = owner == Combo1 && SendMessageW(Combo1, CB_GETDROPPEDSTATE, 0, 0);
        if (owner != nullptr && owner != Text[1] && form::CalculatesOnEnter(*TableRowOf(owner)) &&
            TableRowOf(owner)->kind != form::Kind::NumberField && !listOpen) {
            Command1_Click();
            return true;
        }
        return false;
    }
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (owner == Option1 || owner == Option2) {
            MoveOption();
            return true;
        }
        return false;
    case 'C':
        if (control && shift && !alt) {
            CopyQuote();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void Form1::OnCommand(HWND control, UINT code) {
    if (control == Combo1) {
        switch (code) {
        case CBN_SELCHANGE:
            Combo1_Click();
            break;
        case CBN_EDITCHANGE:
            Combo1_Change();
            break;
        case CBN_KILLFOCUS:
            PickTypedMaterial();
            break;
        default:
            break;
        }
    } else if (control == Combo2 && code == CBN_SELCHANGE) {
        Combo2_Click();
    } else if (control == Command1 && code == BN_CLICKED) {
        Command1_Click();
    } else if ((control == Option1 || control == Option2) && code == BN_CLICKED) {
        Option_Click();
    } else if (control == Label[8] && code == STN_CLICKED) {
        Label8_Click();
    } else if (code == EN_CHANGE && TableRowOf(control) != nullptr &&
               TableRowOf(control)->kind == form::Kind::NumberField) {
        Text_Change(control);
    }
}

void Form1::OnContextMenu(HWND control, POINT at) {
    const auto line = std::find(results_.begin(), results_.end(), control);
    if (line == results_.end() || !IsWindowVisible(control)) {
        return;
    }
    if (at.x == -1 && at.y == -1) { // the menu key: open it under the line
        RECT box{};
        GetWindowRect(control, &box);
        at = {box.left, box.bottom};
    }
    const Menu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, kCopyLineCommand, Widen(form::kCopyLine).c_str());
    AppendMenuW(menu.get(), MF_STRING, kCopyAllCommand, Widen(form::kCopyAll).c_str());
    switch (TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y,
                           0, hwnd_, nullptr)) {
    case kCopyLineCommand:
        CopyToClipboard(TextOf(control));
        break;
    case kCopyAllCommand:
        CopyQuote();
        break;
    default:
        break;
    }
}

bool Form1::OnSetCursor(HWND control) {
    if (control != Label[8]) {
        return false;
    }
    SetCursor(hand_.get());
    return true;
}

void Form1::Combo1_Click() {
    HideResults();
    materialEdited_ = false;
    const LRESULT row = SendMessageW(Combo1, CB_GETCURSEL, 0, 0);
    const calc::MaterialEntry *material =
        row < 0 ? nullptr : calc::FindMaterial(ListText(Combo1, row));
    if (material == nullptr) {
        return;
    }
    SetFieldText(Text[1], material->densityText);
    // A catalogue density reads like a label; "ALTRO" opens an ordinary field for typing.
    SetDensityLook(material->userEntered, !material->userEntered);
}

void Form1::Combo1_Change() {
    HideResults();
    materialEdited_ = true;
}

// A material typed by name counts as picked from the list; a name the list does not hold
// leaves the density to the user, as "ALTRO" does.
void Form1::PickTypedMaterial() {
    if (!materialEdited_) {
        return;
    }
    materialEdited_ = false;
    if (const calc::MaterialEntry *material = form::MaterialNamed(TextOf(Combo1))) {
        SendMessageW(Combo1, CB_SETCURSEL, static_cast<WPARAM>(material - calc::kMaterials.data()),
                     0);
        Combo1_Click();
    } else {
        SetDensityLook(true, false);
    }
}

void Form1::Combo2_Click() {
    HideResults();
    const LRESULT row = SendMessageW(Combo2, CB_GETCURSEL, 0, 0);
    const calc::ShapeEntry *shape = row < 0 ? nullptr : calc::FindShape(ListText(Combo2, row));
    if (shape == nullptr) {
        return;
    }
    const std::array<HWND, 3> captions{Label[5], Label[9], Label[10]};
    const std::array<HWND, 3> fields{Text[2], Text[3], Text[4]};
    const std::array<HWND, 3> units{Label[11], Label[12], Label[13]};
    for (std::size_t n = 0; n < 3; ++n) {
        const calc::RowSetting &setting = shape->rows[n];
        const int show = setting.shown ? SW_SHOWNA : SW_HIDE;
        ShowWindow(captions[n], show);
        ShowWindow(fields[n], show);
        SetFieldText(fields[n], "0,0");
        ShowWindow(units[n], show);
        SetText(captions[n], setting.caption);
    }
    EnableWindow(Option1, shape->perKiloEnabled);
    SendMessageW(Option1, BM_SETCHECK, shape->perKiloSelected ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(Option2, shape->perMetreEnabled);
    SendMessageW(Option2, BM_SETCHECK, shape->perMetreSelected ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form1::Command1_Click() {
    PickTypedMaterial();
    calc::CalcolaInputs inputs;
    inputs.density = TextOf(Text[1]);
    inputs.dimensions = {TextOf(Text[2]), TextOf(Text[3]), TextOf(Text[4])};
    inputs.pieces = TextOf(Text[5]);
    inputs.price = TextOf(Text[6]);
    inputs.shape = TextOf(Combo2);
    inputs.perKilo = IsChecked(Option1);
    inputs.perMetre = IsChecked(Option2);

    // In the order of calc::Control.
    const std::array<HWND, 7> controls{Combo1,  Text[1], Text[2], Text[3],
                                       Text[4], Text[5], Text[6]};
    for (const calc::Step &step : calc::Calcola(inputs)) {
        if (const auto *frame = std::get_if<calc::ShowFrame>(&step)) {
            ShowWindow(frame->frame == calc::Frame::Weights ? Frame[4] : Frame[5],
                       frame->visible ? SW_SHOWNA : SW_HIDE);
        } else if (const auto *message = std::get_if<calc::ShowMessage>(&step)) {
            ShowMessage(message->prompt, message->title);
        } else if (const auto *pieces = std::get_if<calc::WritePieces>(&step)) {
            SetFieldText(Text[5], pieces->text);
        } else if (const auto *shown = std::get_if<calc::ShowLabel>(&step)) {
            ShowWindow(results_[static_cast<std::size_t>(shown->label)],
                       shown->visible ? SW_SHOWNA : SW_HIDE);
        } else if (const auto *caption = std::get_if<calc::WriteCaption>(&step)) {
            WriteResultCaption(static_cast<std::size_t>(caption->label), caption->caption);
        } else if (const auto *focus = std::get_if<calc::MoveFocus>(&step)) {
            const HWND target = controls[static_cast<std::size_t>(focus->control)];
            SetFocus(target);
            if (focus->selectText && target != Combo1) {
                SendMessageW(target, EM_SETSEL, 0, -1);
            }
        }
    }
}

void Form1::Label8_Click() {
    // The address goes to the shell as a document to open, never into a command line.
    const HINSTANCE opened = ShellExecuteW(hwnd_, L"open", Widen(form::maker::kWebSite).c_str(),
                                           nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(opened) <= 32) {
        ShowMessage(std::string(calc::kSiteNotOpened.prompt) + form::maker::kWebAddress,
                    calc::kSiteNotOpened.title);
    }
}

void Form1::Option_Click() {
    ShowWindow(Frame[5], SW_HIDE);
}

void Form1::Text_KeyPress(HWND field) {
    Hide(form::StaleAfterEdit(*TableRowOf(field)));
}

// Any change of a field's text by the user (Delete, cut, undo, paste) makes results stale, as a
// typed key does; of the program's own writes only the density's does.
void Form1::Text_Change(HWND field) {
    if (writingByProgram_ && field != Text[1]) {
        return;
    }
    Hide(form::StaleAfterEdit(*TableRowOf(field)));
}

void Form1::Text_GotFocus(HWND field) {
    if (restoringFocus_) {
        return;
    }
    const bool editable = (GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY) == 0;
    if (form::SelectsTextOnEntry(*TableRowOf(field), editable)) {
        SendMessageW(field, EM_SETSEL, 0, -1);
    }
}

void Form1::Text_Paste(HWND field) {
    if ((GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY) != 0) {
        MessageBeep(MB_OK);
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const form::ControlSpec &entry = *TableRowOf(field);
    const std::optional<std::string> inserted = form::PastedText(
        entry.filter, entry.maxLength, TextOf(field), start, end - start, ClipboardText(hwnd_));
    if (!inserted) {
        MessageBeep(MB_OK);
        return;
    }
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(*inserted).c_str()));
}

void Form1::HideResults() {
    Hide(form::Stale::Both);
}

void Form1::Hide(form::Stale stale) {
    ShowWindow(Frame[5], SW_HIDE);
    if (stale == form::Stale::Both) {
        ShowWindow(Frame[4], SW_HIDE);
    }
}

void Form1::SetFieldText(HWND field, std::string_view text) {
    writingByProgram_ = true;
    SetText(field, text);
    writingByProgram_ = false;
}

void Form1::WriteResultCaption(std::size_t line, std::string_view caption) {
    SetText(results_[line], caption);
    FitResultCaption(line);
}

void Form1::CopyQuote() {
    if (!IsWindowVisible(Frame[4])) {
        MessageBeep(MB_OK); // nothing calculated for the inputs on show
        return;
    }
    CopyToClipboard(QuoteText());
}

std::string Form1::QuoteText() const {
    std::vector<std::string> texts; // the views below point into it: no reallocation
    texts.reserve(16);
    const auto keep = [&texts](std::string text) -> std::string_view {
        return texts.emplace_back(std::move(text));
    };
    form::QuoteInputs inputs;
    inputs.material = keep(TextOf(Combo1));
    inputs.density = keep(TextOf(Text[1]));
    inputs.shape = keep(TextOf(Combo2));
    const std::array<HWND, 3> captions{Label[5], Label[9], Label[10]};
    for (std::size_t n = 0; n < 3; ++n) {
        if (IsWindowVisible(Text[2 + n])) {
            const std::string_view caption = keep(TextOf(captions[n]));
            inputs.dimensions.push_back({caption, keep(TextOf(Text[2 + n]))});
        }
    }
    inputs.pieces = keep(TextOf(Text[5]));
    inputs.price = keep(TextOf(Text[6]));
    inputs.perMetre = IsChecked(Option2);
    for (const HWND line : results_) {
        if (IsWindowVisible(line)) {
            inputs.results.push_back(keep(TextOf(line)));
        }
    }
    return form::QuoteBlock(inputs, "\r\n");
}

void Form1::CopyToClipboard(std::string_view text) {
    const std::wstring wide = Widen(text);
    if (!OpenClipboard(hwnd_)) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void Form1::MoveTab(bool backwards) {
    const HWND owner = OwnerOfFocus();
    for (const HWND list : {Combo1, Combo2}) {
        if (owner == list && SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0)) {
            SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
        }
    }
    const auto &order = form::kTabOrder;
    const int count = static_cast<int>(order.size());
    int at = backwards ? 0 : -1;
    for (int n = 0; n < count; ++n) {
        if (owner != nullptr && TableRowOf(owner)->name == order[static_cast<std::size_t>(n)]) {
            at = n;
        }
    }
    for (int step = 1; step <= count; ++step) {
        const int next = ((at + (backwards ? -step : step)) % count + count) % count;
        const HWND candidate = controls_[static_cast<std::size_t>(
            form::FindControl(order[static_cast<std::size_t>(next)]) - form::kControls.data())];
        // Hidden and disabled controls are passed over; Tab enters the price options at the
        // checked one.
        if (!IsWindowVisible(candidate) || !IsWindowEnabled(candidate) ||
            ((candidate == Option1 || candidate == Option2) && !IsChecked(candidate))) {
            continue;
        }
        SetFocus(candidate);
        return;
    }
}

// The arrow keys move the choice between the two price options, as a click would.
void Form1::MoveOption() {
    const HWND from = OwnerOfFocus();
    const HWND to = from == Option1 ? Option2 : Option1;
    if (!IsWindowEnabled(to)) {
        return;
    }
    SetFocus(to);
    SendMessageW(to, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(from, BM_SETCHECK, BST_UNCHECKED, 0);
    Option_Click();
}

void Form1::ShowMessage(std::string_view prompt, std::string_view title) {
    MessageBoxW(hwnd_, Widen(prompt).c_str(), Widen(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

const form::ControlSpec *Form1::TableRowOf(HWND control) const {
    const int row = GetDlgCtrlID(control) - kFirstControlId;
    if (control == nullptr || row < 0 || row >= static_cast<int>(controls_.size()) ||
        controls_[static_cast<std::size_t>(row)] != control) {
        return nullptr;
    }
    return &form::kControls[static_cast<std::size_t>(row)];
}

HWND Form1::OwnerOfFocus() const {
    for (HWND window = GetFocus(); window != nullptr && window != hwnd_;
         window = GetParent(window)) {
        if (TableRowOf(window) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

} // namespace kalvor::win32
