#include "ui/form1.h"

#include "calc/catalogue.h"
#include "ui/maker.h"
#include "ui/number_field.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <future>
#include <string_view>
#include <utility>
#include <variant>

namespace kalvor::ui {
namespace {

// What a row builds, and the member of Form1 that keeps it.
struct EditableCombo {
    QComboBox *Form1::*member;
};
struct ListCombo {
    QComboBox *Form1::*member;
};
struct Button {
    QPushButton *Form1::*member;
};
struct Number {
    NumberField *Form1::*member;
    NumberField::Filter filter;
    int maxLength; // binds typing and pasting only
};
struct Option {
    QRadioButton *Form1::*member;
};
struct Frame {
    QGroupBox *Form1::*member;
};
struct Caption {
    int index; // Form1::Label[index]
};
struct Picture {
    QLabel *Form1::*member;
    const char *resource;
};
using Kind =
    std::variant<EditableCombo, ListCombo, Button, Number, Option, Frame, Caption, Picture>;

// Sizes in points; at 96 dpi they are the whole pixel heights 12, 13, 11, 7 and 17.
struct FontSpec {
    const char *family;
    double points;
    QFont::Weight weight;
    bool underline;
};
constexpr FontSpec kArial9{"Arial", 9.0, QFont::Normal, false};
constexpr FontSpec kArial975{"Arial", 9.75, QFont::Normal, false};
constexpr FontSpec kArial975Bold{"Arial", 9.75, QFont::Bold, false};
constexpr FontSpec kArial825{"Arial", 8.25, QFont::Normal, false};
constexpr FontSpec kArial525{"Arial", 5.25, QFont::Normal, false};
constexpr FontSpec kArial1275Link{"Arial", 12.75, QFont::Bold, true};
constexpr FontSpec kSans825{"Microsoft Sans Serif", 8.25, QFont::Normal, false};

enum Flag : unsigned {
    Hidden = 1U << 0,
    AlignRight = 1U << 1,
    AlignCentre = 1U << 2,
    Checked = 1U << 3,
    Borderless = 1U << 4, // a frame that draws neither title nor border
    HandCursor = 1U << 5,
};

constexpr QRgb kSystemColour = 0; // qRgb() always sets alpha, so 0 is no colour at all
constexpr QRgb kFrameBlue = qRgb(0, 0, 192);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 192, 0);
constexpr QRgb kLinkBlue = qRgb(0, 0, 255);

constexpr const char *kMaterialPrompt = "seleziona un materiale";

struct ControlRow {
    const char *name;
    Kind kind;
    QGroupBox *Form1::*container; // nullptr: the window itself
    int left, top, width, height; // twips from the container's top-left corner
    const char *caption;          // caption or initial text, UTF-8
    const FontSpec *font;         // nullptr: the window's font
    unsigned flags;
    QRgb textColour; // a frame's colour is its title's only
};

constexpr QGroupBox *Form1::*kWindow = nullptr;

// All 46 controls in load order, each frame followed by its contents. Where two boxes
// overlap, the earlier row lies on top.
constexpr std::array<ControlRow, 46> kControls{{
    {"Combo1", EditableCombo{&Form1::Combo1}, kWindow, 1200, 2040, 2895, 345, kMaterialPrompt,
     &kArial9, 0, kSystemColour},
    {"Command1", Button{&Form1::Command1}, kWindow, 4320, 2160, 1935, 375, "CALCOLA",
     &kArial975Bold, 0, kSystemColour},
    {"Frame5", Frame{&Form1::Frame5}, kWindow, 4200, 4390, 2295, 1455, "costi teorici", &kArial825,
     Hidden, kFrameBlue},
    {"Label24", Caption{24}, &Form1::Frame5, 120, 1080, 2055, 255, "costo 1 metro", &kArial9, 0,
     kSystemColour},
    {"Label23", Caption{23}, &Form1::Frame5, 120, 720, 2055, 255, "costo n pezzi", &kArial9, 0,
     kSystemColour},
    {"Label22", Caption{22}, &Form1::Frame5, 120, 360, 2055, 255, "costo 1 pezzo", &kArial9, 0,
     kSystemColour},
    {"Frame4", Frame{&Form1::Frame4}, kWindow, 4200, 2920, 2295, 1455, "pesi teorici", &kArial825,
     Hidden, kFrameBlue},
    {"Label21", Caption{21}, &Form1::Frame4, 120, 1080, 2055, 255, "peso 1 metro", &kArial9, 0,
     kSystemColour},
    {"Label20", Caption{20}, &Form1::Frame4, 120, 720, 2055, 255, "peso n pezzi", &kArial9, 0,
     kSystemColour},
    {"Label19", Caption{19}, &Form1::Frame4, 120, 360, 2055, 255, "peso 1 pezzo", &kArial9, 0,
     kSystemColour},
    {"Frame3", Frame{&Form1::Frame3}, kWindow, 120, 4750, 4020, 1095, "dati valorizzazione",
     &kArial825, 0, kFrameBlue},
    {"Option2", Option{&Form1::Option2}, &Form1::Frame3, 3120, 750, 615, 255, "€/m", &kArial825, 0,
     kSystemColour},
    {"Option1", Option{&Form1::Option1}, &Form1::Frame3, 2400, 750, 855, 255, "€/Kg", &kArial825,
     Checked, kSystemColour},
    {"Text6", Number{&Form1::Text6, NumberField::Filter::Decimal, 8}, &Form1::Frame3, 1440, 720,
     975, 285, "0,00", &kArial975, 0, kSystemColour},
    {"Text5", Number{&Form1::Text5, NumberField::Filter::WholeNumber, 8}, &Form1::Frame3, 1440, 360,
     975, 285, "1", &kArial975, 0, kSystemColour},
    {"Label15", Caption{15}, &Form1::Frame3, 480, 720, 855, 255, "prezzo:", &kArial9, AlignRight,
     kSystemColour},
    {"Label14", Caption{14}, &Form1::Frame3, 120, 360, 1215, 255, "numero pezzi:", &kArial9,
     AlignRight, kSystemColour},
    {"Frame2", Frame{&Form1::Frame2}, kWindow, 120, 2920, 4020, 1815, "dati formato", &kArial825, 0,
     kFrameBlue},
    {"Text4", Number{&Form1::Text4, NumberField::Filter::Decimal, 9}, &Form1::Frame2, 1680, 1440,
     1455, 285, "0,0", &kArial975, Hidden, kSystemColour},
    {"Text3", Number{&Form1::Text3, NumberField::Filter::Decimal, 9}, &Form1::Frame2, 1680, 1080,
     1455, 285, "0,0", &kArial975, Hidden, kSystemColour},
    {"Text2", Number{&Form1::Text2, NumberField::Filter::Decimal, 9}, &Form1::Frame2, 1680, 720,
     1455, 285, "0,0", &kArial975, Hidden, kSystemColour},
    {"Combo2", ListCombo{&Form1::Combo2}, &Form1::Frame2, 1080, 240, 1935, 345, "", &kArial9, 0,
     kSystemColour},
    {"Label13", Caption{13}, &Form1::Frame2, 3240, 1440, 615, 255, "mm", &kArial825, Hidden,
     kSystemColour},
    {"Label12", Caption{12}, &Form1::Frame2, 3240, 1080, 615, 255, "mm", &kArial825, Hidden,
     kSystemColour},
    {"Label11", Caption{11}, &Form1::Frame2, 3240, 720, 615, 255, "mm", &kArial825, Hidden,
     kSystemColour},
    // The three row captions carry their own names until a shape gives them a caption.
    {"Label10", Caption{10}, &Form1::Frame2, 120, 1440, 1455, 255, "Label10", &kArial9,
     Hidden | AlignRight, kSystemColour},
    {"Label9", Caption{9}, &Form1::Frame2, 120, 1080, 1455, 255, "Label9", &kArial9,
     Hidden | AlignRight, kSystemColour},
    {"Label5", Caption{5}, &Form1::Frame2, 120, 720, 1455, 255, "Label5", &kArial9,
     Hidden | AlignRight, kSystemColour},
    {"Label4", Caption{4}, &Form1::Frame2, 120, 270, 930, 375, "formato:", &kArial9, AlignRight,
     kSystemColour},
    // The density field lies over Frame1 but belongs to the window, like Combo1.
    {"Text1", Number{&Form1::Text1, NumberField::Filter::Decimal, 5}, kWindow, 1320, 2520, 615, 255,
     "0,0", &kArial9, 0, kSystemColour},
    {"Frame1", Frame{&Form1::Frame1}, kWindow, 120, 1800, 4020, 1095, "dati materiale", &kArial825,
     0, kFrameBlue},
    // The exponent of kg/dm3: its box overlaps the end of Label3, and it lies above it.
    {"Label18", Caption{18}, &Form1::Frame1, 2280, 720, 255, 135, "3", &kArial525, 0,
     kSystemColour},
    {"Label2", Caption{2}, &Form1::Frame1, 240, 720, 735, 255, "densità':", &kArial9, AlignRight,
     kSystemColour},
    {"Label3", Caption{3}, &Form1::Frame1, 1800, 720, 855, 255, "Kg/dm", &kArial825, 0,
     kSystemColour},
    {"Label1", Caption{1}, &Form1::Frame1, 120, 270, 855, 255, "materiale:", &kArial9, AlignRight,
     kSystemColour},
    {"Frame6", Frame{&Form1::Frame6}, kWindow, 120, 5880, 6330, 1095, "", nullptr, Borderless,
     kSystemColour},
    {"Label28", Caption{28}, &Form1::Frame6, 0, 360, 6255, 255, " TONDO NON TRATTATO DA FORGIA",
     &kArial975Bold, AlignCentre, kRed},
    {"Label27", Caption{27}, &Form1::Frame6, 0, 840, 6255, 255, "SOLO MATERIALE DI ORIGINE EUROPEA",
     &kArial975Bold, AlignCentre, kGreen},
    {"Label7", Caption{7}, &Form1::Frame6, 0, 600, 6255, 255,
     "SU RUCHIESTA: TUBI SALDATI E CURVE SALDATE", &kArial975Bold, AlignCentre, kRed},
    {"Label6", Caption{6}, &Form1::Frame6, 0, 120, 6255, 255,
     " BARRE TONDE - LAMIERE - BILLETTE QUADRE DA FORGIA", &kArial975Bold, AlignCentre, kRed},
    // The link line's box reaches one pixel below the client area; that strip is cut off.
    {"Label8", Caption{8}, kWindow, 120, 6960, 6375, 375, maker::kWebAddress, &kArial1275Link,
     AlignCentre | HandCursor, kLinkBlue},
    {"Image1", Picture{&Form1::Image1, ":/logo.gif"}, kWindow, 280, 120, 6015, 1095, "", nullptr, 0,
     kSystemColour},
    {"Label26", Caption{26}, kWindow, 4440, 1560, 1815, 255, maker::kFax, &kSans825, 0,
     kSystemColour},
    {"Label25", Caption{25}, kWindow, 4440, 1320, 2055, 255, maker::kPhone, &kSans825, 0,
     kSystemColour},
    {"Label17", Caption{17}, kWindow, 2520, 1320, 1815, 255, maker::kTown, &kSans825, 0,
     kSystemColour},
    {"Label16", Caption{16}, kWindow, 360, 1320, 2220, 255, maker::kStreet, &kSans825, 0,
     kSystemColour},
}};

constexpr int kClientWidth = 442;     // 6630 twips
constexpr int kClientHeight = 488;    // 7320 twips
constexpr QPoint kHandHotSpot{12, 1}; // the fingertip

// 15 twips to a pixel at 96 dpi; no twip value here falls exactly halfway.
constexpr int Pixels(int twips) {
    return (twips + 7) / 15;
}

QFont MakeFont(const FontSpec &face) {
    QFont font(QString::fromLatin1(face.family));
    font.setPointSizeF(face.points);
    font.setWeight(face.weight);
    font.setUnderline(face.underline);
    return font;
}

// A frame with neither title nor border: it only groups the banner lines.
class BorderlessFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *) override {}
};

