#include "ui/TfrmKanaldaten.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "channel/UshowKanaldaten.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "physics/Hydraulik.h"
#include "tables/Referenzdateien.h"
#include "ui/Kanalbild.h"
#include "ui/TdlgLuftweg.h"
#include "ui/TfrmRohrdaten.h"

namespace terval {

namespace {

QLabel* NeuesLabel(const QString& text, const QString& hinweis) {
  auto* l = new QLabel(text);
  l->setStatusTip(hinweis);
  return l;
}

QLineEdit* NeuesFeld(const char* name, const QString& hinweis, int breite = 60) {
  auto* e = Benannt(new QLineEdit, name, hinweis);
  e->setFixedWidth(breite);
  return e;
}

// A small coloured square of the legend.
QLabel* Farbfeld(const QColor& farbe, const QString& hinweis) {
  auto* l = new QLabel;
  l->setFixedSize(12, 12);
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, farbe);
  l->setPalette(p);
  l->setStatusTip(hinweis);
  return l;
}

// Upper-cases the letters a..z only, as the surface column is read.
QString GrossAscii(QString text) {
  for (QChar& c : text)
    if (c >= QChar('a') && c <= QChar('z')) c = QChar(c.unicode() - 'a' + 'A');
  return text;
}

int32_t Ganzzahl32(double wert) {
  return static_cast<int32_t>(std::clamp<double>(wert, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
}

const char* const Spaltenkoepfe[TfrmKanaldaten::Spalten] = {
    "m", "Tiefe", "Anz Rohre", "Abstand R.", "Abst. Geb. links", "Tiefe Geb. links",
    "Abst. Geb. rechts", "Tiefe Geb. rechts", "Überbaut/Versiegelt", "Rohrtype"};

}  // namespace

TfrmKanaldaten::TfrmKanaldaten(Modell& m, Oberflaeche& ui, QWidget* parent)
    : QDialog(parent), m_(m), ui_(ui) {
  setObjectName("frmKanaldaten");
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  rohrdaten_ = new TfrmRohrdaten(m_, ui_, this);

  // ---- Toolbar
  l_Kanallaenge_ = Benannt(new QLabel, "l_Kanallaenge", "Die aktuelle Länge des Kanals");
  e_addsegment_ = NeuesFeld("e_addsegment",
                            "Geben Sie hier die Anzahl der hinzuzufügenden Elemente ein", 40);
  auto* bt_addsegment = Benannt(
      new QPushButton("Segmente hinzufügen"), "bt_addsegment",
      "Fügt die links angegebene Zahl Segment hinzu. Die Daten des letzten bestehenden Segmentes "
      "werden kopiert.");
  auto knopf = [this](const char* name, QStyle::StandardPixmap bild, const QString& hinweis) {
    auto* b = Benannt(new QToolButton, name, hinweis);
    b->setIcon(style()->standardIcon(bild));
    return b;
  };
  auto* btNew = knopf("btNew", QStyle::SP_FileIcon, "Beginnt einen neuen Erdkanal");
  auto* btOpenKanal = knopf("btOpenKanal", QStyle::SP_DialogOpenButton, "Öffnet einen bestehenden Erdkanal");
  btSaveKanal_ = knopf("btSaveKanal", QStyle::SP_DialogSaveButton, "Speichert den aktuellen Erdkanal");
  bt_saveas_ = knopf("bt_saveas", QStyle::SP_DriveFDIcon,
                     "Speichert den aktuellen Erdkanal unter einen neuen Namen");
  auto* bt_aktdatafromTab =
      knopf("bt_aktdatafromTab", QStyle::SP_BrowserReload,
            "Übernimmt die Daten in der Tabelle in den Speicher und in die Graphik");
  for (QPushButton* b : {bt_addsegment}) b->setAutoDefault(false);

  auto* leiste = new QHBoxLayout;
  leiste->addWidget(l_Kanallaenge_);
  leiste->addSpacing(16);
  leiste->addWidget(e_addsegment_);
  leiste->addWidget(bt_addsegment);
  leiste->addSpacing(16);
  for (QToolButton* b : {btNew, btOpenKanal, btSaveKanal_, bt_saveas_, bt_aktdatafromTab})
    leiste->addWidget(b);
  leiste->addStretch();

  // ---- Segment table
  sgKanal_ = Benannt(new QTableWidget(0, Spalten), "sgKanal", "Die Tabelle zeigt die Kanaldaten als Text an");
  QStringList koepfe;
  for (const char* k : Spaltenkoepfe) koepfe << k;
  sgKanal_->setHorizontalHeaderLabels(koepfe);
  sgKanal_->verticalHeader()->hide();
  sgKanal_->verticalHeader()->setDefaultSectionSize(20);
  // Every heading readable; the pipe name gets room of its own.
  const QFontMetrics masse(sgKanal_->horizontalHeader()->font());
  for (int s = 0; s < Spalten; ++s)
    sgKanal_->setColumnWidth(s, std::max(56, masse.horizontalAdvance(koepfe[s]) + 18));
  sgKanal_->setColumnWidth(9, 220);

  // ---- Picture
  kanalimg_ = new Kanalbild(m_);
  kanalimg_->setStatusTip("Grafische Darstellung des Kanals. Die  Farbmarkierungen sind unten erläutert.");
  bildbox_ = new QScrollArea;
  bildbox_->setObjectName("sb_kanalimg");
  bildbox_->setWidget(kanalimg_);
  bildbox_->setWidgetResizable(false);
  bildbox_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  bildbox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  bildbox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  bildbox_->setFixedHeight(Kanalbild::Hoehe + bildbox_->horizontalScrollBar()->sizeHint().height() +
                           2 * bildbox_->frameWidth());

  // ---- Tool row and legend
  cb_toollist_ = Benannt(new QComboBox, "cb_toollist",
                         "Wählen Sie eine Eigenschaft des Kanals aus, die Sie ändern möchten");
  cb_toollist_->addItems({"(Anzeigen)", "Kanaltiefe=", "Anzahl der Rohre=", "Rohrabstand=",
                          "Abstand linke Bebauung=", "Abstand rechte bebauung=",
                          "Tiefe linke Bebauung=", "Tiefe rechte Bebauung=", "Überbaut=",
                          "Versiegelt=", "[Segment LÖSCHEN]"});
  E_toolvalue_ = NeuesFeld("E_toolvalue",
                           "Geben Sie hier den neuen Wert der Eigenschaft links an. Für Ja/Nein Fragen "
                           "geben Sie \"0\" für Nein und \"1\" für Ja an.");
  QFont klein("Arial");
  klein.setPointSize(7);
  auto* lLaenge = NeuesLabel("Kanallänge", "Wert in dieser Schrift geben die laufende Kanallänge an");
  auto* lTiefe = NeuesLabel("Verlegungstiefe", "Werte in dieser Schrift geben die Verlegungstiefe das Kanals an");
  lLaenge->setFont(klein);
  lTiefe->setFont(klein);
  QPalette gruen = lTiefe->palette();
  gruen.setColor(QPalette::WindowText, Kanalbild::Tiefenschrift());
  lTiefe->setPalette(gruen);
  const QString hinweisUeberbaut = "Zeigt an, dass ein Segment überbaut ist";
  const QString hinweisVersiegelt = "Zeigt an, dass ein Segment versiegelt ist";
  const QString hinweisGebaeude = "Markiert nahe Gebäude rechts und links vom Kanal";

  auto* werkzeug = new QHBoxLayout;
  werkzeug->addWidget(cb_toollist_);
  werkzeug->addWidget(E_toolvalue_);
  werkzeug->addSpacing(24);
  werkzeug->addWidget(lLaenge);
  werkzeug->addSpacing(10);
  werkzeug->addWidget(lTiefe);
  werkzeug->addSpacing(10);
  werkzeug->addWidget(Farbfeld(Kanalbild::Ueberbaut(), hinweisUeberbaut));
  werkzeug->addWidget(NeuesLabel("Überbaut", hinweisUeberbaut));
  werkzeug->addSpacing(10);
  werkzeug->addWidget(Farbfeld(Kanalbild::Versiegelt(), hinweisVersiegelt));
  werkzeug->addWidget(NeuesLabel("Versiegelt", hinweisVersiegelt));
  werkzeug->addSpacing(10);
  werkzeug->addWidget(Farbfeld(Kanalbild::GebaeudeTief(), hinweisGebaeude));
  werkzeug->addWidget(Farbfeld(Kanalbild::GebaeudeFlach(), hinweisGebaeude));
  werkzeug->addWidget(NeuesLabel("Gebäude ", hinweisGebaeude));
  werkzeug->addStretch();

  // ---- Operation settings
  auto* basis = new QGroupBox("Basisdaten Erdkanal");
  basis->setObjectName("gb_Basisdaten");
  eVolstrom_ = NeuesFeld("eVolstrom", "Volumenstrom unter Normalbetrieb");
  eVolAusZustand_ = NeuesFeld("eVolAusZustand", "Volumentstrom im \"Aus\"-Zustand. (Normalerweise gleich 0)");
  cb_5tagesbetrieb_ = Benannt(
      new QCheckBox("5-Tages Betrieb"), "cb_5tagesbetrieb",
      "Der Erdkanal wird jeden 6ten und 7ten Tag nur mit dem \"Aus\"-Volumentstrom betrieben. "
      "(Unabhängig von den oben angegebenen Schaltzeiten)");
  rb_[0] = Benannt(new QRadioButton("konstanter Betrieb"), "rbConstVol",
                   "Konstanter Betrieb: Der Kanal ist 24 Stunden, 7 Tage im Betrieb unter der in "
                   "\"Basisvolumenstrom\" angegebenen Last.");
  rb_[1] = Benannt(new QRadioButton("Betrieb nach Uhrzeit"), "rbSchaltzeitbetrieb",
                   "Geregelter Betrieb: Der Erdkanal wird nur zu gewissen Zeiten eingeschaltet. Zur "
                   "übrigen Zeit wird er mit der unter \"Volumenstrom im Aus-Zustand\" angegebenen "
                   "Last betrieben");
  rb_[2] = Benannt(new QRadioButton("Betrieb nach Temperatur"), "rbTemperaturbetrieb",
                   "Geregelter Betrieb: Der Erdkanal wird nur zum Kühlen und zum Heizen "
                   "eingeschaltet. Bei Aussentemperaturen zwischen den Schaltwerten befindet er sich "
                   "im \"Aus\"-Zustand");
  rb_[3] = Benannt(new QRadioButton("Zeit UND Temperatursteuerung"), "rbZeitundTemp",
                   "Kanalbetrieb wird durch Schaltzeiten und durch Temperaturschwellen gesteuert. "
                   "(Temperatursteuerung nur während des \"Ein\"-Zustands)");
  betriebsart_ = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) betriebsart_->addButton(rb_[i], i);
  rb_[0]->setChecked(true);
  eVolein_zeit_ = NeuesFeld("eVolein_zeit", "Uhrzeit, zu der der Erdkanaleingeschaltet wird", 40);
  eVolaus_zeit_ = NeuesFeld("eVolaus_zeit", "Uhrzeit, zu der der Erdkanal ausgeschaltet wird", 40);
  evol_heizT_ = NeuesFeld("evol_heizT",
                          "Aussentemperatur, unterhalb der der Erdkanal zum Heizen eingeschaltet wird", 50);
  evol_kuehlT_ = NeuesFeld("evol_kuehlT",
                           "Aussentemperatur, oberhalb der der Erdkanal zum Kühlen eingeschaltet wird", 50);

  auto* raster = new QGridLayout(basis);
  raster->setVerticalSpacing(3);
  raster->addWidget(NeuesLabel("Basis Volumenstrom in m3/h:", eVolstrom_->statusTip()), 0, 0);
  raster->addWidget(eVolstrom_, 0, 1);
  raster->addWidget(NeuesLabel("Volumenstrom im \"Aus\"-Zustand:", eVolAusZustand_->statusTip()), 1, 0);
  raster->addWidget(eVolAusZustand_, 1, 1);
  raster->addWidget(cb_5tagesbetrieb_, 3, 0, 1, 2);
  raster->setColumnMinimumWidth(2, 20);
  for (int i = 0; i < 4; ++i) raster->addWidget(rb_[i], i, 3);
  auto* zeiten = new QHBoxLayout;
  zeiten->addWidget(NeuesLabel("Zeitsteuerung Ein:", eVolein_zeit_->statusTip()));
  zeiten->addWidget(eVolein_zeit_);
  zeiten->addWidget(NeuesLabel("Aus:", eVolaus_zeit_->statusTip()));
  zeiten->addWidget(eVolaus_zeit_);
  zeiten->addStretch();
  auto* temperaturen = new QHBoxLayout;
  temperaturen->addWidget(NeuesLabel("Kein Betrieb von:", evol_heizT_->statusTip()));
  temperaturen->addWidget(evol_heizT_);
  temperaturen->addWidget(NeuesLabel("bis ", evol_kuehlT_->statusTip()));
  temperaturen->addWidget(evol_kuehlT_);
  temperaturen->addWidget(new QLabel("°C"));
  temperaturen->addStretch();
  raster->addLayout(zeiten, 1, 4);
  raster->addLayout(temperaturen, 2, 4);
  raster->setColumnStretch(5, 1);

  // ---- Bottom
  auto* btShowRohrdata = Benannt(
      new QPushButton("Rohrdaten anzeigen/ bearbeiten..."), "btShowRohrdata",
      "Klicken Sie hier, um die Rohreigenschaften wie Material und Segmentlänge zu editieren");
  auto* btClose = Benannt(new QPushButton("Schließen"), "btClose", {});
  btShowRohrdata->setAutoDefault(false);
  btClose->setAutoDefault(false);
  l_Luftweg_ = Benannt(new QLabel, "l_Luftweg",
                       "Druckverlust des Kanals beim Basis-Volumenstrom (Luft 20 °C) und die Luftgeschwindigkeit "
                       "in Hauptstrang und Registern");
  l_LuftwegWarnung_ = Benannt(new QLabel, "l_LuftwegWarnung",
                              "Über 3 m/s wird der Druckverlust groß und die Luft hörbar");
  l_LuftwegWarnung_->setStyleSheet("color: #b00000");
  l_Luftweg_->setWordWrap(true);  // a narrow window breaks the line rather than growing
  auto* unten = new QHBoxLayout;
  unten->addWidget(btShowRohrdata);
  auto* btLuftweg = Benannt(new QPushButton("Luftweg..."), "btLuftweg",
                            "Rauhigkeit, Verlustbeiwerte, Filter und Wirkungsgrad des Ventilators");
  btLuftweg->setAutoDefault(false);
  unten->addWidget(btLuftweg);
  unten->addSpacing(16);
  unten->addWidget(l_Luftweg_, 1);
  unten->addWidget(l_LuftwegWarnung_);
  unten->addStretch();
  unten->addWidget(btClose);

  auto* spalte = new QVBoxLayout(this);
  spalte->addLayout(leiste);
  spalte->addWidget(sgKanal_, 1);
  spalte->addWidget(bildbox_);
  spalte->addLayout(werkzeug);
  spalte->addWidget(basis);
  spalte->addLayout(unten);
  resize(1000, 620);  // fits a screen of 1024 x 640 with the window frame

  connect(bt_addsegment, &QPushButton::clicked, this, &TfrmKanaldaten::bt_addsegmentClick);
  connect(btNew, &QToolButton::clicked, this, &TfrmKanaldaten::btNewClick);
  connect(btOpenKanal, &QToolButton::clicked, this, &TfrmKanaldaten::btOpenKanalClick);
  connect(btSaveKanal_, &QToolButton::clicked, this, &TfrmKanaldaten::btSaveKanalClick);
  connect(bt_saveas_, &QToolButton::clicked, this, &TfrmKanaldaten::btSaveKanalClick);
  connect(bt_aktdatafromTab, &QToolButton::clicked, this, &TfrmKanaldaten::bt_aktdatafromTabClick);
  connect(kanalimg_, &Kanalbild::Maustaste, this, &TfrmKanaldaten::kanalimgMouseDown);
  connect(cb_toollist_, &QComboBox::currentIndexChanged, this, &TfrmKanaldaten::cb_toollistChange);
  connect(rb_[0], &QRadioButton::clicked, this, &TfrmKanaldaten::rbConstVolClick);
  connect(rb_[1], &QRadioButton::clicked, this, &TfrmKanaldaten::rbSchaltzeitbetriebClick);
  connect(rb_[2], &QRadioButton::clicked, this, &TfrmKanaldaten::rbTemperaturbetriebClick);
  connect(rb_[3], &QRadioButton::clicked, this, &TfrmKanaldaten::rbZeitundTempClick);
  connect(btShowRohrdata, &QPushButton::clicked, this, &TfrmKanaldaten::btShowRohrdataClick);
  connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(sgKanal_, &QTableWidget::cellChanged, this, [this](int, int spalte) {
    if (spalte == 2) ZeigeLuftweg();
  });
  connect(eVolstrom_, &QLineEdit::textChanged, this, &TfrmKanaldaten::ZeigeLuftweg);
  luftweg_ = new TdlgLuftweg(ui_, this);
  connect(btLuftweg, &QPushButton::clicked, this, [this] {
    luftweg_->Zeigen(m_.Hydraulik);
    if (luftweg_->exec() == QDialog::Accepted) m_.Hydraulik = luftweg_->Werte();
    ZeigeLuftweg();
  });

  for (QLineEdit* e : {e_addsegment_, E_toolvalue_, eVolstrom_, eVolAusZustand_, eVolein_zeit_, eVolaus_zeit_,
                       evol_heizT_, evol_kuehlT_})
    Zahlenfeld(e);
  // Columns 1..7 hold numbers.
  connect(sgKanal_, &QTableWidget::itemChanged, this, [](QTableWidgetItem* z) {
    if (z->column() >= 1 && z->column() <= 7) ZahlenzelleMarkieren(z);
  });

  SetzeModus(0);
  e_addsegment_->setText("1");
  Mem2Grid();
}

void TfrmKanaldaten::done(int ergebnis) {
  if (ZahlenPruefen(this, ui_)) QDialog::done(ergebnis);
}

int TfrmKanaldaten::zeigen() {
  cb_toollist_->setCurrentIndex(Anzeigen);
  E_toolvalue_->setText("0");
  E_toolvalue_->setEnabled(false);
  Mem2Grid();
  e_addsegment_->setText("1");
  const int ergebnis = exec();
  Grid2Mem();
  return ergebnis;
}

// ---- Model and window ------------------------------------------------------------

void TfrmKanaldaten::SetzeZelle(int zeile, int spalte, const QString& text) {
  QTableWidgetItem* z = sgKanal_->item(zeile, spalte);
  if (!z) {
    z = new QTableWidgetItem;
    // The distance and the pipe name are shown only, never read back.
    if (spalte == 0 || spalte == 9) z->setFlags(z->flags() & ~Qt::ItemIsEditable);
    sgKanal_->setItem(zeile, spalte, z);
  }
  ZeigeModellwert(z, text);
}

QString TfrmKanaldaten::Zelle(int zeile, int spalte) const {
  const QTableWidgetItem* z = sgKanal_->item(zeile, spalte);
  return z ? z->text() : QString();
}

void TfrmKanaldaten::SchreibeZeile(int k, bool nummer) {
  const Kanalsegment& s = m_.Segmente[k];
  const int z = k - 1;
  auto zahl = [](float wert) { return QText(FormatReal(wert, 2, 1)); };
  SetzeZelle(z, 0, QText(nummer ? FormatInt(k)
                                : FormatReal(k * static_cast<double>(m_.Rohrdaten.Seglaenge), 1, 2)));
  SetzeZelle(z, 1, zahl(s.Tiefe));
  SetzeZelle(z, 2, QText(FormatInt(s.Anz_Rohre)));
  SetzeZelle(z, 3, zahl(s.Abst_Rohre));
  SetzeZelle(z, 4, zahl(s.Abst_Geb_li));
  SetzeZelle(z, 5, zahl(s.Tief_Geb_li));
  SetzeZelle(z, 6, zahl(s.Abst_Geb_re));
  SetzeZelle(z, 7, zahl(s.Tief_Geb_re));
  // Another code leaves the cell as it was.
  if (s.Überbaut >= 0 && s.Überbaut <= 2) SetzeZelle(z, 8, QStringList{"-", "Ü", "V"}[s.Überbaut]);
  SetzeZelle(z, 9, QText(m_.Rohrdaten.Rohrname[s.Anz_Rohre == 1 ? 1 : 2]));
}

void TfrmKanaldaten::Mem2Grid() {
  const int n = std::clamp(m_.Anz_Segmente, 0, MaxSegmente);
  sgKanal_->setRowCount(n);
  for (int k = 1; k <= n; ++k) SchreibeZeile(k, false);

  l_Kanallaenge_->setText(QText("Aktueller Kanal: " + FormatInt(m_.Anz_Segmente) + " Segmente (=" +
                                FormatReal(m_.Anz_Segmente * static_cast<double>(m_.Rohrdaten.Seglaenge), 1, 2) +
                                " m)"));
  setWindowTitle(QText("Erdkanaldaten (" + m_.Kanaldatei + ")"));

  const TKanalbetrieb& b = m_.Kanalbetrieb;
  eVolstrom_->setText(QText(FormatInt(b.Volstrom)));
  eVolein_zeit_->setText(QText(FormatInt(b.Ein_Zeit)));
  eVolaus_zeit_->setText(QText(FormatInt(b.Aus_Zeit)));
  ZeigeModellwert(evol_heizT_, QText(FormatReal(b.Heiz_T, 2, 2)));
  ZeigeModellwert(evol_kuehlT_, QText(FormatReal(b.Kuehl_T, 2, 2)));
  eVolAusZustand_->setText(QText(FormatInt(b.Vol_Aus)));
  if (b.Betriebsart >= 0 && b.Betriebsart <= 3) {
    SetzeModus(b.Betriebsart);
    if (b.Betriebsart > 0) cb_5tagesbetrieb_->setChecked(b.Fuenftagebetrieb);
  }
  kanalimg_->Aktualisieren();
  ZeigeLuftweg();
}

void TfrmKanaldaten::ZeigeLuftweg() {
  std::vector<int> anzRohre;
  for (int z = 0; z < sgKanal_->rowCount(); ++z) anzRohre.push_back(GanzzahlAmAnfang32(Zelle(z, 2)));
  const int volstrom = GanzzahlAmAnfang32(eVolstrom_->text());
  const Druckverlust d =
      Kanaldruckverlust(anzRohre, m_.Rohrdaten, m_.Hydraulik, volstrom, std::max(volstrom, 0) / 3600.0, Bezugsluft());
  if (!d.gueltig || anzRohre.empty()) {
    l_Luftweg_->setText("Druckverlust bei Basis-Volumenstrom: -");
    l_LuftwegWarnung_->clear();
    return;
  }
  std::string text = "Druckverlust bei Basis-Volumenstrom: " + FormatReal(d.gesamt, 0, 1) + " Pa, Luftgeschwindigkeit";
  if (d.wHauptstrang > 0) text += " Hauptstrang " + FormatReal(d.wHauptstrang, 0, 2) + " m/s";
  if (d.wHauptstrang > 0 && d.wRegister > 0) text += ',';
  if (d.wRegister > 0) text += " Register " + FormatReal(d.wRegister, 0, 2) + " m/s";
  l_Luftweg_->setText(QText(text));
  l_LuftwegWarnung_->setText(std::max(d.wHauptstrang, d.wRegister) > 3.0 ? "Achtung: mehr als 3 m/s!" : "");
}

void TfrmKanaldaten::Grid2Mem() {
  // The cells show one decimal: a cell still showing the model's value keeps
  // it exactly (a spacing of 0.25 m shown as "0.2" stays 0.25 m).
  auto zahl = [this](int zeile, int spalte, float& wert) {
    QTableWidgetItem* z = sgKanal_->item(zeile, spalte);
    if (!z) {
      wert = 0;
      return;
    }
    if (!ZahlLesbar(z->text(), true)) return;  // stays red, the model keeps its value
    if (!Unveraendert(z)) wert = ZahlAmAnfang(z->text());
    Abgeglichen(z);
  };
  auto feld = [](QLineEdit* e, float& wert) {
    if (!ZahlLesbar(e->text(), false)) return;
    if (!Unveraendert(e)) wert = ZahlAmAnfang(e->text());
    Abgeglichen(e);
  };
  auto ganz = [](const QString& text, int32_t& wert) {
    if (ZahlLesbar(text, true)) wert = GanzzahlAmAnfang32(text);
  };
  const int n = std::clamp(m_.Anz_Segmente, 0, std::min(MaxSegmente, sgKanal_->rowCount()));
  for (int k = 1; k <= n; ++k) {
    Kanalsegment& s = m_.Segmente[k];
    const int z = k - 1;
    zahl(z, 1, s.Tiefe);
    ganz(Zelle(z, 2), s.Anz_Rohre);
    zahl(z, 3, s.Abst_Rohre);
    zahl(z, 4, s.Abst_Geb_li);
    zahl(z, 5, s.Tief_Geb_li);
    zahl(z, 6, s.Abst_Geb_re);
    zahl(z, 7, s.Tief_Geb_re);
    const QString flaeche = GrossAscii(Zelle(z, 8));
    s.Überbaut = flaeche == "Ü" ? 1 : flaeche == "V" ? 2 : 0;
  }
  TKanalbetrieb& b = m_.Kanalbetrieb;
  ganz(eVolstrom_->text(), b.Volstrom);
  ganz(eVolein_zeit_->text(), b.Ein_Zeit);
  ganz(eVolaus_zeit_->text(), b.Aus_Zeit);
  feld(evol_heizT_, b.Heiz_T);
  feld(evol_kuehlT_, b.Kuehl_T);
  ganz(eVolAusZustand_->text(), b.Vol_Aus);
  b.Betriebsart = std::max(0, betriebsart_->checkedId());
  b.Fuenftagebetrieb = cb_5tagesbetrieb_->isChecked();
}

void TfrmKanaldaten::SetzeModus(int modus) {
  rb_[modus]->setChecked(true);
  const bool zeit = modus == 1 || modus == 3;
  const bool temperatur = modus == 2 || modus == 3;
  eVolein_zeit_->setEnabled(zeit);
  eVolaus_zeit_->setEnabled(zeit);
  evol_heizT_->setEnabled(temperatur);
  evol_kuehlT_->setEnabled(temperatur);
  cb_5tagesbetrieb_->setEnabled(modus != 0);
}

// ---- Commands --------------------------------------------------------------------

void TfrmKanaldaten::bt_addsegmentClick() {
  if (!ZahlenPruefen(this, ui_)) return;
  Grid2Mem();
  const long long n = GanzzahlAmAnfang(StdText(e_addsegment_->text()));
  if (m_.Anz_Segmente + n > MaxSegmente) {
    ui_.Fehler("Nicht genügend Speicher für weitere Segmente !");
    return;
  }
  // A count of 0 or less adds nothing; the channel never shrinks here.
  if (n > 0) {
    const int letztes = m_.Anz_Segmente;
    for (int k = letztes + 1; k <= letztes + n; ++k) m_.Segmente[k] = m_.Segmente[letztes];
    m_.Anz_Segmente = letztes + static_cast<int>(n);
  }
  Mem2Grid();
}

void TfrmKanaldaten::btNewClick() {
  if (!ui_.Frage("Wollen Sie den aktuellen Erdkanal löschen und einen neuen beginnen ?")) return;
  m_.Anz_Segmente = 1;
  Mem2Grid();
}

void TfrmKanaldaten::btShowRohrdataClick() {
  if (!ZahlenPruefen(this, ui_)) return;
  Grid2Mem();
  rohrdaten_->zeigen();
  Mem2Grid();
}

void TfrmKanaldaten::bt_aktdatafromTabClick() {
  if (!ZahlenPruefen(this, ui_)) return;
  Grid2Mem();
  Mem2Grid();
}

void TfrmKanaldaten::btOpenKanalClick() {
  Dateiwahl wahl;
  wahl.titel = "Erdkanal öffnen...";
  wahl.filter = "Erdkanal (*.ewt.db);;Alle Dateien (*.*)";
  wahl.verzeichnis = QText(m_.Startverzeichnis);
  const QString pfad = DateiWaehlen(wahl);
  if (pfad.isEmpty()) return;
  // A refused file leaves the channel in memory as it was.
  LadeKanaldatei(m_, ui_, StdText(pfad));
  Mem2Grid();
}

void TfrmKanaldaten::btSaveKanalClick() {
  std::string pfad = m_.Kanaldatei;
  // The file would not get what the red field shows.
  if (!ZahlenPruefen(this, ui_)) return;
  if (sender() == bt_saveas_) {
    Dateiwahl wahl;
    wahl.titel = "Erdkanal speichern...";
    wahl.filter = "*.ewt.db";
    wahl.verzeichnis = QText(Verzeichnisanteil(m_.Kanaldatei));
    wahl.endung = "ewt.db";
    wahl.speichern = true;
    const QString gewaehlt = DateiWaehlen(wahl);
    if (gewaehlt.isEmpty()) return;
    pfad = StdText(gewaehlt);
    m_.Startverzeichnis = Verzeichnisanteil(pfad);  // the next open dialog starts here
  }
  // The file gets what the user sees; the channel takes the file's name
  // only once it has been written (a failed save keeps the old file).
  Grid2Mem();
  SpeichereKanaldatei(m_, ui_, pfad);
  Mem2Grid();
}

void TfrmKanaldaten::cb_toollistChange(int position) { E_toolvalue_->setEnabled(position != Anzeigen); }

void TfrmKanaldaten::rbConstVolClick() { SetzeModus(0); }
void TfrmKanaldaten::rbSchaltzeitbetriebClick() { SetzeModus(1); }
void TfrmKanaldaten::rbTemperaturbetriebClick() { SetzeModus(2); }
void TfrmKanaldaten::rbZeitundTempClick() { SetzeModus(3); }

void TfrmKanaldaten::kanalimgMouseDown(int x) {
  if (x < 0) return;
  const int k = x / Kanalbild::SegmentBreite + 1;
  if (k < 1 || k > std::min(m_.Anz_Segmente, MaxSegmente)) return;
  sgKanal_->clearSelection();
  sgKanal_->selectRow(k - 1);

  const int werkzeug = cb_toollist_->currentIndex();
  if (werkzeug <= Anzeigen) return;
  const std::optional<double> gelesen = ParseZahl(StdText(E_toolvalue_->text()));
  if (!gelesen) return;
  const double v = *gelesen;

  Kanalsegment& s = m_.Segmente[k];
  switch (werkzeug) {
    case Kanaltiefe: s.Tiefe = static_cast<float>(v); break;
    case AnzahlRohre:
      if (v > 0) s.Anz_Rohre = Ganzzahl32(std::nearbyint(v));  // halves to even
      break;
    case Rohrabstand:
      if (v > 0) s.Abst_Rohre = static_cast<float>(v);
      break;
    case AbstandLinks: s.Abst_Geb_li = static_cast<float>(v); break;
    case AbstandRechts: s.Abst_Geb_re = static_cast<float>(v); break;
    case TiefeLinks: s.Tief_Geb_li = static_cast<float>(v); break;
    case TiefeRechts: s.Tief_Geb_re = static_cast<float>(v); break;
    case Ueberbaut: s.Überbaut = v != 0 ? 1 : 0; break;
    case Versiegelt: s.Überbaut = v != 0 ? 2 : 0; break;
    case SegmentLoeschen:
      if (m_.Anz_Segmente == 1) {
        ui_.Warnung("Ein Segment muss im Kanal verbleiben !");
        return;
      }
      for (int j = k; j < m_.Anz_Segmente; ++j) m_.Segmente[j] = m_.Segmente[j + 1];
      --m_.Anz_Segmente;
      Mem2Grid();
      break;
    default: break;
  }
  // The rows show the model again, numbered by segment; what was typed into
  // the table and not taken over is replaced.
  for (int j = 1; j <= std::min(m_.Anz_Segmente, MaxSegmente); ++j) SchreibeZeile(j, true);
  kanalimg_->update();
}

QString TfrmKanaldaten::DateiWaehlen(const Dateiwahl& wahl) { return ZeigeDateidialog(this, wahl); }

bool TfrmKanaldaten::event(QEvent* e) {
  if (HinweisWeitergeben(e, ui_)) return true;
  return QDialog::event(e);
}

}  // namespace terval
