// The baseline for the start-up benchmark under Wine: the least a Win32 program that shows
// text can do, a fixed-size window of Kalvor's client size and title length with one line in
// Arial 9 (the face Kalvor draws in), on the dialog colour. Any such program pays for the
// system's font machinery and a first font; whatever kalvor.exe takes beyond this is the cost
// of its own controls, fonts and pictures. Built with BARE_CONTROLS=N, the window also carries
// N plain static controls with a word each, the cheapest standard control there is: the part of
// a start that only comes from having that many windows.
#include <windows.h>

namespace {

constexpr int kClientWidth = 442;
constexpr int kClientHeight = 488;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        static const HFONT font = CreateFontW(
            -12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        const HGDIOBJ previous = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, 80, 136, L"seleziona un materiale", 22);
        SelectObject(dc, previous);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowW(L"BareWindow", L"Bare 2.2", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
#ifdef BARE_CONTROLS
    for (int n = 0; n < BARE_CONTROLS; ++n) {
        CreateWindowW(L"STATIC", L"Didascalia", WS_CHILD | WS_VISIBLE, 8 + n % 2 * 216,
                      168 + n / 2 * 20, 200, 18, window, nullptr, instance, nullptr);
    }
#endif
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