constexpr std::array kTextRoles{QPalette::WindowText, QPalette::Text};
constexpr std::array kColourGroups{QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// Styles draw a frame's title in WindowText (Fusion) or Text (the common style).
void SetTextColour(QWidget *widget, QColor colour) {
    QPalette palette = widget->palette();
    for (const auto role : kTextRoles) {
        palette.setColor(role, colour);
    }
    widget->setPalette(palette);
}

// A palette set on a frame passes to its contents; they keep the window's text colours,
// disabled look included.
void KeepWindowTextColours(QWidget *widget, const QPalette &window) {
    QPalette palette = widget->palette();
    for (const auto group : kColourGroups) {
        for (const auto role : kTextRoles) {
            palette.setColor(group, role, window.color(group, role));
        }
    }
    widget->setPalette(palette);
}

Qt::Alignment LabelAlignment(unsigned flags) {
    // Captions sit at the top of their box, as the layout was drawn.
    if (flags & AlignRight) {
        return Qt::AlignRight | Qt::AlignTop;
    }
    if (flags & AlignCentre) {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

template <class... Visitors> struct Overloaded : Visitors... { using Visitors::operator()...; };
template <class... Visitors> Overloaded(Visitors...) -> Overloaded<Visitors...>; // for clang 14

// Reads a picture straight at the size it is shown, in device pixels: the full-size logo,
// four times as large, never stays in the window's memory.
QImage ReadPicture(const char *resource, QSize shown, qreal ratio) {
    QImageReader reader(QString::fromLatin1(resource));
    reader.setScaledSize(QSize(qRound(shown.width() * ratio), qRound(shown.height() * ratio)));
    return reader.read();
}

// The picture read ahead by PreloadPictures(), if any.
struct PendingPicture {
    const char *resource = nullptr;
    QSize shown;
    qreal ratio = 1;
    std::future<QImage> image;
};
PendingPicture &Pending() {
    static PendingPicture pending;
    return pending;
}

QPixmap TakePicture(const char *resource, QSize shown) {
    const qreal ratio = qApp->devicePixelRatio();
    PendingPicture &pending = Pending();
    const bool readAhead = pending.image.valid() && qstrcmp(pending.resource, resource) == 0 &&
                           pending.shown == shown && qFuzzyCompare(pending.ratio, ratio);
    QPixmap picture =
        QPixmap::fromImage(readAhead ? pending.image.get() : ReadPicture(resource, shown, ratio));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

// Makes the row's control inside its container and keeps it in the form's member.
QWidget *Create(Form1 &form, const ControlRow &row, QWidget *container) {
    const QString caption = QString::fromUtf8(row.caption);
    const Overloaded make{
        [&](EditableCombo kind) -> QWidget * {
            auto *combo = new QComboBox(container);
            combo->setEditable(true);
            // Typing into the box never adds to the list or completes a name.
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            // Only a pick from the list chooses a material. On leaving the box, QComboBox would
            // otherwise choose the entry matching the typed text and emit activated() as if it
            // had been picked.
            QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
            combo->setEditText(caption);
            return form.*kind.member = combo;
        },
        [&](ListCombo kind) -> QWidget * { return form.*kind.member = new QComboBox(container); },
        [&](Button kind) -> QWidget * {
            return form.*kind.member = new QPushButton(caption, container);
        },
        [&](Number kind) -> QWidget * {
            auto *field = new NumberField(kind.filter, container);
            field->setMaxLength(kind.maxLength);
            field->setText(caption);
            return form.*kind.member = field;
        },
        [&](Option kind) -> QWidget * {
            auto *option = new QRadioButton(caption, container);
            option->setChecked(row.flags & Checked);
            return form.*kind.member = option;
        },
        [&](Frame kind) -> QWidget * {
            QGroupBox *frame = (row.flags & Borderless) ? new BorderlessFrame(container)
                                                        : new QGroupBox(caption, container);
            frame->setFlat(row.flags & Borderless);
            frame->setFocusPolicy(Qt::NoFocus);
            return form.*kind.member = frame;
        },
        [&](Caption kind) -> QWidget * {
            auto *label = new QLabel(caption, container);
            label->setAlignment(LabelAlignment(row.flags));
            label->setFocusPolicy(Qt::NoFocus);
            return form.Label[static_cast<std::size_t>(kind.index)] = label;
        },
        [&](Picture kind) -> QWidget * {
            auto *image = new QLabel(container);
            // Stretched to the box whatever the picture's proportions. Reading it straight at
            // the size it is shown (in device pixels) keeps the full-size logo, four times as
            // large, out of the window's memory.
            image->setScaledContents(true);
            image->setPixmap(
                TakePicture(kind.resource, QSize(Pixels(row.width), Pixels(row.height))));
            image->setFocusPolicy(Qt::NoFocus);
            return form.*kind.member = image;
        },
    };
    return std::visit(make, row.kind);
}

} // namespace

void PreloadPictures() {
    for (const ControlRow &row : kControls) {
        if (const auto *picture = std::get_if<Picture>(&row.kind)) {
            PendingPicture &pending = Pending();
            pending.resource = picture->resource;
            pending.shown = QSize(Pixels(row.width), Pixels(row.height));
            pending.ratio = qApp->devicePixelRatio();
            pending.image = std::async(std::launch::async, ReadPicture, pending.resource,
                                       pending.shown, pending.ratio);
        }
    }
}

void InstallFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

Form1::Form1(runtime::Services services, QWidget *parent)
    : QWidget(parent), services_(std::move(services)) {
    BuildControls();
    ConnectHandlers();
}

void Form1::BuildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kalvor 2.2"));
    setWindowIcon(QIcon(QStringLiteral(":/kalvor.ico")));
    setFixedSize(kClientWidth, kClientHeight);
    const QPalette windowColours = palette();

    for (const ControlRow &row : kControls) {
        QWidget *const container =
            row.container ? static_cast<QWidget *>(this->*row.container) : this;
        Q_ASSERT(container); // a frame's row comes before its contents

        QWidget *const widget = Create(*this, row, container);

        widget->setObjectName(QString::fromLatin1(row.name));
        widget->setGeometry(Pixels(row.left), Pixels(row.top), Pixels(row.width),
                            Pixels(row.height));
        if (row.font) {
            widget->setFont(MakeFont(*row.font));
        }
        if (row.textColour != kSystemColour) {
            SetTextColour(widget, QColor::fromRgb(row.textColour));
        } else if (container != this) {
            KeepWindowTextColours(widget, windowColours);
        }
        if (row.flags & HandCursor) {
            widget->setCursor(
                QCursor(QPixmap(QStringLiteral(":/hand.cur")), kHandHotSpot.x(), kHandHotSpot.y()));
        }
        if (row.flags & Hidden) {
            widget->hide();
        }
        // Qt stacks a later sibling above an earlier one; the layout wants it the other way.
        widget->lower();
    }

    // At load the density field reads like a label but takes typing.
    SetDensityLook(false, false);

    const std::array<QWidget *, 11> tabOrder{Combo1, Combo2,   Text2, Text3,   Text4,  Text5,
                                             Text6,  Command1, Text1, Option1, Option2};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

void Form1::SetDensityLook(bool framed, bool readOnly) {
    Text1->setFrame(framed);
    // A line edit paints its inside in Base whatever its frame, so Base is what changes.
    const QPalette::ColorRole inside = framed ? QPalette::Base : QPalette::Window;
    QPalette look = Text1->palette();
    for (const auto group : kColourGroups) {
        look.setBrush(group, QPalette::Base, palette().brush(group, inside));
    }
    Text1->setPalette(look);
    Text1->setReadOnly(readOnly);
}

void Form1::Form_Load() {
    for (const calc::MaterialEntry &material : calc::kMaterials) {
        Combo1->addItem(ToQString(material.listText));
    }
    for (const calc::ShapeEntry &shape : calc::kShapes) {
        Combo2->addItem(ToQString(shape.listText));
    }
    // Adding the first item selects it: start with nothing chosen, and the prompt in Combo1.
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString::fromUtf8(kMaterialPrompt));
    Combo2->setCurrentIndex(-1);

    show();
    activateWindow();
    Combo1->setFocus();
}

} // namespace kalvor::ui
