#pragma once

#include <array>
#include <string_view>

// The two lists the desk sells from, again, in list order: a density mistyped in the program
// prices every piece of that material wrong. Plain data: the Windows build compiles it too.
namespace kalvor::reference {

struct MaterialRow {
    std::string_view name, density; // kg/dm3 as the density field shows it
    bool userEntered = false;       // the user types the density
};

inline constexpr std::array<MaterialRow, 16> kMaterials{{
    {"UNS S31803-F51-Duplex", "7,81"},
    {"UNS S32760-F55-Superduplex", "7,81"},
    {"UNS S31254-F44-254 SMO", "8,00"},
    {"UNS N08904-904L", "8,00"},
    {"UNS S32750-F53-Superduplex", "7,81"},
    {"UNS S20910-XM 19", "7,88"},
    {"Acciaio al carbonio", "7,85"},
    {"AISI 300 serie", "8,00"},
    {"Alluminio", "2,70"},
    {"Nickel 200/201", "8,89"},
    {"Nickel alloy C276/C22", "8,89"},
    {"Nickel alloy 600/625", "8,44"},
    {"Nickel alloy 825", "8,18"},
    {"Tantalio", "16,70"},
    {"Titanio", "4,51"},
    {"ALTRO", "0,00", true},
}};

inline constexpr std::array<std::string_view, 7> kShapes{
    "Lamiera", "Barra tonda", "Barra piatta", "Tubo spessore", "Tubo diametri", "Disco", "Anello"};

} // namespace kalvor::reference
