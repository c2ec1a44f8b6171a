#include "ui/win32/colours.h"

#include "form/controls.h"

namespace kalvor::win32 {
namespace {

COLORREF FromRgb(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

COLORREF Colours::OnFace(std::uint32_t rgb) const {
    return system || rgb == form::kSystemColour ? text : FromRgb(rgb);
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Colours ColoursFor(bool highContrast) {
    if (highContrast) {
        return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNTEXT),
                GetSysColor(COLOR_WINDOWTEXT), true};
    }
    return {FromRgb(form::kFaceColour), FromRgb(form::kFieldColour), FromRgb(form::kTextColour),
            FromRgb(form::kTextColour), false};
}

} // namespace kalvor::win32
