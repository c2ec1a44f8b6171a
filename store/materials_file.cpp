#include "store/materials_file.h"

#include <algorithm>

namespace kalvor::store {

const std::string_view kMaterialsHeader =
    "# Materiali propri di Kalvor: una riga per materiale, NOME = DENSITÀ in kg/dm³\n"
    "# (es. 316L = 7,98). Le righe vuote e quelle che cominciano con # non contano.\n";

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Characters in well-formed UTF-8, or no value.
std::optional<std::size_t> CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return {};
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return {};
            }
        }
        const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return {}; // overlong, a surrogate, or beyond U+10FFFF
        }
        i += length;
    }
    return count;
}

// Names compared with letter case ignored: ASCII and the accented letters of Latin-1
// ("À" U+00C0 .. "Þ" U+00DE, but not "×").
std::string Folded(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                folded[i + 1] = static_cast<char>(next + 32);
            }
        }
    }
    return folded;
}

std::optional<std::string> NameFault(std::string_view name) {
    const std::optional<std::size_t> characters = CharacterCount(name);
    if (!characters) {
        return "il testo non è UTF-8";
    }
    if (*characters == 0) {
        return "manca il nome prima di «=»";
    }
    if (*characters > kMaxNameCharacters) {
        return "il nome supera i 40 caratteri";
    }
    return {};
}

// The density as the field shows it, or why it is not one.
struct Density {
    std::string text;
    std::optional<std::string> fault;
};

Density ReadDensity(std::string_view written) {
    const std::size_t separator = written.find_first_of(",.");
    const std::string_view whole = written.substr(0, separator);
    const std::string_view decimals =
        separator == std::string_view::npos ? std::string_view() : written.substr(separator + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (written.empty() || !digits(whole) || !digits(decimals) ||
        whole.size() + decimals.size() == 0) {
        return {{}, "la densità «" + std::string(written) + "» non è un numero come 7,98"};
    }
    if (decimals.size() > 4) {
        return {{}, "la densità ha più di 4 decimali"};
    }
    const std::string_view units =
        whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    const bool zeroDecimals = decimals.find_first_not_of('0') == std::string_view::npos;
    if (units.empty() && zeroDecimals) {
        return {{}, "la densità deve essere maggiore di 0"};
    }
    if (units.size() > 2 ||
        (units.size() == 2 && (units > "30" || (units == "30" && !zeroDecimals)))) {
        return {{}, "la densità supera 30"};
    }
    std::string text(written);
    std::replace(text.begin(), text.end(), '.', ',');
    return {text, {}};
}

// One line of the text: [start, end) without its ending, next where the following one starts.
struct Line {
    std::size_t start, end, next;
};

std::vector<Line> LinesOf(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        end = std::min(end, text.size());
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back({start, end, next});
        start = next;
    }
    return lines;
}

bool Repeats(std::string_view name, std::span<const std::string> names) {
    const std::string folded = Folded(name);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string &other) { return Folded(other) == folded; });
}

} // namespace

MaterialsText ParseMaterials(std::string_view text, std::span<const std::string> catalogueNames) {
    MaterialsText parsed;
    std::vector<std::string> foldedGrades;
    int number = 0;
    for (const Line &line : LinesOf(text)) {
        ++number;
        const std::string_view content = Trimmed(text.substr(line.start, line.end - line.start));
        if (content.empty() || content.front() == '#') {
            continue;
        }
        const auto fault = [&](std::string reason) {
            parsed.faults.push_back({number, std::move(reason)});
        };
        const std::size_t equals = content.rfind('=');
        if (equals == std::string_view::npos) {
            fault("manca «=»: si scrive NOME = DENSITÀ");
            continue;
        }
        const std::string_view name = Trimmed(content.substr(0, equals));
        Density density = ReadDensity(Trimmed(content.substr(equals + 1)));
        if (std::optional<std::string> why = NameFault(name)) {
            fault(std::move(*why));
        } else if (density.fault) {
            fault(std::move(*density.fault));
        } else if (Repeats(name, catalogueNames)) {
            fault("«" + std::string(name) + "» è già un materiale del catalogo");
        } else if (const auto earlier =
                       std::find(foldedGrades.begin(), foldedGrades.end(), Folded(name));
                   earlier != foldedGrades.end()) {
            const Grade &first =
                parsed.grades[static_cast<std::size_t>(earlier - foldedGrades.begin())];
            fault("«" + std::string(name) + "» è già alla riga " + std::to_string(first.line));
        } else if (parsed.grades.size() == kMaxGrades) {
            fault("oltre i 200 materiali ammessi");
        } else {
            parsed.grades.push_back({std::string(name), std::move(density.text), number});
            foldedGrades.push_back(Folded(name));
        }
    }
    return parsed;
}

std::optional<std::string> GradeFault(std::string_view name, std::string_view density,
                                      std::span<const std::string> catalogueNames,
                                      std::span<const Grade> existingGrades) {
    name = Trimmed(name);
    if (std::optional<std::string> why = NameFault(name)) {
        return why;
    }
    if (name.front() == '#') {
        return "il nome non può cominciare con «#»";
    }
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
        return "il nome contiene un carattere di controllo";
    }
    if (Density read = ReadDensity(Trimmed(density)); read.fault) {
        return read.fault;
    }
    if (Repeats(name, catalogueNames)) {
        return "«" + std::string(name) + "» è già un materiale del catalogo";
    }
    const std::string folded = Folded(name);
    if (std::any_of(existingGrades.begin(), existingGrades.end(),
                    [&](const Grade &grade) { return Folded(grade.name) == folded; })) {
        return "«" + std::string(name) + "» è già tra i materiali propri";
    }
    if (existingGrades.size() >= kMaxGrades) {
        return "ci sono già 200 materiali propri, il massimo";
    }
    return {};
}

std::string WithGrade(std::string_view text, std::string_view name, std::string_view density) {
    const std::size_t firstEnd = text.find('\n');
    const std::string_view ending =
        firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r' ? "\r\n"
                                                                                         : "\n";
    std::string result(text);
    if (LinesOf(text).empty()) {
        for (const Line &line : LinesOf(kMaterialsHeader)) {
            result.append(kMaterialsHeader.substr(line.start, line.end - line.start))
                .append(ending);
        }
    } else if (!text.ends_with('\n')) {
        result += ending;
    }
    std::string written = ReadDensity(Trimmed(density)).text;
    result.append(Trimmed(name)).append(" = ").append(written.empty() ? Trimmed(density) : written);
    return result.append(ending);
}

std::string WithoutGrade(std::string_view text, std::string_view name) {
    const std::string folded = Folded(Trimmed(name));
    for (const Grade &grade : ParseMaterials(text, {}).grades) {
        if (Folded(grade.name) == folded) {
            const Line line = LinesOf(text)[static_cast<std::size_t>(grade.line - 1)];
            return std::string(text.substr(0, line.start)).append(text.substr(line.next));
        }
    }
    return std::string(text);
}

} // namespace kalvor::store
