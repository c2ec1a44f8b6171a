#include "ui/win32/form1.h"

#include "form/rules.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/subclass.h"
#include "ui/win32/win32_text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace kalvor::win32 {
namespace {

enum MenuCommand : UINT {
    kCopyLineCommand = 1,
    kCopyAllCommand,
    kAddToOfferCommand,
    kShowOfferCommand
};
constexpr UINT kReadOwnMaterials = WM_APP + 1;
constexpr UINT_PTR kExplainTimer = 1;
constexpr UINT kExplainMs = 4000; // long enough to read the reason twice

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };

std::size_t At(form::Id id) {
    return static_cast<std::size_t>(id);
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
    case WM_CTLCOLORLISTBOX:
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
    case WM_TIMER:
        if (wParam == kExplainTimer) {
            KillTimer(hwnd_, kExplainTimer);
            SendMessageW(explainTip_, TTM_TRACKACTIVATE, FALSE, 0);
        }
        return 0;
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
    case WM_PAINT:
        // The desk's file is read once the window is on screen: start-up reads nothing.
        if (!painted_) {
            painted_ = true;
            PostMessageW(hwnd_, kReadOwnMaterials, 0, 0);
        }
        break;
    case kReadOwnMaterials:
        ReadOwnMaterials();
        return 0;
    case WM_CLOSE:
        if (offer_) {
            offer_->Close(); // the client typed in the offer window is kept first
        }
        break;
    case WM_SETTINGCHANGE:
        if (wParam != SPI_SETHIGHCONTRAST) {
            break;
        }
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
        OnColoursChanged();
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (static const UINT textWidth = RegisterWindowMessageW(kTextWidthMessage);
            message == textWidth) {
            return TextWidth(reinterpret_cast<HWND>(wParam));
        }
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
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_CONTEXTMENU: // naming the control clicked, not the frame
        return SendMessageW(self->hwnd_, message, wParam, lParam);
    case WM_ERASEBKGND: {
        // A group box paints only its border: a control hidden inside it leaves a hole.
        RECT inside{};
        GetClientRect(frame, &inside);
        FillRect(reinterpret_cast<HDC>(wParam), &inside, self->faceBrush_.get());
        return TRUE;
    }
    case WM_PAINT:
        self->PaintFrame(frame);
        return 0;
    default:
        break;
    }
    return CallNext(frame, message, wParam, lParam);
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
    }
    return CallNext(part, message, wParam, lParam);
}

// A text set into the material box from outside (WM_SETTEXT to the box or to its edit) comes
// with no CBN_EDITCHANGE: the box's edit passes it on as an edit of the box.
LRESULT CALLBACK Form1::MaterialEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) {
    auto *self = reinterpret_cast<Form1 *>(data);
    if (message == WM_SETTEXT) {
        const LRESULT result = CallNext(edit, message, wParam, lParam);
        self->Apply(self->model_.Proposed(form::Id::Combo1, TextOf(edit)));
        return result;
    }
    if (message == WM_CONTEXTMENU &&
        self->MaterialBoxMenu(edit, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
        return 0;
    }
    return CallNext(edit, message, wParam, lParam);
}

LRESULT CALLBACK Form1::ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data) {
    auto *self = reinterpret_cast<Form1 *>(data);
    if (message == WM_SETFOCUS) {
        const LRESULT result = CallNext(button, message, wParam, lParam);
        self->Control_GotFocus(static_cast<form::Id>(id));
        return result;
    }
    return CallNext(button, message, wParam, lParam);
}

LRESULT CALLBACK Form1::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR data) {
    auto *self = reinterpret_cast<Form1 *>(data);
    const auto field_id = static_cast<form::Id>(id);
    switch (message) {
    case WM_CHAR:
        return self->Text_KeyPress(field, field_id, wParam, lParam);
    case WM_PASTE:
        self->Text_Paste(field, field_id);
        return 0;
    case WM_KEYDOWN: // Shift+Insert pastes without a WM_PASTE
        if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
            self->Text_Paste(field, field_id);
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        const LRESULT result = CallNext(field, message, wParam, lParam);
        if (!self->clickEntering_) {
            self->Control_GotFocus(field_id);
        }
        return result;
    }
    case WM_LBUTTONDOWN: {
        // A click that brings the focus enters the field once the click has placed the caret,
        // so that selecting the whole text on entry is not undone by the click.
        const bool entering = GetFocus() != field;
        self->clickEntering_ = entering;
        const LRESULT result = CallNext(field, message, wParam, lParam);
        self->clickEntering_ = false;
        if (entering && GetFocus() == field) {
            self->Control_GotFocus(field_id);
        }
        return result;
    }
    default:
        break;
    }
    return CallNext(field, message, wParam, lParam);
}

