#include "ui/win32/form1.h"

#include "form/rules.h"
#include "ui/win32/colours.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/pictures.h"
#include "ui/win32/subclass.h"
#include "ui/win32/win32_text.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace kalvor::win32 {
namespace {

using form::ControlSpec;
using form::Kind;

constexpr UINT kDesignDpi = 96;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kListRowsShown = 16; // the whole material list opens without a scroll bar

std::size_t RowOf(std::string_view name) {
    return static_cast<std::size_t>(form::FindControl(name) - form::kControls.data());
}

// The functions below exist from Windows 10 on; older systems use the system-wide dpi.
template <class Function> Function User32Function(const char *name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void *>(found));
}

UINT SystemDpi() {
    static const auto getDpiForSystem = User32Function<UINT(WINAPI *)()>("GetDpiForSystem");
    if (getDpiForSystem != nullptr) {
        return getDpiForSystem();
    }
    const WindowDC dc(nullptr);
    return static_cast<UINT>(GetDeviceCaps(dc.get(), LOGPIXELSY));
}

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI *)(HWND)>("GetDpiForWindow");
    return getDpiForWindow != nullptr ? getDpiForWindow(window) : SystemDpi();
}

void AdjustForDpi(RECT &rect, UINT dpi) {
    static const auto adjust = User32Function<BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT)>(
        "AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&rect, kWindowStyle, FALSE, 0, dpi)) {
        AdjustWindowRectEx(&rect, kWindowStyle, FALSE, 0);
    }
}

