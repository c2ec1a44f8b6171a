#pragma once

#include <windows.h>

#include <cstdint>

namespace kalvor::win32 {

// The colours the window is drawn in: the designed face, fields and texts whatever the
// system's colours are, so that the dark blue captions never stand on a dark face; with
// Windows' high contrast on, the system's colours for every face and every text.
struct Colours {
    COLORREF face;
    COLORREF field;
    COLORREF text;      // on the face
    COLORREF fieldText; // in the fields and lists
    bool system;

    // A table row's text colour (0xRRGGBB or form::kSystemColour) as drawn on the face.
    COLORREF OnFace(std::uint32_t rgb) const;
};

bool HighContrastOn();
Colours ColoursFor(bool highContrast);

} // namespace kalvor::win32
