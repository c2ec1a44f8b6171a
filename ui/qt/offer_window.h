#pragma once

#include "form/offer_desk.h"
#include "runtime/services.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kalvor::ui {

// The offer: the lines gathered from the main window, their totals, the client, and the
// buttons to remove, clear, copy and export. One per program. Its objectNames: Offerta,
// TabellaOfferta, TotalePeso, TotaleImporto, Cliente, Rimuovi, Svuota, Copia, Esporta.
class OfferWindow : public QWidget {
public:
    OfferWindow(std::shared_ptr<form::OfferKeeper> keeper, runtime::Services services,
                QWidget *parent = nullptr);

    void Add(const form::Recorded &line); // from the main window's results
    void ShowRaised();                    // reads the kept offer again, shows and raises

    // Where "Esporta..." writes: asks the user; tests put an answer in its place.
    std::function<QString(QWidget *parent, const QString &proposed)> askExportFile;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Show(const form::OfferDesk::Answer &answer);
    void Refresh();
    void Rimuovi_Click();
    void Svuota_Click();
    void Copia_Click();
    void Esporta_Click();
    void Cliente_Finished();

    form::OfferDesk desk_;
    runtime::Services services_;
    QTableView *table_ = nullptr;
    class Rows;
    Rows *rows_ = nullptr; // the table's model: the rows of desk_.View()
    QLabel *totalWeight_ = nullptr;
    QLabel *totalAmount_ = nullptr;
    QLineEdit *client_ = nullptr;
};

} // namespace kalvor::ui
