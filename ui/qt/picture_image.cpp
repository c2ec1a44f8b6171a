#include "ui/qt/picture_image.h"

#include <array>

namespace kalvor::ui {

QImage ToImage(const form::Picture &picture) {
    std::array<QRgb, 256> colours{};
    for (int i = 0; i < picture.paletteSize && i < 256; ++i) {
        colours[static_cast<std::size_t>(i)] = qPremultiply(picture.palette[i]);
    }
    QImage image(picture.width, picture.height, QImage::Format_ARGB32_Premultiplied);
    const std::uint8_t *index = picture.pixels;
    for (int y = 0; y < picture.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            line[x] = colours[*index++];
        }
    }
    return image;
}

} // namespace kalvor::ui