LRESULT Form1::Text_KeyPress(HWND field, form::Id id, WPARAM wParam, LPARAM lParam) {
    const auto typed = static_cast<char16_t>(wParam);
    // Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z and the like arrive as control characters: they are
    // editing shortcuts, not typing. AltGr characters (Ctrl+Alt) are typing. Ctrl+Backspace
    // would put a DEL character into the text.
    if (GetKeyState(VK_CONTROL) < 0 && (typed < 0x20 || typed == 0x7F)) {
        if (typed == 0x16) { // Ctrl+V: a read-only edit would drop it instead of sending WM_PASTE
            Text_Paste(field, id);
            return 0;
        }
        return typed == 0x7F ? 0 : CallNext(field, WM_CHAR, wParam, lParam);
    }
    const form::Model::KeyOutcome outcome = model_.Typed(id, typed);
    Apply(outcome.changes);
    if (outcome.pass == 0) {
        return 0;
    }
    return CallNext(field, WM_CHAR, outcome.pass, lParam);
}

void Form1::Text_Paste(HWND field, form::Id id) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    Apply(model_.Pasted(id, ClipboardText(hwnd_), {start, end - start}));
}

// Entering a control, not the focus coming back with the window.
void Form1::Control_GotFocus(form::Id id) {
    if (!restoringFocus_) {
        Apply(model_.FocusIn(id));
    }
}

