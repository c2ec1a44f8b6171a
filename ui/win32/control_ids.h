#pragma once

#include <cstddef>

// How the window's controls are found from outside (tests, automation tools): each control's
// identifier is its row in form::kControls plus kFirstControlId.
namespace kalvor::win32 {

inline constexpr wchar_t kWindowClass[] = L"Kalvor.Form1";
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
