#pragma once

#include "form/offer_desk.h"
#include "ui/win32/gdi.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string_view>
#include <vector>

namespace kalvor::win32 {

// The offer's window: the lines gathered from the main window in a list view, the two totals,
// the client, and the buttons that remove, clear, copy and export. Every decision is the
// desk's (form/offer_desk.h); the window shows its answers. It is made the first time it is
// shown, owned by the main window, and hidden rather than destroyed when closed.
class OfferWindow {
public:
    OfferWindow(HINSTANCE instance, HWND owner, std::shared_ptr<form::OfferKeeper> keeper);
    OfferWindow(const OfferWindow &) = delete;
    OfferWindow &operator=(const OfferWindow &) = delete;

    // A line from the main window, kept, and shown if the window is open.
    void Add(const form::Recorded &line);
    // Shows the window, made or raised, with the offer as it is kept now.
    void Show();
    // The client as typed, kept before the program ends.
    void Close();
    // Tab and Escape among the window's controls. True when the message has been handled.
    bool PreTranslate(const MSG &message);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    void Layout();
    void Refresh();
    void Tell(const form::OfferDesk::Answer &answer);
    void OnCommand(int control, UINT code);
    void Rimuovi_Click();
    void Svuota_Click();
    void Copia_Click();
    void Esporta_Click();
    void Cliente_LostFocus();
    std::vector<std::size_t> SelectedRows() const;
    HWND Item(int control) const { return GetDlgItem(hwnd_, control); }
    int Scaled(int pixels) const;
    void MakeFont();

    HINSTANCE instance_;
    HWND owner_;
    HWND hwnd_ = nullptr;
    form::OfferDesk desk_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    Font font_;
};

} // namespace kalvor::win32
