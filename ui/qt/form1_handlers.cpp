#include "ui/qt/form1.h"

#include "calc/calcola.h"
#include "calc/catalogue.h"
#include "calc/messages.h"
#include "form/maker.h"
#include "ui/qt/number_field.h"
#include "ui/qt/qt_text.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kalvor::ui {
namespace {

bool IsEnterKey(const QEvent *event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
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
    const std::pair<QWidget *, const QLabel *> captioned[] = {
        {Combo1, Label[1]}, {Combo2, Label[4]}, {Text1, Label[2]},  {Text2, Label[5]},
        {Text3, Label[9]},  {Text4, Label[10]}, {Text5, Label[14]}, {Text6, Label[15]},
    };
    for (const auto &[control, caption] : captioned) {
        control->setAccessibleName(SpokenName(caption));
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
    connect(Combo2, &QComboBox::activated, this, &Form1::Combo2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    // Enter on the focused button presses it, as Space does.
    Command1->setAutoDefault(true);

    // A pick is a choice from the list: Enter on a material name typed into the box is not.
    Combo1->installEventFilter(this);
    if (Combo1->lineEdit() != nullptr) {
        Combo1->lineEdit()->installEventFilter(this);
    }
    Label[8]->installEventFilter(this);

    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    // Arrow keys move the choice without a click; the costs go stale all the same.
    connect(Option1, &QRadioButton::toggled, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::toggled, this, &Form1::Option2_Click);

    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    for (NumberField *field : {Text1, Text2, Text3, Text4, Text5, Text6}) {
        field->onCharacterTyped = [this, field] { Text_KeyPress(field); };
        connect(field, &QLineEdit::textEdited, this, [this, field] { Text_Edited(field); });
    }
    for (NumberField *field : {Text2, Text3, Text4, Text5, Text6}) {
        field->onGotFocus = [this, field] { Text_GotFocus(field); };
    }

    // A weight or a price on show can be selected and copied into a quote.
    for (int n = 19; n <= 24; ++n) {
        Label[n]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if ((watched == Combo1 || watched == Combo1->lineEdit()) && IsEnterKey(event)) {
        event->accept();
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
    HideResults();
    const calc::MaterialEntry *material = calc::FindMaterial(Combo1->currentText().toStdString());
    if (material == nullptr) {
        return;
    }
    Text1->setText(ToQString(material->densityText));
    // A catalogue density reads like a label; "ALTRO" opens an ordinary field for typing.
    SetDensityLook(material->userEntered, !material->userEntered);
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
            resultLabel(caption->label)->setText(QString::fromStdString(caption->caption));
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
    if (field == Text6) {
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
    field->setSelection(0, static_cast<int>(field->text().size()));
}

} // namespace kalvor::ui
