#include "ui/qt/form1.h"

#include "calc/catalogue.h"
#include "form/controls.h"
#include "form/pictures.h"
#include "ui/qt/number_field.h"
#include "ui/qt/picture_image.h"
#include "ui/qt/qt_text.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <memory>

namespace kalvor::ui {
namespace {

// The face to ask for in place of a designed one: the designed face where it is installed, else
// its first installed stand-in. Asking for a face that is not installed makes Qt sort all the
// system's fonts for a fallback, once for each face and again for each size; looking it up once
// here keeps that off start-up.
QString InstalledFace(std::string_view designed) {
    static QHash<QString, QString> chosen;
    const QString face = ToQString(designed);
    if (const auto known = chosen.constFind(face); known != chosen.constEnd()) {
        return *known;
    }
    const QStringList installed = QFontDatabase::families();
    const auto isInstalled = [&](const QString &wanted) {
        return std::find_if(installed.begin(), installed.end(), [&](const QString &family) {
            return family.compare(wanted, Qt::CaseInsensitive) == 0;
        });
    };
    QString pick = face; // with no stand-in installed either, Qt falls back by itself
    if (isInstalled(face) == installed.end()) {
        for (const QString &standIn : QFont::substitutes(face)) {
            if (const auto family = isInstalled(standIn); family != installed.end()) {
                pick = *family;
                break;
            }
        }
    }
    return *chosen.insert(face, pick);
}

QFont MakeFont(const form::FontSpec &face) {
    QFont font(InstalledFace(face.family));
    font.setPointSizeF(face.points);
    font.setWeight(face.bold ? QFont::Bold : QFont::Normal);
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
    if (flags & form::AlignRight) {
        return Qt::AlignRight | Qt::AlignTop;
    }
    if (flags & form::AlignCentre) {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

// The picture smoothly stretched to the size it is shown, in device pixels, as the window
// keeps it: the full-size logo, four times as large, never stays in its memory.
QPixmap ShownPicture(const form::Picture &picture, QSize shown) {
    const qreal ratio = qApp->devicePixelRatio();
    const QSize pixels(qRound(shown.width() * ratio), qRound(shown.height() * ratio));
    QPixmap pixmap = QPixmap::fromImage(
        ToImage(picture).scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QSize PixelSize(const form::ControlSpec &row) {
    return {form::Pixels(row.width), form::Pixels(row.height)};
}

// Makes the row's control inside its container. Its font comes before any text, so that no
// text is ever laid out in a face the control does not use.
QWidget *Create(const form::ControlSpec &row, QWidget *container) {
    const QString caption = ToQString(row.caption);
    QWidget *widget = nullptr;
    switch (row.kind) {
    case form::Kind::EditableCombo:
    case form::Kind::ListCombo:
        widget = new QComboBox(container);
        break;
    case form::Kind::Button:
        widget = new QPushButton(container);
        break;
    case form::Kind::NumberField:
        widget = new NumberField(row, container);
        break;
    case form::Kind::Option:
        widget = new QRadioButton(container);
        break;
    case form::Kind::Frame:
        widget = (row.flags & form::Borderless) ? new BorderlessFrame(container)
                                                : new QGroupBox(container);
        break;
    case form::Kind::Label:
    case form::Kind::Image:
        widget = new QLabel(container);
        break;
    }
    widget->setObjectName(ToQString(row.name));
    if (row.font) {
        widget->setFont(MakeFont(*row.font));
    }

    switch (row.kind) {
    case form::Kind::EditableCombo: {
        auto *combo = static_cast<QComboBox *>(widget);
        combo->setEditable(true); // its line edit lays out its text at once, in the combo's font
        // Typing into the box never adds to the list or completes a name.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        // A name typed into the box is judged by the window, not by QComboBox: on leaving
        // the box it would otherwise choose the entry matching the text by itself.
        QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
        combo->setEditText(caption);
        break;
    }
    case form::Kind::ListCombo:
        break;
    case form::Kind::Button:
        static_cast<QPushButton *>(widget)->setText(caption);
        break;
    case form::Kind::NumberField: {
        auto *field = static_cast<NumberField *>(widget);
        // No toolkit limit: it would cut a text set from outside into another number without
        // a word. The model refuses a text longer than the field's length, from any channel.
        field->setText(caption);
        break;
    }
    case form::Kind::Option: {
        auto *option = static_cast<QRadioButton *>(widget);
        option->setText(caption);
        option->setChecked(row.flags & form::Checked);
        break;
    }
    case form::Kind::Frame: {
        auto *frame = static_cast<QGroupBox *>(widget);
        frame->setTitle(caption);
        frame->setFlat(row.flags & form::Borderless);
        frame->setFocusPolicy(Qt::NoFocus);
        break;
    }
    case form::Kind::Label: {
        auto *label = static_cast<QLabel *>(widget);
        label->setAlignment(LabelAlignment(row.flags));
        label->setText(caption);
        label->setFocusPolicy(Qt::NoFocus);
        break;
    }
    case form::Kind::Image: {
        auto *image = static_cast<QLabel *>(widget);
        // Stretched to the box whatever the picture's proportions.
        image->setScaledContents(true);
        image->setPixmap(ShownPicture(form::Logo(), PixelSize(row)));
        image->setFocusPolicy(Qt::NoFocus);
        break;
    }
    }
    return widget;
}

template <class T> T *Child(const QWidget &form, std::string_view name) {
    auto *child = form.findChild<T *>(ToQString(name));
    Q_ASSERT(child);
    return child;
}

} // namespace

void InstallFontSubstitutions() {
    QStringList substitutes;
    for (const std::string_view face : form::kSansSubstitutes) {
        substitutes << ToQString(face);
    }
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"), substitutes);
    QFont::insertSubstitution(QStringLiteral("Arial"), substitutes.front());
}

namespace {

// QPixmap's own cache key for a picture file, as Qt 6 forms it when it loads one: the path, then
// the file's time, its size and the pixmap type (0, a pixmap), each as its bytes in memory
// order with the low digit first.
template <class Number> QString HexBytes(Number value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    QString text;
    const auto *byte = reinterpret_cast<const unsigned char *>(&value);
    for (std::size_t i = 0; i < sizeof value; ++i, ++byte) {
        text += QLatin1Char(kDigits[*byte & 0xF]);
        text += QLatin1Char(kDigits[*byte >> 4]);
    }
    return text;
}

} // namespace

void PreloadGroupBoxFrame() {
    // Fusion draws every frame from this picture, which it reads by file name. Qt then asks
    // every image plugin whether it reads PNG, loading all of them (and libjpeg) for a format
    // it decodes itself. Read here with the format named, no plugin is loaded, and the style
    // finds the picture in the pixmap cache. Should a later Qt form its key otherwise, the
    // style reads the file as before: slower, never different.
    const QString path =
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
    const QFileInfo file(path);
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage frame = reader.read();
    if (frame.isNull()) {
        return;
    }
    QPixmapCache::insert(
        QStringLiteral("qt_pixmap") + file.absoluteFilePath() +
            HexBytes(static_cast<quint32>(file.lastModified().toSecsSinceEpoch())) +
            HexBytes(static_cast<quint64>(file.size())) + HexBytes(quint32{0}),
        QPixmap::fromImage(frame));
}

void UseWindowFont() {
    QApplication::setFont(MakeFont(form::kArial9));
}

QPalette DesignedPalette() {
    static const QPalette designed = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette palette = fusion->standardPalette();
        // The face, field and text colours shared with the Windows window; Fusion keeps its
        // own greys for disabled controls.
        const std::pair<QPalette::ColorRole, std::uint32_t> designed[] = {
            {QPalette::Window, form::kFaceColour},     {QPalette::Button, form::kFaceColour},
            {QPalette::Base, form::kFieldColour},      {QPalette::WindowText, form::kTextColour},
            {QPalette::ButtonText, form::kTextColour}, {QPalette::Text, form::kTextColour}};
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            for (const auto &[role, rgb] : designed) {
                palette.setColor(group, role, QColor::fromRgb(rgb));
            }
        }
        return palette;
    }();
    return designed;
}

bool InstallItalianTranslation() {
    static QTranslator translator;
    if (!translator.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

void UseDesignedLook() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(DesignedPalette());
}

Form1::Form1(runtime::Services services, QWidget *parent)
    : QWidget(parent), model_(form::Catalogue::Standard()), services_(std::move(services)) {
    BuildControls();
    ConnectHandlers();
}

void Form1::BuildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(form::kTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(ToImage(form::WindowIcon()))));
    setFixedSize(form::Pixels(form::kClientWidthTwips), form::Pixels(form::kClientHeightTwips));
    // The frame captions, the banner and the logo are drawn for a light face: a dark desktop
    // palette would leave them unreadable.
    setPalette(DesignedPalette());
    const QPalette windowColours = palette();
    const QCursor hand(QPixmap::fromImage(ToImage(form::PointingHand())), form::kHandHotSpotX,
                       form::kHandHotSpotY);

    for (const form::ControlSpec &row : form::kControls) {
        QWidget *const container = row.container.empty() ? static_cast<QWidget *>(this)
                                                         : Child<QGroupBox>(*this, row.container);
        QWidget *const widget = Create(row, container);
        widget->setGeometry(form::Pixels(row.left), form::Pixels(row.top), form::Pixels(row.width),
                            form::Pixels(row.height));
        if (row.textColour != form::kSystemColour) {
            SetTextColour(widget, QColor::fromRgb(row.textColour));
        } else if (container != this) {
            KeepWindowTextColours(widget, windowColours);
        }
        if (row.flags & form::HandCursor) {
            widget->setCursor(hand);
        }
        if (row.flags & form::Hidden) {
            widget->hide();
        }
        // Qt stacks a later sibling above an earlier one; the layout wants it the other way.
        widget->lower();
    }
    BindControls();

    // At load the density field reads like a label but takes typing.
    SetDensityLook(false, false);

    for (std::size_t i = 1; i < form::kTabOrder.size(); ++i) {
        setTabOrder(Child<QWidget>(*this, form::kTabOrder[i - 1]),
                    Child<QWidget>(*this, form::kTabOrder[i]));
    }
}

void Form1::BindControls() {
    Combo1 = Child<QComboBox>(*this, "Combo1");
    Combo2 = Child<QComboBox>(*this, "Combo2");
    Command1 = Child<QPushButton>(*this, "Command1");
    const std::array<NumberField **, 6> fields{&Text1, &Text2, &Text3, &Text4, &Text5, &Text6};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        *fields[i] = Child<NumberField>(*this, "Text" + std::to_string(i + 1));
    }
    Option1 = Child<QRadioButton>(*this, "Option1");
    Option2 = Child<QRadioButton>(*this, "Option2");
    const std::array<QGroupBox **, 6> frames{&Frame1, &Frame2, &Frame3, &Frame4, &Frame5, &Frame6};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        *frames[i] = Child<QGroupBox>(*this, "Frame" + std::to_string(i + 1));
    }
    for (std::size_t n = 1; n < Label.size(); ++n) {
        Label[n] = Child<QLabel>(*this, "Label" + std::to_string(n));
    }
    Image1 = Child<QLabel>(*this, "Image1");
    for (std::size_t n = 0; n < form::kIdCount; ++n) {
        widgets_[n] = Child<QWidget>(*this, form::kIdNames[n]);
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
    show();
    activateWindow();
    Apply(model_.Load());
}

} // namespace kalvor::ui
