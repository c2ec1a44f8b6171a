#include "form/rules.h"

#include <algorithm>

namespace kalvor::form {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool AllDigits(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return IsDigit(static_cast<unsigned char>(c)); });
}

// Groups of thousands: a first group of 1 to 3 digits not starting with 0, then groups of 3.
bool GroupsThousands(const std::vector<std::string_view> &groups) {
    if (groups.empty() || groups[0].empty() || groups[0].size() > 3 || groups[0][0] == '0') {
        return false;
    }
    return std::ranges::all_of(groups, AllDigits) &&
           std::all_of(groups.begin() + 1, groups.end(),
                       [](std::string_view group) { return group.size() == 3; });
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator)) {
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    parts.push_back(text);
    return parts;
}

std::string Joined(const std::vector<std::string_view> &parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text += part;
    }
    return text;
}

std::string Quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
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

char16_t FilterKey(FieldFilter filter, char16_t typed) {
    if (IsDigit(typed) || typed == kBackspace) {
        return typed;
    }
    if (filter == FieldFilter::Decimal && (typed == u'.' || typed == u',')) {
        return u',';
    }
    return 0;
}

std::optional<std::string> FieldTextFault(const ControlSpec &field, std::string_view text) {
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (!IsDigit(code) && !(field.filter == FieldFilter::Decimal && c == ',')) {
            return field.filter == FieldFilter::WholeNumber && c == ','
                       ? std::string(kNotWholeReason) + Quoted(text)
                       : std::string(kNotANumberReason) + Quoted(text);
        }
    }
    if (std::ranges::count(text, ',') > 1) {
        return std::string(kTwoCommasReason);
    }
    if (text.size() > static_cast<std::size_t>(field.maxLength)) {
        return std::string(kTooLongReason);
    }
    return std::nullopt;
}

PasteReading ReadPasted(std::string_view pasted) {
    const std::string_view kept = TrimBlanks(pasted);
    if (kept.empty()) {
        return {std::nullopt, std::string(kNothingToPasteReason)};
    }
    const PasteReading notANumber{std::nullopt, std::string(kNotANumberReason) + Quoted(kept)};
    // Only digits and one comma may come out of the reading.
    const auto number = [&](std::string text) {
        const bool digits = std::ranges::all_of(
            text, [](char c) { return IsDigit(static_cast<unsigned char>(c)) || c == ','; });
        return digits && text != "," ? PasteReading{std::move(text), {}} : notANumber;
    };
    const std::size_t commas = std::ranges::count(kept, ',');
    const std::size_t dots = std::ranges::count(kept, '.');
    if (commas > 1) {
        return notANumber;
    }
    if (dots == 0) {
        return number(std::string(kept));
    }
    if (commas == 1) {
        // "1.234,5": the dots group the whole part by thousands.
        const std::size_t comma = kept.find(',');
        if (!GroupsThousands(SplitAt(kept.substr(0, comma), '.'))) {
            return notANumber;
        }
        return number(Joined(SplitAt(kept.substr(0, comma), '.')) +
                      std::string(kept.substr(comma)));
    }
    const std::vector<std::string_view> groups = SplitAt(kept, '.');
    if (dots > 1) {
        // "1.234.567"
        return GroupsThousands(groups) ? number(Joined(groups)) : notANumber;
    }
    if (GroupsThousands(groups)) {
        // "1.500": 1500 in Italian, 1,5 in English.
        std::string decimal = std::string(groups[0]) + "," + std::string(groups[1]);
        while (decimal.back() == '0') {
            decimal.pop_back();
        }
        if (decimal.back() == ',') {
            decimal.pop_back();
        }
        return {std::nullopt,
                Quoted(kept) + " è ambiguo: scrivere " + Joined(groups) + " oppure " + decimal};
    }
    // "2.5", "0.125", ".5": a decimal point.
    return number(std::string(groups[0]) + "," + std::string(groups[1]));
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
