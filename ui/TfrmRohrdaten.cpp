#include "ui/TfrmRohrdaten.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

QLineEdit* NeuesFeld(const char* name, const QString& hinweis) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  e->setStatusTip(hinweis);
  return e;
}

// A number of this dialog: text that is not a number counts as 0.
double Zahl(const QLineEdit* e) { return ParseZahl(StdText(e->text())).value_or(0.0); }

}  // namespace

TfrmRohrdaten::TfrmRohrdaten(Modell& m, Oberflaeche& ui, QWidget* parent)
    : QDialog(parent), m_(m), ui_(ui) {
  setObjectName("frmRohrdaten");
  setWindowTitle("Rohrdaten Erdkanal");

  rbHauptstrang_ = new QRadioButton("Rohrtype Hauptstrang");
  rbHauptstrang_->setObjectName("rbHauptstrang");
  rbHauptstrang_->setStatusTip("Zeigt die Rohrdaten für den Hauptstrang (Einzelrohr) an");
  rbHauptstrang_->setChecked(true);
  rbRegister_ = new QRadioButton("Rohrtype Register");
  rbRegister_->setObjectName("rbRegister");
  rbRegister_->setStatusTip("Zeigt die Daten für ein rohr im rohrregister an");

  e_Rohrname_ = NeuesFeld("e_Rohrname", "Name des Rohrtypes ");
  e_idurchm_ = NeuesFeld("e_idurchm", "Geben Sie den Radius des Rohres gemessen an der Außenwand an");
  E_rohrdicke_ = NeuesFeld("E_rohrdicke", "Geben Sie die Dicke der Rohrwandung an");
  e_Rohrwlf_ = NeuesFeld("e_Rohrwlf", {});
  e_seglaenge_ = NeuesFeld("e_seglaenge", "Geben Sie die Länge eines Rohrsegmentes ein");
  for (QLineEdit* e : {e_idurchm_, E_rohrdicke_, e_Rohrwlf_, e_seglaenge_}) e->setFixedWidth(80), Zahlenfeld(e);
  e_Rohrname_->setMinimumWidth(230);

  cbRohrtypen_ = new QComboBox;
  cbRohrtypen_->setObjectName("cbRohrtypen");
  cbRohrtypen_->setStatusTip("In der Datei ROHRE.DBF definierte Rohrtypen");
  cbRohrtypen_->setMinimumWidth(230);
  btCopyData_ = new QPushButton("<- Werte kopieren");
  btCopyData_->setObjectName("btCopyData");
  btCopyData_->setStatusTip("Klicken Sie hier, um die vordefinierten Rohrdaten zu übernehmen");
  btCopyData_->setAutoDefault(false);

  auto* ok = new QPushButton("OK");
  ok->setObjectName("btOK");
  ok->setDefault(true);

  auto* felder = new QFormLayout;
  auto zeile = [felder](const QString& text, QLineEdit* e) {
    auto* l = new QLabel(text);
    l->setStatusTip(e->statusTip());
    felder->addRow(l, e);
  };
  zeile("Name:", e_Rohrname_);
  zeile("Innendurchmesser in mm:", e_idurchm_);
  zeile("Dicke der Wandung in mm:", E_rohrdicke_);
  zeile("Wärmeleitfähigkeit W/mK:", e_Rohrwlf_);

  auto* typen = new QHBoxLayout;
  typen->addWidget(rbHauptstrang_);
  typen->addWidget(rbRegister_);
  typen->addStretch();

  auto* katalog = new QGroupBox("Vordefinierte Rohrtypen");
  auto* katalogZeile = new QVBoxLayout(katalog);
  katalogZeile->addWidget(cbRohrtypen_);
  katalogZeile->addWidget(btCopyData_, 0, Qt::AlignLeft);

  auto* oben = new QHBoxLayout;
  oben->addLayout(felder);
  oben->addSpacing(12);
  oben->addWidget(katalog, 0, Qt::AlignTop);

  auto* laenge = new QFormLayout;
  auto* l = new QLabel("Länge eines Rohrsegments:");
  l->setStatusTip(e_seglaenge_->statusTip());
  laenge->addRow(l, e_seglaenge_);

  auto* unten = new QHBoxLayout;
  unten->addLayout(laenge);
  unten->addStretch();
  unten->addWidget(ok);

  auto* spalte = new QVBoxLayout(this);
  spalte->addLayout(typen);
  spalte->addLayout(oben);
  spalte->addLayout(unten);

  connect(rbHauptstrang_, &QRadioButton::clicked, this, &TfrmRohrdaten::rbHauptstrangClick);
  connect(rbRegister_, &QRadioButton::clicked, this, &TfrmRohrdaten::rbRegisterClick);
  connect(btCopyData_, &QPushButton::clicked, this, &TfrmRohrdaten::btCopyDataClick);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int TfrmRohrdaten::zeigen() {
  Vorbereiten();
  const int ergebnis = exec();
  Dlg2Mem(k_);
  return ergebnis;
}

void TfrmRohrdaten::Vorbereiten() {
  k_ = rbHauptstrang_->isChecked() ? 1 : 2;
  Mem2Dlg(k_);
  cbRohrtypen_->clear();
  for (int i = 1; i <= std::min(m_.Anz_Rohrtypen, MaxRohrtypen); ++i)
    cbRohrtypen_->addItem(QText(m_.Rohrtypen[i].Name));
  ZeigeModellwert(e_seglaenge_, QText(FormatReal(m_.Rohrdaten.Seglaenge, 1, 2)));
  // The second entry is preselected; a catalogue of one entry offers its only one.
  cbRohrtypen_->setCurrentIndex(std::min(1, cbRohrtypen_->count() - 1));
}

void TfrmRohrdaten::Mem2Dlg(int k) {
  const TRohrdaten& r = m_.Rohrdaten;
  e_Rohrname_->setText(QText(r.Rohrname[k]));
  ZeigeModellwert(e_idurchm_, QText(FormatReal(
                                  (static_cast<double>(r.Rohr_Ra[k]) - r.Rohr_Dicke[k]) * 2 * 1000, 3, 0)));
  ZeigeModellwert(E_rohrdicke_, QText(FormatReal(static_cast<double>(r.Rohr_Dicke[k]) * 1000, 2, 0)));
  ZeigeModellwert(e_Rohrwlf_, QText(FormatReal(r.Rohr_wlf[k], 2, 2)));
}

double TfrmRohrdaten::Segmentlaenge() const {
  return Unveraendert(e_seglaenge_) ? m_.Rohrdaten.Seglaenge : Zahl(e_seglaenge_);
}

void TfrmRohrdaten::Dlg2Mem(int k) {
  TRohrdaten& r = m_.Rohrdaten;
  // The fields show whole millimetres: a field still showing the model's
  // value keeps it exactly (a wall of 11.9 mm shown as "12" stays 11.9 mm).
  // A field that holds no number keeps the model's value (and stays red).
  auto neu = [](const QLineEdit* e) { return !Unveraendert(e) && ZahlLesbar(e->text(), false); };
  const bool neueDicke = neu(E_rohrdicke_);
  const bool neuerDurchmesser = neu(e_idurchm_);
  const double innenradius = static_cast<double>(r.Rohr_Ra[k]) - r.Rohr_Dicke[k];
  r.Rohrname[k] = StdText(e_Rohrname_->text());
  if (neueDicke) r.Rohr_Dicke[k] = static_cast<float>(Zahl(E_rohrdicke_));
  if (neu(e_Rohrwlf_)) r.Rohr_wlf[k] = static_cast<float>(Zahl(e_Rohrwlf_));
  if (neueDicke) r.Rohr_Dicke[k] = static_cast<float>(r.Rohr_Dicke[k] / 1000.0);
  if (neuerDurchmesser) {
    const double d = Zahl(e_idurchm_) / 1000;
    r.Rohr_Ra[k] = static_cast<float>(d / 2 + r.Rohr_Dicke[k]);
  } else if (neueDicke) {
    // A new wall around the same bore.
    r.Rohr_Ra[k] = static_cast<float>(innenradius + r.Rohr_Dicke[k]);
  }
  if (neu(e_seglaenge_)) r.Seglaenge = static_cast<float>(Zahl(e_seglaenge_));
  for (QLineEdit* e : {e_idurchm_, E_rohrdicke_, e_Rohrwlf_, e_seglaenge_})
    if (ZahlLesbar(e->text(), false)) Abgeglichen(e);
}

void TfrmRohrdaten::Wechsle(int neu) {
  if (neu == k_) return;
  Dlg2Mem(k_);
  k_ = neu;
  rbHauptstrang_->setChecked(k_ == 1);
  rbRegister_->setChecked(k_ == 2);
  Mem2Dlg(k_);
}

void TfrmRohrdaten::rbHauptstrangClick() { Wechsle(1); }
void TfrmRohrdaten::rbRegisterClick() { Wechsle(2); }

void TfrmRohrdaten::btCopyDataClick() {
  const int i = cbRohrtypen_->currentIndex() + 1;
  if (i < 1 || i > std::min(m_.Anz_Rohrtypen, MaxRohrtypen)) return;
  const TRohrtyp& t = m_.Rohrtypen[i];
  // The copied values are new to the model, read like typed ones.
  e_Rohrname_->setText(QText(t.Name));
  ZeigeNeuenWert(e_Rohrwlf_, QText(FormatReal(t.wlf, 2, 2)));
  ZeigeNeuenWert(E_rohrdicke_, QText(FormatReal(static_cast<double>(t.Dicke) * 1000, 3, 0)));
  // The catalogue holds outer diameters: the bore is the outer diameter
  // less the wall on both sides. Single precision, as the catalogue holds the sizes.
  const float x = (t.Aussenmass - 2.0f * t.Dicke) * 1000.0f;
  if (x <= 0)
    ui_.Fehler(
        "Fehler im Datensatz: Aussendurchmesser ist gleich oder kleiner Innendurchmesser !\r"
        "Bitte Wanddicke korrigieren (und Datenbank Rohre.DBF) !");
  ZeigeNeuenWert(e_idurchm_, QText(FormatReal(x, 2, 0)));
}

void TfrmRohrdaten::done(int ergebnis) {
  if (!ZahlenPruefen(this, ui_)) return;
  // The length the model would get is the one checked.
  const double laenge = Segmentlaenge();
  if (!(laenge >= 0.5 && laenge <= 5)) {
    ui_.Fehler(SegmentlaengeFehler);
    return;
  }
  QDialog::done(ergebnis);
}

bool TfrmRohrdaten::event(QEvent* e) {
  if (HinweisWeitergeben(e, ui_)) return true;
  return QDialog::event(e);
}

}  // namespace terval
