#pragma once

#include <QString>

#include <string_view>

namespace kalvor::ui {

// The catalogues and messages hold UTF-8 texts ("densità", "€/Kg").
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace kalvor::ui
