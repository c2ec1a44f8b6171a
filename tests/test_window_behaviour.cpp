// A person's road through the window, with real key and mouse events on the offscreen
// platform. The message box and the launcher are recorders: no test waits on a modal box.
#include "ui/qt/form1.h"
#include "ui/qt/number_field.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using kalvor::ui::Form1;
using kalvor::ui::NumberField;

namespace {

struct Message {
    QString prompt;
    QString title;
    bool operator==(const Message &) const = default;
};

} // namespace

class WindowBehaviour : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> w;
    QList<Message> messages;
    QList<QUrl> opened;
    bool browserStarts = true;

    QLineEdit *field(const char *name) { return w->findChild<QLineEdit *>(name); }
    QLabel *label(const char *name) { return w->findChild<QLabel *>(name); }
    bool frameShown(const char *name) { return w->findChild<QGroupBox *>(name)->isVisible(); }

    // Picks an entry the way a person does with the keyboard: focus the list, arrow down.
    void pick(QComboBox *list, const QString &entry) {
        list->setFocus(Qt::TabFocusReason);
        const int target = list->findText(entry);
        QVERIFY2(target >= 0, qPrintable(entry));
        while (list->currentIndex() < target) {
            QTest::keyClick(list, Qt::Key_Down);
        }
        while (list->currentIndex() > target) {
            QTest::keyClick(list, Qt::Key_Up);
        }
        QCOMPARE(list->currentText(), entry);
    }
    void pickMaterial(const QString &entry) { pick(w->Combo1, entry); }
    void pickShape(const QString &entry) { pick(w->Combo2, entry); }

    // Clicks into the field (which selects its text) and types over it.
    void type(QLineEdit *target, const QString &text) {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClicks(target, text);
    }
    void calcola() { QTest::mouseClick(w->Command1, Qt::LeftButton); }

    void roundBarOrder(const QString &price) {
        pickMaterial("Acciaio al carbonio");
        pickShape("Barra tonda");
        type(field("Text2"), "50");
        type(field("Text3"), "1000");
        type(field("Text5"), "3");
        type(field("Text6"), price);
        calcola();
    }
    void paste(QLineEdit *target, const QString &text) {
        QApplication::clipboard()->setText(text);
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    }

