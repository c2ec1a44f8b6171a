// The window as it stands after start-up: what is shown, where, in which face, how Tab walks
// it, and its pictures. What it shows and hides, in which colours, is checked pixel for pixel
// from outside against a committed screenshot (scripts/check_window_pixels.sh).
#include "form/pictures.h"
#include "ui/qt/form1.h"
#include "ui/qt/number_field.h"
#include "ui/qt/picture_image.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include <array>
#include <memory>

using kalvor::ui::Form1;

namespace {

// Twips as given on the client area, 15 to a pixel at 96 dpi, rounded to nearest.
int Px(int twips) {
    return qRound(twips / 15.0);
}

struct Placement {
    const char *name;
    const char *container; // "" for the window
    int left, top, width, height;
};

// All 46 controls in load order, positions on the client area (not on their frame), so a
// control put in the wrong container or frame offset shows up here.
const Placement kPlacements[] = {
    {"Combo1", "", 1200, 2040, 2895, 345},        {"Command1", "", 4320, 2160, 1935, 375},
    {"Frame5", "", 4200, 4390, 2295, 1455},       {"Label24", "Frame5", 4320, 5470, 2055, 255},
    {"Label23", "Frame5", 4320, 5110, 2055, 255}, {"Label22", "Frame5", 4320, 4750, 2055, 255},
    {"Frame4", "", 4200, 2920, 2295, 1455},       {"Label21", "Frame4", 4320, 4000, 2055, 255},
    {"Label20", "Frame4", 4320, 3640, 2055, 255}, {"Label19", "Frame4", 4320, 3280, 2055, 255},
    {"Frame3", "", 120, 4750, 4020, 1095},        {"Option2", "Frame3", 3240, 5500, 615, 255},
    {"Option1", "Frame3", 2520, 5500, 855, 255},  {"Text6", "Frame3", 1560, 5470, 975, 285},
    {"Text5", "Frame3", 1560, 5110, 975, 285},    {"Label15", "Frame3", 600, 5470, 855, 255},
    {"Label14", "Frame3", 240, 5110, 1215, 255},  {"Frame2", "", 120, 2920, 4020, 1815},
    {"Text4", "Frame2", 1800, 4360, 1455, 285},   {"Text3", "Frame2", 1800, 4000, 1455, 285},
    {"Text2", "Frame2", 1800, 3640, 1455, 285},   {"Combo2", "Frame2", 1200, 3160, 1935, 345},
    {"Label13", "Frame2", 3360, 4360, 615, 255},  {"Label12", "Frame2", 3360, 4000, 615, 255},
    {"Label11", "Frame2", 3360, 3640, 615, 255},  {"Label10", "Frame2", 240, 4360, 1455, 255},
    {"Label9", "Frame2", 240, 4000, 1455, 255},   {"Label5", "Frame2", 240, 3640, 1455, 255},
    {"Label4", "Frame2", 240, 3190, 930, 375},    {"Text1", "", 1320, 2520, 615, 255},
    {"Frame1", "", 120, 1800, 4020, 1095},        {"Label18", "Frame1", 2400, 2520, 255, 135},
    {"Label2", "Frame1", 360, 2520, 735, 255},    {"Label3", "Frame1", 1920, 2520, 855, 255},
    {"Label1", "Frame1", 240, 2070, 855, 255},    {"Frame6", "", 120, 5880, 6330, 1095},
    {"Label28", "Frame6", 120, 6240, 6255, 255},  {"Label27", "Frame6", 120, 6720, 6255, 255},
    {"Label7", "Frame6", 120, 6480, 6255, 255},   {"Label6", "Frame6", 120, 6000, 6255, 255},
    {"Label8", "", 120, 6960, 6375, 375},         {"Image1", "", 280, 120, 6015, 1095},
    {"Label26", "", 4440, 1560, 1815, 255},       {"Label25", "", 4440, 1320, 2055, 255},
    {"Label17", "", 2520, 1320, 1815, 255},       {"Label16", "", 360, 1320, 2220, 255},
};
static_assert(std::size(kPlacements) == 46);

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> window;
    int messages = 0, launches = 0; // boxes shown and sites opened

    QWidget *Control(const char *name) const {
        auto *widget = window->findChild<QWidget *>(QString::fromLatin1(name));
        if (!widget) {
            qFatal("no control %s", name);
        }
        return widget;
    }

