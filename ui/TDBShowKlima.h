// The climate viewer "Datenbank Klimadaten": the climate year hour by hour,
// and five buttons that clear a whole climate element (to have it generated
// afterwards).
#pragma once

#include <QDialog>
#include <array>

class QAbstractButton;
class QPushButton;
class QTableView;
class QWidget;

namespace terval {

struct Modell;
class Oberflaeche;
class KlimaTabellenModell;

// Created once with the main window and reused; shown modally.
class TDBShowKlima : public QDialog {
  Q_OBJECT

 public:
  // The question before a column is cleared.
  static constexpr char LoeschFrage[] =
      "Sie sind im Begriff, Daten aus der aktuellen Datenbank zu löschen !\r"
      "Diese Daten können nicht wieder hergestellt werden !\r"
      "Sind Sie sicher, dass Sie diese Spalte löschen wollen ?";

  TDBShowKlima(Modell& m, Oberflaeche& ui, QWidget* parent = nullptr);

  // Nothing unless a climate table has been read and accepted
  // (KlimaGueltig); otherwise fills the grid and shows the window modally.
  // The dialog's result, or QDialog::Rejected when nothing was shown.
  int ShowKlimaGrid();
  // The climate year in memory into the grid.
  void FillKlimaGrid();
  // The five delete buttons usable or not (not while a run reads the year).
  void LoeschenErlauben(bool erlaubt);

 public slots:
  // The five delete buttons; the sender selects the element. After the
  // question: -999 into every hour of the element, the grid refilled, that
  // column written back into the table and the completeness checked again.
  void bclClick();

 protected:
  bool event(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  // Places each delete button above the grid column it clears.
  void RichteKnoepfeAus();

  Modell& m_;
  Oberflaeche& ui_;
  KlimaTabellenModell* modell_;
  QTableView* grid_;
  QWidget* panel_;
  std::array<QPushButton*, 5> bcl_{};  // bcl3, bcl4, bcl5, bcl6, bcl8
};

}  // namespace terval
