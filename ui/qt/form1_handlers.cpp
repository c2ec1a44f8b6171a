#include "ui/qt/form1.h"

#include "calc/calcola.h"
#include "calc/catalogue.h"
#include "calc/messages.h"
#include "form/maker.h"
#include "form/rules.h"
#include "ui/qt/number_field.h"
#include "ui/qt/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <deque>

namespace kalvor::ui {
namespace {

bool IsEnterKey(const QEvent *event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

const form::ControlSpec &TableRowOf(const QWidget *control) {
    const form::ControlSpec *entry = form::FindControl(control->objectName().toStdString());
    Q_ASSERT(entry);
    return *entry;
}

// "densità':" is spoken "densità", "Diametro ext:" "Diametro ext".
QString SpokenName(const QLabel *caption) {
    QString name = caption->text();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QLatin1Char('\''))) {
        name.chop(1);
    }
    return name;
}

} // namespace

void Form1::UpdateSpokenNames() {
    for (const auto &[input, caption] : form::kInputCaptions) {
        findChild<QWidget *>(ToQString(input))
            ->setAccessibleName(SpokenName(findChild<QLabel *>(ToQString(caption))));
    }
}

// The caption beside a control also labels it for a screen reader; Qt only links a label to
// a control of the same container, so Combo1 and Text1, which lie over Frame1 from the
// window, go by their names alone.
void Form1::LinkCaptions() {
    const std::pair<QLabel *, QWidget *> buddies[] = {
        {Label[4], Combo2}, {Label[5], Text2},  {Label[9], Text3},
        {Label[10], Text4}, {Label[14], Text5}, {Label[15], Text6},
    };
    for (const auto &[caption, control] : buddies) {
        caption->setBuddy(control);
    }
}

