#include "offer/file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kalvor::offer {

namespace {

constexpr std::string_view kMagic = "kalvor-offerta ";

// The length of the well-formed UTF-8 sequence at the start of the text, or 0.
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool IsControl(char c) {
    return static_cast<std::uint8_t>(c) < 0x20 || c == '\x7F';
}

void AppendEscaped(std::string &out, std::string_view text) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    while (!text.empty()) {
        const char c = text.front();
        const std::size_t length = Utf8Length(text);
        if (c == '\\') {
            out.append("\\\\");
        } else if (c == '\n') {
            out.append("\\n");
        } else if (c == '\r') {
            out.append("\\r");
        } else if (c == '\t') {
            out.append("\\t");
        } else if (length == 0 || IsControl(c)) {
            const auto byte = static_cast<std::uint8_t>(c);
            out.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xF]);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        text.remove_prefix(1);
    }
}

std::optional<std::string> Unescaped(std::string_view text) {
    const auto hexDigit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        const char kind = ++i < text.size() ? text[i] : '\0';
        if (kind == '\\' || kind == 'n' || kind == 'r' || kind == 't') {
            out.push_back(kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : '\\');
        } else if (kind == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                   hexDigit(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

class Writer {
public:
    void Line(std::string_view key, std::string_view value) {
        text_.append(key).append(": ");
        AppendEscaped(text_, value);
        text_.push_back('\n');
    }
    void Plain(std::string_view line) { text_.append(line).push_back('\n'); }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

// The file's lines, read one at a time; every failure names the line it met.
class Reader {
public:
    explicit Reader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

    bool AtEnd() const { return next_ == lines_.size(); }
    std::size_t LineNumber() const { return next_ + 1; }
    std::string_view Peek() const { return AtEnd() ? std::string_view{} : lines_[next_]; }
    bool Next(std::string_view &line) {
        if (AtEnd()) {
            return Fail("il file è troncato");
        }
        line = lines_[next_++];
        return true;
    }
    bool Has(std::string_view key) const {
        const std::string_view line = Peek();
        return line.starts_with(key) && line.substr(key.size()).starts_with(":");
    }
    // The value of "key: value" on the next line.
    bool Value(std::string_view key, std::string &value) {
        if (!Has(key)) {
            return Fail(AtEnd() ? "il file è troncato" : "manca «" + std::string(key) + ":»");
        }
        std::string_view rest = lines_[next_].substr(key.size() + 1);
        if (!rest.empty() && !rest.starts_with(" ")) {
            return Fail("manca lo spazio dopo «" + std::string(key) + ":»");
        }
        auto unescaped = Unescaped(rest.substr(rest.empty() ? 0 : 1));
        if (!unescaped) {
            return Fail("sequenza «\\» non valida");
        }
        value = std::move(*unescaped);
        ++next_;
        return true;
    }
    bool Fail(std::string reason, std::size_t line = 0) {
        error_ = "riga " + std::to_string(line != 0 ? line : LineNumber()) + ": " + reason;
        return false;
    }
    const std::string &Error() const { return error_; }

private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    std::string error_;
};

// A whole number of items as the file writes it: digits only, no sign, no leading zero.
std::optional<std::size_t> Count(std::string_view text) {
    if (text.empty() || text.size() > 9 || (text.size() > 1 && text[0] == '0')) {
        return std::nullopt;
    }
    std::size_t count = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        count = count * 10 + static_cast<std::size_t>(c - '0');
    }
    return count;
}

// The text's lines without their "\n" (or "\r\n"), or why the text is not lines of UTF-8.
std::optional<std::string> SplitLines(std::string_view text, std::vector<std::string_view> &lines) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lines.push_back(text.substr(start, i - start));
            i += c == '\r' ? 2 : 1;
            start = i;
            continue;
        }
        const std::size_t length = Utf8Length(text.substr(i));
        if (length == 0 || IsControl(c)) {
            return "riga " + std::to_string(lines.size() + 1) + ": caratteri non validi";
        }
        i += length;
    }
    if (start != text.size()) {
        return "riga " + std::to_string(lines.size() + 1) + ": il file finisce a metà riga";
    }
    return std::nullopt;
}