private slots:
    void init() {
        messages.clear();
        opened.clear();
        browserStarts = true;
        kalvor::runtime::Services services{
            [this](QWidget *, const QString &prompt, const QString &title) {
                messages.append({prompt, title});
            },
            [this](const QUrl &address) {
                opened.append(address);
                return browserStarts;
            }};
        w = std::make_unique<Form1>(services);
        w->Form_Load();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void cleanup() { w.reset(); }

    void roadOfOneCalculation() {
        pickMaterial("Acciaio al carbonio");
        QCOMPARE(w->Text1->text(), QString("7,85"));
        QVERIFY(w->Text1->isReadOnly());
        pickShape("Barra tonda");
        QVERIFY(field("Text2")->isVisible());
        QVERIFY(!field("Text4")->isVisible());
        QCOMPARE(label("Label5")->text(), QString("Diametro:"));

        // The whole job by keyboard: Tab through the fields, Space on the button.
        QTest::keyClick(w->Combo2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), field("Text2"));
        QTest::keyClicks(field("Text2"), "50");
        QTest::keyClick(field("Text2"), Qt::Key_Tab);
        QTest::keyClicks(field("Text3"), "1000");
        QTest::keyClick(field("Text3"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), field("Text5")); // the hidden third row is skipped
        QTest::keyClicks(field("Text5"), "3");
        QTest::keyClick(field("Text5"), Qt::Key_Tab);
        QTest::keyClicks(field("Text6"), "2.5"); // "." becomes ","
        QCOMPARE(field("Text6")->text(), QString("2,5"));
        QTest::keyClick(field("Text6"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->Command1);
        QTest::keyClick(w->Command1, Qt::Key_Space);

        QVERIFY(messages.isEmpty());
        QVERIFY(frameShown("Frame4"));
        QVERIFY(frameShown("Frame5"));
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 15,42 Kg"));
        QCOMPARE(label("Label20")->text(), QString("3 pezzi: 46,26 Kg"));
        QCOMPARE(label("Label21")->text(), QString("1 metro: 15,42 Kg"));
        QCOMPARE(label("Label22")->text(), QString("1 pezzo: 38,55 €"));
        QCOMPARE(label("Label23")->text(), QString("3 pezzi: 115,65 €"));
        QCOMPARE(label("Label24")->text(), QString("1 metro 38,55 €"));
        for (const char *name :
             {"Label19", "Label20", "Label21", "Label22", "Label23", "Label24"}) {
            QVERIFY2(label(name)->isVisible(), name);
        }
        QCOMPARE(QApplication::focusWidget(), w->Combo1);
    }

    void tubePricedPerMetre() {
        pickMaterial("AISI 300 serie");
        pickShape("Tubo spessore");
        QVERIFY(w->Option2->isChecked());
        QCOMPARE(label("Label9")->text(), QString("Spessore:"));
        type(field("Text2"), "60,3");
        type(field("Text3"), "2");
        type(field("Text4"), "6000");
        type(field("Text6"), "5");
        calcola();
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 17,59 Kg"));
        QCOMPARE(label("Label21")->text(), QString("1 metro: 2,93 Kg"));
        QCOMPARE(label("Label22")->text(), QString("1 pezzo: 30 €"));
        QVERIFY(!label("Label20")->isVisible()); // one piece
        QVERIFY(!label("Label24")->isVisible()); // priced per metre
        QVERIFY(label("Label21")->isVisible());

        // Per kilo on the same tube shows the metre cost on the next press.
        QTest::mouseClick(w->Option1, Qt::LeftButton);
        QVERIFY(!frameShown("Frame5"));
        QVERIFY(frameShown("Frame4"));
        calcola();
        QVERIFY(label("Label24")->isVisible());
        QCOMPARE(label("Label24")->text(), QString("1 metro 14,65 €"));
    }

    void flatBarMetreCost() {
        pickMaterial("Acciaio al carbonio");
        pickShape("Barra piatta");
        type(field("Text2"), "40");
        type(field("Text3"), "2000");
        type(field("Text4"), "10");
        type(field("Text6"), "3");
        calcola();
        QCOMPARE(label("Label21")->text(), QString("1 metro: 3,14 Kg"));
        QCOMPARE(label("Label24")->text(), QString("1 metro 9,42 €"));
    }

    void piecesZeroAndPriceZero() {
        pickMaterial("Alluminio");
        pickShape("Lamiera");
        type(field("Text2"), "1000");
        type(field("Text3"), "1000");
        type(field("Text4"), "1");
        type(field("Text5"), "0");
        calcola(); // price still "0,00"
        QCOMPARE(field("Text5")->text(), QString("1"));
        QVERIFY(frameShown("Frame4")); // writing "1" hid nothing
        QVERIFY(!frameShown("Frame5"));
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 2,7 Kg"));
        QVERIFY(!label("Label20")->isVisible());
        QCOMPARE(label("Label22")->text(), QString("1 pezzo: 0 €"));
        QVERIFY(!label("Label21")->isVisible());
        QVERIFY(!label("Label24")->isVisible());
    }

    void missingChoicesAreReportedInOrder() {
        calcola();
        QCOMPARE(messages,
                 (QList<Message>{{"selezionare un materiale", "materiale non selezionato"},
                                 {"selezionare un formato", "formato non selezionato"}}));
        QVERIFY(frameShown("Frame4"));
        QCOMPARE(label("Label19")->text(), QString("peso 1 pezzo"));
        QCOMPARE(QApplication::focusWidget(), w->Combo1);
    }

    // The wheel over a list moves its choice without opening it: that is a pick too.
    void wheelOverTheShapeListPicks() {
        roundBarOrder("2,5");
        QVERIFY(frameShown("Frame4"));
        const QPointF centre = QRectF(w->Combo2->rect()).center();
        QWheelEvent wheel(centre, w->Combo2->mapToGlobal(centre), {}, QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->Combo2, &wheel);
        QCOMPARE(w->Combo2->currentText(), QString("Barra piatta"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
        QCOMPARE(field("Text2")->text(), QString("0,0"));
        QVERIFY(field("Text4")->isVisible());
    }

    void keyFilters() {
        pickShape("Lamiera");
        type(field("Text2"), "1.5a -\r,2");
        QCOMPARE(field("Text2")->text(), QString("1,5,2"));
        type(field("Text5"), "1.2,3x");
        QCOMPARE(field("Text5")->text(), QString("123"));
        QTest::keyClick(field("Text5"), Qt::Key_Backspace);
        QCOMPARE(field("Text5")->text(), QString("12"));
    }

    void keysHideTheResultsTheyMakeStale() {
        roundBarOrder("2,5");
        QVERIFY(frameShown("Frame4") && frameShown("Frame5"));
        type(field("Text6"), "5");
        QVERIFY(frameShown("Frame4"));
        QVERIFY(!frameShown("Frame5"));

        calcola();
        // A swallowed key still hides: "." in the pieces field.
        field("Text5")->setFocus();
        QTest::keyClick(field("Text5"), Qt::Key_Period);
        QCOMPARE(field("Text5")->text(), QString("3"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));

        calcola();
        // A key in the read-only density field changes nothing but hides both.
        w->Text1->setFocus();
        QTest::keyClick(w->Text1, Qt::Key_5);
        QCOMPARE(w->Text1->text(), QString("7,85"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));

        calcola();
        // Backspace with nothing before the caret deletes nothing and hides all the same.
        field("Text2")->setFocus();
        QTest::keyClick(field("Text2"), Qt::Key_Home);
        QTest::keyClick(field("Text2"), Qt::Key_Backspace);
        QCOMPARE(field("Text2")->text(), QString("50"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
    }

    void editsWithoutTypingHideResultsToo() {
        roundBarOrder("2,5");
        // Delete (no character typed) in the length field.
        type(field("Text3"), "");
        QTest::keyClick(field("Text3"), Qt::Key_End);
        calcola();
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 15,42 Kg"));
        field("Text3")->setFocus();
        QTest::keyClick(field("Text3"), Qt::Key_Home);
        QTest::keyClick(field("Text3"), Qt::Key_Delete);
        QCOMPARE(field("Text3")->text(), QString("000"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));

        // Undo brings the old text back; the results of "000" would be stale again.
        calcola();
        QTest::keyClick(field("Text3"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(field("Text3")->text(), QString("1000"));
        QVERIFY(!frameShown("Frame4"));

        // Cut in the price field: only the costs go.
        calcola();
        field("Text6")->setFocus();
        QTest::keyClick(field("Text6"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field("Text6"), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("2,5"));
        QCOMPARE(field("Text6")->text(), QString());
        QVERIFY(frameShown("Frame4"));
        QVERIFY(!frameShown("Frame5"));
    }

    void pasteIsFilteredLikeTyping() {
        roundBarOrder("2,5");
        field("Text2")->selectAll();
        paste(field("Text2"), "2.5kg");
        QCOMPARE(field("Text2")->text(), QString("2,5"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));

        paste(field("Text5"), "-1.500 pz");
        QCOMPARE(field("Text5")->text(), QString("1500"));
        // Filtered first, then cut at the limit: the junk takes no room.
        field("Text6")->clear();
        paste(field("Text6"), "a b c d 1234567890");
        QCOMPARE(field("Text6")->text(), QString("12345678"));
        // Dropped text passes the same filter.
        calcola();
        field("Text3")->clear();
        QMimeData dropped;
        dropped.setText("3.7 mm");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(field("Text3"), &enter);
        QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(field("Text3"), &move);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(field("Text3"), &drop);
        QCOMPARE(field("Text3")->text(), QString("3,7"));
        QVERIFY(!frameShown("Frame4"));
        // Copy still works.
        field("Text6")->selectAll();
        QTest::keyClick(field("Text6"), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("12345678"));
    }

    void optionKeysHideTheCosts() {
        roundBarOrder("2,5");
        w->Option1->setFocus();
        QTest::keyClick(w->Option1, Qt::Key_Right);
        QVERIFY(w->Option2->isChecked());
        QVERIFY(frameShown("Frame4"));
        QVERIFY(!frameShown("Frame5"));
    }

    void selectOnFocus() {
        pickShape("Disco");
        field("Text5")->setFocus(Qt::OtherFocusReason);
        QCOMPARE(field("Text5")->selectedText(), QString("1"));
        QTest::mouseClick(field("Text6"), Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(field("Text6")->selectedText(), QString("0,00"));
        QTest::keyClick(field("Text6"), Qt::Key_7);
        QCOMPARE(field("Text6")->text(), QString("7"));
        // The density field does not select itself.
        pickMaterial("ALTRO");
        QTest::mouseClick(w->Text1, Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(w->Text1->selectedText(), QString());
    }

    void materialPicks() {
        pickMaterial("ALTRO");
        QCOMPARE(w->Text1->text(), QString("0,00"));
        QVERIFY(!w->Text1->isReadOnly());
        QVERIFY(w->Text1->hasFrame());
        type(w->Text1, "");
        QTest::keyClick(w->Text1, Qt::Key_End);
        QTest::keyClicks(w->Text1, "\b\b\b\b3.5");
        QCOMPARE(w->Text1->text(), QString("3,5"));
        pickMaterial("Tantalio");
        QCOMPARE(w->Text1->text(), QString("16,70"));
        QVERIFY(w->Text1->isReadOnly());
        QVERIFY(!w->Text1->hasFrame());

        // Typing a name and Enter is not a pick.
        w->Combo1->setFocus();
        w->Combo1->lineEdit()->selectAll();
        QTest::keyClicks(w->Combo1, "Alluminio");
        QTest::keyClick(w->Combo1, Qt::Key_Return);
        QCOMPARE(w->Text1->text(), QString("16,70"));
    }

    void fieldWithoutANumberIsNamed() {
        pickMaterial("ALTRO");
        QTest::mouseClick(w->Text1, Qt::LeftButton);
        w->Text1->selectAll();
        QTest::keyClicks(w->Text1, ",");
        pickShape("Anello");
        calcola();
        QCOMPARE(messages,
                 (QList<Message>{{"inserire un numero nel campo densità", "valore non valido"}}));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
        QCOMPARE(QApplication::focusWidget(), w->Text1);
        QCOMPARE(w->Text1->selectedText(), QString(","));

        messages.clear();
        type(w->Text1, "8");
        type(field("Text3"), ""); // the click selects the old text; Delete clears it
        QTest::keyClick(field("Text3"), Qt::Key_Delete);
        calcola();
        QCOMPARE(messages, (QList<Message>{{"inserire un numero nel campo diametro int",
                                            "valore non valido"}}));
        QCOMPARE(QApplication::focusWidget(), field("Text3"));
    }

    void linkOpensTheSite() {
        QLabel *link = label("Label8");
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl("https://www.example.com")});
        QVERIFY(messages.isEmpty());
        browserStarts = false;
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(messages, (QList<Message>{{"impossibile aprire il sito www.example.com",
                                            "collegamento non riuscito"}}));
    }
};

QTEST_MAIN(WindowBehaviour)
#include "test_window_behaviour.moc"
