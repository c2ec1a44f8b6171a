// A person's road through the window, with real key and mouse events on the offscreen
// platform. The message box and the launcher are recorders: no test waits on a modal box.
#include "ui/qt/form1.h"
#include "ui/qt/number_field.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
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

// The captions of the six result lines, for comparing before and after.
QStringList ResultCaptions(const QWidget &window) {
    QStringList captions;
    for (const char *name : {"Label19", "Label20", "Label21", "Label22", "Label23", "Label24"}) {
        captions << window.findChild<QLabel *>(name)->text();
    }
    return captions;
}

} // namespace

class WindowBehaviour : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> w;
    QList<Message> messages;
    int framesShownAtAMessage = 0; // results on show beside an open box
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
        framesShownAtAMessage = 0;
        opened.clear();
        browserStarts = true;
        kalvor::runtime::Services services{
            [this](QWidget *, const QString &prompt, const QString &title) {
                messages.append({prompt, title});
                framesShownAtAMessage += frameShown("Frame4") + frameShown("Frame5");
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

    // Each shape family and price basis as a person types it; the numbers are checked in full
    // against the reference elsewhere, here that the window shows what CALCOLA gives.
    void ordersAsTyped_data() {
        QTest::addColumn<QStringList>("order"); // material, shape, x2, x3, x4, pieces, price
        QTest::addColumn<bool>("perKilo");
        QTest::addColumn<QStringList>("shown"); // Label19..Label24; "" hidden
        QTest::newRow("tube per metre")
            << QStringList{"AISI 300 serie", "Tubo spessore", "60,3", "2", "6000", "1", "5"}
            << false
            << QStringList{"1 pezzo: 17,59 Kg", "", "1 metro: 2,93 Kg", "1 pezzo: 30 €", "", ""};
        QTest::newRow("tube per kilo")
            << QStringList{"AISI 300 serie", "Tubo spessore", "60,3", "2", "6000", "1", "5"} << true
            << QStringList{"1 pezzo: 17,59 Kg", "", "1 metro: 2,93 Kg",
                           "1 pezzo: 87,95 €",  "", "1 metro 14,65 €"};
        QTest::newRow("flat bar metre cost")
            << QStringList{"Acciaio al carbonio", "Barra piatta", "40", "2000", "10", "2", "3"}
            << true << QStringList{"1 pezzo: 6,28 Kg", "2 pezzi: 12,56 Kg", "1 metro: 3,14 Kg",
                                   "1 pezzo: 18,84 €", "2 pezzi: 37,68 €",  "1 metro 9,42 €"};
        // Pieces 0 become 1 and hide nothing they just showed; price 0 hides the costs.
        QTest::newRow("sheet, no pieces, no price")
            << QStringList{"Alluminio", "Lamiera", "1000", "1000", "1", "0", "0,00"} << true
            << QStringList{"1 pezzo: 2,7 Kg", "", "", "", "", ""};
    }
    void ordersAsTyped() {
        QFETCH(QStringList, order);
        QFETCH(bool, perKilo);
        QFETCH(QStringList, shown);
        pickMaterial(order[0]);
        pickShape(order[1]);
        for (int i = 2; i < 7; ++i) {
            type(field(qPrintable(QStringLiteral("Text%1").arg(i))), order[i]);
        }
        if (perKilo && !w->Option1->isChecked()) {
            QTest::mouseClick(w->Option1, Qt::LeftButton);
        }
        calcola();
        QVERIFY(messages.isEmpty());
        QCOMPARE(field("Text5")->text(), order[5] == "0" ? QString("1") : order[5]);
        QVERIFY(frameShown("Frame4"));
        QCOMPARE(frameShown("Frame5"), order[6] != "0,00");
        for (int i = 0; i < 6; ++i) {
            const QLabel *result = label(qPrintable(QStringLiteral("Label%1").arg(19 + i)));
            if (i >= 3 && !frameShown("Frame5")) {
                continue;
            }
            QCOMPARE(result->isVisibleTo(w.get()), !shown[i].isEmpty());
            if (!shown[i].isEmpty()) {
                QCOMPARE(result->text(), shown[i]);
            }
        }
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

    // Scrolling past a list changes nothing; the wheel moves a list that has the focus, and
    // that is a pick.
    void wheelMovesOnlyAFocusedList() {
        roundBarOrder("2,5");
        const auto wheel = [this] {
            const QPointF centre = QRectF(w->Combo2->rect()).center();
            QWheelEvent event(centre, w->Combo2->mapToGlobal(centre), {}, QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w->Combo2, &event);
        };
        wheel();
        QCOMPARE(w->Combo2->currentText(), QString("Barra tonda"));
        QCOMPARE(field("Text2")->text(), QString("50"));
        QVERIFY(frameShown("Frame4") && frameShown("Frame5"));

        w->Combo2->setFocus(Qt::TabFocusReason);
        wheel();
        QCOMPARE(w->Combo2->currentText(), QString("Barra piatta"));
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
        QCOMPARE(field("Text2")->text(), QString("0,0"));
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

    // Every edit hides the results it makes stale: a key, also one the filter swallows or one
    // in the read-only density, Delete, undo and cut. The price makes only the costs stale.
    void editsHideTheResultsTheyMakeStale_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("after"); // the field's text afterwards
        QTest::newRow("digit in the price") << "Text6" << int(Qt::Key_5) << 0 << "52,5";
        QTest::newRow("swallowed point in pieces") << "Text5" << int(Qt::Key_Period) << 0 << "3";
        QTest::newRow("key in read-only density") << "Text1" << int(Qt::Key_5) << 0 << "7,85";
        QTest::newRow("backspace at the start") << "Text2" << int(Qt::Key_Backspace) << 0 << "50";
        QTest::newRow("delete") << "Text3" << int(Qt::Key_Delete) << 0 << "000";
        QTest::newRow("arrow between the options") << "Option1" << int(Qt::Key_Right) << 0 << "€/m";
        QTest::newRow("cut in the price")
            << "Text6" << int(Qt::Key_X) << int(Qt::ControlModifier) << "";
    }
    void editsHideTheResultsTheyMakeStale() {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, after);
        roundBarOrder("2,5");
        auto *control = w->findChild<QWidget *>(name);
        control->setFocus(Qt::TabFocusReason);
        auto *target = qobject_cast<QLineEdit *>(control);
        if (target) {
            target->setCursorPosition(0);
            if (key == Qt::Key_X) {
                target->selectAll();
            }
        }
        QTest::keyClick(control, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // The field's text afterwards, or the caption of the option then checked.
        QCOMPARE(target ? target->text()
                        : (w->Option2->isChecked() ? w->Option2 : w->Option1)->text(),
                 after);
        QVERIFY(!frameShown("Frame5"));
        QCOMPARE(frameShown("Frame4"), name == "Text6" || name == "Option1");

        // Undo brings the old text back, and what was shown for the edit is stale again.
        if (name == "Text3") {
            calcola();
            QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(target->text(), QString("1000"));
            QVERIFY(!frameShown("Frame4"));
        }
    }

    // A paste goes in whole or not at all: nothing pasted becomes a different number unseen.
    void pasteIsAllOrNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before"); // the text, all of it selected but for a "|" caret
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after"); // empty: refused, the field keeps its text
        QTest::newRow("blanks around, point") << "Text2"
                                              << "50"
                                              << " 2.5 \n"
                                              << "2,5";
        QTest::newRow("point read as a comma") << "Text2"
                                               << "50"
                                               << "1.500"
                                               << "1,500";
        QTest::newRow("at the caret") << "Text6"
                                      << "12|"
                                      << ",5"
                                      << "12,5";
        for (const char *junk : {"-5", "1e5", "0x10", "2.5kg", "50\n1000", "1,2,3", "\u0662\u0665",
                                 "1 500", "12345678901"}) {
            QTest::newRow(qPrintable(QStringLiteral("refuses %1").arg(QString::fromUtf8(junk))))
                << "Text2"
                << "50" << QString::fromUtf8(junk) << "";
        }
        QTest::newRow("refuses nothing") << "Text2"
                                         << "50"
                                         << ""
                                         << "";
        QTest::newRow("second comma") << "Text2"
                                      << "2,|"
                                      << ",5"
                                      << "";
        QTest::newRow("past the limit") << "Text6"
                                        << "1234567|"
                                        << "89"
                                        << "";
        QTest::newRow("pieces take digits") << "Text5"
                                            << "3"
                                            << " 12 "
                                            << "12";
        QTest::newRow("no decimals in pieces") << "Text5"
                                               << "3"
                                               << "1.500"
                                               << "";
        QTest::newRow("read-only density") << "Text1"
                                           << "7,85"
                                           << "8"
                                           << "";
    }
    void pasteIsAllOrNothing() {
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        roundBarOrder("2,5");
        NumberField *target = w->findChild<NumberField *>(name);
        target->setText(QString(before).remove('|'));
        calcola();
        target->setFocus(Qt::TabFocusReason);
        if (before.contains('|')) {
            target->setCursorPosition(static_cast<int>(before.indexOf('|')));
        }
        paste(target, pasted);
        QCOMPARE(target->text(), after.isEmpty() ? QString(before).remove('|') : after);
        // A refused paste changes nothing, so the results on show stay true.
        QCOMPARE(frameShown("Frame4"), after.isEmpty() || name == "Text6");
    }

    // A drop goes where it lands, under the same rule; copying out still works.
    void dropFollowsThePasteRule() {
        roundBarOrder("2,5");
        const auto drop = [this](const QString &text) {
            field("Text3")->clear();
            QMimeData dropped;
            dropped.setText(text);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(field("Text3"), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(field("Text3"), &drop);
            return field("Text3")->text();
        };
        QCOMPARE(drop(" 3.7 "), QString("3,7"));
        QCOMPARE(drop("3.7 mm"), QString());
        field("Text3")->setText("1000");
        field("Text3")->selectAll();
        QTest::keyClick(field("Text3"), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("1000"));
    }

    void selectOnFocus() {
        pickShape("Disco");
        field("Text5")->setFocus(Qt::OtherFocusReason);
        QCOMPARE(field("Text5")->selectedText(), QString("1"));
        QTest::mouseClick(field("Text6"), Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(field("Text6")->selectedText(), QString("0,00"));
        QTest::keyClick(field("Text6"), Qt::Key_7);
        QCOMPARE(field("Text6")->text(), QString("7"));
        // The density field selects itself only while it takes typing: a click at the end of
        // "0,00" and 7,9 typed give 7,9, not the 0,007 that the five places would leave.
        pickMaterial("Titanio");
        QTest::mouseClick(w->Text1, Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(w->Text1->selectedText(), QString());
        pickMaterial("ALTRO");
        QTest::mouseClick(w->Text1, Qt::LeftButton, {}, QPoint(30, 5));
        QTest::keyClicks(w->Text1, "7,9");
        QCOMPARE(w->Text1->text(), QString("7,9"));
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
    }

    // The box's text is the material: a typed name is picked when the user leaves the box,
    // presses Enter or CALCOLA; any other text opens the density for typing.
    void typedMaterialName() {
        const auto typeInBox = [this](const QString &text) {
            w->Combo1->setFocus(Qt::TabFocusReason);
            w->Combo1->lineEdit()->selectAll();
            QTest::keyClicks(w->Combo1, text);
        };
        roundBarOrder("2,5");
        typeInBox(" tiTANio ");
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5")); // any edit makes them stale
        QCOMPARE(w->Text1->text(), QString("7,85"));
        QTest::keyClick(w->Combo1, Qt::Key_Tab);
        QCOMPARE(w->Combo1->currentText(), QString("Titanio"));
        QCOMPARE(w->Text1->text(), QString("4,51"));
        QVERIFY(w->Text1->isReadOnly());

        typeInBox("Acciaio inox");
        QTest::keyClick(w->Combo1, Qt::Key_Tab);
        QCOMPARE(w->Text1->text(), QString("4,51")); // kept, in plain sight, and typable
        QVERIFY(!w->Text1->isReadOnly());
        QVERIFY(w->Text1->hasFrame());

        // Enter picks and calculates at once; so does CALCOLA.
        typeInBox("alluminio");
        QTest::keyClick(w->Combo1, Qt::Key_Return);
        QCOMPARE(w->Combo1->currentText(), QString("Alluminio"));
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 5,3 Kg"));
        QVERIFY(frameShown("Frame4"));
        typeInBox("ACCIAIO AL CARBONIO");
        calcola();
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 15,42 Kg"));
        QVERIFY(messages.isEmpty());
    }

    void enterCalculates() {
        roundBarOrder("2,5");
        type(field("Text5"), "4");
        QVERIFY(!frameShown("Frame4"));
        QTest::keyClick(field("Text5"), Qt::Key_Return);
        QCOMPARE(field("Text5")->text(), QString("4")); // no Enter in the text
        QVERIFY(frameShown("Frame4") && frameShown("Frame5"));
        QCOMPARE(label("Label23")->text(), QString("4 pezzi: 154,2 €"));
        QCOMPARE(QApplication::focusWidget(), w->Combo1);
    }

    // The widest captions the field lengths allow are drawn smaller, never cut.
    void resultCaptionsShrinkToFit() {
        pickMaterial("Tantalio");
        const auto check = [this] {
            for (const char *name :
                 {"Label19", "Label20", "Label21", "Label22", "Label23", "Label24"}) {
                const QLabel *result = label(name);
                if (!result->isVisibleTo(w.get())) {
                    continue;
                }
                QFont larger = result->font();
                larger.setPointSizeF(larger.pointSizeF() + 0.5);
                const QString text = result->text();
                QVERIFY2(QFontMetrics(result->font()).horizontalAdvance(text) <= result->width(),
                         qPrintable(text));
                QVERIFY2(result->font().pointSizeF() == 9 ||
                             QFontMetrics(larger).horizontalAdvance(text) > result->width(),
                         qPrintable(text));
                QCOMPARE(result->toolTip(), text);
                QCOMPARE(result->accessibleName(), text);
            }
        };
        pickShape("Lamiera");
        type(field("Text2"), "999999999");
        type(field("Text3"), "999999999");
        type(field("Text4"), "1000");
        type(field("Text5"), "12345678");
        type(field("Text6"), "1234,5678");
        calcola();
        QCOMPARE(label("Label20")->text(), QString("1,234568E+07 pezzi: 2,061728E+23 Kg"));
        QVERIFY(label("Label20")->font().pointSizeF() < 9);
        check();
        pickShape("Barra tonda");
        type(field("Text2"), "999999999");
        type(field("Text3"), "999999999");
        calcola();
        QVERIFY(label("Label24")->text().size() > 28);
        check();
        // A short caption is back at the size it was drawn for.
        type(field("Text2"), "50");
        type(field("Text3"), "1000");
        type(field("Text5"), "1");
        calcola();
        check();
        QCOMPARE(label("Label19")->font().pointSizeF(), 9.0);
    }

    // Results of other inputs never stand beside an open box; an error writes no caption.
    void messagesComeBeforeResults() {
        roundBarOrder("2,5");
        pickMaterial("ALTRO");
        type(field("Text2"), "60");
        calcola();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(framesShownAtAMessage, 0);
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 0 Kg"));

        struct Refusal {
            const char *shape;
            const char *x2, *x3;
            Message message;
        };
        const Message bore{"il diametro interno non può superare il diametro esterno",
                           "dimensioni non valide"};
        const Refusal refusals[] = {
            {"Tubo diametri", "50", "60", bore},
            {"Anello", "50", "50,5", bore},
            {"Tubo spessore",
             "50",
             "40",
             {"lo spessore non può superare metà del diametro esterno", "dimensioni non valide"}},
        };
        pickMaterial("Acciaio al carbonio");
        for (const Refusal &refusal : refusals) {
            pickShape(refusal.shape);
            type(field("Text2"), refusal.x2);
            type(field("Text3"), refusal.x3);
            type(field("Text4"), "1000");
            const QStringList before = ResultCaptions(*w);
            messages.clear();
            calcola();
            QCOMPARE(messages, QList<Message>{refusal.message});
            QCOMPARE(framesShownAtAMessage, 0);
            QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
            QCOMPARE(ResultCaptions(*w), before);
            QCOMPARE(QApplication::focusWidget(), field("Text3"));
            QCOMPARE(field("Text3")->selectedText(), QString(refusal.x3));
        }
    }

    // Right-click on a result, or Ctrl+Shift+C anywhere: the inputs and results for a quote.
    void copyForAQuote() {
        QApplication::clipboard()->setText("untouched");
        QTest::keyClick(w.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("untouched")); // no results yet

        roundBarOrder("2,5");
        const QString block = "materiale: Acciaio al carbonio\n"
                              "densità: 7,85 Kg/dm³\n"
                              "formato: Barra tonda\n"
                              "Diametro: 50 mm\n"
                              "Lunghezza: 1000 mm\n"
                              "numero pezzi: 3\n"
                              "prezzo: 2,5 €/Kg\n"
                              "1 pezzo: 15,42 Kg\n"
                              "3 pezzi: 46,26 Kg\n"
                              "1 metro: 15,42 Kg\n"
                              "1 pezzo: 38,55 €\n"
                              "3 pezzi: 115,65 €\n"
                              "1 metro 38,55 €\n";
        const auto menuChoice = [this](const char *name, const QString &action) {
            QLabel *result = label(name);
            emit result->customContextMenuRequested(QPoint(5, 5));
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QStringList texts;
            for (QAction *item : menu->actions()) {
                texts << item->text();
            }
            QCOMPARE(texts, (QStringList{"Copia", "Copia tutti i risultati"}));
            menu->actions()[texts.indexOf(action)]->trigger();
            menu->close();
        };
        menuChoice("Label23", "Copia");
        QCOMPARE(QApplication::clipboard()->text(), QString("3 pezzi: 115,65 €"));
        menuChoice("Label19", "Copia tutti i risultati");
        QCOMPARE(QApplication::clipboard()->text(), block);
        QApplication::clipboard()->clear();
        field("Text2")->setFocus();
        QTest::keyClick(field("Text2"), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), block);
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
