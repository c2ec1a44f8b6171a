#include "calc/catalogue.h"

#include <algorithm>

namespace kalvor::calc {
namespace {

template <typename Entry, std::size_t N>
const Entry *FindByText(const std::array<Entry, N> &table, std::string_view listText) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Entry &entry) { return entry.listText == listText; });
    return found == table.end() ? nullptr : &*found;
}

} // namespace

const MaterialEntry *FindMaterial(std::string_view listText) {
    return FindByText(kMaterials, listText);
}

const ShapeEntry *FindShape(std::string_view listText) {
    return FindByText(kShapes, listText);
}

bool HasMetre(Shape shape) {
    switch (shape) {
    case Shape::BarraTonda:
    case Shape::BarraPiatta:
    case Shape::TuboSpessore:
    case Shape::TuboDiametri:
        return true;
    case Shape::Lamiera:
    case Shape::Disco:
    case Shape::Anello:
        return false;
    }
    return false;
}

} // namespace kalvor::calc
