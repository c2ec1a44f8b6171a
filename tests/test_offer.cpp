#include "offer/file.h"
#include "offer/texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

namespace {

using namespace kalvor::offer;

LineTexts RoundBar() {
    return {"Acciaio al carbonio",
            "7,85",
            "Barra tonda",
            {{"Diametro:", "50"}, {"Lunghezza:", "1000"}},
            "1",
            "3,75",
            Basis::PerKilo,
            "15,42",
            "15,42",
            "15,42",
            "57,83",
            "57,83",
            "57,83"};
}

LineTexts Sheet() {
    return {"Titanio",
            "4,51",
            "Lamiera",
            {{"Larghezza:", "1000"}, {"Lunghezza:", "2000"}, {"Spessore:", "5"}},
            "3",
            "0,5",
            Basis::PerKilo,
            "1,234568E+07",
            "3,569644E+07",
            "",
            "6172840",
            "1,784822E+07",
            ""};
}

OfferLine Line(const LineTexts &texts) {
    auto line = MakeLine(texts);
    EXPECT_TRUE(line.ok()) << line.error();
    return line.ok() ? line.value() : OfferLine{};
}

Offer Sample(std::string client, std::string material) {
    Offer offer;
    offer.client = std::move(client);
    LineTexts first = RoundBar();
    first.material = std::move(material);
    offer.Add(Line(first));
    LineTexts second = Sheet();
    second.material += "\nGrado 2"; // a cell with a line break alone must be quoted too
    offer.Add(Line(second));
    return offer;
}

TEST(OfferDecimal, ReadsTheWindowsFiguresExactly) {
    // {text, Plain(), TwoDecimals()}; an empty Plain() means the text is refused.
    const struct {
        const char *text, *plain, *two;
    } rows[] = {
        {"15,42", "15,42", "15,42"},
        {"3,569644E+07", "35696440", "35696440,00"},
        {"1,234568E+07", "12345680", "12345680,00"},
        {"0", "0", "0,00"},
        {",5", "0,5", "0,50"},
        {"15,420", "15,42", "15,42"},
        {"1,5E-01", "0,15", "0,15"},
        {"3,402823E+38", "340282300000000000000000000000000000000",
         "340282300000000000000000000000000000000,00"},
        {"1000000000", "1000000000", "1000000000,00"},
        {"999999999,99", "999999999,99", "999999999,99"},
        {"1E-05", "", ""},
        {"0,001", "", ""},
        {"-1", "", ""},
        {"1.5", "", ""},
        {"", "", ""},
        {",", "", ""},
        {"1,2,3", "", ""},
        {"1e+07", "", ""},
        {"1E07", "", ""},
        {"E+07", "", ""},
        {"1E+999", "", ""},
        {" 5", "", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        const auto value = Decimal::FromText(row.text);
        ASSERT_EQ(value.has_value(), *row.plain != '\0');
        if (value) {
            EXPECT_EQ(value->Plain(), row.plain);
            EXPECT_EQ(value->TwoDecimals(), row.two);
        }
    }
}

TEST(OfferDecimal, GroupsThousandsWithTwoDecimals) {
    const std::pair<const char *, const char *> rows[] = {
        {"3,569644E+07", "35.696.440,00"},
        {"0", "0,00"},
        {"1000", "1.000,00"},
        {"999,99", "999,99"},
        {"100000", "100.000,00"},
        {"0,05", "0,05"},
        {"1234567,8", "1.234.567,80"},
    };
    for (const auto &[text, grouped] : rows) {
        EXPECT_EQ(Decimal::FromText(text)->Grouped(), grouped) << text;
    }
}

// The independent sum: digit strings of hundredths added by hand, column by column.
std::string AddDigits(const std::string &a, const std::string &b) {
    std::string sum;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry != 0; ++i) {
        const int da = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int db = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        sum.insert(sum.begin(), static_cast<char>('0' + (da + db + carry) % 10));
        carry = (da + db + carry) / 10;
    }
    return sum;
}

// A random figure as the window writes it, and its value in hundredths.
std::pair<std::string, std::string> RandomFigure(std::mt19937 &random) {
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text.push_back(static_cast<char>('0' + random() % 10));
        }
        return text;
    };
    if (random() % 2 == 0) { // plain: up to 7 digits and up to 2 decimals
        const std::string whole = std::to_string(random() % 10'000'000);
        const std::string cents = digits(2);
        return {whole + "," + cents, whole + cents};
    }
    // Exponent form: a Single's 7 digits from 10^7, or a Double's 15 from 10^15.
    const int significant = random() % 2 == 0 ? 7 : 15;
    const int exponent = significant + static_cast<int>(random() % 60);
    const std::string mantissa = std::to_string(1 + random() % 9) + digits(significant - 1);
    const std::string text =
        mantissa.substr(0, 1) + "," + mantissa.substr(1) + "E+" + std::to_string(exponent);
    return {text,
            mantissa + std::string(static_cast<std::size_t>(exponent - significant + 3), '0')};
}

