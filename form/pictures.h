#pragma once

#include <cstdint>

namespace kalvor::form {

// A picture as the window shows it, ready to draw: no file to open and no decoder to run.
// Drawn by scripts/make_pictures.py, which also writes the same pictures as GIF, ICO and CUR for
// what needs files (the Windows resource, the desktop's icon theme).
struct Picture {
    int width, height;
    const std::uint32_t *palette; // 0xAARRGGBB, not premultiplied; alpha is 0 or 255
    int paletteSize;
    const std::uint8_t *pixels; // one palette index per pixel, top row first, no padding
};

// The maker's logo: 974 x 187 pixels, 256 colours, index 255 transparent. The window stretches
// it to its box.
const Picture &Logo();
// The window's icon: 48 x 48, the maker's emblem on a transparent ground.
const Picture &WindowIcon();
// The pointer over the link line: 32 x 32, a white pointing hand with a blue cuff. Its hot spot,
// the fingertip, is kHandHotSpotX, kHandHotSpotY of form/controls.h.
const Picture &PointingHand();

} // namespace kalvor::form
