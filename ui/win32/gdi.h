#pragma once

#include <windows.h>

#include <utility>

// Owners of the handles the window makes for itself, so that none is ever leaked: fonts,
// brushes and bitmaps (DeleteObject), icons and cursors (DestroyIcon), pop-up menus.
namespace kalvor::win32 {

template <class Handle, auto Free> class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned &&other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned &operator=(Owned &&other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Free(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using Font = Owned<HFONT, DeleteObject>;
using Brush = Owned<HBRUSH, DeleteObject>;
using Bitmap = Owned<HBITMAP, DeleteObject>;
using Icon = Owned<HICON, DestroyIcon>; // a cursor made by CreateIconIndirect too
using Menu = Owned<HMENU, DestroyMenu>;

// A device context borrowed from a window, with the font it draws in; both are given back.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC &) = delete;
    WindowDC &operator=(const WindowDC &) = delete;
    ~WindowDC() { ReleaseDC(window_, dc_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject &) = delete;
    SelectedObject &operator=(const SelectedObject &) = delete;
    ~SelectedObject() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace kalvor::win32
