#include "ui/win32/pictures.h"

#include "form/pictures.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kalvor::win32 {
namespace {

// A top-down 32-bit bitmap whose pixels the caller fills (0xAARRGGBB, as Windows lays them out).
Bitmap MakeBitmap(int width, int height, std::uint32_t **pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    *pixels = bitmap ? static_cast<std::uint32_t *>(bits) : nullptr;
    return bitmap;
}

std::uint32_t ColourAt(const form::Picture &picture, int x, int y) {
    const std::uint8_t index = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
    return index < picture.paletteSize ? picture.palette[index] : 0;
}

Icon MakeIcon(const form::Picture &picture, bool isIcon, int hotSpotX, int hotSpotY) {
    std::uint32_t *pixels = nullptr;
    Bitmap colour = MakeBitmap(picture.width, picture.height, &pixels);
    if (pixels == nullptr) {
        return Icon();
    }
    // The mask: one bit per pixel, rows padded to 16 bits, set where the picture is clear.
    const int maskStride = (picture.width + 15) / 16 * 2;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(maskStride) * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t argb = ColourAt(picture, x, y);
            const bool clear = (argb >> 24) == 0;
            pixels[static_cast<std::size_t>(y) * picture.width + x] = clear ? 0 : argb;
            if (clear) {
                mask[static_cast<std::size_t>(y) * maskStride + x / 8] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    Bitmap maskBitmap(CreateBitmap(picture.width, picture.height, 1, 1, mask.data()));
    ICONINFO info{};
    info.fIcon = isIcon ? TRUE : FALSE;
    info.xHotspot = static_cast<DWORD>(hotSpotX);
    info.yHotspot = static_cast<DWORD>(hotSpotY);
    info.hbmMask = maskBitmap.get();
    info.hbmColor = colour.get();
    return Icon(CreateIconIndirect(&info)); // it copies both bitmaps
}

} // namespace

Bitmap LogoBitmap(int width, int height, COLORREF background) {
    const form::Picture &picture = form::Logo();
    std::uint32_t *pixels = nullptr;
    Bitmap bitmap = MakeBitmap(width, height, &pixels);
    if (pixels == nullptr) {
        return bitmap;
    }
    const std::uint32_t ground =
        (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
    for (int y = 0; y < height; ++y) {
        const int top = y * picture.height / height;
        const int bottom = std::max(top + 1, (y + 1) * picture.height / height);
        for (int x = 0; x < width; ++x) {
            const int left = x * picture.width / width;
            const int right = std::max(left + 1, (x + 1) * picture.width / width);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = top; sy < bottom; ++sy) {
                for (int sx = left; sx < right; ++sx) {
                    std::uint32_t argb = ColourAt(picture, sx, sy);
                    if ((argb >> 24) == 0) {
                        argb = ground;
                    }
                    sum[0] += (argb >> 16) & 0xFF;
                    sum[1] += (argb >> 8) & 0xFF;
                    sum[2] += argb & 0xFF;
                }
            }
            const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
            pixels[static_cast<std::size_t>(y) * width + x] =
                0xFF000000U | ((sum[0] + count / 2) / count << 16) |
                ((sum[1] + count / 2) / count << 8) | ((sum[2] + count / 2) / count);
        }
    }
    return bitmap;
}

Icon WindowIcon() {
    return MakeIcon(form::WindowIcon(), true, 0, 0);
}

Icon HandCursor(int hotSpotX, int hotSpotY) {
    return MakeIcon(form::PointingHand(), false, hotSpotX, hotSpotY);
}

} // namespace kalvor::win32
