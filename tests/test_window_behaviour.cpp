// A person's road through the window, with real key and mouse events on the offscreen
// platform. The message box and the launcher are recorders: no test waits on a modal box.
#include "store/desk_files.h"
#include "ui/qt/form1.h"
#include "ui/qt/number_field.h"
#include "ui/qt/offer_window.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

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
    int framesShownAtAMessage = 0;          // results on show beside an open box
    std::function<void()> pressUnderTheBox; // what happens while a box is open
    QStringList questions;
    QList<bool> answers; // to the questions, in turn; no when none is left
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
        questions.clear();
        framesShownAtAMessage = 0;
        opened.clear();
        browserStarts = true;
        kalvor::runtime::Services services{
            [this](QWidget *, const QString &prompt, const QString &title) {
                messages.append({prompt, title});
                framesShownAtAMessage += frameShown("Frame4") + frameShown("Frame5");
                if (pressUnderTheBox) {
                    pressUnderTheBox();
                    framesShownAtAMessage += frameShown("Frame4") + frameShown("Frame5");
                }
            },
            [this](const QUrl &address) {
                opened.append(address);
                return browserStarts;
            },
            [this](QWidget *, const QString &question, const QString &) {
                questions.append(question);
                return !answers.isEmpty() && answers.takeFirst();
            }};
        w = std::make_unique<Form1>(services);
        w->Form_Load();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void cleanup() { w.reset(); }

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

    // Every channel that can change a field reaches the model: a typed key, a paste, a drop,
    // undo, cut, an input method and an accessibility client. Accepted, the change hides the
    // results it makes stale; refused, the field keeps its text and says why.
    void channelsReachTheModel() {
        const auto accessible = [this](const char *name, const QString &text) {
            QAccessible::queryAccessibleInterface(w->findChild<QWidget *>(name))
                ->setText(QAccessible::Value, text);
        };
        const auto commit = [](QLineEdit *target, const QString &text) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QApplication::sendEvent(target, &event);
        };
        const auto drop = [](QLineEdit *target, const QString &text) {
            QMimeData dropped;
            dropped.setText(text);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(target, &drop);
        };
        struct Row {
            const char *name;
            const char *field;
            std::function<void(QLineEdit *)> change;
            QString after;
            const char *reason; // nullptr: accepted, and the results it makes stale are hidden
        };
        const Row rows[] = {
            {"key", "Text2", [](QLineEdit *f) { QTest::keyClicks(f, "7.5"); }, "7,550", nullptr},
            {"key past the length", "Text5",
             [this](QLineEdit *f) {
                 f->selectAll();
                 QTest::keyClicks(f, "12345678");
                 calcola();
                 f->setFocus(Qt::OtherFocusReason);
                 f->end(false);
                 QTest::keyClick(f, Qt::Key_9);
             },
             "12345678", "troppe cifre per questo campo"},
            {"paste", "Text2", [this](QLineEdit *f) { paste(f, " 1.234,5 "); }, "1234,550",
             nullptr},
            {"ambiguous paste", "Text2", [this](QLineEdit *f) { paste(f, "1.500"); }, "50",
             "«1.500» è ambiguo: scrivere 1500 oppure 1,5"},
            {"drop", "Text3", [&](QLineEdit *f) { drop(f, " 3.7 "); }, "3,71000", nullptr},
            {"undo", "Text3",
             [this](QLineEdit *f) {
                 f->selectAll();
                 QTest::keyClick(f, Qt::Key_7);
                 calcola();
                 QTest::keyClick(f, Qt::Key_Z, Qt::ControlModifier);
             },
             "1000", nullptr},
            {"cut", "Text6",
             [](QLineEdit *f) {
                 f->selectAll();
                 QTest::keyClick(f, Qt::Key_X, Qt::ControlModifier);
             },
             "", nullptr},
            {"input method", "Text2", [&](QLineEdit *f) { commit(f, "x"); }, "50",
             "non è un numero: «x50»"},
            {"accessibility", "Text2", [&](QLineEdit *) { accessible("Text2", "70"); }, "70",
             nullptr},
            {"accessibility junk", "Text6", [&](QLineEdit *) { accessible("Text6", "abc-"); },
             "2,5", "non è un numero: «abc-»"},
            {"accessibility, read-only", "Text1", [&](QLineEdit *) { accessible("Text1", "99"); },
             "7,85", "densità fissata dal materiale: per scriverne un'altra scegliere ALTRO"},
        };
        for (const Row &row : rows) {
            roundBarOrder("2,5");
            QLineEdit *target = field(row.field);
            target->setFocus(Qt::OtherFocusReason);
            target->setCursorPosition(0);
            row.change(target);
            QVERIFY2(target->text() == row.after, qPrintable(row.name + (": " + target->text())));
            if (row.reason != nullptr) {
                QCOMPARE(target->accessibleDescription(), QString::fromUtf8(row.reason));
            }
            // A key hides what it would make stale even when it is refused.
            const bool hides =
                row.reason == nullptr || row.name == std::string_view("key past the length");
            const bool costsOnly = row.field == QLatin1String("Text6");
            QVERIFY2(frameShown("Frame4") == (!hides || costsOnly), row.name);
            QVERIFY2(frameShown("Frame5") == !hides, row.name);
            w->Combo1->setFocus(Qt::OtherFocusReason);
        }
    }

    // The material box selects its name whenever it gets the focus, so typing replaces it; a
    // name set by an accessibility client is judged as a typed one.
    void materialBoxSelectsAndJudgesEveryName() {
        roundBarOrder("2,5");
        QCOMPARE(QApplication::focusWidget(), w->Combo1);
        QCOMPARE(w->Combo1->lineEdit()->selectedText(), QString("Acciaio al carbonio"));
        QTest::keyClicks(w->Combo1, "Titanio");
        QCOMPARE(w->Combo1->currentText(), QString("Titanio"));
        QTest::keyClick(w->Combo1, Qt::Key_Return);
        QCOMPARE(w->Text1->text(), QString("4,51"));
        QVERIFY(frameShown("Frame4"));

        QAccessible::queryAccessibleInterface(w->Combo1->lineEdit())
            ->setText(QAccessible::Value, "Inconel 625");
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
        calcola();
        QCOMPARE(w->Text1->text(), QString("0,00")); // no catalogue density kept
        QVERIFY(!w->Text1->isReadOnly());
        QCOMPARE(messages.last().prompt, QString("selezionare un materiale"));
    }

    // A press that an accessibility client makes while a box is open is ignored, and the press
    // under the box shows nothing of the inputs it was started with. Enter on an option
    // calculates.
    void onePressAtATime() {
        pickMaterial("ALTRO");
        pickShape("Barra tonda");
        type(field("Text2"), "50");
        type(field("Text3"), "1000");
        type(field("Text5"), "3");
        type(field("Text6"), "2,5");
        pressUnderTheBox = [this] {
            QAccessible::queryAccessibleInterface(w->Text1)->setText(QAccessible::Value, "7,85");
            QAccessibleInterface *button = QAccessible::queryAccessibleInterface(w->Command1);
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTest::qWait(300); // the button's animated click
        };
        calcola();
        pressUnderTheBox = nullptr;
        QCOMPARE(messages.size(), 1);
        QCOMPARE(framesShownAtAMessage, 0);
        QVERIFY(!frameShown("Frame4") && !frameShown("Frame5"));
        QCOMPARE(label("Label19")->text(), QString("peso 1 pezzo"));

        w->Option1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->Option1, Qt::Key_Return);
        QCOMPARE(label("Label19")->text(), QString("1 pezzo: 15,42 Kg"));
        QVERIFY(frameShown("Frame4") && frameShown("Frame5"));
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
        // The material box selects its name when clicked into, too.
        QTest::mouseClick(w->Combo1->lineEdit(), Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(w->Combo1->lineEdit()->selectedText(), QString("ALTRO"));
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
            QCOMPARE(texts, (QStringList{"Copia", "Copia tutti i risultati", "",
                                         "Aggiungi all'offerta", "Mostra offerta"}));
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

    // The offer gathers the results on show, keeps them on disk after every change, and
    // refuses figures of other inputs.
    void offerGathersResults() {
        QTemporaryDir folder;
        const auto keeper = [&] {
            return std::make_shared<kalvor::store::OfferOnDisk>(folder.path().toStdString());
        };
        w->UseOffer(keeper());
        roundBarOrder("2,5");
        QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        type(field("Text5"), "4");
        QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier); // stale
        QTest::keyClick(field("Text5"), Qt::Key_Return);
        QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        auto *offer = w->findChild<QWidget *>("Offerta");
        QVERIFY(offer && offer->isVisible());
        auto *table = offer->findChild<QTableView *>("TabellaOfferta");
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->index(1, 4).data().toString(), QString("4"));
        QCOMPARE(table->model()->index(1, 8).data().toString(), QString("154,2"));
        QCOMPARE(offer->findChild<QLabel *>("TotaleImporto")->text(),
                 QString("Totale importo: 269,85 €"));
        offer->findChild<QLineEdit *>("Cliente")->setText("Rossi; «Acciai»");
        emit offer->findChild<QLineEdit *>("Cliente")->editingFinished();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 1)).center());
        QTest::mouseClick(offer->findChild<QPushButton *>("Rimuovi"), Qt::LeftButton);
        QCOMPARE(table->model()->rowCount(), 1);

        // Another start finds the offer and its client as they were left.
        init();
        w->UseOffer(keeper());
        QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        offer = w->findChild<QWidget *>("Offerta");
        QCOMPARE(offer->findChild<QTableView *>("TabellaOfferta")->model()->rowCount(), 1);
        QCOMPARE(offer->findChild<QLineEdit *>("Cliente")->text(), QString("Rossi; «Acciai»"));
        QCOMPARE(offer->findChild<QLabel *>("TotalePeso")->text(),
                 QString("Totale peso: 61,68 Kg"));
        const QString csv = folder.filePath("esportata.csv");
        static_cast<kalvor::ui::OfferWindow *>(offer)->askExportFile =
            [&](QWidget *, const QString &proposed) {
                return proposed.endsWith(
                           QDate::currentDate().toString("'offerta-'yyyy-MM-dd'.csv'"))
                           ? csv
                           : QString();
            };
        QTest::mouseClick(offer->findChild<QPushButton *>("Esporta"), Qt::LeftButton);
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QVERIFY(exported.readAll().startsWith("\xEF\xBB\xBFN.;Cliente;Materiale;"));
        answers = {true};
        QTest::mouseClick(offer->findChild<QPushButton *>("Svuota"), Qt::LeftButton);
        QCOMPARE(questions, QStringList{"Svuotare l'offerta?"});
        QCOMPARE(offer->findChild<QTableView *>("TabellaOfferta")->model()->rowCount(), 0);
    }

    // The desk's own grades come from their file after the first paint, with one message for
    // the lines that break a rule, and are kept from the material box's menu.
    void ownMaterialsFromTheirFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath("materiali.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# mie\nInconel 718 = 8.19\nTitanio = 4\n");
        file.close();
        w->UseOwnMaterials(std::make_shared<kalvor::store::MaterialsOnDisk>(path.toStdString()));
        w->repaint();
        QTRY_COMPARE(w->Combo1->count(), 17);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].prompt.contains("riga 3"));
        pickMaterial("Inconel 718");
        QCOMPARE(w->Text1->text(), QString("8,19"));
        QVERIFY(w->Text1->isReadOnly());
        pickMaterial("ALTRO");
        type(w->Text1, "7,98");
        w->Combo1->lineEdit()->setText("316L");
        emit w->Combo1->lineEdit()->customContextMenuRequested(QPoint(5, 5));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions()[0]->text(), QString("Memorizza materiale «316L» (7,98 Kg/dm³)"));
        menu->actions()[0]->trigger();
        menu->close();
        QCOMPARE(w->Combo1->count(), 18);
        QVERIFY(w->Text1->isReadOnly());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("# mie\nInconel 718 = 8.19\nTitanio = 4\n316L = 7,98\n"));
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
