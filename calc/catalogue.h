#pragma once

#include <array>
#include <string_view>

// The two fixed lists of the window: materials with their densities, and stock shapes with
// what each one makes of the three dimension rows and of the price basis. Entries are found
// by their exact list text (case, blanks and length all count), never by position.
namespace kalvor::calc {

struct MaterialEntry {
    std::string_view listText;
    std::string_view densityText; // written into the density field as it stands, in kg/dm3
    bool userEntered;             // only "ALTRO": the user types the density
};

inline constexpr std::array<MaterialEntry, 16> kMaterials{{
    {"UNS S31803-F51-Duplex", "7,81", false},
    {"UNS S32760-F55-Superduplex", "7,81", false},
    {"UNS S31254-F44-254 SMO", "8,00", false},
    {"UNS N08904-904L", "8,00", false},
    {"UNS S32750-F53-Superduplex", "7,81", false},
    {"UNS S20910-XM 19", "7,88", false},
    {"Acciaio al carbonio", "7,85", false},
    {"AISI 300 serie", "8,00", false},
    {"Alluminio", "2,70", false},
    {"Nickel 200/201", "8,89", false},
    {"Nickel alloy C276/C22", "8,89", false},
    {"Nickel alloy 600/625", "8,44", false},
    {"Nickel alloy 825", "8,18", false},
    {"Tantalio", "16,70", false},
    {"Titanio", "4,51", false},
    {"ALTRO", "0,00", true},
}};

const MaterialEntry *FindMaterial(std::string_view listText);

enum class Shape { Lamiera, BarraTonda, BarraPiatta, TuboSpessore, TuboDiametri, Disco, Anello };

// One line of the frame of dimensions: caption label, field and unit label ("mm").
struct DimensionRow {
    std::string_view captionLabel;
    std::string_view field;
    std::string_view unitLabel;
};

inline constexpr std::array<DimensionRow, 3> kDimensionRows{{
    {"Label5", "Text2", "Label11"},
    {"Label9", "Text3", "Label12"},
    {"Label10", "Text4", "Label13"},
}};

// What a shape shows in one dimension row.
struct RowSetting {
    std::string_view caption;
    bool shown;
};

struct ShapeEntry {
    std::string_view listText;
    Shape shape;
    std::array<RowSetting, 3> rows;
    // The price basis: per kilogram (Option1) and per metre (Option2).
    bool perKiloEnabled;
    bool perKiloSelected;
    bool perMetreEnabled;
    bool perMetreSelected;
};

inline constexpr std::array<ShapeEntry, 7> kShapes{{
    {"Lamiera",
     Shape::Lamiera,
     {{{"Larghezza:", true}, {"Lunghezza:", true}, {"Spessore:", true}}},
     true,
     true,
     false,
     false},
    {"Barra tonda",
     Shape::BarraTonda,
     {{{"Diametro:", true}, {"Lunghezza:", true}, {"non usata", false}}},
     true,
     true,
     true,
     false},
    {"Barra piatta",
     Shape::BarraPiatta,
     {{{"Larghezza:", true}, {"Lunghezza:", true}, {"Spessore:", true}}},
     true,
     true,
     true,
     false},
    {"Tubo spessore",
     Shape::TuboSpessore,
     {{{"Diametro ext:", true}, {"Spessore:", true}, {"Lunghezza:", true}}},
     true,
     false,
     true,
     true},
    {"Tubo diametri",
     Shape::TuboDiametri,
     {{{"Diametro ext:", true}, {"Diametro int:", true}, {"Lunghezza:", true}}},
     true,
     false,
     true,
     true},
    // "Spessore" without the colon, as the disc's list has always shown it.
    {"Disco",
     Shape::Disco,
     {{{"Diametro:", true}, {"Spessore", true}, {"non usata", false}}},
     true,
     true,
     false,
     false},
    {"Anello",
     Shape::Anello,
     {{{"Diametro ext:", true}, {"Diametro int:", true}, {"Spessore:", true}}},
     true,
     true,
     false,
     false},
}};

const ShapeEntry *FindShape(std::string_view listText);

// Bars and tubes have a length, so a weight and a price per metre.
bool HasMetre(Shape shape);

} // namespace kalvor::calc
