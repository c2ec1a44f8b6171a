#pragma once

#include <cstddef>

// How the window's controls are found from outside (tests, automation tools): each control's
// identifier is its row in form::kControls plus kFirstControlId.
namespace kalvor::win32 {

inline constexpr wchar_t kWindowClass[] = L"Kalvor.Form1";
// A registered message the window answers with the width in pixels of a control's text
// (wParam) in the control's own font, so that a test can see no caption is cut.
inline constexpr wchar_t kTextWidthMessage[] = L"Kalvor.TextWidth";
inline constexpr int kFirstControlId = 100;

constexpr int ControlId(std::size_t row) {
    return kFirstControlId + static_cast<int>(row);
}

} // namespace kalvor::win32

// The offer's window and its controls.
namespace kalvor::win32 {

inline constexpr wchar_t kOfferWindowClass[] = L"Kalvor.Offerta";
enum OfferControl : int {
    kOfferList = 10,
    kOfferTotalWeight,
    kOfferTotalAmount,
    kOfferClientCaption,
    kOfferClient,
    kOfferRemove,
    kOfferClear,
    kOfferCopy,
    kOfferExport,
};

} // namespace kalvor::win32
