#include "reference.h"

#include <gmpxx.h>
#include <mpfr.h>

#include <cmath>

namespace kalvor::reference {
namespace {

using Q = mpq_class;
using Z = mpz_class;

// A binary width as MPFR counts it: bits of precision, and the exponent range of a
// significand in [1/2, 1), from the smallest subnormal to the largest finite value.
struct Width {
    mpfr_prec_t bits;
    mpfr_exp_t emin, emax;
};
constexpr Width kSingle{24, -148, 128};
constexpr Width kDouble{53, -1073, 1024};

// An MPFR number of one width, with MPFR's exponent range narrowed to that width while it
// lives, so that results overflow and go subnormal exactly where the hardware's do.
struct Binary {
    mpfr_t x;
    mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
    explicit Binary(Width width) {
        mpfr_set_emin(width.emin);
        mpfr_set_emax(width.emax);
        mpfr_init2(x, width.bits);
    }
    ~Binary() {
        mpfr_clear(x);
        mpfr_set_emin(emin);
        mpfr_set_emax(emax);
    }
    Binary(const Binary &) = delete;
    Binary &operator=(const Binary &) = delete;
    // Keeps the result of an MPFR operation, correctly rounded to the width.
    void settle(int ternary) {
        mpfr_subnormalize(x, mpfr_check_range(x, ternary, MPFR_RNDN), MPFR_RNDN);
    }
};

float NearestSingle(const Q &q) {
    Binary b(kSingle);
    b.settle(mpfr_set_q(b.x, q.get_mpq_t(), MPFR_RNDN));
    return mpfr_get_flt(b.x, MPFR_RNDN);
}
double NearestDouble(const Q &q) {
    Binary b(kDouble);
    b.settle(mpfr_set_q(b.x, q.get_mpq_t(), MPFR_RNDN));
    return mpfr_get_d(b.x, MPFR_RNDN);
}

// A double whose every operation is one correctly rounded MPFR operation at 53 bits.
struct D {
    double v;
};
D Op(D a, D b, int (*op)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t)) {
    Binary x(kDouble), y(kDouble), r(kDouble);
    mpfr_set_d(x.x, a.v, MPFR_RNDN);
    mpfr_set_d(y.x, b.v, MPFR_RNDN);
    r.settle(op(r.x, x.x, y.x, MPFR_RNDN));
    return {mpfr_get_d(r.x, MPFR_RNDN)};
}
D operator-(D a, D b) {
    return Op(a, b, mpfr_sub);
}
D operator*(D a, D b) {
    return Op(a, b, mpfr_mul);
}
D operator/(D a, D b) {
    return Op(a, b, mpfr_div);
}
D Sq(D a) {
    return a * a;
}

Q PowerOfTen(long e) {
    Z p;
    mpz_ui_pow_ui(p.get_mpz_t(), 10, static_cast<unsigned long>(std::labs(e)));
    return e >= 0 ? Q(p) : Q(Z(1), p);
}

// The exact value of a decimal-comma text, or nothing.
std::optional<Q> ReadExact(std::string_view text) {
    std::string digits;
    long commas = 0, decimals = 0;
    for (char c : text) {
        if (c == ',') {
            ++commas;
        } else if (c >= '0' && c <= '9') {
            digits += c;
            decimals += commas;
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty() || commas > 1) {
        return std::nullopt;
    }
    return Q(Z(digits, 10) * PowerOfTen(-decimals));
}

// The integer nearest to q, ties to the even one.
Z RoundHalfEven(const Q &q) {
    Z n;
    mpz_fdiv_q(n.get_mpz_t(), q.get_num_mpz_t(), q.get_den_mpz_t());
    const int side = cmp(Q(q - n), Q(1, 2));
    if (side > 0 || (side == 0 && mpz_odd_p(n.get_mpz_t()))) {
        ++n;
    }
    return n;
}

Q Hundredths(double value) {
    return Q(Q(RoundHalfEven(Q(value) * 100)) / 100);
}

std::string Write(double value, int digits) {
    if (value == 0) {
        return "0";
    }
    const Q q = abs(Q(value));
    // The decimal exponent e with 10^e <= q < 10^(e+1), settled by exact comparison.
    long e = static_cast<long>(std::floor(std::log10(std::fabs(value))));
    while (q < PowerOfTen(e)) {
        --e;
    }
    while (q >= PowerOfTen(e + 1)) {
        ++e;
    }
    // The significant digits as one integer, rounded half to even; 9,9999995 carries to 10.
    Z m = RoundHalfEven(q / PowerOfTen(e - digits + 1));
    if (Q(m) == PowerOfTen(digits)) {
        m /= 10;
        ++e;
    }
    std::string s = m.get_str();
    s.erase(s.find_last_not_of('0') + 1);

    std::string text = value < 0 ? "-" : "";
    if (e >= digits || e < -4) {
        text += s.substr(0, 1) + (s.size() > 1 ? "," + s.substr(1) : "");
        const std::string exponent = std::to_string(std::labs(e));
        text += (e < 0 ? "E-" : "E+") + std::string(exponent.size() < 2 ? "0" : "") + exponent;
    } else if (e < 0) {
        text += "0," + std::string(static_cast<std::size_t>(-e - 1), '0') + s;
    } else {
        const auto whole = static_cast<std::size_t>(e + 1);
        s.resize(std::max(s.size(), whole), '0');
        text += s.substr(0, whole) + (s.size() > whole ? "," + s.substr(whole) : "");
    }
    return text;
}

// Narrowed to the nearest Single, then rounded to 2 decimals; nothing beyond the Single range.
std::optional<float> Store(D value) {
    if (!std::isfinite(value.v)) {
        return std::nullopt;
    }
    const float narrowed = NearestSingle(Q(value.v));
    if (std::isinf(narrowed)) {
        return std::nullopt;
    }
    return RoundTwo(narrowed);
}

enum class Kind { Sheet, RoundBar, FlatBar, TubeByWall, TubeByDiameters, Disc, Ring };
struct ShapeRow {
    const char *text;
    Kind kind;
    std::array<const char *, 3> fieldNames; // the captions, lower case, without the colon
    bool metre;
};
constexpr std::array<ShapeRow, 7> kShapes{{
    {"Lamiera", Kind::Sheet, {"larghezza", "lunghezza", "spessore"}, false},
    {"Barra tonda", Kind::RoundBar, {"diametro", "lunghezza", "non usata"}, true},
    {"Barra piatta", Kind::FlatBar, {"larghezza", "lunghezza", "spessore"}, true},
    {"Tubo spessore", Kind::TubeByWall, {"diametro ext", "spessore", "lunghezza"}, true},
    {"Tubo diametri", Kind::TubeByDiameters, {"diametro ext", "diametro int", "lunghezza"}, true},
    {"Disco", Kind::Disc, {"diametro", "spessore", "non usata"}, false},
    {"Anello", Kind::Ring, {"diametro ext", "diametro int", "spessore"}, false},
}};

const ShapeRow *FindShape(const std::string &text) {
    for (const ShapeRow &row : kShapes) {
        if (text == row.text) {
            return &row;
        }
    }
    return nullptr;
}

const Message kNoMaterial{"selezionare un materiale", "materiale non selezionato"};
const Message kNoShape{"selezionare un formato", "formato non selezionato"};
const Message kTooLarge{"risultato troppo grande: ridurre dimensioni, numero pezzi o prezzo",
                        "calcolo impossibile"};
const Message kZeroLength{"inserire una lunghezza maggiore di zero", "lunghezza non valida"};
const Message kInnerOverOuter{"il diametro interno non può superare il diametro esterno",
                              "dimensioni non valide"};
const Message kWallOverRadius{"lo spessore non può superare metà del diametro esterno",
                              "dimensioni non valide"};

struct Results {
    float pw, npw, mw, pc, npc;
    double mc;
};

std::optional<Results> Compute(const ShapeRow &shape, const Inputs &in, D x2, D x3, D x4, D rho,
                               float pieces, double price) {
    const D pi{*ReadSingle("3,142")}, ten = D{1000} / D{100};
    D piece{0}, metre{0};
    switch (shape.kind) {
    case Kind::Sheet:
    case Kind::FlatBar:
        piece = (((x2 / D{100}) * rho) * (x3 / D{100})) * (x4 / D{100});
        break;
    case Kind::RoundBar:
    case Kind::Disc:
        piece = ((Sq(x2 / D{200}) * rho) * pi) * (x3 / D{100});
        metre = ((Sq(x2 / D{200}) * rho) * pi) * ten;
        break;
    case Kind::TubeByWall:
    case Kind::TubeByDiameters:
    case Kind::Ring: {
        const D inner = shape.kind == Kind::TubeByWall ? x2 - D{2} * x3 : x3;
        const D section = (Sq(x2 / D{200}) * pi - Sq(inner / D{200}) * pi) * rho;
        piece = section * (x4 / D{100});
        metre = section * ten;
        break;
    }
    }
    Results r{};
    const auto pw = Store(piece);
    const auto npw = pw ? Store(D{*pw} * D{pieces}) : std::nullopt;
    if (!npw) {
        return std::nullopt;
    }
    r.pw = *pw;
    r.npw = *npw;
    if (shape.metre) {
        const auto mw = Store(shape.kind == Kind::FlatBar ? D{r.pw} / (x3 / D{1000}) : metre);
        if (!mw) {
            return std::nullopt;
        }
        r.mw = *mw;
    }
    const bool bar = shape.kind == Kind::RoundBar || shape.kind == Kind::FlatBar;
    const D length = bar ? x3 : x4;
    const auto pc =
        Store(shape.metre && !in.option1 ? D{price} * (length / D{1000}) : D{price} * D{r.pw});
    const auto npc = pc ? Store(D{*pc} * D{pieces}) : std::nullopt;
    if (!npc) {
        return std::nullopt;
    }
    r.pc = *pc;
    r.npc = *npc;
    if (shape.metre && !in.option2) {
        const D perMetre = shape.kind == Kind::FlatBar ? D{r.pw} / (x3 / D{1000}) : D{r.mw};
        const D mc = D{price} * perMetre;
        if (!std::isfinite(mc.v)) {
            return std::nullopt;
        }
        r.mc = RoundTwo(mc.v);
    }
    return r;
}

} // namespace

std::optional<float> ReadSingle(std::string_view text) {
    const auto q = ReadExact(text);
    const float value = q ? NearestSingle(*q) : HUGE_VALF;
    return std::isinf(value) ? std::nullopt : std::optional<float>(value);
}

std::optional<double> ReadDouble(std::string_view text) {
    const auto q = ReadExact(text);
    const double value = q ? NearestDouble(*q) : HUGE_VAL;
    return std::isinf(value) ? std::nullopt : std::optional<double>(value);
}

float RoundTwo(float value) {
    return NearestSingle(Hundredths(value));
}
double RoundTwo(double value) {
    return NearestDouble(Hundredths(value));
}

std::string WriteSingle(float value) {
    return Write(value, 7);
}
std::string WriteDouble(double value) {
    return Write(value, 15);
}

Screen Press(Screen s, const Inputs &in) {
    s.messages.clear();
    s.pieces = in.pieces;
    const ShapeRow *shape = FindShape(in.shape);
    const auto stop = [&](const Message &message, const char *focus, bool select) {
        s.frame4 = s.frame5 = false;
        s.messages.push_back(message);
        s.focus = focus;
        s.focusSelected = select;
        return s;
    };
    const auto notANumber = [&](const std::string &name, const char *field) {
        return stop({"inserire un numero nel campo " + name, "valore non valido"}, field, true);
    };

    const auto densityCheck = ReadDouble(in.density);
    const auto density = ReadSingle(in.density);
    if (!densityCheck || !density) {
        return notANumber("densità", "Text1");
    }
    std::array<float, 3> x{};
    constexpr std::array<const char *, 3> fields{"Text2", "Text3", "Text4"};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto value = ReadSingle(in.dimensions[i]);
        if (!value) {
            return notANumber(shape ? shape->fieldNames[i] : "dimensione " + std::to_string(i + 1),
                              fields[i]);
        }
        x[i] = *value;
    }
    auto pieces = ReadSingle(in.pieces);
    if (!pieces) {
        return notANumber("numero pezzi", "Text5");
    }
    const auto price = ReadDouble(in.price);
    if (!price) {
        return notANumber("prezzo", "Text6");
    }

