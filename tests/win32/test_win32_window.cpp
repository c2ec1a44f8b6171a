// Starts the real kalvor.exe and uses it as a person would: keys through SendInput, clicks,
// picks from the lists, each message box read and answered with Enter; and as other programs
// and accessibility clients do, with messages that set texts and press buttons. Reads the
// controls back and prints one line per check. The calculations it expects are the
// reference's, written on Linux into cases.txt (tests/reference/write_cases.cpp).
//   Usage: test_win32_window path\to\kalvor.exe path\to\cases.txt [group number]
#include "calc/catalogue.h"
#include "calc/messages.h"
#include "form/controls.h"
#include "form/rules.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/win32_text.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kalvor;
using win32::Narrow;
using win32::Widen;

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string &what, const std::string &detail = {}) {
    std::printf("%s - %s%s%s\n", ok ? "ok" : "FAIL", what.c_str(), ok ? "" : ": ",
                ok ? "" : detail.c_str());
    std::fflush(stdout);
    ++(ok ? passed : failed);
}

void Same(const std::string &what, const std::string &got, const std::string &want) {
    Check(got == want, what, "got \"" + got + "\", want \"" + want + "\"");
}

LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    return Narrow({text, static_cast<std::size_t>(
                             Send(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text)))});
}

// A shown top-level window of the thread, by its class: the program's window, a message
// box (#32770), an opened list (ComboLBox).
HWND ThreadWindow(DWORD thread, const wchar_t *className) {
    std::pair<const wchar_t *, HWND> search{className, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND found, LPARAM data) {
            auto *wanted = reinterpret_cast<std::pair<const wchar_t *, HWND> *>(data);
            wchar_t name[64] = {};
            GetClassNameW(found, name, 64);
            if (std::wcscmp(name, wanted->first) == 0 && IsWindowVisible(found)) {
                wanted->second = found;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

INPUT Key(WORD vk, bool up, wchar_t unicode = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = unicode != 0 ? 0 : vk;
    input.ki.wScan = unicode;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (unicode != 0 ? KEYEVENTF_UNICODE : 0);
    return input;
}

void Mouse(DWORD flags, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof(input));
}

void PointAt(HWND control, int x = -1) {
    RECT box{};
    GetWindowRect(control, &box);
    SetCursorPos(x >= 0 ? box.left + x : (box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

// The program under test, its controls found by their identifiers (their row in the table).
class Kalvor {
public:
    explicit Kalvor(const std::wstring &program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring line = L"\"" + program + L"\"";
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_)) {
            return;
        }
        WaitForInputIdle(process_.hProcess, 10000);
        for (int tries = 0; tries < 100 && window == nullptr; ++tries, Sleep(100)) {
            window = ThreadWindow(process_.dwThreadId, win32::kWindowClass);
        }
        EnumChildWindows(
            window,
            [](HWND child, LPARAM self) {
                const auto row =
                    static_cast<std::size_t>(GetDlgCtrlID(child) - win32::kFirstControlId);
                if (row < form::kControls.size()) {
                    reinterpret_cast<Kalvor *>(self)
                        ->controls_[std::string(form::kControls[row].name)] = child;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
        SetForegroundWindow(window);
        Settle();
    }
    ~Kalvor() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool Started() const { return window != nullptr && controls_.size() == form::kControls.size(); }

    // nullptr for a control the window lacks: its checks then fail, and the others still run.
    HWND operator[](std::string_view name) const {
        const auto found = controls_.find(std::string(name));
        return found == controls_.end() ? nullptr : found->second;
    }
    std::string Text(std::string_view name) const { return TextOf((*this)[name]); }
    // The control's own visibility, whatever its frame's.
    bool Shown(std::string_view name) const { return HasStyle(name, WS_VISIBLE); }
    bool HasStyle(std::string_view name, LONG_PTR style, int which = GWL_STYLE) const {
        return (GetWindowLongPtrW((*this)[name], which) & style) != 0;
    }
    int Selected(std::string_view list) const {
        return static_cast<int>(Send((*this)[list], CB_GETCURSEL));
    }
    std::string Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(process_.dwThreadId, &info);
        for (HWND at = info.hwndFocus; at != nullptr && at != window; at = GetParent(at)) {
            for (const auto &[name, control] : controls_) {
                if (control == at) {
                    return name;
                }
            }
        }
        return "(none)";
    }
    bool WholeTextSelected(std::string_view name) const {
        const auto selection = static_cast<DWORD>(Send((*this)[name], EM_GETSEL));
        return LOWORD(selection) == 0 && HIWORD(selection) == Text(name).size();
    }

    // Each round lets the program take at least one more message off its queue.
    void Settle(int rounds = 8) const {
        for (int n = 0; n < rounds; ++n) {
            Sleep(5);
            Send(window, WM_NULL);
        }
    }
    void Press(WORD vk, std::vector<WORD> held = {}) const {
        std::vector<INPUT> keys;
        for (const WORD modifier : held) {
            keys.push_back(Key(modifier, false));
        }
        keys.push_back(Key(vk, false));
        keys.push_back(Key(vk, true));
        for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier) {
            keys.push_back(Key(*modifier, true));
        }
        SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
        Settle();
    }
    void Type(std::string_view text) const {
        for (const wchar_t c : Widen(text)) {
            INPUT keys[2] = {Key(0, false, c), Key(0, true, c)};
            SendInput(2, keys, sizeof(INPUT));
            Settle();
        }
    }
    void Click(HWND control, bool right = false, int x = -1) const {
        PointAt(control, x);
        Mouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        Mouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        Settle();
    }
    void Click(std::string_view name) const { Click((*this)[name]); }
    // Clicks into a field (or the material box) and types over its whole text.
    void Fill(std::string_view name, std::string_view text) const {
        Click(name);
        Press(VK_END);
        Press(VK_HOME, {VK_SHIFT});
        Press(VK_DELETE);
        Type(text);
    }
    // Opens the list with a click on its arrow, then clicks the entry.
    void Pick(std::string_view list, int row) const {
        RECT box{};
        GetWindowRect((*this)[list], &box);
        Click((*this)[list], false, box.right - box.left - 6);
        HWND opened = nullptr;
        for (int tries = 0; tries < 50 && opened == nullptr; ++tries, Sleep(20)) {
            opened = ThreadWindow(process_.dwThreadId, L"ComboLBox");
        }
        const auto height = static_cast<int>(Send(opened, LB_GETITEMHEIGHT));
        POINT at{20, (row - static_cast<int>(Send(opened, LB_GETTOPINDEX))) * height + height / 2};
        ClientToScreen(opened, &at);
        SetCursorPos(at.x, at.y);
        Settle(2);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_LEFTUP);
        Settle();
    }

    // The next message box, waited for at most waitMs; nullptr when none comes.
    HWND WaitBox(int waitMs = 3000) const {
        HWND box = nullptr;
        for (int waited = 0; waited < waitMs && box == nullptr; waited += 25, Sleep(25)) {
            box = ThreadWindow(process_.dwThreadId, L"#32770");
        }
        return box;
    }
    // The boxes open at once.
    int Boxes() const {
        std::pair<int, DWORD> count{0, process_.dwThreadId};
        EnumThreadWindows(
            process_.dwThreadId,
            [](HWND found, LPARAM data) {
                wchar_t name[16] = {};
                GetClassNameW(found, name, 16);
                reinterpret_cast<std::pair<int, DWORD> *>(data)->first +=
                    std::wcscmp(name, L"#32770") == 0 && IsWindowVisible(found);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        return count.first;
    }
    // The box's "prompt / title", then the box answered with Enter.
    std::string Answer(HWND box) const {
        std::string prompt; // the longest text of the box's labels
        EnumChildWindows(
            box,
            [](HWND child, LPARAM out) {
                auto &longest = *reinterpret_cast<std::string *>(out);
                const std::string text = TextOf(child);
                wchar_t name[16] = {};
                GetClassNameW(child, name, 16);
                if (std::wcscmp(name, L"Static") == 0 && text.size() > longest.size()) {
                    longest = text;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&prompt));
        const std::string read = prompt + " / " + TextOf(box);
        SetForegroundWindow(box);
        Press(VK_RETURN);
        for (int tries = 0; tries < 100 && IsWindow(box); ++tries) {
            Sleep(20);
        }
        Settle();
        return read;
    }
    std::optional<std::string> AnswerBox(int waitMs = 3000) const {
        const HWND box = WaitBox(waitMs);
        return box == nullptr ? std::nullopt : std::optional(Answer(box));
    }

    // Another program's or an accessibility client's roads into a control.
    void Put(std::string_view name, std::string_view text, UINT message = WM_SETTEXT) const {
        const std::wstring wide = Widen(text);
        Send((*this)[name], message, message == EM_REPLACESEL,
             reinterpret_cast<LPARAM>(wide.c_str()));
        Settle();
    }
    void PostPress() const {
        PostMessageW((*this)["Command1"], BM_CLICK, 0, 0);
        Settle();
    }

    // The inputs on show, the price and its basis only where asked for.
    std::string Inputs(bool prices = true) const {
        std::string text;
        for (const char *name : {"Combo1", "Text1", "Combo2", "Text2", "Text3", "Text4", "Text5"}) {
            text += Text(name) + "|";
        }
        return prices ? text + Text("Text6") + "|" +
                            std::to_string(Send((*this)["Option2"], BM_GETCHECK))
                      : text;
    }
    // Three result lines from the first, each with + when shown.
    std::string Lines(std::size_t first) const {
        std::string text;
        for (std::size_t n = first; n < first + 3; ++n) {
            text += Text(form::kResultLabels[n]) + (Shown(form::kResultLabels[n]) ? "+|" : "-|");
        }
        return text;
    }
    std::string Results() const {
        return Lines(0) + Lines(3) + std::to_string(Shown("Frame4")) +
               std::to_string(Shown("Frame5"));
    }
    // After a press: what is on show belongs to the inputs on show.
    void Calculated() {
        weightsFrom_ = Inputs(false);
        costsFrom_ = Inputs();
        weights_ = Lines(0);
        costs_ = Lines(3);
    }
    // After any other action: the weights on show are the last press's for the same
    // material, shape, dimensions and pieces; the costs on show, for the same inputs.
    void Belongs(const std::string &after) const {
        Check((!Shown("Frame4") || (Inputs(false) == weightsFrom_ && Lines(0) == weights_)) &&
                  (!Shown("Frame5") || (Inputs() == costsFrom_ && Lines(3) == costs_)),
              after + ": no result for other inputs", Inputs() + " " + Results());
    }

    HWND window = nullptr;

private:
    PROCESS_INFORMATION process_{};
    std::map<std::string, HWND> controls_;
    std::string weightsFrom_, costsFrom_, weights_, costs_;
};

std::string Clipboard() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = Narrow(static_cast<const wchar_t *>(GlobalLock(data)));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

void SetClipboard(std::string_view text) {
    static const HWND owner =
        CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }
}

int MaterialRow(std::string_view name) {
    return static_cast<int>(calc::FindMaterial(name) - calc::kMaterials.data());
}
int ShapeRow(std::string_view name) {
    return static_cast<int>(calc::FindShape(name) - calc::kShapes.data());
}

struct Order {
    const char *material, *density; // the density is typed for "ALTRO" only
    const char *shape, *dimensions[3], *pieces, *price;
    bool perMetre;
};

// Picks, types and clicks the order into the window.
void Enter(const Kalvor &k, const Order &o) {
    const calc::ShapeEntry &shape = calc::kShapes[ShapeRow(o.shape)];
    k.Pick("Combo1", MaterialRow(o.material));
    if (calc::kMaterials[MaterialRow(o.material)].userEntered) {
        k.Fill("Text1", o.density);
    }
    k.Pick("Combo2", ShapeRow(o.shape));
    for (int n = 0; n < 3; ++n) {
        if (shape.rows[n].shown) {
            k.Fill(calc::kDimensionRows[n].field, o.dimensions[n]);
        }
    }
    k.Fill("Text5", o.pieces);
    k.Fill("Text6", o.price);
    if (o.perMetre ? shape.perMetreEnabled : shape.perKiloEnabled) {
        k.Click(o.perMetre ? "Option2" : "Option1");
    }
}

const Order kRoundBar{
    "Acciaio al carbonio", "", "Barra tonda", {"50", "1000", ""}, "3", "2,5", false};

std::string Sides(const RECT &r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void LayoutAtStart(const std::wstring &program) {
    const Kalvor k(program);
    Check(k.Started(), "start: the window and its 46 controls");
    RECT client{};
    GetClientRect(k.window, &client);
    Same("start: client area", Sides(client), "0,0 442x488");
    Same("start: title", TextOf(k.window), std::string(form::kTitle));
    Same("start: focus", k.Focus(), "Combo1");
    Same("start: material prompt", k.Text("Combo1"), std::string(form::kMaterialPrompt));
    Check(k.Selected("Combo1") == -1 && k.Selected("Combo2") == -1, "start: nothing picked");
    Check(k.Text("Text1") == "0,0" && !k.HasStyle("Text1", ES_READONLY) &&
              !k.HasStyle("Text1", WS_EX_CLIENTEDGE, GWL_EXSTYLE),
          "start: density 0,0, flat and editable");
    std::string lists;
    std::string catalogue;
    for (int n = 0; n < 23; ++n) {
        wchar_t item[64] = {};
        Send(k[n < 16 ? "Combo1" : "Combo2"], CB_GETLBTEXT, n % 16, reinterpret_cast<LPARAM>(item));
        lists += Narrow(item) + "|";
        catalogue +=
            std::string(n < 16 ? calc::kMaterials[n].listText : calc::kShapes[n - 16].listText) +
            "|";
    }
    Same("start: lists in catalogue order", lists + std::to_string(Send(k["Combo1"], CB_GETCOUNT)),
         catalogue + "16");

    // Every control where the table puts it, shown or hidden as it says.
    std::map<std::string_view, RECT> placed;
    for (const form::ControlSpec &row : form::kControls) {
        RECT want{row.left, row.top, row.left + row.width, row.top + row.height};
        if (const auto *frame = form::FindControl(row.container)) {
            OffsetRect(&want, frame->left, frame->top);
        }
        want = {form::Pixels(want.left), form::Pixels(want.top),
                form::Pixels(want.left) + form::Pixels(row.width),
                form::Pixels(want.top) + form::Pixels(row.height)};
        RECT &box = placed[row.name];
        GetWindowRect(k[row.name], &box);
        MapWindowPoints(nullptr, k.window, reinterpret_cast<POINT *>(&box), 2);
        Same("start: " + std::string(row.name), Sides(box) + (k.Shown(row.name) ? "" : " hidden"),
             Sides(want) + ((row.flags & form::Hidden) != 0 ? " hidden" : ""));
    }
    // A screen reader names an input by the caption made right before it.
    for (const form::CaptionedInput &pair : form::kInputCaptions) {
        Check(k[pair.caption] && GetWindow(k[pair.input], GW_HWNDPREV) == k[pair.caption],
              "start: " + std::string(pair.input) + " named by " + std::string(pair.caption));
    }
    // Where two controls overlap, the earlier row lies on top, and a frame's contents on it.
    int overlaps = 0;
    std::string wrong;
    for (std::size_t a = 0; a < form::kControls.size(); ++a) {
        for (std::size_t b = a + 1; b < form::kControls.size(); ++b) {
            const form::ControlSpec &upper = form::kControls[a];
            const form::ControlSpec &lower = form::kControls[b];
            RECT both{};
            if (GetParent(k[upper.name]) != GetParent(k[lower.name]) ||
                !IntersectRect(&both, &placed[upper.name], &placed[lower.name])) {
                continue;
            }
            ++overlaps;
            bool below = false; // lower lies under upper
            for (HWND at = GetWindow(k[upper.name], GW_HWNDNEXT); at;
                 at = GetWindow(at, GW_HWNDNEXT)) {
                below = below || at == k[lower.name];
            }
            if (below != (lower.container != upper.name)) {
                wrong += std::string(upper.name) + "/" + std::string(lower.name) + " ";
            }
        }
    }
    Check(overlaps >= 8 && wrong.empty(),
          "start: stacking of " + std::to_string(overlaps) + " overlaps", wrong);

    // The designed colours, whatever the desktop's, within a shade (text is drawn smoothed).
    Sleep(500);
    k.Settle();
    const auto anyPixel = [&](std::string_view name, COLORREF colour, bool same) {
        RECT box = placed[name];
        MapWindowPoints(k.window, nullptr, reinterpret_cast<POINT *>(&box), 2);
        const HDC screen = GetDC(nullptr);
        bool found = false;
        for (int y = box.top; y < box.bottom && !found; ++y) {
            for (int x = box.left; x < box.right && !found; ++x) {
                const COLORREF c = GetPixel(screen, x, y);
                const int off = std::abs(GetRValue(c) - GetRValue(colour)) +
                                std::abs(GetGValue(c) - GetGValue(colour)) +
                                std::abs(GetBValue(c) - GetBValue(colour));
                found = same == (off < 48);
            }
        }
        ReleaseDC(nullptr, screen);
        return found;
    };
    const std::pair<const char *, COLORREF> colours[] = {{"Frame1", RGB(0, 0, 192)},
                                                         {"Label6", RGB(255, 0, 0)},
                                                         {"Label27", RGB(0, 192, 0)},
                                                         {"Label8", RGB(0, 0, 255)}};
    for (const auto &[name, colour] : colours) {
        Check(anyPixel(name, colour, true), "start: " + std::string(name) + " in its colour");
    }
    Check(anyPixel("Image1", GetSysColor(COLOR_BTNFACE), false), "start: the logo drawn");

    // Tab walks the table's order, past hidden rows and the unchecked option.
    std::string walked;
    for (int n = 0; n < 7; ++n) {
        k.Press(VK_TAB);
        walked += k.Focus() + " ";
    }
    k.Pick("Combo2", ShapeRow("Lamiera"));
    for (int n = 0; n < 4; ++n) {
        k.Press(VK_TAB);
        walked += k.Focus() + " ";
    }
    k.Press(VK_TAB, {VK_SHIFT});
    Same("tab: rows hidden, then shown, then back", walked + k.Focus(),
         "Combo2 Text5 Text6 Command1 Text1 Option1 Combo1 Text2 Text3 Text4 Text5 Text4");

    const auto cursorOver = [&](const char *name) {
        PointAt(k[name]);
        k.Settle();
        CURSORINFO over{};
        over.cbSize = sizeof(over);
        GetCursorInfo(&over);
        return over.hCursor;
    };
    Check(cursorOver("Label6") != cursorOver("Label8"), "start: the hand over the link");
}

void Picks(const std::wstring &program) {
    const Kalvor k(program);
    for (const calc::MaterialEntry &material : calc::kMaterials) {
        k.Pick("Combo1", MaterialRow(material.listText));
        Check(k.Text("Combo1") == material.listText && k.Text("Text1") == material.densityText &&
                  k.HasStyle("Text1", ES_READONLY) != material.userEntered &&
                  k.HasStyle("Text1", WS_EX_CLIENTEDGE, GWL_EXSTYLE) == material.userEntered,
              "pick " + std::string(material.listText), k.Text("Combo1") + " " + k.Text("Text1"));
    }
    // The shapes by keyboard: every arrow key is a pick.
    k.Press(VK_TAB);
    const auto sign = [](bool on) { return on ? "+ " : "- "; };
    for (const calc::ShapeEntry &shape : calc::kShapes) {
        k.Press(VK_DOWN);
        std::string got;
        std::string want;
        for (int n = 0; n < 3; ++n) {
            const calc::DimensionRow &row = calc::kDimensionRows[n];
            const bool on = shape.rows[n].shown;
            got += k.Text(row.captionLabel) + sign(k.Shown(row.captionLabel)) + k.Text(row.field) +
                   sign(k.Shown(row.field)) + sign(k.Shown(row.unitLabel));
            want += std::string(shape.rows[n].caption) + sign(on) + "0,0" + sign(on) + sign(on);
        }
        for (const char *option : {"Option1", "Option2"}) {
            got += sign(IsWindowEnabled(k[option])) +
                   std::string(sign(Send(k[option], BM_GETCHECK) == BST_CHECKED));
        }
        want += std::string(sign(shape.perKiloEnabled)) + sign(shape.perKiloSelected) +
                sign(shape.perMetreEnabled) + sign(shape.perMetreSelected);
        Same("pick " + std::string(shape.listText), got, want);
    }
    // The wheel turns a list only while the list has the focus.
    PointAt(k["Combo2"], 10);
    Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    k.Settle();
    Check(k.Selected("Combo2") == ShapeRow("Disco") && k.Text("Label9") == "Spessore",
          "wheel: turns the focused list and picks");
    k.Click("Text5");
    PointAt(k["Combo2"], 10);
    Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    PostMessageW(k["Combo2"], WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    k.Settle();
    Check(k.Selected("Combo2") == ShapeRow("Disco") && k.Focus() == "Text5",
          "wheel: leaves a list without the focus alone");
}

// The reason for a refusal, in the balloon at the field; empty when none is on show.
std::string Explained(const Kalvor &k) {
    const HWND tip = ThreadWindow(GetWindowThreadProcessId(k.window, nullptr), L"tooltips_class32");
    return tip == nullptr ? "" : TextOf(tip);
}

void Channels(const std::wstring &program) {
    Kalvor k(program);
    Enter(k, kRoundBar);
    // Keys, each filtered on its way in; past the field's length a key is refused with a reason.
    struct Typing {
        const char *field, *typed, *shows;
    };
    for (const Typing &row :
         {Typing{"Text6", "12.5x-3", "12,53"}, Typing{"Text5", "2,5 a7", "257"},
          Typing{"Text2", "1,2,3", "1,23"}, Typing{"Text6", "123456789", "12345678"}}) {
        k.Fill(row.field, row.typed);
        Same("type " + std::string(row.typed) + " into " + row.field, k.Text(row.field), row.shows);
    }
    Same("type past the length: the reason at the field", Explained(k),
         std::string(form::kTooLongReason));
    k.Press(VK_BACK, {VK_CONTROL});
    Same("type Ctrl+Backspace: no character", k.Text("Text6"), "12345678");

    struct Paste {
        const char *field;
        WORD key; // Ctrl+V or Shift+Insert
        const char *pasted, *shows, *name;
    };
    const Paste pastes[] = {{"Text6", 'V', "1.500", "9", "an ambiguous number"},
                            {"Text6", 'V', "1.234,5", "1234,5", "thousands and a comma"},
                            {"Text6", VK_INSERT, " 2.5 ", "2,5", "Shift+Insert"},
                            {"Text1", 'V', "9", "7,85", "into the read-only density"}};
    for (const Paste &paste : pastes) {
        if (paste.field != std::string_view("Text1")) {
            k.Fill(paste.field, "9");
        }
        k.Click(paste.field);
        SetClipboard(paste.pasted);
        k.Press(paste.key, {paste.key == 'V' ? WORD{VK_CONTROL} : WORD{VK_SHIFT}});
        Same("paste: " + std::string(paste.name), k.Text(paste.field), paste.shows);
    }

    // Other programs and accessibility clients: refused texts leave the field and the results.
    k.Fill("Text2", "50");
    k.Click("Command1");
    k.Calculated();
    const std::string junk = "１２٣.,,ab";
    struct Outside {
        const char *name, *field;
        std::function<void()> act;
        const char *shows;
        bool resultsStay;
    };
    const Outside roads[] = {
        {"WM_SETTEXT", "Text2", [&] { k.Put("Text2", junk); }, "50", true},
        {"EM_REPLACESEL", "Text2", [&] { k.Put("Text2", junk, EM_REPLACESEL); }, "50", true},
        {"WM_UNICHAR", "Text2",
         [&] {
             for (const wchar_t c : std::wstring(L"１٣.a")) { // one comma would be taken
                 Send(k["Text2"], WM_UNICHAR, c);
             }
         },
         "50", true},
        {"WM_SETTEXT into the read-only density", "Text1", [&] { k.Put("Text1", "99"); }, "7,85",
         true},
        {"WM_SETTEXT of a number", "Text2", [&] { k.Put("Text2", "60"); }, "60", false},
    };
    for (const Outside &road : roads) {
        road.act();
        k.Settle();
        Check(k.Text(road.field) == road.shows && k.Shown("Frame4") == road.resultsStay,
              std::string("outside: ") + road.name, k.Text(road.field));
        k.Belongs(std::string("outside: ") + road.name);
    }

    // The material box: a name set from outside is judged at the next press.
    k.Fill("Text2", "50");
    k.Click("Command1");
    k.Calculated();
    k.Put("Combo1", "Titanio");
    Check(!k.Shown("Frame4") && !k.Shown("Frame5"), "outside: a material name hides the results");
    k.Click("Command1");
    k.Calculated();
    Check(k.Text("Text1") == "4,51" && k.Text("Label19") == "1 pezzo: 8,86 Kg",
          "outside: the next press uses the named material's density, by hand",
          k.Text("Text1") + " " + k.Text("Label19"));
    const auto selection = static_cast<DWORD>(Send(k["Combo1"], CB_GETEDITSEL));
    Check(k.Focus() == "Combo1" && LOWORD(selection) == 0 &&
              HIWORD(selection) == k.Text("Combo1").size(),
          "after a press: the material's name selected");
    k.Type("Alluminio");
    Same("after a press: typing replaces the name", k.Text("Combo1"), "Alluminio");
    k.Belongs("typing a material");
}

void WhatMakesResultsStale(const std::wstring &program) {
    Kalvor k(program);
    Enter(k, kRoundBar);
    struct Row {
        const char *what;
        std::function<void()> act;
        bool weights, costs; // still on show
    };
    const Row rows[] = {
        {"a key in the price", [&] { k.Click("Text6"), k.Type("3"); }, true, false},
        {"Ctrl+C in the price", [&] { k.Press('C', {VK_CONTROL}); }, true, true},
        {"an arrow between the options",
         [&] { k.Click("Text1"), k.Press(VK_TAB), k.Press(VK_RIGHT); }, true, false},
        {"a paste into the pieces",
         [&] { k.Click("Text5"), SetClipboard("4"), k.Press('V', {VK_CONTROL}); }, false, false},
        {"Delete in a dimension", [&] { k.Click("Text3"), k.Press(VK_DELETE); }, false, false}};
    for (const Row &row : rows) {
        k.Click("Command1");
        k.Calculated();
        const bool before = k.Shown("Frame4") && k.Shown("Frame5");
        row.act();
        Check(before && k.Shown("Frame4") == row.weights && k.Shown("Frame5") == row.costs,
              std::string("stale: ") + row.what);
        k.Belongs(std::string("stale: ") + row.what);
    }
}

// Each press of cases.txt replayed: the inputs set from outside, CALCOLA pressed, then the
// whole screen compared with the reference's.
void ReplayCases(const std::wstring &program, const std::wstring &casesFile) {
    Kalvor k(program);
    std::vector<std::vector<std::string>> cases;
    std::ifstream file(std::filesystem::path(casesFile), std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        cases.push_back(fields);
    }
    Check(cases.size() >= 40, "cases: read " + std::to_string(cases.size()));
    k.Pick("Combo1", MaterialRow("ALTRO"));
    int number = 0;
    for (const std::vector<std::string> &f : cases) {
        // density, three dimensions, pieces, price, shape, per metre; frames, six lines,
        // pieces, focus, selected; messages.
        const std::string row = "case " + std::to_string(++number);
        if (f.size() < 18) {
            Check(false, row + ": a line of 18 fields or more");
            continue;
        }
        if (!f[6].empty()) {
            const HWND list = k["Combo2"];
            Send(list, CB_SETCURSEL, ShapeRow(f[6]));
            Send(k.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
        }
        for (int n = 0; n < 6; ++n) {
            k.Put("Text" + std::to_string(n + 1), f[static_cast<std::size_t>(n)]);
        }
        Send(k[f[7] == "1" ? "Option2" : "Option1"], BM_CLICK);
        k.Settle();
        Same(row + ": inputs taken", k.Inputs(),
             "ALTRO|" + f[0] + "|" + f[6] + "|" + f[1] + "|" + f[2] + "|" + f[3] + "|" + f[4] +
                 "|" + f[5] + "|" + f[7]);
        k.Belongs(row + ": inputs");
        k.PostPress();
        for (std::size_t m = 18; m + 1 < f.size(); m += 2) {
            Same(row + ": message", k.AnswerBox().value_or("(no box)"), f[m] + " / " + f[m + 1]);
        }
        Check(!k.AnswerBox(200), row + ": no further message");
        std::string results;
        for (std::size_t n = 9; n < 15; ++n) {
            results += f[n].substr(1) + (f[n][0] == '+' ? "+|" : "-|");
        }
        Same(row + ": results", k.Results(), results + f[8]);
        Same(row + ": pieces", k.Text("Text5"), f[15]);
        Check(k.Focus() == f[16] && (f[17] != "1" || k.WholeTextSelected(f[16])),
              row + ": focus in " + f[16], k.Focus());
        k.Calculated();
    }
}

// One press at a time: while a press's message box is open, nothing else is calculated, and
// a change of the inputs under the box leaves the press without results.
void PressesUnderABox(const std::wstring &program) {
    Kalvor k(program);
    Enter(k, {"ALTRO", "0,00", "Barra tonda", {"50", "1000", ""}, "3", "2,5", false});
    k.PostPress();
    const HWND box = k.WaitBox();
    k.Put("Text1", "7,85");
    k.PostPress();
    Check(box != nullptr && k.Boxes() == 1 && !k.Shown("Frame4") && !k.Shown("Frame5"),
          "box open: a press waits, no result beside the box");
    Same("box open: the box", box != nullptr ? k.Answer(box) : "(no box)",
         std::string(calc::kNoMaterial.prompt) + " / " + std::string(calc::kNoMaterial.title));
    Check(!k.AnswerBox(300) && !k.Shown("Frame4") && !k.Shown("Frame5"),
          "box closed: the press whose inputs changed shows nothing");

    k.Put("Text1", "0,00");
    for (int n = 0; n < 3000; ++n) {
        PostMessageW(k["Text6"], WM_CHAR, u'\r', 0);
    }
    int boxes = 0;
    int most = 0;
    for (HWND open = k.WaitBox(); open != nullptr && boxes < 50; open = k.WaitBox(1000)) {
        most = std::max(most, k.Boxes());
        k.Answer(open);
        ++boxes;
    }
    DWORD_PTR answer = 0;
    Check(boxes >= 1 && boxes < 50 && most == 1 &&
              SendMessageTimeoutW(k.window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer) != 0,
          "3000 Enters: " + std::to_string(boxes) +
              " boxes, one at a time, then the program answers");
    k.Belongs("3000 Enters");
}

void EnterAndTypedMaterial(const std::wstring &program) {
    Kalvor k(program);
    Enter(k, kRoundBar);
    k.Click("Text3");
    Check(k.WholeTextSelected("Text3"), "entry: a click selects the whole text");
    const auto enterCalculates = [&](const std::string &where) {
        k.Press(VK_RETURN);
        Check(k.Shown("Frame4") && k.Shown("Frame5") && !k.AnswerBox(200),
              "enter " + where + " calculates");
        k.Calculated();
    };
    enterCalculates("in a dimension");
    Same("enter: never inserted", k.Text("Text3"), "1000");
    k.Fill("Text6", "3");
    k.Press(VK_TAB);
    enterCalculates("on CALCOLA");
    k.Click("Option2");
    enterCalculates("on a price option");
    k.Fill("Text5", "4");
    k.Click("Combo1");
    k.Press(VK_TAB);
    enterCalculates("on the shape list");

    k.Fill("Combo1", " alluminio ");
    Check(!k.Shown("Frame4") && !k.Shown("Frame5"), "typed material: an edit hides the results");
    k.Press(VK_RETURN);
    Check(k.Text("Combo1") == "Alluminio" && k.Selected("Combo1") == MaterialRow("Alluminio") &&
              k.Text("Text1") == "2,70" && k.Shown("Frame4"),
          "typed material: Enter picks it as from the list, then calculates", k.Text("Combo1"));
    k.Calculated();
    k.Fill("Combo1", "TITANIO");
    k.Press(VK_TAB);
    Check(k.Text("Combo1") == "Titanio" && k.Text("Text1") == "4,51" &&
              k.HasStyle("Text1", ES_READONLY),
          "typed material: picked on leaving the box", k.Text("Combo1") + " " + k.Text("Text1"));
    k.Click("Text1");
    Check(!k.WholeTextSelected("Text1"), "entry: the read-only density selects nothing");
    k.Fill("Combo1", "Ottone");
    k.Press(VK_TAB);
    Check(k.Text("Combo1") == "Ottone" && k.Text("Text1") == "0,00" &&
              !k.HasStyle("Text1", ES_READONLY) &&
              k.HasStyle("Text1", WS_EX_CLIENTEDGE, GWL_EXSTYLE),
          "typed material: an unknown name drops the density and opens it for typing",
          k.Text("Text1"));
    k.Click("Text1");
    Check(k.WholeTextSelected("Text1"), "entry: the editable density selects its text");
    k.Belongs("typed material");
}

void CopyForAQuote(const std::wstring &program) {
    Kalvor k(program);
    Enter(k, kRoundBar);
    k.Click("Command1");
    std::vector<std::string> lines;
    for (const std::string_view line : form::kResultLabels) {
        if (k.Shown(line)) {
            lines.push_back(k.Text(line));
        }
    }
    form::QuoteInputs quote{"Acciaio al carbonio",
                            "7,85",
                            "Barra tonda",
                            {{"Diametro:", "50"}, {"Lunghezza:", "1000"}},
                            "3",
                            "2,5",
                            false,
                            {lines.begin(), lines.end()}};
    const std::string block = form::QuoteBlock(quote, "\r\n");
    Check(block.starts_with("materiale: Acciaio al carbonio\r\ndensità: 7,85 Kg/dm³\r\n"),
          "copy: the block's head, by hand");
    const auto copied = [&](const std::function<void()> &act) {
        SetClipboard("-");
        act();
        return Clipboard();
    };
    Same("copy: Ctrl+Shift+C", copied([&] { k.Press('C', {VK_CONTROL, VK_SHIFT}); }), block);
    Same("copy: Copia",
         copied([&] { k.Click(k["Label19"], true), k.Press(VK_DOWN), k.Press(VK_RETURN); }),
         lines.front());
    Same("copy: Copia tutti i risultati", copied([&] {
             k.Click(k["Label22"], true), k.Press(VK_DOWN), k.Press(VK_DOWN), k.Press(VK_RETURN);
         }),
         block);
    k.Fill("Text5", "4");
    Same("copy: nothing while the results are stale", copied([&] {
             k.Press('C', {VK_CONTROL, VK_SHIFT});
         }),
         "-");
}

} // namespace

int main() {
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 3) {
        std::printf("usage: test_win32_window path\\to\\kalvor.exe path\\to\\cases.txt [group]\n");
        return 2;
    }
    const std::wstring program = arguments[1];
    const std::wstring cases = arguments[2];
    const std::wstring only = count > 3 ? arguments[3] : L"";
    LocalFree(arguments);
    const std::function<void(const std::wstring &)> groups[] = {
        LayoutAtStart,
        Picks,
        Channels,
        WhatMakesResultsStale,
        [&](const std::wstring &p) { ReplayCases(p, cases); },
        PressesUnderABox,
        EnterAndTypedMaterial,
        CopyForAQuote};
    int number = 0;
    for (const auto &group : groups) {
        if (only.empty() || only == std::to_wstring(++number)) {
            group(program);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