TEST(OfferTotals, AreTheExactSumsOfTheLines) {
    // A carry out of a 9-digit limb below another: 10^8 + 9999999,99 + 0,01.
    Offer edge;
    for (const char *figure : {"1E+08", "9999999,99", "0,01"}) {
        LineTexts texts = RoundBar();
        texts.totalWeight = figure;
        edge.Add(Line(texts));
    }
    EXPECT_EQ(edge.TotalWeight().Grouped(), "110.000.000,00");
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        Offer offer;
        std::string weight = "0";
        std::string amount = "0";
        for (std::size_t lines = random() % 40; lines > 0; --lines) {
            LineTexts texts = RoundBar();
            std::string weightCents, amountCents;
            std::tie(texts.totalWeight, weightCents) = RandomFigure(random);
            std::tie(texts.totalCost, amountCents) = RandomFigure(random);
            offer.Add(Line(texts));
            weight = AddDigits(weight, weightCents);
            amount = AddDigits(amount, amountCents);
        }
        const auto withComma = [](std::string cents) {
            cents.erase(0, std::min(cents.find_first_not_of('0'), cents.size()));
            cents.insert(0, cents.size() < 3 ? 3 - cents.size() : 0, '0');
            return cents.insert(cents.size() - 2, ",");
        };
        ASSERT_EQ(offer.TotalWeight().TwoDecimals(), withComma(weight));
        ASSERT_EQ(offer.TotalAmount().TwoDecimals(), withComma(amount));
        EXPECT_TRUE(CsvText(offer).ends_with("\r\nTotale;;;;;;;;;;" + withComma(weight) + ";;;" +
                                             withComma(amount) + "\r\n"));
    }
}

TEST(OfferLines, RefuseWhatTheWindowCannotHaveShown) {
    const std::pair<const char *, std::function<void(LineTexts &)>> rows[] = {
        {"unknown shape", [](LineTexts &t) { t.shape = "Barra tonda "; }},
        {"no material", [](LineTexts &t) { t.material.clear(); }},
        {"density with a point", [](LineTexts &t) { t.density = "7.85"; }},
        {"dimension with two commas", [](LineTexts &t) { t.dimensions[1].value = "1,0,0"; }},
        {"a third dimension",
         [](LineTexts &t) {
             t.dimensions.push_back({"Spessore:", "5"});
         }},
        {"empty pieces", [](LineTexts &t) { t.pieces.clear(); }},
        {"no metre weight for a bar", [](LineTexts &t) { t.metreWeight.clear(); }},
        {"metre cost priced per metre", [](LineTexts &t) { t.basis = Basis::PerMetre; }},
        {"a part of a cent", [](LineTexts &t) { t.pieceWeight = "1E-05"; }},
        {"empty total cost", [](LineTexts &t) { t.totalCost.clear(); }},
    };
    for (const auto &[name, spoil] : rows) {
        LineTexts texts = RoundBar();
        spoil(texts);
        const auto line = MakeLine(texts);
        EXPECT_FALSE(line.ok()) << name;
        EXPECT_FALSE(!line.ok() && line.error().empty()) << name;
    }
    LineTexts sheetPerMetre = Sheet();
    sheetPerMetre.basis = Basis::PerMetre;
    LineTexts sheetWithMetre = Sheet();
    sheetWithMetre.metreWeight = "1";
    EXPECT_FALSE(MakeLine(sheetPerMetre).ok());
    EXPECT_FALSE(MakeLine(sheetWithMetre).ok());
}

