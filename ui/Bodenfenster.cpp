#include "ui/Bodenfenster.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/Bildwerk.h"
#include "ui/Dialoghilfen.h"
#include "ui/Export.h"

namespace terval {

Bodenansicht::Bodenansicht(QWidget* parent) : QWidget(parent) {
  setObjectName("Bodenansicht");
  setMinimumSize(480, 320);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Bodenansicht::Zeige(const Bodenfeld* feld, const Temperaturbereich& bereich) {
  feld_ = feld;
  bereich_ = bereich;
  update();
}

void Bodenansicht::paintEvent(QPaintEvent*) {
  QPainter maler(this);
  maler.fillRect(rect(), Qt::white);
  if (feld_ != nullptr) ZeichneBoden(maler, rect(), *feld_, bereich_);
}

QString Bodentabelle(const Bodenfeld& feld) {
  QList<Tabellenspalte> spalten{{"Tiefe (m) / Abstand (m)", {}}};
  for (int r = 0; r < Zeilen; ++r) spalten[0].werte.append(r * static_cast<double>(DZ));
  for (int c = 0; c < feld.Spalten; ++c) {
    Tabellenspalte s{Zahl(c * static_cast<double>(DX)), {}};
    for (int r = 0; r < Zeilen; ++r) s.werte.append(feld.Temperatur(c, r));
    spalten.append(s);
  }
  return Tabellentext(spalten);
}

Bodenfenster::Bodenfenster(Exporteur& aus, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Feld2D");
  setWindowTitle("2D-Feld");
  ansicht_ = new Bodenansicht;
  schieber_ = new QSlider(Qt::Horizontal);
  schieber_->setObjectName("sl_Tag");
  schieber_->setStatusTip("Der gezeigte Tag des Jahres");
  tag_ = new QLabel;
  tag_->setObjectName("l_Tag");
  tag_->setMinimumWidth(tag_->fontMetrics().horizontalAdvance("Segment 150, Tag 365") + 8);
  abspielen_ = new QPushButton("Abspielen");
  abspielen_->setObjectName("bt_Abspielen");
  abspielen_->setCheckable(true);
  abspielen_->setStatusTip("Das Jahr Tag für Tag zeigen");
  takt_ = new QTimer(this);
  takt_->setInterval(80);
  auto* bild = Benannt(new QPushButton("Als Bild speichern…"), "bt_SaveFieldImage",
                       "Das Feld des gezeigten Tages als PNG- oder SVG-Datei speichern");
  auto* daten = Benannt(new QPushButton("Daten speichern…"), "bt_SaveFieldData",
                        "Die Temperaturen des gezeigten Tages als Tabelle (CSV) speichern");

  connect(schieber_, &QSlider::valueChanged, this, &Bodenfenster::TagGewaehlt);
  connect(abspielen_, &QPushButton::toggled, this, [this](bool an) {
    abspielen_->setText(an ? "Anhalten" : "Abspielen");
    // From the start again once the year has been played to its end.
    if (an && schieber_->value() == schieber_->maximum()) schieber_->setValue(schieber_->minimum());
    an ? takt_->start() : takt_->stop();
  });
  connect(takt_, &QTimer::timeout, this, &Bodenfenster::Schritt);
  connect(bild, &QPushButton::clicked, this, [this, &aus] {
    const Bodenfeld* f = jahr_ ? jahr_->Tag(Tag()) : nullptr;
    if (f) aus.Bild("2D-Feld als Bild speichern", [&](Bildformat format) { return Bodenbild(*f, bereich_, format); });
  });
  connect(daten, &QPushButton::clicked, this, [this, &aus] {
    const Bodenfeld* f = jahr_ ? jahr_->Tag(Tag()) : nullptr;
    if (f) aus.Daten("2D-Feld speichern", Bodentabelle(*f));
  });

  auto* zeile = new QHBoxLayout;
  zeile->addWidget(abspielen_);
  zeile->addWidget(schieber_, 1);
  zeile->addWidget(tag_);
  zeile->addWidget(bild);
  zeile->addWidget(daten);
  auto* spalte = new QVBoxLayout(this);
  spalte->addWidget(ansicht_, 1);
  spalte->addLayout(zeile);
  resize(Bildgroesse + QSize(20, 60));
}

void Bodenfenster::Zeige(const Bodenjahr& jahr) {
  const int vorher = Tag();
  jahr_ = &jahr;
  bereich_ = jahr.Bereich();
  const int n = static_cast<int>(jahr.Tage().size());
  int index = 0;
  for (int i = 0; i < n; ++i)
    if (jahr.Tage()[i].Tag == vorher) index = i;
  schieber_->blockSignals(true);
  schieber_->setRange(0, std::max(n - 1, 0));
  schieber_->setValue(index);
  schieber_->blockSignals(false);
  TagGewaehlt(index);
}

int Bodenfenster::Tag() const {
  if (jahr_ == nullptr || jahr_->Leer()) return 0;
  return jahr_->Tage()[std::clamp<size_t>(schieber_->value(), 0, jahr_->Tage().size() - 1)].Tag;
}

void Bodenfenster::TagGewaehlt(int) {
  const Bodenfeld* f = jahr_ ? jahr_->Tag(Tag()) : nullptr;
  tag_->setText(f ? QString("Segment %1, Tag %2").arg(f->Segment).arg(f->Tag) : QString("Kein Feld"));
  ansicht_->Zeige(f, bereich_);
}

void Bodenfenster::hideEvent(QHideEvent* ereignis) {
  abspielen_->setChecked(false);
  QWidget::hideEvent(ereignis);
}

void Bodenfenster::Schritt() {
  if (schieber_->value() >= schieber_->maximum())
    abspielen_->setChecked(false);
  else
    schieber_->setValue(schieber_->value() + 1);
}

}  // namespace terval
