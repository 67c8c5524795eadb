#include "ui/TDBShowKlima.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "climate/DBKlima.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "ui/Dialoghilfen.h"
#include "ui/KlimaTabellenModell.h"

namespace terval {

namespace {

// The delete buttons: name, grid column, element of the climate hour.
struct Loeschknopf {
  const char* name;
  int spalte;
  float TKlimaStunde::*element;
};
constexpr std::array<Loeschknopf, 5> Loeschknoepfe = {{
    {"bcl3", 3, &TKlimaStunde::rFeuchte},
    {"bcl4", 4, &TKlimaStunde::Wind},
    {"bcl5", 5, &TKlimaStunde::Glob_Str},
    {"bcl6", 6, &TKlimaStunde::Nieders},
    {"bcl8", 7, &TKlimaStunde::Wolken},
}};

constexpr int Spaltenbreite = 70;  // pixels
constexpr int Zeilenhoehe = 15;    // pixels

}  // namespace

TDBShowKlima::TDBShowKlima(Modell& m, Oberflaeche& ui, QWidget* parent)
    : QDialog(parent), m_(m), ui_(ui) {
  setObjectName("DBShowKlima");
  setWindowTitle("Datenbank Klimadaten");
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);

  // The buttons sit freely on the panel, each above its column.
  panel_ = new QWidget;
  panel_->setObjectName("Panel1");
  for (size_t i = 0; i < Loeschknoepfe.size(); ++i) {
    auto* b = new QPushButton(panel_);
    b->setObjectName(Loeschknoepfe[i].name);
    b->setStatusTip("Löscht dieses Spalte");
    b->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    b->setFixedSize(28, 24);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, &TDBShowKlima::bclClick);
    bcl_[i] = b;
  }
  auto* schliessen = new QPushButton("Schließen", panel_);
  schliessen->setObjectName("btSchliessen");
  schliessen->setAutoDefault(false);
  connect(schliessen, &QPushButton::clicked, this, &QDialog::accept);
  panel_->setFixedHeight(32);

  modell_ = new KlimaTabellenModell(m_, this);
  grid_ = new QTableView;
  grid_->setObjectName("KlimaGrid");
  grid_->setModel(modell_);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setDefaultSectionSize(Spaltenbreite);
  grid_->horizontalHeader()->setMinimumSectionSize(10);
  grid_->verticalHeader()->setMinimumSectionSize(Zeilenhoehe);
  grid_->verticalHeader()->setDefaultSectionSize(Zeilenhoehe);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  // Rows of 15 pixels and headings within 70: a small font.
  QFont schrift = grid_->font();
  schrift.setPointSize(8);
  grid_->setFont(schrift);
  schrift.setPointSizeF(7.5);
  grid_->horizontalHeader()->setFont(schrift);

  auto* spalte = new QVBoxLayout(this);
  spalte->setContentsMargins(0, 0, 0, 0);
  spalte->setSpacing(0);
  spalte->addWidget(panel_);
  spalte->addWidget(grid_, 1);
  resize(659, 426);

  connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, &TDBShowKlima::RichteKnoepfeAus);
  connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TDBShowKlima::RichteKnoepfeAus);
  RichteKnoepfeAus();
}

int TDBShowKlima::ShowKlimaGrid() {
  if (!m_.KlimaGueltig) return QDialog::Rejected;
  FillKlimaGrid();
  return exec();
}

void TDBShowKlima::FillKlimaGrid() { modell_->Neufuellen(); }

void TDBShowKlima::LoeschenErlauben(bool erlaubt) {
  for (QPushButton* b : bcl_) b->setEnabled(erlaubt);
}

void TDBShowKlima::bclClick() {
  const auto* knopf = sender();
  const Loeschknopf* welcher = nullptr;
  for (size_t i = 0; i < bcl_.size(); ++i)
    if (bcl_[i] == knopf) welcher = &Loeschknoepfe[i];
  if (!welcher) return;

  if (!ui_.Frage(LoeschFrage)) return;
  for (int h = 1; h <= Stunden; ++h) m_.Klima[h].*(welcher->element) = Fehlwert;
  FillKlimaGrid();
  // The grid's columns are the table's shifted by the day column; only the
  // cleared one is written, never data kept in memory only.
  WriteKlimaSpalte(m_, ui_, welcher->spalte - 1);
  CheckKlimaDaten(m_, ui_);
}

void TDBShowKlima::RichteKnoepfeAus() {
  const QHeaderView* kopf = grid_->horizontalHeader();
  for (size_t i = 0; i < bcl_.size(); ++i) {
    const int spalte = Loeschknoepfe[i].spalte;
    const QPoint imFenster = grid_->viewport()->mapTo(this, QPoint(kopf->sectionViewportPosition(spalte), 0));
    const int links = panel_->mapFrom(this, imFenster).x();
    QPushButton* b = bcl_[i];
    b->move(links + (kopf->sectionSize(spalte) - b->width()) / 2, (panel_->height() - b->height()) / 2);
    b->setVisible(!kopf->isSectionHidden(spalte));
  }
  auto* schliessen = panel_->findChild<QPushButton*>("btSchliessen");
  schliessen->adjustSize();
  schliessen->move(panel_->width() - schliessen->width() - 8, (panel_->height() - schliessen->height()) / 2);
}

void TDBShowKlima::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  RichteKnoepfeAus();
}

void TDBShowKlima::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  RichteKnoepfeAus();
}

bool TDBShowKlima::event(QEvent* e) {
  if (HinweisWeitergeben(e, ui_)) return true;
  return QDialog::event(e);
}

}  // namespace terval