TEST(OfferLines, WriteNumbersASpreadsheetReads) {
    LineTexts texts = RoundBar();
    texts.density = ",5";
    texts.dimensions = {{"Diametro:", "050"}, {"Lunghezza:", "1000,"}};
    texts.price = "3,50";
    const OfferLine line = Line(texts);
    EXPECT_EQ(line.density, "0,5");
    EXPECT_EQ(DimensionsText(line), "50 × 1000");
    EXPECT_EQ(line.price, "3,50");
}

TEST(OfferEdit, RemovesTheChosenRowsOnly) {
    const std::pair<std::vector<std::size_t>, const char *> rows[] = {
        {{}, "12345"}, {{0}, "2345"}, {{4, 0, 4, 9}, "234"}, {{3, 1}, "135"}, {{0, 1, 2, 3, 4}, ""},
    };
    for (const auto &[remove, left] : rows) {
        Offer offer;
        for (const char *pieces : {"1", "2", "3", "4", "5"}) {
            LineTexts texts = RoundBar();
            texts.pieces = pieces;
            offer.Add(Line(texts));
        }
        offer.Remove(remove);
        std::string kept;
        for (const TableRow &row : ViewOf(offer).rows) {
            kept += row[4];
            EXPECT_EQ(row[0], std::to_string(kept.size())); // numbered again from 1
        }
        EXPECT_EQ(kept, left);
    }
}

TEST(OfferFile, ReadsBackWhatItWrote) {
    const char *names[] = {
        "",
        "Rossi; \"Bianchi\"\n\tMilano «Sud» àèìòù €",
        "back\\slash \\n \\x41 literal",
        "\r\n\x01\x7F\x1F",
        "not UTF-8 \xFF\xC3( \xED\xA0\x80",
        " Rossi  ",
        "voce 1\nfine",
    };
    for (const char *name : names) {
        SCOPED_TRACE(name);
        const Offer offer = Sample(name, *name != 0 ? name : "Acciaio");
        const std::string text = FormatOffer(offer);
        const auto read = ParseOffer(text);
        ASSERT_TRUE(read.ok()) << read.error();
        EXPECT_EQ(read.value(), offer);
        EXPECT_EQ(FormatOffer(read.value()), text);
    }
    EXPECT_TRUE(ParseOffer(FormatOffer(Offer{})).ok());
}

TEST(OfferFile, RefusesEveryDamagedText) {
    const std::string whole = FormatOffer(Sample("Rossi", "Acciaio"));
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        EXPECT_FALSE(ParseOffer(whole.substr(0, cut)).ok()) << "cut at " << cut;
    }
    for (std::size_t start = 0; start < whole.size(); start = whole.find('\n', start) + 1) {
        std::string lineGone = whole;
        lineGone.erase(start, whole.find('\n', start) + 1 - start);
        EXPECT_FALSE(ParseOffer(lineGone).ok()) << "line gone at " << start;
    }
    const std::pair<std::string, std::string> spoils[] = {
        {"kalvor-offerta 1", "kalvor-offerta 2"},
        {"kalvor-offerta 1", "kalvor-offerta 1.0"},
        {"kalvor-offerta 1", "Kalvor-offerta 1"},
        {"15,42", "15,4x"},
        {"15,42", "1E-05"},
        {"pezzi: 1", "pezzi: -1"},
        {"voci: 2", "voci: 3"},
        {"voci: 2", "voci: 1"},
        {"voci: 2", "voci: 02"},
        {"voce 2", "voce 3"},
        {"cliente: ", "cliente:"},
        {"Rossi", "Ro\\qssi"},
        {"Rossi", "Ro\\x4"},
        {"Rossi", std::string("Ro\0ssi", 6)},
        {"Rossi", "Ro\xFFssi"},
        {"Rossi", "Ro\rssi"},
        {"base: €/Kg", "base: €/kg"},
        {"Diametro: 50", "Diametro:50"},
        {"fine\n", "fine\nfine\n"},
        {"fine\n", "fine"},
    };
    for (const auto &[from, to] : spoils) {
        std::string spoiled = whole;
        spoiled.replace(spoiled.find(from), from.size(), to);
        const auto read = ParseOffer(spoiled);
        EXPECT_FALSE(read.ok()) << to;
        EXPECT_FALSE(!read.ok() && read.error().empty()) << to;
    }
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string junk = whole;
        const char control = static_cast<char>(random() % 32);
        junk[random() % junk.size()] = control;
        EXPECT_FALSE(control != '\n' && control != '\r' && ParseOffer(junk).ok());
    }
}