int CALLBACK FaceFound(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) {
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring &face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    const WindowDC screen(nullptr);
    EnumFontFamiliesExW(screen.get(), &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The face the window is drawn in: the named one, or where it is missing the first of its
// substitutes that is installed.
std::wstring InstalledFace(std::string_view family) {
    static std::map<std::string_view, std::wstring> chosen;
    if (const auto known = chosen.find(family); known != chosen.end()) {
        return known->second;
    }
    std::wstring face = Widen(family);
    if (!FaceInstalled(face)) {
        for (const std::string_view substitute : form::kSansSubstitutes) {
            if (FaceInstalled(Widen(substitute))) {
                face = Widen(substitute);
                break;
            }
        }
    }
    return chosen.emplace(family, face).first->second;
}

// Where the row sits on the client area, in twips.
POINT OnClient(const ControlSpec &row) {
    POINT at{row.left, row.top};
    if (!row.container.empty()) {
        const ControlSpec *container = form::FindControl(row.container);
        at.x += container->left;
        at.y += container->top;
    }
    return at;
}

// A screen reader names an input by the caption made right before it in the same window, so
// each caption is made just before its input, in the input's container; all other rows keep
// the table's order. Moving a caption forward changes its stacking only against rows it does
// not overlap.
struct Made {
    std::size_t row;
    std::string_view container;
};
std::vector<Made> MakingOrder() {
    const auto captionFor = [](std::string_view input) -> const ControlSpec * {
        for (const form::CaptionedInput &pair : form::kInputCaptions) {
            if (pair.input == input) {
                return form::FindControl(pair.caption);
            }
        }
        return nullptr;
    };
    const auto isCaption = [](std::string_view name) {
        for (const form::CaptionedInput &pair : form::kInputCaptions) {
            if (pair.caption == name) {
                return true;
            }
        }
        return false;
    };
    std::vector<Made> order;
    for (const ControlSpec &row : form::kControls) {
        if (isCaption(row.name)) {
            continue;
        }
        if (const ControlSpec *caption = captionFor(row.name)) {
            order.push_back({RowOf(caption->name), row.container});
        }
        order.push_back({RowOf(row.name), row.container});
    }
    return order;
}

struct WindowKind {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindOf(const ControlSpec &row) {
    const DWORD common = WS_CHILD | WS_CLIPSIBLINGS | ((row.flags & form::Hidden) ? 0 : WS_VISIBLE);
    switch (row.kind) {
    case Kind::EditableCombo:
        return {WC_COMBOBOXW, common | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case Kind::ListCombo:
        return {WC_COMBOBOXW, common | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case Kind::Button:
        return {WC_BUTTONW, common | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case Kind::NumberField:
        return {WC_EDITW, common | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::Option:
        return {WC_BUTTONW, common | WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
    case Kind::Frame:
        return {WC_BUTTONW, common | WS_CLIPCHILDREN | BS_GROUPBOX, 0};
    case Kind::Image:
        return {WC_STATICW, common | SS_OWNERDRAW, 0};
    case Kind::Label:
        break;
    }
    // Every caption on one line, whatever its box: SS_LEFT, SS_CENTER and SS_RIGHT break lines
    // at spaces and punctuation, and a row's second line is out of sight. Right-aligned
    // captions align by the extended style; centred ones are drawn here (OnDrawItem).
    DWORD type = SS_LEFTNOWORDWRAP;
    DWORD exStyle = 0;
    if (row.flags & form::AlignRight) {
        exStyle = WS_EX_RIGHT;
    } else if (row.flags & form::AlignCentre) {
        type = SS_OWNERDRAW;
    }
    // Result lines take right-clicks and show a tooltip; the link line takes clicks.
    const DWORD notify = (row.flags & (form::ResultCaption | form::HandCursor)) ? SS_NOTIFY : 0;
    return {WC_STATICW, common | SS_NOPREFIX | type | notify, exStyle};
}

} // namespace

Form1::Form1(HINSTANCE instance) : instance_(instance) {}

bool Form1::Form_Load(int showCommand) {
    UseColours();
    icon_ = WindowIcon();
    hand_ = HandCursor(form::kHandHotSpotX, form::kHandHotSpotY);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = icon_.get();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = faceBrush_.get();
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    // Made at its size for the system's dpi, so that nobody ever sees it at another size; a
    // screen of another dpi only becomes known once the window exists.
    dpi_ = SystemDpi();
    const SIZE frame = FrameSize();
    CreateWindowExW(0, kWindowClass, Widen(form::kTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance_, this);
    if (hwnd_ == nullptr) {
        return false;
    }
    if (const UINT dpi = DpiOf(hwnd_); dpi != dpi_) {
        dpi_ = dpi;
        ResizeToClientArea(nullptr);
    }
    MakeFonts();
    BuildControls();
    BindControls();
    Layout(false);
    const form::State &start = model_.Now();
    SetDensityLook(start.densityFramed, start.densityReadOnly);
    for (const form::Id list : {form::Id::Combo1, form::Id::Combo2}) {
        SendMessageW(Of(list), CB_SETMINVISIBLE, kListRowsShown, 0);
        SetText(Of(list), start.Text(list));
    }

    lastFocus_ = Of(form::Id::Combo1);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    Apply(model_.Load());
    return true;
}

void Form1::BuildControls() {
    for (const Made &made : MakingOrder()) {
        const ControlSpec &row = form::kControls[made.row];
        const HWND parent = made.container.empty() ? hwnd_ : controls_[RowOf(made.container)];
        POINT origin = OnClient(row);
        if (!made.container.empty()) {
            const POINT container = OnClient(*form::FindControl(made.container));
            origin.x -= container.x;
            origin.y -= container.y;
        }
        origins_[made.row] = origin;

        const WindowKind kind = KindOf(row);
        const std::wstring caption = row.kind == Kind::EditableCombo ? L"" : Widen(row.caption);
        // Made in its place with its font: moving 46 controls afterwards doubles the start.
        // A child is made under its siblings, so earlier rows lie on top.
        const RECT place = PlaceOf(made.row);
        const HWND control = CreateWindowExW(
            kind.exStyle, kind.className, caption.c_str(), kind.style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(made.row))), instance_, nullptr);
        controls_[made.row] = control;
        if (row.font != nullptr) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(row.font)), FALSE);
        }

        const auto self = reinterpret_cast<DWORD_PTR>(this);
        // The model's name of the control, as the subclasses' identifier.
        const auto id = static_cast<UINT_PTR>(form::IdNamed(row.name).value_or(form::Id{}));
        switch (row.kind) {
        case Kind::NumberField:
            // No length limit here: the model holds each field to its length on every road in,
            // where the control's limit would cut a text set from outside into another number.
            Subclass(control, FieldProc, id, self);
            break;
        case Kind::Option:
            SendMessageW(control, BM_SETCHECK, (row.flags & form::Checked) ? BST_CHECKED : 0, 0);
            Subclass(control, ButtonProc, id, self);
            break;
        case Kind::Button:
            Subclass(control, ButtonProc, id, self);
            break;
        case Kind::Frame:
            // Unthemed, so that the caption takes the designed colour.
            SetWindowTheme(control, L"", L"");
            Subclass(control, FrameProc, 0, self);
            break;
        case Kind::EditableCombo:
        case Kind::ListCombo: {
            Subclass(control, ListProc, reinterpret_cast<UINT_PTR>(control), self);
            COMBOBOXINFO parts{};
            parts.cbSize = sizeof(parts);
            if (GetComboBoxInfo(control, &parts) && parts.hwndItem != nullptr &&
                parts.hwndItem != control) {
                Subclass(parts.hwndItem, ListProc, reinterpret_cast<UINT_PTR>(control), self);
                Subclass(parts.hwndItem, MaterialEditProc, 0, self);
            }
            break;
        }
        default:
            break;
        }
    }
}

// The tooltips of the result lines, made when the first result is shown: start-up makes no
// window it does not show.
void Form1::MakeResultTips() {
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    for (const std::string_view name : form::kResultLabels) {
        const HWND label = controls_[RowOf(name)];
        std::wstring caption = Widen(form::FindControl(name)->caption);
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(label);
        tool.uId = reinterpret_cast<UINT_PTR>(label);
        tool.lpszText = caption.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// One balloon, placed by the program at the field whose change was refused; made the first
// time a change is refused.
void Form1::MakeExplainTip() {
    explainTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                  nullptr, instance_, nullptr);
    TOOLINFOW balloon{};
    balloon.cbSize = TTTOOLINFOW_V2_SIZE;
    balloon.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    balloon.hwnd = hwnd_;
    balloon.lpszText = const_cast<wchar_t *>(L"");
    SendMessageW(explainTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&balloon));
    SendMessageW(explainTip_, TTM_SETMAXTIPWIDTH, 0, Scaled(form::kClientWidthTwips) / 2);
}

void Form1::BindControls() {
    for (std::size_t n = 0; n < form::kIdCount; ++n) {
        ids_[n] = controls_[RowOf(form::NameOf(static_cast<form::Id>(n)))];
    }
    image_ = controls_[RowOf("Image1")];
}

int Form1::Scaled(int twips) const {
    return MulDiv(twips, static_cast<int>(dpi_), 1440);
}

Font Form1::MakeFont(const form::FontSpec &face, double points) const {
    const int height = -static_cast<int>(std::lround(points * dpi_ / 72.0));
    return Font(CreateFontW(height, 0, 0, 0, face.bold ? FW_BOLD : FW_NORMAL, FALSE,
                            face.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, InstalledFace(face.family).c_str()));
}

HFONT Form1::FontOf(const form::FontSpec *face) const {
    for (const auto &[entry, font] : fonts_) {
        if (entry == face) {
            return font.get();
        }
    }
    return nullptr;
}

void Form1::MakeFonts() {
    fonts_.clear();
    for (const ControlSpec &row : form::kControls) {
        if (row.font != nullptr && FontOf(row.font) == nullptr) {
            fonts_.emplace_back(row.font, MakeFont(*row.font, row.font->points));
        }
    }
}

RECT Form1::PlaceOf(std::size_t row) const {
    const ControlSpec &entry = form::kControls[row];
    const bool isList = entry.kind == Kind::EditableCombo || entry.kind == Kind::ListCombo;
    // A list's window reaches down over its opened list.
    const int height = Scaled(entry.height) * (isList ? 1 + kListRowsShown : 1);
    const POINT at{Scaled(origins_[row].x), Scaled(origins_[row].y)};
    return {at.x, at.y, at.x + Scaled(entry.width), at.y + height};
}

void Form1::Layout(bool place) {
    int listBorders = 6; // between a list's closed height and its item height
    for (std::size_t row = 0; row < form::kControls.size(); ++row) {
        const ControlSpec &entry = form::kControls[row];
        const HWND control = controls_[row];
        if (place) {
            if (entry.font != nullptr) {
                SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(entry.font)),
                             FALSE);
            }
            const RECT box = PlaceOf(row);
            SetWindowPos(control, nullptr, box.left, box.top, box.right - box.left,
                         box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const bool isList = entry.kind == Kind::EditableCombo || entry.kind == Kind::ListCombo;
        const int height = Scaled(entry.height);
        if (entry.kind == Kind::NumberField) {
            // The font's own margins leave too little room for a field's longest text: none
            // but the sunken edge, and the longest text shows whole from its first character.
            const int margin = static_cast<int>(dpi_ / kDesignDpi) - 1;
            SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELPARAM(margin, margin));
        }
        if (isList) {
            // The closed box is as high as the font makes it: bring it to the designed height.
            // The item height of the box (index -1) and the box's own height differ by its
            // borders, which differ between systems: the first box measures them, and is set
            // again only when they are not the ones guessed. Each setting resizes the box.
            const int item = height - listBorders;
            SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
            RECT closed{};
            GetWindowRect(control, &closed);
            if (closed.bottom - closed.top != height) {
                listBorders = closed.bottom - closed.top - item;
                SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                             height - listBorders);
            }
        }
    }
    // At start the result lines show their names, which fit at the table's size.
    for (std::size_t line = 0; place && line < form::kResults.size(); ++line) {
        FitResultCaption(line);
    }
    const ControlSpec &image = form::kControls[RowOf("Image1")];
    logo_ = LogoBitmap(Scaled(image.width), Scaled(image.height), colours_.face);
}

void Form1::UseColours() {
    colours_ = ColoursFor(HighContrastOn());
    Brush face(CreateSolidBrush(colours_.face));
    Brush field(CreateSolidBrush(colours_.field));
    if (hwnd_ != nullptr) {
        // The class lets go of the old face before it is deleted.
        SetClassLongPtrW(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(face.get()));
    }
    faceBrush_ = std::move(face);
    fieldBrush_ = std::move(field);
}

// The system's colours or high contrast changed: the designed colours stay, unless high
// contrast has come or gone.
void Form1::OnColoursChanged() {
    UseColours();
    const ControlSpec &image = form::kControls[RowOf("Image1")];
    logo_ = LogoBitmap(Scaled(image.width), Scaled(image.height), colours_.face);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// A field shows its text from the first character: after a change it scrolls back to the
// start and then only as far as the caret needs, so that typing over a long text never leaves
// the new one out of sight.
void Form1::ShowFromStart(HWND field) {
    RECT room{};
    SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    if (GetWindowTextLengthW(field) == 0 ||
        static_cast<short>(LOWORD(SendMessageW(field, EM_POSFROMCHAR, 0, 0))) >= room.left) {
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    SendMessageW(field, EM_SETSEL, 0, 0);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    SendMessageW(field, EM_SETSEL, start, end);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
}

// The width of a control's text in its own font, in pixels; asked by tests (kTextWidthMessage).
LRESULT Form1::TextWidth(HWND control) const {
    if (TableRowOf(control) == nullptr) {
        return 0;
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    const WindowDC dc(control);
    const SelectedObject font(dc.get(),
                              reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

SIZE Form1::FrameSize() const {
    RECT frame{0, 0, Scaled(form::kClientWidthTwips), Scaled(form::kClientHeightTwips)};
    AdjustForDpi(frame, dpi_);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Form1::ResizeToClientArea(const RECT *suggested) {
    const SIZE frame = FrameSize();
    const int left = suggested != nullptr ? suggested->left : 0;
    const int top = suggested != nullptr ? suggested->top : 0;
    SetWindowPos(hwnd_, nullptr, left, top, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (suggested != nullptr ? 0 : SWP_NOMOVE));
}

void Form1::OnDpiChanged(UINT dpi, const RECT &suggested) {
    dpi_ = dpi;
    const auto previous = std::move(fonts_); // deleted once the controls have the new ones
    MakeFonts();
    Layout(true);
    ResizeToClientArea(&suggested);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form1::FitResultCaption(std::size_t line) {
    const HWND label = Of(form::kResults[line]);
    const form::FontSpec &face = *TableRowOf(label)->font;
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(label, caption.data(), static_cast<int>(caption.size()))));
    RECT box{};
    GetClientRect(label, &box);
    double points = face.points;
    {
        const WindowDC dc(label);
        points = form::FittedPoints(face.points, box.right, [&](double size) {
            const Font font = MakeFont(face, size);
            const SelectedObject selected(dc.get(), font.get());
            SIZE extent{};
            GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()),
                                  &extent);
            return static_cast<int>(extent.cx);
        });
    }
    // The label lets go of its old font before the font is deleted.
    Font fitted = MakeFont(face, points);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fitted.get()), TRUE);
    resultFonts_[line] = std::move(fitted);

    if (tooltip_ == nullptr) {
        MakeResultTips();
    }
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = GetParent(label);
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = caption.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The density field reads like a label (flat, on the face colour) or like an ordinary field
// (sunken, on the colour of input fields); read-only or not is a separate choice.
void Form1::SetDensityLook(bool framed, bool readOnly) {
    const HWND field = Of(form::Id::Text1);
    LONG_PTR extended = GetWindowLongPtrW(field, GWL_EXSTYLE);
    extended = framed ? (extended | WS_EX_CLIENTEDGE) : (extended & ~WS_EX_CLIENTEDGE);
    SetWindowLongPtrW(field, GWL_EXSTYLE, extended);
    SetWindowPos(field, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SendMessageW(field, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    InvalidateRect(field, nullptr, TRUE);
}

// Fields and lists on the field colour (the parts of a list, its edit and its opened list, are
// no rows of the table), everything else on the face.
LRESULT Form1::OnControlColour(HDC dc, HWND control) {
    const ControlSpec *entry = TableRowOf(control);
    const bool onField = entry == nullptr ||
                         (control == Of(form::Id::Text1) ? model_.Now().densityFramed
                                                         : entry->kind == Kind::NumberField ||
                                                               entry->kind == Kind::EditableCombo ||
                                                               entry->kind == Kind::ListCombo);
    if (onField) {
        SetTextColor(dc, colours_.fieldText);
        SetBkColor(dc, colours_.field);
        return reinterpret_cast<LRESULT>(fieldBrush_.get());
    }
    SetTextColor(dc, colours_.OnFace(control == Of(form::Id::Text1) ? form::kSystemColour
                                                                    : entry->textColour));
    SetBkColor(dc, colours_.face);
    return reinterpret_cast<LRESULT>(faceBrush_.get());
}

// A group box drawn here rather than by the system, whose themed and unthemed group boxes
// both draw the caption in their own colour: an etched border, broken by the caption in the
// frame's colour. A borderless frame draws nothing.
void Form1::PaintFrame(HWND frame) const {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(frame, &paint);
    const ControlSpec &entry = *TableRowOf(frame);
    if ((entry.flags & form::Borderless) == 0) {
        RECT box{};
        GetClientRect(frame, &box);
        const SelectedObject font(dc,
                                  reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        RECT border = box;
        border.top += metrics.tmHeight / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        const std::wstring caption = Widen(entry.caption);
        if (!caption.empty()) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            const int indent = MulDiv(8, static_cast<int>(dpi_), kDesignDpi);
            const int gap = MulDiv(2, static_cast<int>(dpi_), kDesignDpi);
            RECT text{box.left + indent - gap, box.top, box.left + indent + extent.cx + gap,
                      box.top + metrics.tmHeight};
            FillRect(dc, &text, faceBrush_.get());
            SetTextColor(dc, colours_.OnFace(entry.textColour));
            SetBkMode(dc, TRANSPARENT);
            TextOutW(dc, box.left + indent, box.top, caption.c_str(),
                     static_cast<int>(caption.size()));
        }
    }
    EndPaint(frame, &paint);
}

void Form1::OnDrawItem(const DRAWITEMSTRUCT &item) const {
    if (const ControlSpec *entry = TableRowOf(item.hwndItem);
        entry != nullptr && entry->kind == Kind::Label) {
        DrawCentredCaption(item, *entry);
        return;
    }
    if (item.hwndItem != image_ || !logo_) {
        return;
    }
    const HDC memory = CreateCompatibleDC(item.hDC);
    {
        const SelectedObject selected(memory, logo_.get());
        BITMAP size{};
        GetObjectW(logo_.get(), sizeof(size), &size);
        BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, size.bmWidth, size.bmHeight, memory, 0,
               0, SRCCOPY);
    }
    DeleteDC(memory);
}

} // namespace kalvor::win32

namespace kalvor::win32 {

// A centred caption on one line, as the static control draws a left-aligned one.
void Form1::DrawCentredCaption(const DRAWITEMSTRUCT &item, const ControlSpec &entry) const {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, faceBrush_.get());
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item.hwndItem)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()))));
    const SelectedObject font(
        item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetTextColor(item.hDC, colours_.OnFace(entry.textColour));
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace kalvor::win32
