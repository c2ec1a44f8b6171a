#pragma once

#include <string_view>

// Every message the program shows: a lower-case prompt and a lower-case title.
namespace kalvor::calc {

struct MessageText {
    std::string_view prompt;
    std::string_view title;
};

inline constexpr MessageText kNoMaterial{"selezionare un materiale", "materiale non selezionato"};
inline constexpr MessageText kNoShape{"selezionare un formato", "formato non selezionato"};
// The prompt is followed by the field's name: "inserire un numero nel campo prezzo".
inline constexpr MessageText kNotANumber{"inserire un numero nel campo ", "valore non valido"};
inline constexpr MessageText kResultTooLarge{
    "risultato troppo grande: ridurre dimensioni, numero pezzi o prezzo", "calcolo impossibile"};
inline constexpr MessageText kZeroLength{"inserire una lunghezza maggiore di zero",
                                         "lunghezza non valida"};
inline constexpr MessageText kInnerOverOuter{
    "il diametro interno non può superare il diametro esterno", "dimensioni non valide"};
inline constexpr MessageText kWallOverRadius{
    "lo spessore non può superare metà del diametro esterno", "dimensioni non valide"};
// The prompt is followed by the address: "impossibile aprire il sito www.example.com".
inline constexpr MessageText kSiteNotOpened{"impossibile aprire il sito ",
                                            "collegamento non riuscito"};

} // namespace kalvor::calc
