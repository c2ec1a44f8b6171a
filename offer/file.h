#pragma once

#include "calc/result.h"
#include "offer/offer.h"

#include <string>
#include <string_view>

// The offer as the desk keeps it: a versioned UTF-8 text a person can read, one "key: value" a
// line. Texts are escaped so that each value stays on its line ("\\" "\n" "\r" "\t", and "\xHH"
// for other control bytes and bytes that are not UTF-8); a dimension is its caption, a space
// and its value. The count of items and the closing "fine" show a file cut short.
//
//   kalvor-offerta 1
//   cliente: Rossi Acciai S.r.l.
//   voci: 1
//   voce 1
//   materiale: Acciaio al carbonio
//   densità: 7,85
//   formato: Barra tonda
//   dimensione: Diametro: 50
//   dimensione: Lunghezza: 1000
//   pezzi: 1
//   prezzo: 3,75
//   base: €/Kg
//   peso pezzo: 15,42
//   peso totale: 15,42
//   peso metro: 15,42
//   importo pezzo: 57,83
//   importo totale: 57,83
//   importo metro: 57,83
//   fine
namespace kalvor::offer {

inline constexpr int kFileVersion = 1;

std::string FormatOffer(const Offer &offer);

// The offer, or why the text is not a whole offer of this version, in Italian with the line:
// "riga 14: il peso totale non è una cifra della finestra: «15,4x»". Nothing is half-read.
calc::Result<Offer, std::string> ParseOffer(std::string_view text);

} // namespace kalvor::offer