void Form1::ConnectHandlers() {
    LinkCaptions();
    UpdateSpokenNames();

    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, &Form1::Combo1_Change);
    connect(Combo2, &QComboBox::activated, this, &Form1::Combo2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    // Enter on the focused button presses it, as Space does.
    Command1->setAutoDefault(true);

    // Enter in the box and leaving it judge a typed material; the wheel moves a list only
    // while it has the focus, so scrolling past it changes nothing.
    for (QComboBox *list : {Combo1, Combo2}) {
        list->setFocusPolicy(Qt::StrongFocus);
        list->installEventFilter(this);
    }
    Combo1->lineEdit()->installEventFilter(this);
    Label[8]->installEventFilter(this);

    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    // Arrow keys move the choice without a click; the costs go stale all the same.
    connect(Option1, &QRadioButton::toggled, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::toggled, this, &Form1::Option2_Click);

    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    for (NumberField *field : {Text1, Text2, Text3, Text4, Text5, Text6}) {
        field->onCharacterTyped = [this, field] { Text_KeyPress(field); };
        field->onGotFocus = [this, field] { Text_GotFocus(field); };
        if (form::CalculatesOnEnter(field->Row())) {
            field->onEnter = [this] { Command1_Click(); };
        }
        connect(field, &QLineEdit::textEdited, this, [this, field] { Text_Edited(field); });
    }

    // A result on show can be selected, copied alone, or copied with the inputs for a quote.
    for (const std::string_view name : form::kResultLabels) {
        QLabel *result = findChild<QLabel *>(ToQString(name));
        result->setTextInteractionFlags(Qt::TextSelectableByMouse);
        result->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(result, &QLabel::customContextMenuRequested, this,
                [this, result](const QPoint &at) { Result_ContextMenu(result, at); });
    }
    auto *copyAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
    copyAll->setContext(Qt::WindowShortcut);
    connect(copyAll, &QShortcut::activated, this, &Form1::CopyQuote);
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    const bool inMaterialBox = watched == Combo1 || watched == Combo1->lineEdit();
    if (inMaterialBox && IsEnterKey(event)) {
        event->accept();
        Command1_Click();
        return true;
    }
    if (watched == Combo1 && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        Combo1_LostFocus();
    }
    if ((watched == Combo1 || watched == Combo2) && event->type() == QEvent::Wheel &&
        !static_cast<QWidget *>(watched)->hasFocus()) {
        event->ignore();
        return true;
    }
    if (watched == Label[8] && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label[8]->rect().contains(mouse->position().toPoint())) {
            Label8_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Combo1_Click() {
    materialTextEdited_ = false;
    HideResults();
    const calc::MaterialEntry *material = calc::FindMaterial(Combo1->currentText().toStdString());
    if (material == nullptr) {
        return;
    }
    Text1->setText(ToQString(material->densityText));
    // A catalogue density reads like a label; "ALTRO" opens an ordinary field for typing.
    SetDensityLook(material->userEntered, !material->userEntered);
}

void Form1::Combo1_Change() {
    materialTextEdited_ = true;
    HideResults();
}

void Form1::Combo1_LostFocus() {
    PickTypedMaterial();
}

bool Form1::PickTypedMaterial() {
    if (!materialTextEdited_) {
        return false;
    }
    materialTextEdited_ = false;
    const calc::MaterialEntry *material = form::MaterialNamed(Combo1->currentText().toStdString());
    if (material == nullptr) {
        // The text is no material of the list: the density in use stays in plain sight and
        // can be typed over.
        SetDensityLook(true, false);
        return false;
    }
    const QString name = ToQString(material->listText);
    Combo1->setCurrentIndex(Combo1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
    Combo1->setEditText(name);
    Combo1_Click();
    return true;
}

void Form1::Combo2_Click() {
    HideResults();
    const calc::ShapeEntry *shape = calc::FindShape(Combo2->currentText().toStdString());
    if (shape == nullptr) {
        return;
    }
    const std::array<QLabel *, 3> captions{Label[5], Label[9], Label[10]};
    const std::array<NumberField *, 3> fields{Text2, Text3, Text4};
    const std::array<QLabel *, 3> units{Label[11], Label[12], Label[13]};
    for (std::size_t row = 0; row < 3; ++row) {
        const calc::RowSetting &setting = shape->rows[row];
        captions[row]->setVisible(setting.shown);
        fields[row]->setVisible(setting.shown);
        fields[row]->setText(QStringLiteral("0,0"));
        units[row]->setVisible(setting.shown);
        captions[row]->setText(ToQString(setting.caption));
    }
    UpdateSpokenNames();
    // Option buttons of one group: checking one clears the other, and the checked one cannot
    // be cleared directly, so "Option1 off, Option2 on" leaves Option2 the one selected.
    Option1->setEnabled(shape->perKiloEnabled);
    Option1->setChecked(shape->perKiloSelected);
    Option2->setEnabled(shape->perMetreEnabled);
    Option2->setChecked(shape->perMetreSelected);
}

void Form1::Command1_Click() {
    PickTypedMaterial();
    calc::CalcolaInputs inputs;
    inputs.density = Text1->text().toStdString();
    inputs.dimensions = {Text2->text().toStdString(), Text3->text().toStdString(),
                         Text4->text().toStdString()};
    inputs.pieces = Text5->text().toStdString();
    inputs.price = Text6->text().toStdString();
    inputs.shape = Combo2->currentText().toStdString();
    inputs.perKilo = Option1->isChecked();
    inputs.perMetre = Option2->isChecked();

    const auto resultLabel = [this](calc::ResultLabel label) {
        return Label[19 + static_cast<int>(label)];
    };
    // In the order of calc::Control.
    const std::array<QWidget *, 7> controls{Combo1, Text1, Text2, Text3, Text4, Text5, Text6};

    for (const calc::Step &step : calc::Calcola(inputs)) {
        if (const auto *frame = std::get_if<calc::ShowFrame>(&step)) {
            (frame->frame == calc::Frame::Weights ? Frame4 : Frame5)->setVisible(frame->visible);
        } else if (const auto *message = std::get_if<calc::ShowMessage>(&step)) {
            services_.messageBox(this, QString::fromStdString(message->prompt),
                                 QString::fromStdString(message->title));
        } else if (const auto *pieces = std::get_if<calc::WritePieces>(&step)) {
            Text5->setText(QString::fromStdString(pieces->text));
        } else if (const auto *shown = std::get_if<calc::ShowLabel>(&step)) {
            resultLabel(shown->label)->setVisible(shown->visible);
        } else if (const auto *caption = std::get_if<calc::WriteCaption>(&step)) {
            WriteResultCaption(resultLabel(caption->label),
                               QString::fromStdString(caption->caption));
        } else if (const auto *focus = std::get_if<calc::MoveFocus>(&step)) {
            QWidget *target = controls[static_cast<std::size_t>(focus->control)];
            target->setFocus(Qt::OtherFocusReason);
            if (auto *field = qobject_cast<QLineEdit *>(target); field && focus->selectText) {
                field->selectAll();
            }
        }
    }
}

void Form1::Label8_Click() {
    if (!services_.launcher(QUrl(QString::fromUtf8(form::maker::kWebSite)))) {
        services_.messageBox(this,
                             ToQString(calc::kSiteNotOpened.prompt) +
                                 QString::fromUtf8(form::maker::kWebAddress),
                             ToQString(calc::kSiteNotOpened.title));
    }
}

void Form1::Option1_Click() {
    Frame5->setVisible(false);
}
void Form1::Option2_Click() {
    Frame5->setVisible(false);
}

void Form1::Text1_Change() {
    HideResults();
}

// A key in the price field makes only the costs stale; in any other field, both results.
void Form1::Text_KeyPress(const NumberField *field) {
    if (form::StaleAfterEdit(field->Row()) == form::Stale::Costs) {
        Frame5->setVisible(false);
    } else {
        HideResults();
    }
}

void Form1::HideResults() {
    Frame4->setVisible(false);
    Frame5->setVisible(false);
}

void Form1::Text_Edited(const NumberField *field) {
    Text_KeyPress(field);
}

void Form1::Text_GotFocus(NumberField *field) {
    if (form::SelectsTextOnEntry(field->Row(), !field->isReadOnly())) {
        field->setSelection(0, static_cast<int>(field->text().size()));
    }
}

void Form1::WriteResultCaption(QLabel *result, const QString &caption) {
    const form::ControlSpec &entry = TableRowOf(result);
    QFont font = result->font();
    const double points = form::FittedPoints(entry.font->points, result->width(), [&](double size) {
        QFont sized = font;
        sized.setPointSizeF(size);
        return QFontMetrics(sized).horizontalAdvance(caption);
    });
    font.setPointSizeF(points);
    result->setFont(font);
    result->setText(caption);
    result->setToolTip(caption);
    result->setAccessibleName(caption);
}

QString Form1::QuoteText() const {
    const auto utf8 = [](const QString &text) { return text.toStdString(); };
    std::deque<std::string> texts; // owns what the inputs below point into; never moves them
    const auto keep = [&](const QString &text) -> std::string_view {
        return texts.emplace_back(utf8(text));
    };
    form::QuoteInputs in;
    in.material = keep(Combo1->currentText());
    in.density = keep(Text1->text());
    in.shape = keep(Combo2->currentText());
    const std::array<std::pair<const QLabel *, const NumberField *>, 3> rows{
        {{Label[5], Text2}, {Label[9], Text3}, {Label[10], Text4}}};
    for (const auto &[caption, field] : rows) {
        if (!field->isHidden()) {
            in.dimensions.push_back({keep(caption->text()), keep(field->text())});
        }
    }
    in.pieces = keep(Text5->text());
    in.price = keep(Text6->text());
    in.perMetre = Option2->isChecked();
    for (const std::string_view name : form::kResultLabels) {
        const QLabel *result = findChild<QLabel *>(ToQString(name));
        if (!result->isHidden() && !result->parentWidget()->isHidden()) {
            in.results.push_back(keep(result->text()));
        }
    }
    return QString::fromStdString(form::QuoteBlock(in));
}

void Form1::CopyQuote() {
    if (Frame4->isHidden()) {
        QApplication::beep(); // nothing calculated for the inputs on show
        return;
    }
    QApplication::clipboard()->setText(QuoteText());
}

void Form1::Result_ContextMenu(QLabel *result, const QPoint &at) {
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(ToQString(form::kCopyLine), this,
                    [result] { QApplication::clipboard()->setText(result->text()); });
    menu->addAction(ToQString(form::kCopyAll), this, &Form1::CopyQuote);
    menu->popup(result->mapToGlobal(at));
}

} // namespace kalvor::ui