bool Form1::PreTranslate(const MSG &message) {
    if (offer_ && offer_->PreTranslate(message)) {
        return true;
    }
    if (message.message != WM_KEYDOWN || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) {
        return false;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    switch (message.wParam) {
    case VK_TAB:
        if (control || alt) {
            return false;
        }
        MoveTab(shift);
        return true;
    case VK_RETURN: {
        // Enter in a number field arrives there as a typed character (see FieldProc); in an
        // opened list it takes the entry.
        const std::optional<form::Id> owner = IdOf(OwnerOf(message.hwnd));
        if (!owner || form::IsField(*owner) ||
            ((*owner == form::Id::Combo1 || *owner == form::Id::Combo2) &&
             SendMessageW(Of(*owner), CB_GETDROPPEDSTATE, 0, 0))) {
            return false;
        }
        if (*owner == form::Id::Combo1) {
            RefreshOwnMaterials();
        }
        Apply(model_.Entered(*owner));
        return true;
    }
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (const std::optional<form::Id> owner = IdOf(OwnerOfFocus());
            owner == form::Id::Option1 || owner == form::Id::Option2) {
            MoveOption(*owner);
            return true;
        }
        return false;
    case 'C':
        if (control && shift && !alt) {
            Apply(model_.CopyQuote());
            return true;
        }
        return false;
    case 'A':
    case 'O':
        if (control && shift && !alt) {
            Apply(message.wParam == 'A' ? model_.AddToOffer() : model_.ShowOffer());
            return true;
        }
        return false;
    default:
        return false;
    }
}

// The same notification code means different things for different classes of control
// (CBN_SELCHANGE is STN_DBLCLK): each kind is read by its own codes.
void Form1::OnCommand(HWND control, UINT code) {
    const std::optional<form::Id> id = IdOf(control);
    if (!id) {
        return;
    }
    switch (form::RowOf(*id).kind) {
    case form::Kind::EditableCombo:
    case form::Kind::ListCombo:
        OnListCommand(control, *id, code);
        break;
    case form::Kind::NumberField:
        // Whatever changed the text: keys, paste, undo, cut, an input method, another program.
        if (code == EN_CHANGE) {
            Apply(model_.Proposed(*id, TextOf(control)));
            ShowFromStart(control);
        }
        break;
    case form::Kind::Button:
    case form::Kind::Option:
    case form::Kind::Label:
        if (code != BN_CLICKED) { // STN_CLICKED for the link line
            break;
        }
        if (*id == form::Id::Command1) {
            Apply(model_.Pressed());
        } else if (*id == form::Id::Label8) {
            Apply(model_.LinkClicked());
        } else if (*id == form::Id::Option1 || *id == form::Id::Option2) {
            Apply(model_.Chosen(*id));
        }
        break;
    default:
        break;
    }
}

void Form1::OnListCommand(HWND list, form::Id id, UINT code) {
    switch (code) {
    case CBN_SELCHANGE:
        if (const LRESULT row = SendMessageW(list, CB_GETCURSEL, 0, 0); row >= 0) {
            Apply(model_.Picked(id, ListText(list, row)));
        }
        break;
    case CBN_EDITCHANGE:
        Apply(model_.Proposed(id, TextOf(list)));
        break;
    case CBN_SETFOCUS:
        Control_GotFocus(id);
        break;
    case CBN_KILLFOCUS:
        RefreshOwnMaterials(); // a name is judged on leaving the box
        Apply(model_.FocusOut(id));
        break;
    case CBN_DROPDOWN:
        RefreshOwnMaterials();
        break;
    default:
        break;
    }
}

void Form1::OnContextMenu(HWND control, POINT at) {
    const std::optional<form::Id> line = IdOf(control);
    if (!line || std::ranges::find(form::kResults, *line) == form::kResults.end()) {
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
    AppendMenuW(menu.get(), MF_STRING, kAddToOfferCommand, Widen(form::kAddToOffer).c_str());
    AppendMenuW(menu.get(), MF_STRING, kShowOfferCommand, Widen(form::kShowOffer).c_str());
    switch (TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y,
                           0, hwnd_, nullptr)) {
    case kCopyLineCommand:
        Apply(model_.CopyLine(*line));
        break;
    case kCopyAllCommand:
        Apply(model_.CopyQuote());
        break;
    case kAddToOfferCommand:
        Apply(model_.AddToOffer());
        break;
    case kShowOfferCommand:
        Apply(model_.ShowOffer());
        break;
    default:
        break;
    }
}

bool Form1::OnSetCursor(HWND control) {
    if (control != Of(form::Id::Label8)) {
        return false;
    }
    SetCursor(hand_.get());
    return true;
}

void Form1::Apply(const form::Changes &changes) {
    for (const form::Change &change : changes) {
        Apply(change);
    }
}

void Form1::Apply(const form::Change &change) {
    std::visit(
        Overloaded{
            [this](const form::SetText &set) {
                const HWND control = Of(set.id);
                // A field written back keeps its caret where it was, not at the start.
                DWORD start = 0;
                DWORD end = 0;
                SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                             reinterpret_cast<LPARAM>(&end));
                win32::SetText(control, set.text);
                if (form::IsField(set.id)) {
                    SendMessageW(control, EM_SETSEL, start, end);
                    ShowFromStart(control);
                }
                if (const auto line = std::ranges::find(form::kResults, set.id);
                    line != form::kResults.end()) {
                    FitResultCaption(static_cast<std::size_t>(line - form::kResults.begin()));
                }
            },
            [this](const form::Show &show) {
                ShowWindow(Of(show.id), show.shown ? SW_SHOWNA : SW_HIDE);
            },
            [this](const form::Enable &enable) { EnableWindow(Of(enable.id), enable.enabled); },
            [this](const form::Check &check) {
                SendMessageW(Of(check.id), BM_SETCHECK, check.checked ? BST_CHECKED : BST_UNCHECKED,
                             0);
            },
            [this](const form::DensityLook &look) { SetDensityLook(look.framed, look.readOnly); },
            [this](const form::FillList &fill) {
                // Entry by entry: CB_RESETCONTENT would empty the box's text as well.
                const HWND list = Of(fill.id);
                while (SendMessageW(list, CB_GETCOUNT, 0, 0) > 0) {
                    SendMessageW(list, CB_DELETESTRING, 0, 0);
                }
                for (const std::string &entry : fill.entries) {
                    SendMessageW(list, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(Widen(entry).c_str()));
                }
            },
            [this](const form::Pick &pick) {
                SendMessageW(Of(pick.id), CB_SETCURSEL, pick.row, 0);
            },
            [this](const form::Focus &focus) { SetFocus(Of(focus.id)); },
            [this](const form::SelectAll &select) {
                const HWND control = Of(select.id);
                if (select.id == form::Id::Combo1 || select.id == form::Id::Combo2) {
                    SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
                } else {
                    SendMessageW(control, EM_SETSEL, 0, -1);
                }
            },
            [this](const form::Insert &insert) {
                SendMessageW(Of(insert.id), EM_REPLACESEL, TRUE,
                             reinterpret_cast<LPARAM>(Widen(insert.text).c_str()));
            },
            [this](const form::Message &message) {
                ShowMessage(message.prompt, message.title);
                Apply(model_.Answered());
            },
            [](const form::Beep &) { MessageBeep(MB_OK); },
            [this](const form::Explain &explain) { Explain(explain.id, explain.text); },
            [this](const form::Copy &copy) { CopyToClipboard(hwnd_, copy.text); },
            [this](const form::OpenSite &site) { OpenSite(site.address); },
            [this](const form::Ask &ask) {
                const int answer =
                    MessageBoxW(hwnd_, Widen(ask.question).c_str(), Widen(ask.title).c_str(),
                                MB_YESNO | MB_ICONQUESTION);
                Apply(model_.Decided(answer == IDYES));
            },
            [this](const form::KeepMaterial &keep) {
                if (ownMaterials_) {
                    Apply(form::Kept(model_, ownMaterials_->Keep(keep.name, keep.density)));
                }
            },
            [this](const form::RemoveMaterial &remove) {
                if (ownMaterials_) {
                    Apply(form::Kept(model_, ownMaterials_->Remove(remove.name)));
                }
            },
            [this](const form::AddOfferLine &add) {
                if (OfferWindow *offer = Offer()) {
                    offer->Add(add.line);
                }
            },
            [this](const form::OpenOffer &) {
                if (OfferWindow *offer = Offer()) {
                    offer->Show();
                }
            },
        },
        change);
}

