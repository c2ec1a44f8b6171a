#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The desk's own materials, kept in a text file a person may also edit:
//
//   # Materiali propri di Kalvor: ...
//   316L = 7,98
//   Ottone «CW614N» = 8.47        <- "." is read as ",": the density field shows "8,47"
//
// One grade a line, NAME = DENSITY in kg/dm3. Blank lines and lines whose first character
// other than a blank is "#" do not count; a byte-order mark and CR LF endings are accepted.
// A name is 1 to 40 characters (not bytes) once trimmed and repeats neither a catalogue name
// nor an earlier grade, letter case ignored ("à" and "À" too); a density is a number above 0
// and at most 30 with at most 4 decimals; at most 200 grades. The name is split from the
// density at the last "=", so a name may hold one.
namespace kalvor::store {

inline constexpr std::size_t kMaxGrades = 200;
inline constexpr std::size_t kMaxNameCharacters = 40;

// The comment the program writes first when it makes the file.
extern const std::string_view kMaterialsHeader;

struct Grade {
    std::string name;    // trimmed
    std::string density; // the density field's text: the digits as written, decimal comma
    int line = 0;        // from 1
};

struct FaultyLine {
    int line = 0;
    std::string reason; // Italian, the rule the line breaks: "la densità supera 30"
};

struct MaterialsText {
    std::vector<Grade> grades; // in file order
    std::vector<FaultyLine> faults;
};

MaterialsText ParseMaterials(std::string_view text, std::span<const std::string> catalogueNames);

// Why a grade a person asks to keep breaks a rule (one more rule here: a name may not start
// with "#" or hold a control character, or it would not read back); no value when it is fine.
std::optional<std::string> GradeFault(std::string_view name, std::string_view density,
                                      std::span<const std::string> catalogueNames,
                                      std::span<const Grade> existingGrades);

// The text with "NAME = DENSITY" added as its last line (after the header when the text is
// empty) or with the grade's line taken out. Every other byte stays as it was, comments and
// faulty lines included; a file with CR LF endings gets CR LF.
std::string WithGrade(std::string_view text, std::string_view name, std::string_view density);
std::string WithoutGrade(std::string_view text, std::string_view name);

} // namespace kalvor::store
