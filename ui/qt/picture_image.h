#pragma once

#include "form/pictures.h"

#include <QImage>

namespace kalvor::ui {

// The picture as a premultiplied ARGB32 image, built straight from its pixels: the format that
// painting and smooth scaling work in, so neither converts it again.
QImage ToImage(const form::Picture &picture);

} // namespace kalvor::ui
