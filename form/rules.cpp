#include "form/rules.h"

#include <algorithm>

namespace kalvor::form {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

char ToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Blanks a paste may carry around a number: ASCII white space and the no-break space that
// spreadsheets and web pages put between groups.
std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
    const auto blankAt = [&](std::size_t at) -> std::size_t {
        const char c = text[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
            return 1;
        }
        return text.substr(at).starts_with(kNoBreakSpace) ? kNoBreakSpace.size() : 0;
    };
    while (!text.empty() && blankAt(0) != 0) {
        text.remove_prefix(blankAt(0));
    }
    while (!text.empty()) {
        if (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
            text.back() == '\n' || text.back() == '\v' || text.back() == '\f') {
            text.remove_suffix(1);
        } else if (text.ends_with(kNoBreakSpace)) {
            text.remove_suffix(kNoBreakSpace.size());
        } else {
            break;
        }
    }
    return text;
}

} // namespace

char16_t FilterKey(FieldFilter filter, char16_t typed) {
    if (IsDigit(typed) || typed == kBackspace) {
        return typed;
    }
    if (filter == FieldFilter::Decimal && (typed == u'.' || typed == u',')) {
        return u',';
    }
    return 0;
}

std::optional<std::string> PastedText(FieldFilter filter, int maxLength, std::string_view fieldText,
                                      std::size_t selectionStart, std::size_t selectionLength,
                                      std::string_view pasted) {
    const std::string_view kept = Trimmed(pasted);
    if (kept.empty()) {
        return std::nullopt;
    }
    std::string inserted;
    for (const char c : kept) {
        // A byte of a non-ASCII character is no field character either.
        const char16_t filtered =
            c == '\b' ? char16_t{0} : FilterKey(filter, static_cast<unsigned char>(c));
        if (filtered == 0) {
            return std::nullopt;
        }
        inserted += static_cast<char>(filtered);
    }
    selectionStart = std::min(selectionStart, fieldText.size());
    selectionLength = std::min(selectionLength, fieldText.size() - selectionStart);
    std::string result(fieldText.substr(0, selectionStart));
    result += inserted;
    result += fieldText.substr(selectionStart + selectionLength);
    if (result.size() > static_cast<std::size_t>(maxLength) ||
        std::count(result.begin(), result.end(), ',') > 1) {
        return std::nullopt;
    }
    return inserted;
}

const calc::MaterialEntry *MaterialNamed(std::string_view typed) {
    const std::string_view name = Trimmed(typed);
    for (const calc::MaterialEntry &material : calc::kMaterials) {
        if (std::ranges::equal(name, material.listText,
                               [](char a, char b) { return ToLower(a) == ToLower(b); })) {
            return &material;
        }
    }
    return nullptr;
}

double FittedPoints(double designPoints, int boxWidth,
                    const std::function<int(double points)> &widthAt) {
    double points = designPoints;
    while (points - kFitStepPoints >= kSmallestPoints && widthAt(points) > boxWidth) {
        points -= kFitStepPoints;
    }
    return points;
}

std::string QuoteBlock(const QuoteInputs &in, std::string_view lineEnd) {
    std::string block;
    const auto line = [&](std::string_view caption, std::string_view value,
                          std::string_view unit = {}) {
        while (!caption.empty() && (caption.back() == ':' || caption.back() == ' ')) {
            caption.remove_suffix(1);
        }
        block.append(caption).append(": ").append(value);
        if (!unit.empty()) {
            block.append(" ").append(unit);
        }
        block.append(lineEnd);
    };
    line("materiale", in.material);
    line("densità", in.density, "Kg/dm³");
    line("formato", in.shape);
    for (const auto &dimension : in.dimensions) {
        line(dimension.caption, dimension.text, "mm");
    }
    line("numero pezzi", in.pieces);
    line("prezzo", in.price, in.perMetre ? "€/m" : "€/Kg");
    for (const std::string_view result : in.results) {
        block.append(result).append(lineEnd);
    }
    return block;
}

} // namespace kalvor::form