    static QString PictureFile(const QString &name) {
        return QStringLiteral(KALVOR_PICTURE_DIR "/") + name;
    }
    static QImage Premultiplied(const QImage &image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

private slots:
    void initTestCase() {
        kalvor::ui::InstallFontSubstitutions();
        // Start-up, up to the painted window, decodes no picture file: no image plugin is
        // loaded.
        kalvor::ui::UseDesignedLook();
        kalvor::ui::PreloadGroupBoxFrame();
        Form1 first(kalvor::runtime::Services{});
        first.Form_Load();
        first.grab();
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("/imageformats/"));
    }

    void init() {
        messages = launches = 0;
        kalvor::runtime::Services services{
            [this](QWidget *, const QString &, const QString &) { ++messages; },
            [this](const QUrl &) { return ++launches, true; }};
        window = std::make_unique<Form1>(services);
        window->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void cleanup() { window.reset(); }

    void startUpShowsTheWindowWithTheFocusInTheMaterialList() {
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Kalvor 2.2"));
        QCOMPARE(window->size(), QSize(442, 488));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(QApplication::focusWidget(), window->Combo1);
        QCOMPARE(window->Combo1->currentText(), QStringLiteral("seleziona un materiale"));
        QCOMPARE(window->Combo2->currentText(), QString());
        QCOMPARE(window->Combo1->currentIndex(), -1);
        QCOMPARE(window->Combo2->currentIndex(), -1);
        QVERIFY(window->Combo1->isEditable());
        QVERIFY(!window->Combo2->isEditable());
        QCOMPARE(messages + launches, 0);
    }

    // A dark desktop changes nothing: the window keeps the colours it is drawn in.
    void looksTheSameOnADarkDesktop() {
        const QPalette desktop = QApplication::palette();
        QPalette dark = desktop;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
            dark.setColor(role, QColor(45, 45, 45));
        }
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(role, QColor(230, 230, 230));
        }
        QApplication::setPalette(dark);
        Form1 onDark(kalvor::runtime::Services{});
        QApplication::setPalette(desktop);
        Form1 onLight(kalvor::runtime::Services{});
        QCOMPARE(onDark.grab().toImage(), onLight.grab().toImage());
        QCOMPARE(onDark.palette().color(QPalette::Window), QColor(239, 239, 239));
    }

    // Qt's own texts, such as a field's context menu, speak Italian.
    void qtSpeaksItalian() {
        QVERIFY(kalvor::ui::InstallItalianTranslation());
        std::unique_ptr<QMenu> menu(window->Text2->createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            texts << action->text().remove('&').section('\t', 0, 0);
        }
        QVERIFY2(texts.contains("Incolla") && texts.contains("Annulla"),
                 qPrintable(texts.join('|')));
    }

    void tabOrder_data() {
        QTest::addColumn<bool>("rowsShown");
        QTest::addColumn<QStringList>("walk");
        // The unchecked option is skipped: Tab enters the group at the selected button.
        QTest::newRow("hidden dimension rows are skipped")
            << false
            << QStringList{"Combo2", "Text5", "Text6", "Command1", "Text1", "Option1", "Combo1"};
        QTest::newRow("shown dimension rows in order")
            << true << QStringList{"Combo2", "Text2", "Text3", "Text4", "Text5"};
    }

    void tabOrder() {
        QFETCH(bool, rowsShown);
        QFETCH(QStringList, walk);
        for (auto *field : {window->Text2, window->Text3, window->Text4}) {
            field->setVisible(rowsShown);
        }
        QStringList walked;
        for (qsizetype i = 0; i < walk.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, walk);
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("onWindow");
        for (const Placement &p : kPlacements) {
            QTest::newRow(p.name) << p.name << p.container
                                  << QRect(Px(p.left), Px(p.top), Px(p.width), Px(p.height));
        }
    }

    void geometry() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, onWindow);
        QWidget *control = Control(qPrintable(name));
        const QWidget *parent = control->parentWidget();
        QCOMPARE(parent == window.get() ? QString() : parent->objectName(), container);
        QCOMPARE(QRect(control->mapTo(window.get(), QPoint(0, 0)), control->size()), onWindow);
    }

    // Where two boxes overlap, the control earlier in load order lies on top.
    void earlierControlLiesOnTopOfLaterOverlap() {
        int overlaps = 0;
        for (std::size_t upper = 0; upper < std::size(kPlacements); ++upper) {
            for (std::size_t lower = upper + 1; lower < std::size(kPlacements); ++lower) {
                QWidget *a = Control(kPlacements[upper].name);
                QWidget *b = Control(kPlacements[lower].name);
                if (a->parentWidget() != b->parentWidget() ||
                    !a->geometry().intersects(b->geometry())) {
                    continue;
                }
                ++overlaps;
                const QObjectList &stack = a->parentWidget()->children(); // bottom to top
                QVERIFY2(stack.indexOf(a) > stack.indexOf(b),
                         qPrintable(a->objectName() + " under " + b->objectName()));
            }
        }
        QVERIFY(overlaps >= 8); // Combo1 and Text1 over Frame1, "3" over "Kg/dm", the options...
    }

    void everyCaptionFitsItsBox() {
        const auto fits = [](const QWidget *w, const QString &text, int room) {
            const int needed = QFontMetrics(w->font()).horizontalAdvance(text);
            QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                                                    .arg(w->objectName(), text)
                                                    .arg(needed)
                                                    .arg(room)));
        };
        int checked = 0;
        for (const QLabel *label : window->findChildren<QLabel *>()) {
            if (label != window->Image1) {
                fits(label, label->text(), label->width());
                ++checked;
            }
        }
        for (const QGroupBox *frame : window->findChildren<QGroupBox *>()) {
            fits(frame, frame->title(), frame->width());
        }
        fits(window->Command1, window->Command1->text(), window->Command1->width());
        // An option's caption starts after its indicator; "€/Kg" must end before Option2 begins.
        for (const QRadioButton *option : {window->Option1, window->Option2}) {
            const QStyle *style = option->style();
            const int captionStart =
                style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option) +
                style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option);
            const int room =
                option == window->Option1 ? window->Option2->x() - option->x() : option->width();
            fits(option, option->text(), room - captionStart);
        }
        fits(window->Combo1, window->Combo1->currentText(), window->Combo1->lineEdit()->width());
        QCOMPARE(checked, 28);
    }

    // The window carries its pictures as pixels; they must stay those of the committed GIF, ICO
    // and CUR that the Windows resource and the desktop's icons are made from.
    void picturesAreTheCommittedFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("picture");
        QTest::newRow("logo") << "logo.gif" << 0;
        QTest::newRow("window icon") << "kalvor.ico" << 1;
        QTest::newRow("hand cursor") << "hand.cur" << 2;
    }

    void picturesAreTheCommittedFiles() {
        QFETCH(QString, file);
        QFETCH(int, picture);
        const std::array pictures{&kalvor::form::Logo, &kalvor::form::WindowIcon,
                                  &kalvor::form::PointingHand};
        const QImage decoded(PictureFile(file));
        QVERIFY(!decoded.isNull());
        QCOMPARE(kalvor::ui::ToImage(pictures.at(static_cast<std::size_t>(picture))()),
                 Premultiplied(decoded));
    }

    void windowShowsThePictures() {
        // The logo stretched to its box as the GIF read at that size, with its transparent ground.
        QImageReader gif(PictureFile("logo.gif"));
        gif.setScaledSize(QSize(401, 73));
        QCOMPARE(Premultiplied(window->Image1->pixmap().toImage()), Premultiplied(gif.read()));
        QVERIFY(window->Image1->hasScaledContents());
        QCOMPARE(window->Image1->pixmap().toImage().pixelColor(0, 0).alpha(), 0);

        QCOMPARE(Premultiplied(window->windowIcon().pixmap(48, 48).toImage()),
                 Premultiplied(QImage(PictureFile("kalvor.ico"))));

        const QCursor cursor = window->Label[8]->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(12, 1));
        const QImage hand = cursor.pixmap().toImage();
        QCOMPARE(hand.pixelColor(12, 0).alpha(), 0);         // just above the fingertip
        QCOMPARE(hand.pixelColor(12, 1).alpha(), 255);       // the hot spot: the fingertip's edge
        QCOMPARE(hand.pixelColor(12, 4), QColor(Qt::white)); // the finger
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