bool ReadLine(Reader &in, std::size_t number, Offer &offer) {
    const std::size_t heading = in.LineNumber();
    std::string_view line;
    if (!in.Next(line)) {
        return false;
    }
    if (line != "voce " + std::to_string(number)) {
        return in.Fail("attesa «voce " + std::to_string(number) + "»", heading);
    }
    LineTexts texts;
    std::string basis;
    if (!in.Value("materiale", texts.material) || !in.Value("densità", texts.density) ||
        !in.Value("formato", texts.shape)) {
        return false;
    }
    while (in.Has("dimensione")) {
        std::string dimension;
        if (!in.Value("dimensione", dimension)) {
            return false;
        }
        const std::size_t space = dimension.rfind(' ');
        if (space == std::string::npos) {
            return in.Fail("una dimensione è la didascalia, uno spazio e il valore",
                           in.LineNumber() - 1);
        }
        texts.dimensions.push_back({dimension.substr(0, space), dimension.substr(space + 1)});
    }
    if (!in.Value("pezzi", texts.pieces) || !in.Value("prezzo", texts.price) ||
        !in.Value("base", basis)) {
        return false;
    }
    if (basis != "€/Kg" && basis != "€/m") {
        return in.Fail("la base è «€/Kg» o «€/m», non «" + basis + "»", in.LineNumber() - 1);
    }
    texts.basis = basis == "€/m" ? Basis::PerMetre : Basis::PerKilo;
    if (!in.Value("peso pezzo", texts.pieceWeight) || !in.Value("peso totale", texts.totalWeight) ||
        (in.Has("peso metro") && !in.Value("peso metro", texts.metreWeight)) ||
        !in.Value("importo pezzo", texts.pieceCost) ||
        !in.Value("importo totale", texts.totalCost) ||
        (in.Has("importo metro") && !in.Value("importo metro", texts.metreCost))) {
        return false;
    }
    auto made = MakeLine(texts);
    if (!made.ok()) {
        return in.Fail("voce " + std::to_string(number) + ": " + made.error(), heading);
    }
    offer.Add(made.value());
    return true;
}

} // namespace

std::string FormatOffer(const Offer &offer) {
    Writer out;
    out.Plain(std::string(kMagic) + std::to_string(kFileVersion));
    out.Line("cliente", offer.client);
    out.Line("voci", std::to_string(offer.Lines().size()));
    std::size_t number = 0;
    for (const OfferLine &line : offer.Lines()) {
        out.Plain("voce " + std::to_string(++number));
        out.Line("materiale", line.material);
        out.Line("densità", line.density);
        out.Line("formato", line.shape);
        for (const Dimension &dimension : line.dimensions) {
            out.Line("dimensione", dimension.caption + " " + dimension.value);
        }
        out.Line("pezzi", line.pieces);
        out.Line("prezzo", line.price);
        out.Line("base", line.basis == Basis::PerMetre ? "€/m" : "€/Kg");
        out.Line("peso pezzo", line.pieceWeight.Plain());
        out.Line("peso totale", line.totalWeight.Plain());
        if (line.metreWeight) {
            out.Line("peso metro", line.metreWeight->Plain());
        }
        out.Line("importo pezzo", line.pieceCost.Plain());
        out.Line("importo totale", line.totalCost.Plain());
        if (line.metreCost) {
            out.Line("importo metro", line.metreCost->Plain());
        }
    }
    out.Plain("fine");
    return out.Take();
}

calc::Result<Offer, std::string> ParseOffer(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3); // a byte-order mark an editor may have added
    }
    std::vector<std::string_view> lines;
    if (auto damaged = SplitLines(text, lines)) {
        return *damaged;
    }
    Reader in(std::move(lines));
    std::string_view first;
    if (!in.Next(first) || !first.starts_with(kMagic)) {
        return std::string("non è un file di offerta di Kalvor");
    }
    const std::string_view version = first.substr(kMagic.size());
    if (version != std::to_string(kFileVersion)) {
        return "riga 1: versione «" + std::string(version) +
               "» del file non gestita; questo programma legge la versione " +
               std::to_string(kFileVersion);
    }
    Offer offer;
    std::string items;
    if (!in.Value("cliente", offer.client) || !in.Value("voci", items)) {
        return in.Error();
    }
    const auto count = Count(items);
    if (!count) {
        in.Fail("il numero delle voci non è valido: «" + items + "»", in.LineNumber() - 1);
        return in.Error();
    }
    for (std::size_t number = 1; number <= *count; ++number) {
        if (!ReadLine(in, number, offer)) {
            return in.Error();
        }
    }
    std::string_view last;
    if (!in.Next(last)) {
        return in.Error();
    }
    if (last != "fine") {
        in.Fail("attesa «fine» dopo l'ultima voce", in.LineNumber() - 1);
        return in.Error();
    }
    if (!in.AtEnd()) {
        in.Fail("testo dopo «fine»");
        return in.Error();
    }
    return offer;
}

} // namespace kalvor::offer
