#include "ui/TdlgStandortprofil.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "location/klimaprofil.h"
#include "physics/getsoildata.h"
#include "tables/Referenzdateien.h"

namespace terval {

namespace {

constexpr int Zeilenhoehe = 20;  // pixels of a field or list

const char* const HinweisWind = "Diese Daten werden benötigt für: Berechnung der Windgeschwindigkeit";
const char* const Monate[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

QLineEdit* NeuesFeld(const char* name, const QString& hinweis, int breite = 70) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  e->setStatusTip(hinweis);
  e->setFixedSize(breite, Zeilenhoehe);
  return e;
}

QLabel* NeuesLabel(const QString& text, const QString& hinweis = {}) {
  auto* l = new QLabel(text);
  l->setStatusTip(hinweis);
  return l;
}

QGroupBox* NeueGruppe(const QString& titel, QGridLayout*& raster) {
  auto* g = new QGroupBox(titel);
  raster = new QGridLayout(g);
  raster->setContentsMargins(6, 2, 6, 4);
  raster->setHorizontalSpacing(6);
  raster->setVerticalSpacing(2);
  return g;
}

// A list position as a model value, or the old value when nothing is selected.
int Position(const QComboBox* c, int verschiebung, int alt) {
  return c->currentIndex() < 0 ? alt : c->currentIndex() + verschiebung;
}

}  // namespace

TdlgStandortprofil::TdlgStandortprofil(Modell& m, Oberflaeche& ui, QWidget* parent)
    : QDialog(parent), m_(m), ui_(ui) {
  setObjectName("dlgStandortprofil");
  setWindowTitle("Eigenschaften Standort");
  // The dialog holds many fields in a fixed size: a compact font.
  QFont schrift = font();
  schrift.setPointSizeF(std::min(schrift.pointSizeF(), 8.0));
  setFont(schrift);

  // ---- Basisdaten
  QGridLayout* r = nullptr;
  QGroupBox* basis = NeueGruppe("Basisdaten", r);
  e_locname_ = NeuesFeld("e_locname", "Namen unter dem das Standortprofil gespeichert werden soll", 230);
  auto knopf = [this](const char* name, QStyle::StandardPixmap bild) {
    auto* b = new QToolButton;
    b->setObjectName(name);
    b->setIcon(style()->standardIcon(bild));
    b->setFixedSize(Zeilenhoehe + 2, Zeilenhoehe + 2);
    return b;
  };
  btOpenLocDatei_ = knopf("btOpenLocDatei", QStyle::SP_DialogOpenButton);
  btSaveLoc_ = knopf("btSaveLoc", QStyle::SP_DialogSaveButton);
  bt_savelocas_ = knopf("bt_savelocas", QStyle::SP_DriveFDIcon);
  e_breite_ = NeuesFeld("e_breite", "Breitengrad des Standortes (für Strahlungsdaten)");
  E_laenge_ = NeuesFeld("E_laenge", "Längengrad des Standortes (für Strahlungsdaten), -:wL, +:öL");
  auto* dateiKnoepfe = new QHBoxLayout;
  dateiKnoepfe->setSpacing(2);
  dateiKnoepfe->addWidget(btOpenLocDatei_);
  dateiKnoepfe->addWidget(btSaveLoc_);
  dateiKnoepfe->addWidget(bt_savelocas_);
  dateiKnoepfe->addStretch();
  r->addWidget(NeuesLabel("Ortsname:", e_locname_->statusTip()), 0, 0);
  r->addWidget(e_locname_, 0, 1, 1, 3);
  r->addLayout(dateiKnoepfe, 0, 4);
  r->addWidget(NeuesLabel("Breitengrad:", e_breite_->statusTip()), 1, 0);
  r->addWidget(e_breite_, 1, 1);
  r->addWidget(NeuesLabel("Längengrad:", E_laenge_->statusTip()), 1, 2, Qt::AlignRight);
  r->addWidget(E_laenge_, 1, 3);
  r->setColumnStretch(4, 1);

  // ---- Vegetation / Boden
  QGroupBox* vegetation = NeueGruppe("Vegetation / Boden", r);
  e_veghoehe_ = NeuesFeld("e_veghoehe", "Höhe des Bewuchs");
  cbVegTyp_ = new QComboBox;
  cbVegTyp_->setObjectName("cbVegTyp");
  cbVegTyp_->setStatusTip("Vegetationsart");
  cbVegTyp_->addItems({"normales Gras, geschnitten", "hohes Gras, Korn u.ä., lockerer Bewuchs",
                       "hohes Gras, Korn u.ä, dichter Bewuchs"});
  // Both lists offer only their items, so the model always gets a valid
  // position (a typed name would leave no item selected).
  cbSoils_ = new QComboBox;
  cbSoils_->setObjectName("cbSoils");
  cbSoils_->setStatusTip("Wählen Sie eine der Standardbodenarten aus");
  E_relBodenfeuchte_ =
      NeuesFeld("E_relBodenfeuchte", "Geben Sie einen Startwert für die Bodenfeuchte ein ");
  auto* hinweis1 = new QLabel("Hinweis: Versiegelte Flächen werden im Erdkanaleditor markiert. ");
  auto* hinweis2 =
      new QLabel("Lassen Sie in diesem Fall diese Felder einfach auf den Startwerten stehen, sie werden ignoriert.");
  for (QLabel* l : {hinweis1, hinweis2}) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 128));  // navy
    l->setPalette(p);
    l->setWordWrap(true);
  }
  hinweis1->setObjectName("l_hinweis1");
  hinweis2->setObjectName("l_hinweis2");
  auto* L_preview = new QLabel(
      "Wärmeleitfähigkeit (Wlf) und Temperaturleitfähigkeit (Tlf) für diese Auswahl:");
  L_preview->setObjectName("L_preview");
  L_preview->setWordWrap(true);
  l_tlf_ = new QLabel;
  l_tlf_->setObjectName("l_tlf");
  r->addWidget(NeuesLabel("Mittlere Höhe Vegetation (m):", e_veghoehe_->statusTip()), 0, 0);
  r->addWidget(e_veghoehe_, 0, 1);
  r->addWidget(NeuesLabel("Vegetationstyp:", cbVegTyp_->statusTip()), 1, 0);
  r->addWidget(cbVegTyp_, 1, 1, 1, 2);
  r->addWidget(hinweis1, 2, 0, 1, 3);
  r->addWidget(hinweis2, 3, 0, 1, 3);
  r->addWidget(NeuesLabel("Bodenart vor Ort:", cbSoils_->statusTip()), 4, 0);
  r->addWidget(cbSoils_, 4, 1, 1, 2);
  r->addWidget(NeuesLabel("Relative Feuchte (Startwert %):", E_relBodenfeuchte_->statusTip()), 5, 0);
  r->addWidget(E_relBodenfeuchte_, 5, 1);
  r->addWidget(L_preview, 6, 0, 1, 3);
  r->addWidget(l_tlf_, 7, 0, 1, 3);
  r->setColumnStretch(2, 1);

  // ---- Gebäudedaten
  QGroupBox* gebaeude = NeueGruppe("Gebäudedaten", r);
  e_Tkeller_ = NeuesFeld("e_Tkeller", {});
  E_WlfKellerwand_ = NeuesFeld("E_WlfKellerwand", {});
  E_Kellerwanddicke_ = NeuesFeld("E_Kellerwanddicke", {});
  e_Tfundament_ = NeuesFeld("e_Tfundament", {});
  r->addWidget(new QLabel("Innentemperatur Keller (°C):"), 0, 0);
  r->addWidget(e_Tkeller_, 0, 1);
  r->addWidget(new QLabel("Wärmeleitfähigkeit Kellerwand (W/mK):"), 1, 0);
  r->addWidget(E_WlfKellerwand_, 1, 1);
  r->addWidget(new QLabel("Dicke Kellerwand (m):"), 2, 0);
  r->addWidget(E_Kellerwanddicke_, 2, 1);
  r->addWidget(new QLabel("Basis- Temperatur für überbaute Flächen (°C):"), 3, 0);
  r->addWidget(e_Tfundament_, 3, 1);
  r->setColumnStretch(2, 1);

  // ---- Klimadaten
  QGroupBox* klima = NeueGruppe("Klimadaten (nur für die automatische Erzeugung benötigt)", r);
  e_DeltaTdew_ = NeuesFeld("e_DeltaTdew",
                           "Diese Daten werden benötigt für: Erzeugung der relativen Feuchte", 40);
  cbTruebung_ = new QComboBox;
  cbTruebung_->setObjectName("cbTruebung");
  cbTruebung_->setStatusTip("Diese Daten werden benötigt für: Berechnung der kurzwelligen Strahlung");
  cbTruebung_->addItems({"sauber (0.04)", "mittel (0.07)", "verschmutzt (0.10)"});
  e_wind_mittel_ = NeuesFeld("e_wind_mittel", HinweisWind, 40);
  e_windhoehe_ = NeuesFeld("e_windhoehe", HinweisWind, 40);
  e_wind_tn_ = NeuesFeld("e_wind_tn", HinweisWind, 40);

  auto* zeileTdew = new QHBoxLayout;
  zeileTdew->addWidget(NeuesLabel("Differenz Tdew zu Tmin:", e_DeltaTdew_->statusTip()));
  zeileTdew->addWidget(e_DeltaTdew_);
  zeileTdew->addWidget(NeuesLabel("(0= humider Standort bis 2= arider Standort)", e_DeltaTdew_->statusTip()));
  zeileTdew->addStretch();
  auto* zeileTruebung = new QHBoxLayout;
  zeileTruebung->addWidget(NeuesLabel("Trübung der Luft:", cbTruebung_->statusTip()));
  zeileTruebung->addWidget(cbTruebung_);
  zeileTruebung->addStretch();
  auto* zeileWind = new QHBoxLayout;
  zeileWind->addWidget(NeuesLabel("Tagesmittel Wind:", HinweisWind));
  zeileWind->addWidget(e_wind_mittel_);
  zeileWind->addWidget(NeuesLabel("Messhöhe:", HinweisWind));
  zeileWind->addWidget(e_windhoehe_);
  zeileWind->addWidget(NeuesLabel("Tag/Nacht Verhältnis:", HinweisWind));
  zeileWind->addWidget(e_wind_tn_);
  zeileWind->addStretch();

  // Month k in grid column k + 1, all month columns equally wide, with one
  // empty column of that width on either side. Each precipitation field is
  // centred under its month across three columns: odd months on the upper
  // row, even months on the lower.
  const QString hinweisWetter =
      "Diese Daten werden benötigt für: Berechnung der kurzwelligen Strahlung (Wolken) und "
      "Verteilung des Niederschlags";
  const QString hinweisNs = "Diese Daten werden benötigt für: Erzeugung der Niederschlagsdaten";
  constexpr int Monatsbreite = 25;  // pixels
  auto* monate = new QGridLayout;
  monate->setHorizontalSpacing(0);
  monate->setVerticalSpacing(1);
  monate->addWidget(NeuesLabel("Wetterqualität:", hinweisWetter), 0, 0);
  monate->addWidget(NeuesLabel("Schön", hinweisWetter), 1, 0, Qt::AlignRight | Qt::AlignTop);
  monate->addWidget(NeuesLabel("Schlecht", hinweisWetter), 1, 0, Qt::AlignRight | Qt::AlignBottom);
  auto* niederschlag = NeuesLabel("Niederschlag (mm):", hinweisNs);
  niederschlag->setWordWrap(true);
  monate->addWidget(niederschlag, 2, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
  for (int k = 1; k <= 12; ++k) {
    auto* monat = NeuesLabel(Monate[k - 1], hinweisWetter);
    monat->setAlignment(Qt::AlignCenter);
    monate->addWidget(monat, 0, k + 1);
    auto* tb = new QSlider(Qt::Vertical);
    tb->setObjectName(QString("tb%1").arg(k, 2, 10, QChar('0')));
    tb->setStatusTip(hinweisWetter);
    tb->setRange(1, 3);
    tb->setInvertedAppearance(true);  // 1 "Schön" at the top
    tb->setInvertedControls(true);
    tb->setTickPosition(QSlider::NoTicks);
    tb->setPageStep(1);
    tb->setValue(2);
    tb->setFixedHeight(40);
    tb_[k] = tb;
    monate->addWidget(tb, 1, k + 1, Qt::AlignHCenter);
    auto* ens = NeuesFeld(qPrintable(QString("ens%1").arg(k)), hinweisNs, 40);
    ens_[k] = ens;
    monate->addWidget(ens, k % 2 ? 2 : 3, k, 1, 3, Qt::AlignHCenter);
  }
  for (int spalte = 1; spalte <= 14; ++spalte) {
    monate->setColumnMinimumWidth(spalte, Monatsbreite);
    monate->setColumnStretch(spalte, 0);
  }
  monate->setColumnStretch(15, 1);

  auto* klimaSpalte = new QVBoxLayout;
  klimaSpalte->setSpacing(2);
  klimaSpalte->addLayout(zeileTdew);
  klimaSpalte->addLayout(zeileTruebung);
  klimaSpalte->addLayout(zeileWind);
  klimaSpalte->addLayout(monate);
  r->addLayout(klimaSpalte, 0, 0);

  // ---- Buttons
  auto* Button2 = new QPushButton("Übernehmen");
  Button2->setObjectName("Button2");
  auto* Button1 = new QPushButton("Schliessen");
  Button1->setObjectName("Button1");
  for (QPushButton* b : {Button1, Button2}) {
    b->setAutoDefault(false);
    b->setFixedHeight(Zeilenhoehe + 2);
  }
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch();
  knoepfe->addWidget(Button2);
  knoepfe->addWidget(Button1);

  auto* spalte = new QVBoxLayout(this);
  spalte->setContentsMargins(6, 2, 6, 4);
  spalte->setSpacing(2);
  for (QComboBox* c : {cbVegTyp_, cbSoils_, cbTruebung_}) c->setFixedHeight(Zeilenhoehe);
  spalte->addWidget(basis);
  spalte->addWidget(vegetation);
  spalte->addWidget(gebaeude);
  spalte->addWidget(klima);
  spalte->addLayout(knoepfe);

  connect(Button2, &QPushButton::clicked, this, &TdlgStandortprofil::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(btOpenLocDatei_, &QToolButton::clicked, this, &TdlgStandortprofil::btOpenLocDateiClick);
  connect(btSaveLoc_, &QToolButton::clicked, this, &TdlgStandortprofil::bt_savelocasClick);
  connect(bt_savelocas_, &QToolButton::clicked, this, &TdlgStandortprofil::bt_savelocasClick);
  connect(cbSoils_, &QComboBox::currentIndexChanged, this, &TdlgStandortprofil::cbSoilsChange);
  connect(E_relBodenfeuchte_, &QLineEdit::textChanged, this, &TdlgStandortprofil::cbSoilsChange);
  for (QLineEdit* e : findChildren<QLineEdit*>())
    if (e != e_locname_) Zahlenfeld(e);

  // A wrapped label in a grid gets the height of one line less than it
  // needs ("werden ignoriert." fell off): reserve its lines at the width it
  // has in a dialog of 463 pixels.
  for (QLabel* l : {hinweis1, hinweis2}) l->setMinimumHeight(l->heightForWidth(400));

  // A fixed dialog of 463 x 586, larger only when the system's fonts need it.
  setFixedSize(minimumSizeHint().expandedTo(QSize(463, 586)));
}

int TdlgStandortprofil::ShowStandortprofil() {
  WerteAnzeigen();
  return exec();
}

void TdlgStandortprofil::WerteAnzeigen() {
  auto zeige = [](QLineEdit* e, float wert, int nachkomma) {
    ZeigeModellwert(e, QText(FormatReal(wert, 0, nachkomma)));
  };
  // The preview follows once at the end, not for every item added.
  {
    const QSignalBlocker sperre(cbSoils_);
    cbSoils_->clear();
    for (int b = 1; b <= std::min<int>(m_.AnzBoeden, MaxBoeden); ++b)
      cbSoils_->addItem(QText(m_.Boeden[b].BodenName));
    setWindowTitle(QText("Standortprofil (" + m_.Standortdatei + ")"));
    cbSoils_->setCurrentIndex(m_.Bodenart >= 1 && m_.Bodenart <= cbSoils_->count() ? m_.Bodenart - 1 : -1);
  }
  {
    const QSignalBlocker sperre(E_relBodenfeuchte_);
    zeige(E_relBodenfeuchte_, m_.StartBodenfeuchte, 1);
  }
  zeige(e_Tkeller_, m_.T_Keller, 2);
  zeige(E_WlfKellerwand_, m_.wlf_kellerwand, 2);
  zeige(E_Kellerwanddicke_, m_.kellerwand_dicke, 2);
  zeige(e_Tfundament_, m_.T_Fundament, 2);
  e_locname_->setText(QText(m_.Ortsname));
  zeige(e_breite_, m_.Breitengrad, 2);
  zeige(E_laenge_, m_.Laengengrad, 2);
  zeige(e_veghoehe_, m_.Veg_Hoehe, 2);
  cbVegTyp_->setCurrentIndex(m_.Veg_typ >= 1 && m_.Veg_typ <= 3 ? m_.Veg_typ - 1 : -1);
  zeige(e_DeltaTdew_, m_.Diff_Tdew, 1);
  cbTruebung_->setCurrentIndex(m_.Truebung >= 0 && m_.Truebung <= 2 ? m_.Truebung : -1);
  zeige(e_wind_mittel_, m_.Wg_mittel, 2);
  zeige(e_wind_tn_, m_.Wg_Tag_Nacht, 2);
  zeige(e_windhoehe_, m_.WG_Messhoehe, 2);
  for (int k = 1; k <= 12; ++k) {
    tb_[k]->setValue(std::clamp(m_.Wetter_[k], 1, 3));  // outside 1..3: the nearer end
    zeige(ens_[k], m_.Ns_[k], 1);
  }
  cbSoilsChange();
}

void TdlgStandortprofil::WerteUebernehmen() {
  // Only an edited field is read: the shown text may be rounded (a
  // precipitation of 66.35 shows as "66.3").
  auto nimm = [](QLineEdit* e, float& wert) {
    if (!Unveraendert(e))
      if (const std::optional<float> z = FeldZahl(e->text())) wert = *z;
    Abgeglichen(e);
  };
  m_.Truebung = Position(cbTruebung_, 0, m_.Truebung);
  nimm(e_breite_, m_.Breitengrad);
  nimm(E_laenge_, m_.Laengengrad);
  m_.Ortsname = StdText(e_locname_->text());
  nimm(e_veghoehe_, m_.Veg_Hoehe);
  if (!(m_.Veg_Hoehe > 0)) m_.Veg_Hoehe = 0.5f;
  m_.Veg_typ = Position(cbVegTyp_, 1, m_.Veg_typ);
  m_.Bodenart = Position(cbSoils_, 1, m_.Bodenart);
  nimm(E_relBodenfeuchte_, m_.StartBodenfeuchte);
  nimm(e_Tkeller_, m_.T_Keller);
  nimm(E_WlfKellerwand_, m_.wlf_kellerwand);
  nimm(E_Kellerwanddicke_, m_.kellerwand_dicke);
  nimm(e_Tfundament_, m_.T_Fundament);
  nimm(e_DeltaTdew_, m_.Diff_Tdew);
  nimm(e_wind_mittel_, m_.Wg_mittel);
  nimm(e_windhoehe_, m_.WG_Messhoehe);
  nimm(e_wind_tn_, m_.Wg_Tag_Nacht);
  for (int k = 1; k <= 12; ++k) {
    m_.Wetter_[k] = tb_[k]->value();
    nimm(ens_[k], m_.Ns_[k]);
  }
  emit OrtsnameGeaendert(QText(m_.Ortsname));
}

void TdlgStandortprofil::cbSoilsChange() {
  const int p = cbSoils_->currentIndex();
  if (p < 0) return;
  // Typing 150 passes 15 on its way: what cannot be shown must not leave
  // the value of 15 % standing.
  const auto zeile = BodenVorschau(m_, p + 1, StdText(E_relBodenfeuchte_->text()));
  l_tlf_->setText(zeile ? QText(*zeile) : QString());
}

void TdlgStandortprofil::Button2Click() {
  if (ZahlenPruefen(this, ui_)) WerteUebernehmen();
}

void TdlgStandortprofil::done(int ergebnis) {
  if (ZahlenPruefen(this, ui_)) QDialog::done(ergebnis);
}

void TdlgStandortprofil::btOpenLocDateiClick() {
  Dateiwahl wahl;
  wahl.titel = "Standortprofil öffnen";
  wahl.filter = "Standorte (*.loc.db);;Alle Dateien (*.*)";
  wahl.verzeichnis = QText(m_.Startverzeichnis);
  const QString pfad = DateiWaehlen(wahl);
  if (pfad.isEmpty()) return;
  // The file's values are in the model at once; a refused file changes nothing.
  if (LadeStandortdatei(m_, ui_, StdText(pfad))) WerteAnzeigen();
}

void TdlgStandortprofil::bt_savelocasClick() { Speichern(sender() == bt_savelocas_); }

void TdlgStandortprofil::Speichern(bool unterNeuemNamen) {
  std::string pfad = m_.Standortdatei;
  if (!ZahlenPruefen(this, ui_)) return;
  if (unterNeuemNamen) {
    Dateiwahl wahl;
    wahl.titel = "Standortprofil speichern";
    wahl.filter = "Standorte (*.loc.db);;Alle Dateien (*.*)";
    wahl.verzeichnis = QText(Verzeichnisanteil(m_.Standortdatei));
    wahl.endung = "loc.db";
    wahl.speichern = true;
    const QString gewaehlt = DateiWaehlen(wahl);
    if (gewaehlt.isEmpty()) return;
    pfad = StdText(gewaehlt);
    m_.Startverzeichnis = Verzeichnisanteil(pfad);  // the next open dialog starts here
  }
  // The file always holds what the dialog shows. It takes the name of the
  // file only once it has been written (a failed save keeps the old one).
  WerteUebernehmen();
  SpeichereStandortdatei(m_, ui_, pfad);
  WerteAnzeigen();
}

QString TdlgStandortprofil::DateiWaehlen(const Dateiwahl& wahl) { return ZeigeDateidialog(this, wahl); }

bool TdlgStandortprofil::event(QEvent* e) {
  if (HinweisWeitergeben(e, ui_)) return true;
  return QDialog::event(e);
}

}  // namespace terval