void Form1::UseOwnMaterials(std::shared_ptr<form::OwnMaterials> materials) {
    ownMaterials_ = std::move(materials);
}

void Form1::UseOffer(std::shared_ptr<form::OfferKeeper> keeper) {
    offerKeeper_ = std::move(keeper);
}

OfferWindow *Form1::Offer() {
    if (!offer_ && offerKeeper_) {
        offer_ = std::make_unique<OfferWindow>(instance_, hwnd_, offerKeeper_);
    }
    if (!offer_) {
        MessageBeep(MB_OK);
    }
    return offer_.get();
}

void Form1::ReadOwnMaterials() {
    if (!ownMaterials_) {
        return;
    }
    Apply(form::Loaded(model_, ownMaterials_->Load()));
}

void Form1::RefreshOwnMaterials() {
    if (ownMaterials_ && painted_ && ownMaterials_->ChangedOnDisk()) {
        Apply(model_.CatalogueChanged(ownMaterials_->Load().catalogue));
    }
}

// The material box's menu: keeping or removing one of the desk's own grades, then the
// editing commands the edit's own menu has.
bool Form1::MaterialBoxMenu(HWND edit, POINT at) {
    if (!ownMaterials_) {
        return false;
    }
    RefreshOwnMaterials();
    const std::vector<form::MenuEntry> entries = model_.MaterialMenu();
    if (entries.empty()) {
        return false;
    }
    if (at.x == -1 && at.y == -1) {
        RECT box{};
        GetWindowRect(edit, &box);
        at = {box.left, box.bottom};
    }
    enum : UINT { kUndo = 100, kCut, kCopy, kPaste, kDelete, kSelectAll };
    const Menu menu(CreatePopupMenu());
    for (std::size_t n = 0; n < entries.size(); ++n) {
        AppendMenuW(menu.get(), MF_STRING, 1 + n, Widen(entries[n].text).c_str());
    }
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    for (const auto &[command, caption] :
         {std::pair{kUndo, L"Annulla"}, std::pair{kCut, L"Taglia"}, std::pair{kCopy, L"Copia"},
          std::pair{kPaste, L"Incolla"}, std::pair{kDelete, L"Elimina"},
          std::pair{kSelectAll, L"Seleziona tutto"}}) {
        AppendMenuW(menu.get(), MF_STRING, command, caption);
    }
    const UINT chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                       at.x, at.y, 0, hwnd_, nullptr);
    const std::pair<UINT, UINT> editCommands[] = {{kUndo, WM_UNDO},
                                                  {kCut, WM_CUT},
                                                  {kCopy, WM_COPY},
                                                  {kPaste, WM_PASTE},
                                                  {kDelete, WM_CLEAR}};
    for (const auto &[command, message] : editCommands) {
        if (chosen == command) {
            SendMessageW(edit, message, 0, 0);
        }
    }
    if (chosen == kSelectAll) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
    } else if (chosen >= 1 && chosen <= entries.size()) {
        Apply(model_.MenuChosen(entries[chosen - 1].action));
    }
    return true;
}