    s.frame4 = true;
    s.frame5 = *price != 0;
    if (*densityCheck == 0) {
        s.messages.push_back(kNoMaterial);
    }
    if (*pieces == 0) {
        pieces = 1;
        s.pieces = WriteSingle(1);
    }
    s.visible[1] = s.visible[4] = *pieces != 1;
    if (!shape) {
        s.messages.push_back(kNoShape);
        s.focus = "Combo1";
        s.focusSelected = false;
        return s;
    }
    if (shape->kind == Kind::FlatBar && x[1] == 0) {
        return stop(kZeroLength, "Text3", true);
    }
    // Solids that cannot exist; equal values can (a ring of no width, a wall of half the bar).
    if ((shape->kind == Kind::TubeByDiameters || shape->kind == Kind::Ring) && x[1] > x[0]) {
        return stop(kInnerOverOuter, "Text3", true);
    }
    if (shape->kind == Kind::TubeByWall && (D{2} * D{x[1]}).v > x[0]) {
        return stop(kWallOverRadius, "Text3", true);
    }
    const auto r = Compute(*shape, in, D{x[0]}, D{x[1]}, D{x[2]}, D{*density}, *pieces, *price);
    if (!r) {
        return stop(kTooLarge, "Combo1", false);
    }
    const std::string n = WriteSingle(*pieces);
    s.captions[0] = "1 pezzo: " + WriteSingle(r->pw) + " Kg";
    s.captions[1] = n + " pezzi: " + WriteSingle(r->npw) + " Kg";
    s.captions[3] = "1 pezzo: " + WriteSingle(r->pc) + " €";
    s.captions[4] = n + " pezzi: " + WriteSingle(r->npc) + " €";
    s.visible[2] = shape->metre;
    s.visible[5] = shape->metre && !in.option2;
    if (s.visible[2]) {
        s.captions[2] = "1 metro: " + WriteSingle(r->mw) + " Kg";
    }
    if (s.visible[5]) {
        s.captions[5] = "1 metro " + WriteDouble(r->mc) + " €";
    }
    s.focus = "Combo1";
    s.focusSelected = false;
    return s;
}

} // namespace kalvor::reference