// The CSV file and the copy read back by Python's csv module, as a spreadsheet would.
std::vector<std::vector<std::string>> ReadByPython(const std::string &text, const char *separator,
                                                   const char *encoding) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(testing::TempDir()) / "kalvor_offer_cells";
    fs::create_directories(folder);
    std::ofstream(folder / "cells.txt", std::ios::binary) << text;
    std::ofstream(folder / "cells.py") << R"(import csv, sys
sep = {'semicolon': ';', 'tab': '\t'}[sys.argv[2]]
with open(sys.argv[1], encoding=sys.argv[3], newline='') as f:
    rows = list(csv.reader(f, delimiter=sep, strict=True))
sys.stdout.buffer.write('\x1e'.join('\x1f'.join(r) for r in rows).encode('utf-8'))
)";
    const std::string command = "/usr/bin/python3 '" + (folder / "cells.py").string() + "' '" +
                                (folder / "cells.txt").string() + "' " + separator + " " + encoding;
    std::string out;
#ifndef _WIN32
    if (FILE *pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) {
            out.push_back(static_cast<char>(c));
        }
        EXPECT_EQ(pclose(pipe), 0);
    }
#endif
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (const char c : out) {
        if (c == '\x1e') {
            rows.push_back(std::vector<std::string>(1));
        } else if (c == '\x1f') {
            rows.back().emplace_back();
        } else {
            rows.back().back().push_back(c);
        }
    }
    return rows;
}

TEST(OfferSpreadsheet, CsvAndCopyGiveOneCellPerValue) {
#ifdef _WIN32
    GTEST_SKIP() << "no python3 under Wine to read the CSV with";
#endif
    if (!std::filesystem::exists("/usr/bin/python3")) {
        GTEST_SKIP() << "no python3 to read the CSV with";
    }
    const std::string client = "Rossi; \"Bianchi\"\r\n\tMilano «Sud»";
    const std::string material = "Acciaio \"speciale\";\nlotto\t7";
    const Offer offer = Sample(client, material);
    const std::string csv = CsvText(offer);
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF" + std::string(kCsvHeader) + "\r\n"));
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(ReadByPython(csv, "semicolon", "utf-8-sig"),
              (Rows{{"N.", "Cliente", "Materiale", "Densità (Kg/dm³)", "Formato", "Dimensioni (mm)",
                     "Pezzi", "Prezzo", "Base", "Peso pezzo (Kg)", "Peso totale (Kg)",
                     "Peso metro (Kg)", "Importo pezzo (€)", "Importo totale (€)"},
                    {"1", client, material, "7,85", "Barra tonda", "50 × 1000", "1", "3,75", "€/Kg",
                     "15,42", "15,42", "15,42", "57,83", "57,83"},
                    {"2", client, "Titanio\nGrado 2", "4,51", "Lamiera", "1000 × 2000 × 5", "3",
                     "0,5", "€/Kg", "12345680", "35696440", "", "6172840", "17848220"},
                    {"Totale", "", "", "", "", "", "", "", "", "", "35696455,42", "", "",
                     "17848277,83"}}));
    EXPECT_EQ(ReadByPython(CopyText(offer), "tab", "utf-8"),
              (Rows{{kTableHeader.begin(), kTableHeader.end()},
                    {"1", material, "Barra tonda", "50 × 1000", "1", "3,75 €/Kg", "15,42", "15,42",
                     "57,83"},
                    {"2", "Titanio\nGrado 2", "Lamiera", "1000 × 2000 × 5", "3", "0,5 €/Kg",
                     "12345680", "35696440", "17848220"},
                    {"Totale", "", "", "", "", "", "", "35.696.455,42", "17.848.277,83"}}));
    const TableView view = ViewOf(offer);
    EXPECT_EQ(view.totalWeight, "Totale peso: 35.696.455,42 Kg");
    EXPECT_EQ(view.totalAmount, "Totale importo: 17.848.277,83 €");
}

} // namespace