void Form1::ShowMessage(std::string_view prompt, std::string_view title) {
    MessageBoxW(hwnd_, Widen(prompt).c_str(), Widen(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// The reason a change was refused, in a balloon pointing at the field for a few seconds. The
// balloon is a tooltip of the window's own rather than the edit's EM_SHOWBALLOONTIP, which
// Wine does not draw; its text is the tooltip window's text, which a screen reader reads.
void Form1::Explain(form::Id id, std::string_view reason) {
    if (explainTip_ == nullptr) {
        MakeExplainTip();
    }
    std::wstring text = Widen(reason);
    SendMessageW(explainTip_, TTM_TRACKACTIVATE, FALSE, 0); // shown again with the new text
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd_;
    tool.lpszText = text.data();
    SendMessageW(explainTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT field{};
    GetWindowRect(Of(id), &field);
    SendMessageW(explainTip_, TTM_TRACKPOSITION, 0,
                 MAKELPARAM((field.left + field.right) / 2, field.bottom));
    SendMessageW(explainTip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(hwnd_, kExplainTimer, kExplainMs, nullptr);
}

// The address goes to the shell as a document to open, never into a command line. The shell
// is loaded only for this: the program starts without it.
void Form1::OpenSite(std::string_view address) {
    using ShellExecuteFunction = HINSTANCE(WINAPI *)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static const HMODULE shell = LoadLibraryW(L"shell32.dll");
    const auto shellExecute =
        shell == nullptr ? nullptr
                         : reinterpret_cast<ShellExecuteFunction>(
                               reinterpret_cast<void *>(GetProcAddress(shell, "ShellExecuteW")));
    const HINSTANCE opened =
        shellExecute == nullptr
            ? nullptr
            : shellExecute(hwnd_, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(opened) <= 32) {
        Apply(model_.SiteNotOpened());
    }
}

void Form1::MoveTab(bool backwards) {
    const HWND owner = OwnerOfFocus();
    for (const HWND list : {Of(form::Id::Combo1), Of(form::Id::Combo2)}) {
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
    const form::State &now = model_.Now();
    for (int step = 1; step <= count; ++step) {
        const int next = ((at + (backwards ? -step : step)) % count + count) % count;
        const form::Id id = *form::IdNamed(order[static_cast<std::size_t>(next)]);
        // Hidden and disabled controls are passed over; Tab enters the price options at the
        // checked one.
        if (!IsWindowVisible(Of(id)) || !IsWindowEnabled(Of(id)) ||
            (id == form::Id::Option1 && !now.perKilo) ||
            (id == form::Id::Option2 && !now.perMetre)) {
            continue;
        }
        SetFocus(Of(id));
        return;
    }
}

// The arrow keys move between the two price options and choose the one they reach.
void Form1::MoveOption(form::Id from) {
    const form::Id to = from == form::Id::Option1 ? form::Id::Option2 : form::Id::Option1;
    if (!model_.Now().enabled[At(to)]) {
        return;
    }
    SetFocus(Of(to));
    Apply(model_.Chosen(to));
}

const form::ControlSpec *Form1::TableRowOf(HWND control) const {
    const int row = GetDlgCtrlID(control) - kFirstControlId;
    if (control == nullptr || row < 0 || row >= static_cast<int>(controls_.size()) ||
        controls_[static_cast<std::size_t>(row)] != control) {
        return nullptr;
    }
    return &form::kControls[static_cast<std::size_t>(row)];
}

std::optional<form::Id> Form1::IdOf(HWND control) const {
    const form::ControlSpec *row = TableRowOf(control);
    return row == nullptr ? std::nullopt : form::IdNamed(row->name);
}

HWND Form1::OwnerOf(HWND window) const {
    for (; window != nullptr && window != hwnd_; window = GetParent(window)) {
        if (TableRowOf(window) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

HWND Form1::OwnerOfFocus() const {
    return OwnerOf(GetFocus());
}

} // namespace kalvor::win32
