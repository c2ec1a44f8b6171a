#include "ui/qt/offer_window.h"

#include "store/files.h"
#include "ui/qt/qt_text.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include <set>

namespace kalvor::ui {
namespace {

QPushButton *Button(const char *name, const char *caption, QWidget *parent) {
    auto *button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

QString AskExportFile(QWidget *parent, const QString &proposed) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Esporta offerta"), proposed,
                                        QStringLiteral("CSV (*.csv)"));
}

} // namespace

// The table's rows, read by the view as it paints them: a thousand lines open without a
// thousand widgets.
class OfferWindow::Rows : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void Show(offer::TableView view) {
        beginResetModel();
        view_ = std::move(view);
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(view_.rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(offer::kTableHeader.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        const auto column = static_cast<std::size_t>(index.column());
        if (role == Qt::DisplayRole) {
            return QString::fromStdString(
                view_.rows[static_cast<std::size_t>(index.row())][column]);
        }
        if (role == Qt::TextAlignmentRole && column != 1 && column != 2) {
            return int(Qt::AlignRight | Qt::AlignVCenter);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            return ToQString(offer::kTableHeader[static_cast<std::size_t>(section)]);
        }
        return {};
    }
    const offer::TableView &View() const { return view_; }

private:
    offer::TableView view_;
};

OfferWindow::OfferWindow(std::shared_ptr<form::OfferKeeper> keeper, runtime::Services services,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), askExportFile(AskExportFile), desk_(std::move(keeper)),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("Offerta"));
    setWindowTitle(ToQString(form::kOfferTitle));
    resize(780, 360);

    rows_ = new Rows(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("TabellaOfferta"));
    table_->setModel(rows_);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Column widths from the first rows, not from every one of a thousand.
    table_->horizontalHeader()->setResizeContentsPrecision(50);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);

    totalWeight_ = new QLabel(this);
    totalWeight_->setObjectName(QStringLiteral("TotalePeso"));
    totalAmount_ = new QLabel(this);
    totalAmount_->setObjectName(QStringLiteral("TotaleImporto"));
    client_ = new QLineEdit(this);
    client_->setObjectName(QStringLiteral("Cliente"));
    auto *clientCaption = new QLabel(QStringLiteral("Cliente:"), this);
    clientCaption->setBuddy(client_);
    client_->setAccessibleName(QStringLiteral("Cliente"));

    auto *rimuovi = Button("Rimuovi", "Rimuovi", this);
    auto *svuota = Button("Svuota", "Svuota", this);
    auto *copia = Button("Copia", "Copia", this);
    auto *esporta = Button("Esporta", "Esporta...", this);
    connect(rimuovi, &QPushButton::clicked, this, &OfferWindow::Rimuovi_Click);
    connect(svuota, &QPushButton::clicked, this, &OfferWindow::Svuota_Click);
    connect(copia, &QPushButton::clicked, this, &OfferWindow::Copia_Click);
    connect(esporta, &QPushButton::clicked, this, &OfferWindow::Esporta_Click);
    connect(client_, &QLineEdit::editingFinished, this, &OfferWindow::Cliente_Finished);

    auto *clientRow = new QHBoxLayout;
    clientRow->addWidget(clientCaption);
    clientRow->addWidget(client_, 1);
    auto *totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(totalWeight_);
    totals->addSpacing(24);
    totals->addWidget(totalAmount_);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {rimuovi, svuota, copia, esporta}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(clientRow);
    layout->addWidget(table_, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);
    // The offer is read when the window is shown or a line is added, not before.
}

// A change answers whether the offer on show changed and, when something went wrong or was
// set aside, a message.
void OfferWindow::Show(const form::OfferDesk::Answer &answer) {
    if (answer.changed || rows_->rowCount() == 0) {
        Refresh();
    }
    if (!answer.message.empty()) {
        services_.messageBox(this, QString::fromStdString(answer.message),
                             ToQString(form::kOfferTitle));
    }
}

void OfferWindow::Refresh() {
    offer::TableView view = desk_.View();
    totalWeight_->setText(QString::fromStdString(view.totalWeight));
    totalAmount_->setText(QString::fromStdString(view.totalAmount));
    rows_->Show(std::move(view));
    const QString client = QString::fromStdString(desk_.Now().client);
    if (client_->text() != client && !client_->hasFocus()) {
        client_->setText(client);
    }
}

void OfferWindow::Add(const form::Recorded &line) {
    Show(desk_.Add(line));
}

void OfferWindow::ShowRaised() {
    Show(desk_.Open());
    show();
    raise();
    activateWindow();
}

void OfferWindow::Rimuovi_Click() {
    std::set<std::size_t> rows;
    for (const QModelIndex &index : table_->selectionModel()->selectedIndexes()) {
        rows.insert(static_cast<std::size_t>(index.row()));
    }
    if (rows.empty()) {
        QApplication::beep();
        return;
    }
    Show(desk_.Remove({rows.begin(), rows.end()}));
}

void OfferWindow::Svuota_Click() {
    if (services_.question(this, ToQString(form::kClearQuestion), ToQString(form::kOfferTitle))) {
        Show(desk_.Clear());
    }
}

void OfferWindow::Copia_Click() {
    QApplication::clipboard()->setText(QString::fromStdString(desk_.CopyText()));
}

void OfferWindow::Esporta_Click() {
    const QDate today = QDate::currentDate();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString proposed = QDir(folder).filePath(
        QString::fromStdString(form::ExportName(today.year(), today.month(), today.day())));
    const QString chosen = askExportFile(this, proposed);
    if (chosen.isEmpty()) {
        return;
    }
    if (const auto error =
            store::ReplaceAtomically(store::PathFromUtf8(chosen.toStdString()), desk_.CsvText())) {
        services_.messageBox(this, QString::fromStdString(error->message),
                             ToQString(form::kOfferTitle));
    }
}

void OfferWindow::Cliente_Finished() {
    Show(desk_.SetClient(client_->text().toStdString()));
}

void OfferWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Delete && table_->hasFocus()) {
        Rimuovi_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OfferWindow::closeEvent(QCloseEvent *event) {
    Cliente_Finished();
    QWidget::closeEvent(event);
}

} // namespace kalvor::ui
