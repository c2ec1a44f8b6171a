// Starts the real kalvor.exe and uses it as a person would: keys through SendInput, clicks,
// picks from the lists, each message box read and answered with Enter. Reads the controls back
// and prints one line per check; the results it expects come from calc::Calcola, except a few
// worked out by hand.   Usage: test_win32_window path\to\kalvor.exe [group number]
#include "calc/calcola.h"
#include "calc/catalogue.h"
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
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
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

    // The next message box, "prompt / title", answered with Enter; nothing when none comes.
    std::optional<std::string> AnswerBox(int waitMs = 3000) const {
        HWND box = nullptr;
        for (int waited = 0; waited < waitMs && box == nullptr; waited += 25, Sleep(25)) {
            box = ThreadWindow(process_.dwThreadId, L"#32770");
        }
        if (box == nullptr) {
            return std::nullopt;
        }
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

    HWND window = nullptr;

private:
    PROCESS_INFORMATION process_{};
    std::map<std::string, HWND> controls_;
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

// What the window should show, kept by applying calc::Calcola's steps as the window does.
struct Model {
    bool frames[2] = {false, false};
    bool shown[6] = {true, true, true, true, true, true};
    std::string captions[6];
    std::vector<calc::ShowMessage> messages;
    std::optional<calc::MoveFocus> focus;
    Model() {
        for (int n = 0; n < 6; ++n) {
            captions[n] = form::FindControl(form::kResultLabels[n])->caption;
        }
    }
    void Apply(const calc::CalcolaInputs &inputs) {
        messages.clear();
        focus.reset();
        for (const calc::Step &step : calc::Calcola(inputs)) {
            if (const auto *frame = std::get_if<calc::ShowFrame>(&step)) {
                frames[static_cast<int>(frame->frame)] = frame->visible;
            } else if (const auto *message = std::get_if<calc::ShowMessage>(&step)) {
                messages.push_back(*message);
            } else if (const auto *label = std::get_if<calc::ShowLabel>(&step)) {
                shown[static_cast<int>(label->label)] = label->visible;
            } else if (const auto *caption = std::get_if<calc::WriteCaption>(&step)) {
                captions[static_cast<int>(caption->label)] = caption->caption;
            } else if (const auto *moved = std::get_if<calc::MoveFocus>(&step)) {
                focus = *moved;
            }
        }
    }
};

// Presses CALCOLA (with the key, or a click), answers every box, and compares the window with
// the model: messages, result lines, frames, focus and its selection.
void Calculate(const Kalvor &k, Model &model, const calc::CalcolaInputs &in, const std::string &row,
               WORD key = 0) {
    constexpr const char *kFocusNames[] = {"Combo1", "Text1", "Text2", "Text3",
                                           "Text4",  "Text5", "Text6"};
    model.Apply(in);
    key != 0 ? k.Press(key) : k.Click("Command1");
    for (const calc::ShowMessage &want : model.messages) {
        Same(row + ": message", k.AnswerBox().value_or("(no box)"),
             want.prompt + " / " + want.title);
    }
    Check(!k.AnswerBox(200), row + ": no further message");
    std::string got;
    std::string want;
    for (int n = 0; n < 6; ++n) {
        got += k.Text(form::kResultLabels[n]) + (k.Shown(form::kResultLabels[n]) ? "+|" : "-|");
        want += model.captions[n] + (model.shown[n] ? "+|" : "-|");
    }
    Same(row + ": results",
         got + std::to_string(k.Shown("Frame4")) + std::to_string(k.Shown("Frame5")),
         want + std::to_string(model.frames[0]) + std::to_string(model.frames[1]));
    if (model.focus) {
        const char *name = kFocusNames[static_cast<int>(model.focus->control)];
        Check(k.Focus() == name && (!model.focus->selectText || k.WholeTextSelected(name)),
              row + ": focus in " + name, k.Focus());
    }
}

struct Order {
    const char *material, *density; // the density is typed for "ALTRO" only
    const char *shape, *dimensions[3], *pieces, *price;
    bool perMetre;
};

// Picks, types and clicks the order into the window, and returns what the window then holds.
calc::CalcolaInputs Enter(const Kalvor &k, Model &model, const Order &o) {
    model.frames[0] = model.frames[1] = false; // a pick hides both
    const calc::MaterialEntry &material = calc::kMaterials[MaterialRow(o.material)];
    const calc::ShapeEntry &shape = calc::kShapes[ShapeRow(o.shape)];
    calc::CalcolaInputs in{std::string(material.densityText),
                           {"0,0", "0,0", "0,0"},
                           o.pieces,
                           o.price,
                           o.shape,
                           shape.perKiloSelected,
                           shape.perMetreSelected};
    k.Pick("Combo1", MaterialRow(o.material));
    if (material.userEntered) {
        k.Fill("Text1", in.density = o.density);
    }
    k.Pick("Combo2", ShapeRow(o.shape));
    for (int n = 0; n < 3; ++n) {
        if (shape.rows[n].shown) {
            k.Fill(calc::kDimensionRows[n].field, in.dimensions[n] = o.dimensions[n]);
        }
    }
    k.Fill("Text5", o.pieces);
    k.Fill("Text6", o.price);
    if (o.perMetre ? shape.perMetreEnabled : shape.perKiloEnabled) {
        k.Click(o.perMetre ? "Option2" : "Option1");
        in.perKilo = !o.perMetre;
        in.perMetre = o.perMetre;
    }
    return in;
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

void FiltersAndPastes(const std::wstring &program) {
    const Kalvor k(program);
    k.Pick("Combo1", MaterialRow("ALTRO"));
    k.Pick("Combo2", ShapeRow("Lamiera"));
    struct Typing {
        const char *field, *typed, *shows;
    };
    for (const Typing &row :
         {Typing{"Text6", "12.5x-3", "12,53"}, Typing{"Text5", "2,5 a7", "257"},
          Typing{"Text6", "123456789", "12345678"}, Typing{"Text1", "7.856e", "7,856"},
          Typing{"Text2", "1,2,3", "1,2,3"}}) {
        k.Fill(row.field, row.typed);
        Same("type " + std::string(row.typed) + " into " + row.field, k.Text(row.field), row.shows);
    }
    k.Press(VK_BACK, {VK_CONTROL});
    Same("type Ctrl+Backspace: no character", k.Text("Text2"), "1,2,3");
    struct Paste {
        const char *field, *before;
        bool selectAll;
        WORD key; // Ctrl+V or Shift+Insert
        const char *pasted, *shows, *name;
    };
    const Paste pastes[] = {{"Text6", "9", true, 'V', " 2.5 ", "2,5", "blanks and a point"},
                            {"Text6", "9", true, VK_INSERT, "1.500", "1,500", "Shift+Insert"},
                            {"Text6", "9", true, 'V', "-5", "9", "a minus"},
                            {"Text6", "9", true, 'V', "1e5", "9", "an exponent"},
                            {"Text6", "9", true, VK_INSERT, "2.5kg", "9", "a unit"},
                            {"Text6", "9", true, 'V', "50\r\n1000", "9", "two lines"},
                            {"Text5", "9", true, 'V', "2,5", "9", "a comma in the pieces"},
                            {"Text6", "1,5", false, 'V', ",5", "1,5", "a second comma"},
                            {"Text6", "1234", false, 'V', "5678", "12345678", "up to the length"},
                            {"Text6", "1234", false, 'V', "56789", "1234", "past the length"}};
    for (const Paste &paste : pastes) {
        k.Fill(paste.field, paste.before);
        if (paste.selectAll) {
            k.Press(VK_HOME, {VK_SHIFT});
        }
        SetClipboard(paste.pasted);
        k.Press(paste.key, {paste.key == 'V' ? WORD{VK_CONTROL} : WORD{VK_SHIFT}});
        Same("paste: " + std::string(paste.name), k.Text(paste.field), paste.shows);
    }
    k.Pick("Combo1", MaterialRow("Titanio"));
    k.Click("Text1");
    SetClipboard("9");
    k.Press('V', {VK_CONTROL});
    Same("paste: none into the read-only density", k.Text("Text1"), "4,51");
}

void WhatMakesResultsStale(const std::wstring &program) {
    const Kalvor k(program);
    Model model;
    Enter(k, model, kRoundBar);
    const auto clickAndType = [&](const char *field, const char *text) {
        return [&k, field, text] { k.Click(field), k.Type(text); };
    };
    struct Row {
        const char *what;
        std::function<void()> act;
        bool weights, costs; // still on show
    };
    const Row rows[] = {
        {"a digit in the price", clickAndType("Text6", "3"), true, false},
        {"a refused key in the price", clickAndType("Text6", "x"), true, false},
        {"Ctrl+C in the price", [&] { k.Press('C', {VK_CONTROL}); }, true, true},
        {"an arrow between the options",
         [&] { k.Click("Text1"), k.Press(VK_TAB), k.Press(VK_RIGHT); }, true, false},
        {"a digit in the pieces", clickAndType("Text5", "2"), false, false},
        {"a refused key in a dimension", clickAndType("Text2", "x"), false, false},
        {"a key in the read-only density", clickAndType("Text1", "5"), false, false},
        {"a paste into the pieces",
         [&] { k.Click("Text5"), SetClipboard("4"), k.Press('V', {VK_CONTROL}); }, false, false},
        {"Delete in a dimension", [&] { k.Click("Text3"), k.Press(VK_DELETE); }, false, false}};
    for (const Row &row : rows) {
        k.Click("Command1");
        const bool before = k.Shown("Frame4") && k.Shown("Frame5");
        row.act();
        Check(before && k.Shown("Frame4") == row.weights && k.Shown("Frame5") == row.costs,
              std::string("stale: ") + row.what);
    }
}

void CalcolaOnEveryShape(const std::wstring &program) {
    const Kalvor k(program);
    Model model;
    const Order orders[] = {
        {"Acciaio al carbonio", "", "Barra tonda", {"50", "1000", ""}, "3", "2,5", false},
        {"Acciaio al carbonio", "", "Barra tonda", {"50", "1000", ""}, "3", "4", true},
        {"Acciaio al carbonio", "", "Tubo spessore", {"60,3", "2", "6000"}, "2", "5", true},
        {"Acciaio al carbonio", "", "Tubo spessore", {"60,3", "2", "6000"}, "2", "5", false},
        {"Alluminio", "", "Lamiera", {"1000", "2000", "3"}, "1", "3,2", false},
        {"AISI 300 serie", "", "Barra piatta", {"40", "1000", "10"}, "5", "6", false},
        {"AISI 300 serie", "", "Barra piatta", {"40", "1000", "10"}, "5", "6", true},
        {"Titanio", "", "Tubo diametri", {"30", "20", "3000"}, "2", "40", true},
        {"Titanio", "", "Tubo diametri", {"30", "20", "3000"}, "2", "40", false},
        {"Tantalio", "", "Disco", {"100", "5", ""}, "1", "900", false},
        {"Nickel alloy 825", "", "Anello", {"200", "100", "20"}, "4", "30", false},
        {"ALTRO", "7,9", "Barra tonda", {"10", "500", ""}, "12", "1,5", true}};
    // Worked out by hand: order, result line, caption.
    const std::tuple<int, const char *, const char *> byHand[] = {
        {0, "Label23", "3 pezzi: 115,65 €"},
        {1, "Label22", "1 pezzo: 4 €"},
        {2, "Label19", "1 pezzo: 17,26 Kg"},
        {3, "Label24", "1 metro 14,4 €"}};
    for (int n = 0; n < static_cast<int>(std::size(orders)); ++n) {
        const Order &order = orders[n];
        const std::string row = "calcola " + std::string(order.shape) + ", " + order.material +
                                (order.perMetre ? ", per metre" : ", per kilo");
        Calculate(k, model, Enter(k, model, order), row);
        for (const auto &[at, label, caption] : byHand) {
            if (at == n) {
                Same(row + ": by hand", k.Text(label), caption);
            }
        }
    }
}

void MessagesAndFocus(const std::wstring &program) {
    const Kalvor k(program);
    Model model;
    calc::CalcolaInputs nothing{"0,0", {"0,0", "0,0", "0,0"}, "1", "0,00", "", true, false};
    Calculate(k, model, nothing, "message: no material");
    k.Pick("Combo1", MaterialRow("Titanio"));
    nothing.density = "4,51";
    Calculate(k, model, nothing, "message: no shape");
    const char *const most = "99999999"; // every field at its longest
    const Order orders[] = {
        {"ALTRO", "", "Lamiera", {"1", "1", "1"}, "1", "1", false},
        {"Acciaio al carbonio", "", "Barra piatta", {"40", "0", "10"}, "1", "1", false},
        {"Acciaio al carbonio", "", "Tubo diametri", {"20", "30", "1000"}, "1", "1", false},
        {"Acciaio al carbonio", "", "Tubo spessore", {"20", "15", "1000"}, "1", "1", false},
        {"Acciaio al carbonio", "", "Lamiera", {"1", "1", "1"}, "", "1", false},
        {"Acciaio al carbonio", "", "Lamiera", {"1", "1", "1"}, "1", "", false},
        {"ALTRO", "99999", "Lamiera", {most, most, most}, most, most, false}};
    for (const Order &order : orders) {
        const std::string row = "message: " + std::string(order.shape) + " " + order.dimensions[0] +
                                "/" + order.dimensions[1] + "/" + order.dimensions[2] +
                                ", pieces \"" + order.pieces + "\", price \"" + order.price + "\"";
        Calculate(k, model, Enter(k, model, order), row);
        Check(!model.messages.empty(), row + ": calls for a message");
    }
}

void EnterAndTypedMaterial(const std::wstring &program) {
    const Kalvor k(program);
    Model model;
    calc::CalcolaInputs in = Enter(k, model, kRoundBar);
    k.Click("Text3");
    Check(k.WholeTextSelected("Text3"), "entry: a click selects the whole text");
    Calculate(k, model, in, "enter in a dimension", VK_RETURN);
    Same("enter: never inserted", k.Text("Text3"), "1000");
    k.Fill("Text6", in.price = "3");
    k.Press(VK_TAB);
    Calculate(k, model, in, "enter on CALCOLA", VK_RETURN);

    k.Fill("Combo1", " alluminio ");
    Check(!k.Shown("Frame4") && !k.Shown("Frame5"), "typed material: an edit hides the results");
    in.density = "2,70";
    Calculate(k, model, in, "typed material: Enter", VK_RETURN);
    Check(k.Text("Combo1") == "Alluminio" && k.Selected("Combo1") == MaterialRow("Alluminio"),
          "typed material: picked as from the list", k.Text("Combo1"));
    k.Fill("Combo1", "TITANIO");
    k.Press(VK_TAB);
    Check(k.Text("Combo1") == "Titanio" && k.Text("Text1") == "4,51" &&
              k.HasStyle("Text1", ES_READONLY),
          "typed material: picked on leaving the box", k.Text("Combo1") + " " + k.Text("Text1"));
    k.Click("Text1");
    Check(!k.WholeTextSelected("Text1"), "entry: the read-only density selects nothing");
    k.Fill("Combo1", "Ottone");
    k.Press(VK_TAB);
    Check(k.Text("Combo1") == "Ottone" && k.Text("Text1") == "4,51" &&
              !k.HasStyle("Text1", ES_READONLY) &&
              k.HasStyle("Text1", WS_EX_CLIENTEDGE, GWL_EXSTYLE),
          "typed material: an unknown name opens the density for typing");
    k.Click("Text1");
    Check(k.WholeTextSelected("Text1"), "entry: the editable density selects its text");
}

void CopyForAQuote(const std::wstring &program) {
    const Kalvor k(program);
    Model model;
    Calculate(k, model, Enter(k, model, kRoundBar), "copy");
    form::QuoteInputs quote{"Acciaio al carbonio",
                            "7,85",
                            "Barra tonda",
                            {{"Diametro:", "50"}, {"Lunghezza:", "1000"}},
                            "3",
                            "2,5",
                            false,
                            {}};
    for (int n = 0; n < 6; ++n) {
        if (model.shown[n]) {
            quote.results.push_back(model.captions[n]);
        }
    }
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
         model.captions[0]);
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
    if (count < 2) {
        std::printf("usage: test_win32_window path\\to\\kalvor.exe [group number]\n");
        return 2;
    }
    const std::wstring program = arguments[1];
    const std::wstring only = count > 2 ? arguments[2] : L"";
    LocalFree(arguments);
    int number = 0;
    for (const auto group :
         {LayoutAtStart, Picks, FiltersAndPastes, WhatMakesResultsStale, CalcolaOnEveryShape,
          MessagesAndFocus, EnterAndTypedMaterial, CopyForAQuote}) {
        if (only.empty() || only == std::to_wstring(++number)) {
            group(program);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
