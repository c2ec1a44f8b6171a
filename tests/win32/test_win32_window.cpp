// Starts the real kalvor.exe and uses it as a person would: keys through SendInput, clicks,
// picks from the lists, each message box read and answered with Enter; and as other programs
// and accessibility clients do, with messages that set texts and press buttons. Reads the
// controls back and prints one line per check. The calculations it expects are the
// reference's, written on Linux into cases.txt (tests/reference/write_cases.cpp).
//   Usage: test_win32_window path\to\kalvor.exe path\to\cases.txt [group number]
#include "calc/catalogue.h"
#include "calc/messages.h"
#include "form/controls.h"
#include "form/offer_desk.h"
#include "form/own_materials.h"
#include "form/rules.h"
#include "offer/texts.h"
#include "ui/win32/colours.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/gdi.h"
#include "ui/win32/win32_text.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kalvor;
using win32::Narrow;
using win32::Widen;
using win32::WindowDC;

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

// The shown top-level windows of the thread of one class: the program's window, message
// boxes (#32770), an opened list (ComboLBox).
std::vector<HWND> ThreadWindows(DWORD thread, const wchar_t *className) {
    std::pair<const wchar_t *, std::vector<HWND>> search{className, {}};
    EnumThreadWindows(
        thread,
        [](HWND found, LPARAM data) {
            auto *wanted = reinterpret_cast<decltype(search) *>(data);
            wchar_t name[64] = {};
            GetClassNameW(found, name, 64);
            if (std::wcscmp(name, wanted->first) == 0 && IsWindowVisible(found)) {
                wanted->second.push_back(found);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}
HWND ThreadWindow(DWORD thread, const wchar_t *className) {
    const std::vector<HWND> found = ThreadWindows(thread, className);
    return found.empty() ? nullptr : found.back();
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

// The environment of this program with APPDATA set to the folder, for CreateProcessW.
std::wstring EnvironmentWith(const std::filesystem::path &appData) {
    std::wstring block;
    const wchar_t *own = GetEnvironmentStringsW();
    for (const wchar_t *entry = own; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        if (_wcsnicmp(entry, L"APPDATA=", 8) != 0) {
            block.append(entry).push_back(L'\0');
        }
    }
    FreeEnvironmentStringsW(const_cast<wchar_t *>(own));
    return block + L"APPDATA=" + appData.wstring() + L'\0';
}

// A folder of its own for the desk's files of one test, made empty and removed afterwards.
struct AppData {
    std::filesystem::path folder;
    explicit AppData(const wchar_t *name) : folder(std::filesystem::temp_directory_path() / name) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "Kalvor");
    }
    ~AppData() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

// The program under test, its controls found by their identifiers (their row in the table).
class Kalvor {
public:
    explicit Kalvor(const std::wstring &program, const AppData *appData = nullptr) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring line = L"\"" + program + L"\"";
        std::wstring environment = appData ? EnvironmentWith(appData->folder) : L"";
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                            CREATE_UNICODE_ENVIRONMENT, appData ? environment.data() : nullptr,
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
    // Whether the program has loaded the library, by its file name in any case.
    bool Loaded(const wchar_t *library) const {
        HMODULE modules[512];
        DWORD bytes = 0;
        K32EnumProcessModules(process_.hProcess, modules, sizeof(modules), &bytes);
        for (DWORD n = 0; n < bytes / sizeof(HMODULE); ++n) {
            wchar_t name[MAX_PATH] = L"";
            K32GetModuleBaseNameW(process_.hProcess, modules[n], name, MAX_PATH);
            if (_wcsicmp(name, library) == 0) {
                return true;
            }
        }
        return false;
    }
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
    // Opens the list with a click on its arrow, then clicks the entry, scrolled into view.
    void Pick(std::string_view list, int row) const {
        RECT box{};
        GetWindowRect((*this)[list], &box);
        Click((*this)[list], false, box.right - box.left - 6);
        HWND opened = nullptr;
        for (int tries = 0; tries < 50 && opened == nullptr; ++tries, Sleep(20)) {
            opened = ThreadWindow(process_.dwThreadId, L"ComboLBox");
        }
        Send(opened, LB_SETTOPINDEX, static_cast<WPARAM>(row)); // rows below the fold too
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
    int Boxes() const {
        return static_cast<int>(ThreadWindows(process_.dwThreadId, L"#32770").size());
    }
    // The box's prompt and title, a tab between, then the box answered with Enter.
    std::string Answer(HWND box) const {
        wchar_t prompt[512] = {};
        GetDlgItemTextW(box, 0xFFFF, prompt, 512); // the prompt's identifier in message boxes
        const std::string read = Narrow(prompt) + "\t" + TextOf(box);
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
    // What the weights and the costs on show stand for: their inputs and their lines.
    std::string Weights() const { return Inputs(false) + Lines(0); }
    std::string Costs() const { return Inputs() + Lines(3); }
    // After a press: what is on show belongs to the inputs on show.
    void Calculated() {
        weights_ = Weights();
        costs_ = Costs();
    }
    // After any other action: what is on show is still the last press's, for the same inputs.
    void Belongs(const std::string &after) const {
        Check((!Shown("Frame4") || Weights() == weights_) &&
                  (!Shown("Frame5") || Costs() == costs_),
              after + ": no result for other inputs", Costs());
    }

    DWORD Thread() const { return process_.dwThreadId; }

    HWND window = nullptr;

private:
    PROCESS_INFORMATION process_{};
    std::map<std::string, HWND> controls_;
    std::string weights_, costs_;
};

// The clipboard's text, once the program has let go of it.
std::string Clipboard() {
    for (int tries = 0; tries < 50 && !OpenClipboard(nullptr); ++tries) {
        Sleep(20);
    }
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const std::string text = data ? Narrow(static_cast<const wchar_t *>(GlobalLock(data))) : "";
    GlobalUnlock(data);
    CloseClipboard();
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

// Picks the material and a round bar, and types its sizes, pieces and price.
void EnterRoundBar(const Kalvor &k, std::string_view material = "Acciaio al carbonio") {
    k.Pick("Combo1", MaterialRow(material));
    k.Pick("Combo2", ShapeRow("Barra tonda"));
    for (const auto &[field, text] :
         {std::pair{"Text2", "50"}, {"Text3", "1000"}, {"Text5", "3"}, {"Text6", "2,5"}}) {
        k.Fill(field, text);
    }
}

std::string Sides(const RECT &r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void LayoutAtStart(const std::wstring &program) {
    const Kalvor k(program);
    RECT client{};
    GetClientRect(k.window, &client);
    Same("start: controls, client area, title, focus, texts, picks, density's look",
         std::to_string(k.Started()) + Sides(client) + TextOf(k.window) + "|" + k.Focus() + "|" +
             k.Text("Combo1") + "|" + k.Text("Text1") + "|" + std::to_string(k.Selected("Combo1")) +
             std::to_string(k.Selected("Combo2")) +
             std::to_string(k.HasStyle("Text1", ES_READONLY)) +
             std::to_string(k.HasStyle("Text1", WS_EX_CLIENTEDGE, GWL_EXSTYLE)),
         "10,0 442x488" + std::string(form::kTitle) + "|Combo1|" +
             std::string(form::kMaterialPrompt) + "|0,0|-1-100");
    // The link's and the export's libraries come when first used, not at start.
    Check(k.Loaded(L"user32.dll") && !k.Loaded(L"shell32.dll") && !k.Loaded(L"comdlg32.dll"),
          "start: SHELL32 and COMDLG32 not loaded");
    // Every control where the table puts it, shown or hidden as it says.
    for (const form::ControlSpec &row : form::kControls) {
        RECT want{row.left, row.top, row.left + row.width, row.top + row.height};
        if (const auto *frame = form::FindControl(row.container)) {
            OffsetRect(&want, frame->left, frame->top);
        }
        want = {form::Pixels(want.left), form::Pixels(want.top),
                form::Pixels(want.left) + form::Pixels(row.width),
                form::Pixels(want.top) + form::Pixels(row.height)};
        RECT box{};
        GetWindowRect(k[row.name], &box);
        MapWindowPoints(nullptr, k.window, reinterpret_cast<POINT *>(&box), 2);
        Same("start: " + std::string(row.name), Sides(box) + (k.Shown(row.name) ? "" : " hidden"),
             Sides(want) + ((row.flags & form::Hidden) != 0 ? " hidden" : ""));
    }
    // Where two boxes in one container overlap, the earlier row lies on top.
    const auto above = [](HWND upper, HWND lower) {
        for (HWND next = upper; next != nullptr; next = GetWindow(next, GW_HWNDNEXT)) {
            if (next == lower) {
                return true;
            }
        }
        return false;
    };
    for (auto upper = form::kControls.begin(); upper != form::kControls.end(); ++upper) {
        for (auto lower = upper + 1; lower != form::kControls.end(); ++lower) {
            const RECT a{upper->left, upper->top, upper->left + upper->width,
                         upper->top + upper->height};
            const RECT b{lower->left, lower->top, lower->left + lower->width,
                         lower->top + lower->height};
            RECT both{};
            if (upper->container == lower->container && IntersectRect(&both, &a, &b)) {
                Check(above(k[upper->name], k[lower->name]),
                      "start: " + std::string(upper->name) + " over " + std::string(lower->name));
            }
        }
    }
    // A screen reader names an input by the caption made right before it.
    for (const form::CaptionedInput &pair : form::kInputCaptions) {
        Check(k[pair.caption] && GetWindow(k[pair.input], GW_HWNDPREV) == k[pair.caption],
              "start: " + std::string(pair.input) + " named by " + std::string(pair.caption));
    }
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
    // The wheel turns a list only while the list has the focus.
    k.Pick("Combo2", ShapeRow("Anello"));
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
    EnterRoundBar(k);
    // Every road into a field after a press: the text it leaves, what stays on show, and the
    // reason shown for a refusal. Refused texts leave the field, and so the results.
    const auto paste = [&](const char *field, const char *text, WORD key = 'V') {
        return [&k, field, text, key] {
            k.Click(field), SetClipboard(text);
            k.Press(key, {key == 'V' ? WORD{VK_CONTROL} : WORD{VK_SHIFT}});
        };
    };
    const std::string junk = "１２٣.,,ab";
    struct Road {
        const char *name;
        std::function<void()> act;
        bool weights, costs; // still on show
        const char *field = nullptr, *shows = nullptr;
        std::string_view reason = {};
    };
    const Road roads[] = {
        {"keys, filtered", [&] { k.Fill("Text6", "12.5x-3"); }, true, false, "Text6", "12,53"},
        {"keys past the length", [&] { k.Fill("Text6", "123456789"); }, true, false, "Text6",
         "12345678", form::kTooLongReason},
        {"Ctrl+Backspace", [&] { k.Click("Text6"), k.Press(VK_BACK, {VK_CONTROL}); }, true, true},
        {"Ctrl+C", [&] { k.Click("Text6"), k.Press('C', {VK_CONTROL}); }, true, true},
        {"keys in the pieces", [&] { k.Fill("Text5", "2,5 a7"); }, false, false, "Text5", "257"},
        {"an arrow between the options",
         [&] { k.Click("Text1"), k.Press(VK_TAB), k.Press(VK_RIGHT); }, true, false},
        {"paste of an ambiguous number", paste("Text6", "1.500"), true, true},
        {"paste of thousands and a comma", paste("Text6", "1.234,5"), true, false, "Text6",
         "1234,5"},
        {"Shift+Insert", paste("Text6", " 2.5 ", VK_INSERT), true, false, "Text6", "2,5"},
        {"paste into the read-only density", paste("Text1", "9"), true, true, nullptr, nullptr,
         form::kReadOnlyDensityReason},
        {"paste into the pieces", paste("Text5", "4"), false, false, "Text5", "4"},
        {"WM_SETTEXT refused", [&] { k.Put("Text2", junk); }, true, true},
        {"EM_REPLACESEL refused", [&] { k.Put("Text2", junk, EM_REPLACESEL); }, true, true},
        {"WM_UNICHAR refused",
         [&] {
             for (const wchar_t c : std::wstring(L"１٣.a")) { // a comma would be taken
                 Send(k["Text2"], WM_UNICHAR, c);
             }
         },
         true, true},
        {"WM_SETTEXT into the read-only density", [&] { k.Put("Text1", "99"); }, true, true},
        {"WM_SETTEXT of a number", [&] { k.Put("Text2", "60"); }, false, false, "Text2", "60"},
        {"Delete in a dimension", [&] { k.Click("Text3"), k.Press(VK_DELETE); }, false, false}};
    for (const Road &road : roads) {
        k.Click("Command1");
        k.Calculated();
        const bool before = k.Shown("Frame4") && k.Shown("Frame5");
        road.act();
        Check(before && k.Shown("Frame4") == road.weights && k.Shown("Frame5") == road.costs &&
                  (road.field == nullptr || k.Text(road.field) == road.shows) &&
                  (road.reason.empty() || Explained(k) == road.reason),
              std::string("road: ") + road.name,
              (road.field ? k.Text(road.field) : "") + " " + Explained(k));
        k.Belongs(std::string("road: ") + road.name);
    }

    // The material box: a name set from outside is judged at the next press.
    k.Fill("Text2", "50");
    k.Fill("Text3", "1000");
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

// Each press of cases.txt replayed: the inputs set from outside, CALCOLA pressed, then the
// whole screen compared with the reference's.
void ReplayCases(const std::wstring &program, const std::wstring &casesFile) {
    Kalvor k(program);
    k.Pick("Combo1", MaterialRow("ALTRO"));
    std::ifstream file(std::filesystem::path(casesFile), std::ios::binary);
    int number = 0;
    for (std::string line; std::getline(file, line); ++number) {
        // density, three dimensions, pieces, price, shape, per metre; then the screen.
        std::vector<std::string> in(8);
        std::stringstream split(line);
        for (std::string &field : in) {
            std::getline(split, field, '\t');
        }
        const std::string want(std::istreambuf_iterator<char>(split), {});
        if (!in[6].empty()) {
            k.Pick("Combo2", ShapeRow(in[6]));
        }
        for (int n = 0; n < 6; ++n) {
            k.Put("Text" + std::to_string(n + 1), in[static_cast<std::size_t>(n)]);
        }
        Send(k[in[7] == "1" ? "Option2" : "Option1"], BM_CLICK);
        k.Settle();
        const std::string row = "case " + std::to_string(number + 1);
        Same(row + ": inputs taken", k.Inputs(),
             "ALTRO|" + in[0] + "|" + in[6] + "|" + in[1] + "|" + in[2] + "|" + in[3] + "|" +
                 in[4] + "|" + in[5] + "|" + in[7]);
        k.Belongs(row + ": inputs");
        PostMessageW(k["Command1"], BM_CLICK, 0, 0);
        // Ten fields of screen, then two for each message.
        const auto boxes = (std::ranges::count(want, '\t') - 9) / 2;
        std::string messages;
        for (int n = 1; auto box = k.AnswerBox(n++ <= boxes ? 3000 : 300);) {
            messages += "\t" + *box;
        }
        std::string got = std::to_string(k.Shown("Frame4")) + std::to_string(k.Shown("Frame5"));
        for (const std::string_view result : form::kResultLabels) {
            got += std::string("\t") + (k.Shown(result) ? "+" : "-") + k.Text(result);
        }
        const std::string focus = k.Focus();
        const bool selected = focus.starts_with("Text") && k.WholeTextSelected(focus);
        Same(row,
             got + "\t" + k.Text("Text5") + "\t" + focus + "\t" + (selected ? "1" : "0") + messages,
             want);
        k.Calculated();
    }
    Check(number >= 40, "cases: " + std::to_string(number) + " replayed");
}

// One press at a time: while a press's message box is open, nothing else is calculated, and
// a change of the inputs under the box leaves the press without results.
void PressesUnderABox(const std::wstring &program) {
    Kalvor k(program);
    EnterRoundBar(k, "ALTRO");
    PostMessageW(k["Command1"], BM_CLICK, 0, 0);
    const HWND box = k.WaitBox();
    k.Put("Text1", "7,85");
    Send(k["Command1"], BM_CLICK);
    Check(box != nullptr && k.Boxes() == 1 && !k.Shown("Frame4") && !k.Shown("Frame5"),
          "box open: a press waits, no result beside the box");
    Same("box open: the box", box != nullptr ? k.Answer(box) : "(no box)",
         std::string(calc::kNoMaterial.prompt) + "\t" + std::string(calc::kNoMaterial.title));
    Check(!k.AnswerBox(300) && !k.Shown("Frame4") && !k.Shown("Frame5"),
          "box closed: the press whose inputs changed shows nothing");

    k.Put("Text1", "0,00");
    for (int n = 0; n < 3000; ++n) {
        PostMessageW(k["Text6"], WM_CHAR, u'\r', 0);
    }
    int boxes = 0, most = 0;
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
    // An Enter changes no input: the press under the boxes goes on with density 0.
    Same("3000 Enters: the weights", k.Lines(0), "1 pezzo: 0 Kg+|3 pezzi: 0 Kg+|1 metro: 0 Kg+|");
}

void EnterAndTypedMaterial(const std::wstring &program) {
    Kalvor k(program);
    EnterRoundBar(k);
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
    k.Belongs("typed material");
}

// The quote's text is the model's; the window brings the roads to it and the clipboard's
// line ends.
void CopyForAQuote(const std::wstring &program) {
    Kalvor k(program);
    EnterRoundBar(k);
    k.Click("Command1");
    const auto copied = [&](const std::function<void()> &act) {
        SetClipboard("-");
        act();
        return Clipboard();
    };
    const std::string block = copied([&] { k.Press('C', {VK_CONTROL, VK_SHIFT}); });
    Check(block.starts_with("materiale: Acciaio al carbonio\r\n") &&
              block.ends_with("\r\n" + k.Text("Label24") + "\r\n") &&
              std::ranges::count(block, '\n') == std::ranges::count(block, '\r'),
          "copy: Ctrl+Shift+C, lines ending in CR LF", block);
    Same("copy: Copia",
         copied([&] { k.Click(k["Label19"], true), k.Press(VK_DOWN), k.Press(VK_RETURN); }),
         k.Text("Label19"));
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

// kalvor.exe --esporta-offerta FILE with the desk's files in appData: the exit code, then
// what it wrote on standard error.
std::pair<DWORD, std::string> ExportOffer(const std::wstring &program, const AppData &appData,
                                          const std::filesystem::path &csv) {
    const std::filesystem::path errors = appData.folder / "errori.txt";
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    const HANDLE error = CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                     CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = error;
    std::wstring line = L"\"" + program + L"\" --esporta-offerta \"" + csv.wstring() + L"\"";
    std::wstring environment = EnvironmentWith(appData.folder);
    PROCESS_INFORMATION process{};
    DWORD code = 999;
    if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 20000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(error);
    std::ifstream written(errors, std::ios::binary);
    return {code, std::string(std::istreambuf_iterator<char>(written), {})};
}

// The offer: lines added from the result lines' menu and by Ctrl+Shift+A, none while the
// costs are stale; removed, cleared after the question, the client kept across a restart;
// the saved offer exported without a window.
void Offer(const std::wstring &program) {
    const AppData data(L"kalvor-test-offerta");
    std::string pieceWeight;
    {
        Kalvor k(program, &data);
        EnterRoundBar(k);
        k.Click("Command1");
        pieceWeight = k.Text("Label19").substr(std::string_view("1 pezzo: ").size());
        k.Click(k["Label19"], true);
        for (int n = 0; n < 3; ++n) {
            k.Press(VK_DOWN);
        }
        k.Press(VK_RETURN);
        k.Press('A', {VK_CONTROL, VK_SHIFT});
        k.Press('A', {VK_CONTROL, VK_SHIFT});
        k.Fill("Text6", "3");
        k.Press('A', {VK_CONTROL, VK_SHIFT}); // the costs on show are not the price's
        k.Press('O', {VK_CONTROL, VK_SHIFT});
        const HWND offer = ThreadWindow(k.Thread(), win32::kOfferWindowClass);
        const HWND list = GetDlgItem(offer, win32::kOfferList);
        const auto rows = [&] { return std::to_string(Send(list, LVM_GETITEMCOUNT)); };
        const auto copied = [&] {
            SetClipboard("-");
            k.Click(GetDlgItem(offer, win32::kOfferCopy));
            return Clipboard();
        };
        const std::string copy = copied();
        const std::string line = "1\tAcciaio al carbonio\tBarra tonda\t50 × 1000\t3\t";
        Check(TextOf(offer) == form::kOfferTitle && rows() == "3" &&
                  copy.find("\r\n" + line) != std::string::npos &&
                  copy.find("\t" + pieceWeight.substr(0, pieceWeight.find(' ')) + "\t") !=
                      std::string::npos,
              "offer: two adds by the menu and the keys, none while the costs are stale", copy);
        k.Click(list);
        k.Press(VK_HOME);
        k.Press(VK_DELETE);
        const std::string afterDelete = rows();
        k.Press(VK_HOME);
        k.Click(GetDlgItem(offer, win32::kOfferRemove));
        Same("offer: Delete, then Rimuovi, each takes the selected line", afterDelete + rows(),
             "21");
        const auto [exported, exportError] =
            ExportOffer(program, data, data.folder / "offerta.csv");
        std::ifstream csv(data.folder / "offerta.csv", std::ios::binary);
        const std::string csvText(std::istreambuf_iterator<char>(csv), {});
        Check(exported == 0 && exportError.empty() &&
                  csvText.starts_with("\xEF\xBB\xBF" + std::string(offer::kCsvHeader) + "\r\n1;") &&
                  csvText.find("\r\nTotale;") != std::string::npos,
              "export: the saved offer's header, its line and the totals", csvText + exportError);
        k.Click(GetDlgItem(offer, win32::kOfferClear));
        Same("offer: Svuota asks first", k.AnswerBox().value_or("(no box)"),
             std::string(form::kClearQuestion) + "\t" + std::string(form::kOfferTitle));
        Same("offer: emptied once answered yes", rows(), "0");
        k.Click(GetDlgItem(offer, win32::kOfferClient));
        k.Type("Rossi & C.");
    }
    const Kalvor again(program, &data);
    again.Press('O', {VK_CONTROL, VK_SHIFT});
    const HWND offer = ThreadWindow(again.Thread(), win32::kOfferWindowClass);
    Same("offer: the client kept across a restart", TextOf(GetDlgItem(offer, win32::kOfferClient)),
         "Rossi & C.");

    const AppData none(L"kalvor-test-nessuna-offerta");
    const auto [code, message] = ExportOffer(program, none, none.folder / "offerta.csv");
    Check(code != 0 && message.starts_with("kalvor: ") &&
              !std::filesystem::exists(none.folder / "offerta.csv"),
          "export: no saved offer, no file, a reason and a failing exit code", message);
}

// The desk's own grades, read from the file after the first paint: a bad line named in one
// box, the good grades after the catalogue, each picked with its density fixed.
void OwnMaterials(const std::wstring &program) {
    const AppData data(L"kalvor-test-materiali");
    std::ofstream(data.folder / "Kalvor" / "materiali.txt", std::ios::binary)
        << "316L = 7,98\r\nsenza densità\r\nOttone CW614N = 8.47\r\n";
    const Kalvor k(program, &data);
    const std::string box = k.AnswerBox().value_or("(no box)");
    Check(box.find("riga 2: ") != std::string::npos &&
              box.ends_with("\t" + std::string(form::kOwnMaterialsTitle)) && !k.AnswerBox(300),
          "own materials: one box names the bad line", box);
    std::string listed;
    for (auto row = static_cast<int>(calc::kMaterials.size()) - 1;
         row < Send(k["Combo1"], CB_GETCOUNT); ++row) {
        wchar_t text[128] = {};
        Send(k["Combo1"], CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        listed += Narrow(text) + "|";
    }
    Same("own materials: after ALTRO", listed, "ALTRO|316L|Ottone CW614N|");
    k.Pick("Combo1", static_cast<int>(calc::kMaterials.size()) + 1);
    Check(k.Text("Text1") == "8,47" && k.HasStyle("Text1", ES_READONLY),
          "own materials: a grade picked fixes its density", k.Text("Text1"));
}

// What a person sees: every caption whole on one line in every shape, every field's longest
// text from its first character, the designed colours on a dark system.
void Looks(const std::wstring &program) {
    const int elements[] = {COLOR_BTNFACE, COLOR_WINDOW, COLOR_BTNTEXT, COLOR_WINDOWTEXT};
    const COLORREF dark[] = {RGB(32, 32, 32), RGB(0, 0, 0), RGB(250, 250, 250), RGB(250, 250, 250)};
    COLORREF before[4] = {};
    std::ranges::transform(elements, before, GetSysColor);
    SetSysColors(4, elements, dark); // Wine gives them to the processes started next
    // High contrast cannot be set under Wine: its colours are checked here, in this process.
    const win32::Colours system = win32::ColoursFor(true), designed = win32::ColoursFor(false);
    Check(system.face == dark[0] && system.field == dark[1] && system.OnFace(0xC0) == dark[2] &&
              designed.face == RGB(239, 239, 239) && designed.OnFace(0xC0) == RGB(0, 0, 192),
          "colours: the system's under high contrast, else the designed ones");
    Kalvor k(program);
    const UINT measure = RegisterWindowMessageW(win32::kTextWidthMessage);
    std::string cut, hidden;
    for (const calc::ShapeEntry &shape : calc::kShapes) {
        k.Pick("Combo2", ShapeRow(shape.listText));
        for (const form::ControlSpec &row : form::kControls) {
            RECT box{};
            GetClientRect(k[row.name], &box);
            const auto wide =
                static_cast<int>(Send(k.window, measure, reinterpret_cast<WPARAM>(k[row.name])));
            // A frame's caption starts 8 px in; SS_LEFT, SS_CENTER and SS_RIGHT wrap.
            if (wide > box.right - (row.kind == form::Kind::Frame ? 16 : 0) ||
                (row.kind == form::Kind::Label &&
                 (wide <= 0 ||
                  (GetWindowLongPtrW(k[row.name], GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT))) {
                cut += std::string(row.name) + " " + k.Text(row.name) + std::to_string(wide) + ";";
            }
        }
    }
    Same("captions: whole on one line", cut, "");

    k.Pick("Combo1", MaterialRow("ALTRO"));
    k.Pick("Combo2", ShapeRow("Lamiera"));
    for (const std::string_view field : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"}) {
        // The first character at the left end of the text's room, the caret at most at its right.
        const auto view = [&, field] {
            RECT room{};
            Send(k[field], EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
            GUITHREADINFO caret{};
            caret.cbSize = sizeof(caret);
            GetGUIThreadInfo(GetWindowThreadProcessId(k.window, nullptr), &caret);
            if (static_cast<short>(Send(k[field], EM_POSFROMCHAR)) != room.left ||
                caret.rcCaret.left > room.right) {
                hidden += std::string(field) + " " + k.Text(field) + ";";
            }
        };
        k.Fill(field, std::string("987654321").substr(0, form::FindControl(field)->maxLength));
        view();
        k.Press(VK_HOME, {VK_SHIFT});
        k.Type("1");
        view();
    }
    Same("fields: the longest text and a text typed over it seen whole", hidden, "");
    // On screen: the face left of a right-aligned caption, a field's right end.
    const auto pixel = [&](std::string_view name, bool right) {
        RECT box{};
        GetWindowRect(k[name], &box);
        return GetPixel(WindowDC(nullptr).get(), right ? box.right - 4 : box.left + 1, box.top + 3);
    };
    Check(pixel("Label1", false) == designed.face && pixel("Text6", true) == designed.field,
          "colours: the designed face and field on a dark system");
    SetSysColors(4, elements, before);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 3) {
        std::printf("usage: test_win32_window path\\to\\kalvor.exe path\\to\\cases.txt [group]\n");
        return 2;
    }
    const std::wstring only = argc > 3 ? argv[3] : L"";
    const std::function<void(const std::wstring &)> groups[] = {
        LayoutAtStart,    Picks,
        Channels,         [&](const std::wstring &p) { ReplayCases(p, argv[2]); },
        PressesUnderABox, EnterAndTypedMaterial,
        CopyForAQuote,    Offer,
        OwnMaterials,     Looks};
    int number = 0;
    for (const auto &group : groups) {
        if (only.empty() || only == std::to_wstring(++number)) {
            group(argv[1]);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
