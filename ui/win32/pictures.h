#pragma once

#include "ui/win32/gdi.h"

#include <windows.h>

// The pictures of form/pictures.h as Windows bitmaps, icons and cursors.
namespace kalvor::win32 {

// The logo stretched to width x height, each pixel the average of the pixels it covers, drawn
// over the background where the logo is transparent.
Bitmap LogoBitmap(int width, int height, COLORREF background);

Icon WindowIcon();
// The pointing hand over the link line, with its hot spot at the fingertip.
Icon HandCursor(int hotSpotX, int hotSpotY);

} // namespace kalvor::win32
