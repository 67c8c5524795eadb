#include "channel/UshowKanaldaten.h"

#include <random>

#include <gtest/gtest.h>

#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Dateiinhalt;
using test::Nachricht;
using test::Testverzeichnis;

// A channel whose every value is distinct and no short decimal.
void BaueKanal(Modell& m, int segmente) {
  std::mt19937 zufall(4711);
  std::uniform_real_distribution<float> wert(0.0f, 10.0f);
  m.Anz_Segmente = segmente;
  for (int k = 1; k <= segmente; ++k) {
    Kanalsegment& s = m.Segmente[k];
    s.Anz_Rohre = 1 + k % 4;
    s.Abst_Rohre = wert(zufall);
    s.Tiefe = wert(zufall);
    s.Abst_Geb_li = wert(zufall);
    s.Abst_Geb_re = wert(zufall);
    s.Tief_Geb_li = wert(zufall);
    s.Tief_Geb_re = wert(zufall);
    s.Überbaut = k % 3;
  }
  TKanalbetrieb& b = m.Kanalbetrieb;
  b.Volstrom = 345;
  b.Vol_Aus = 17;
  b.Ein_Zeit = 6;
  b.Aus_Zeit = 22;
  b.Heiz_T = 3.3333333f;
  b.Kuehl_T = 21.123457f;
  b.Betriebsart = 3;
  b.Fuenftagebetrieb = true;
  TRohrdaten& r = m.Rohrdaten;
  r.Rohrname = {"", "PE-HD DN 200 SDR 17 – Hauptstrang", "Steinzeug DN 150 (ä ö ü ß)"};
  r.Rohr_Ra = {0, 0.1f, 0.0935f};
  r.Rohr_Dicke = {0, 0.0118f, 0.0195f};
  r.Rohr_wlf = {0, 0.42f, 1.2f};
  r.Seglaenge = 1.25f;
}

void ErwarteGleichenKanal(const Modell& a, const Modell& b) {
  ASSERT_EQ(a.Anz_Segmente, b.Anz_Segmente);
  for (int k = 1; k <= a.Anz_Segmente; ++k) {
    const Kanalsegment& x = a.Segmente[k];
    const Kanalsegment& y = b.Segmente[k];
    EXPECT_EQ(x.Anz_Rohre, y.Anz_Rohre) << k;
    EXPECT_EQ(x.Abst_Rohre, y.Abst_Rohre) << k;
    EXPECT_EQ(x.Tiefe, y.Tiefe) << k;
    EXPECT_EQ(x.Abst_Geb_li, y.Abst_Geb_li) << k;
    EXPECT_EQ(x.Abst_Geb_re, y.Abst_Geb_re) << k;
    EXPECT_EQ(x.Tief_Geb_li, y.Tief_Geb_li) << k;
    EXPECT_EQ(x.Tief_Geb_re, y.Tief_Geb_re) << k;
    EXPECT_EQ(x.Überbaut, y.Überbaut) << k;
  }
  const TKanalbetrieb& p = a.Kanalbetrieb;
  const TKanalbetrieb& q = b.Kanalbetrieb;
  EXPECT_EQ(p.Volstrom, q.Volstrom);
  EXPECT_EQ(p.Vol_Aus, q.Vol_Aus);
  EXPECT_EQ(p.Ein_Zeit, q.Ein_Zeit);
  EXPECT_EQ(p.Aus_Zeit, q.Aus_Zeit);
  EXPECT_EQ(p.Heiz_T, q.Heiz_T);
  EXPECT_EQ(p.Kuehl_T, q.Kuehl_T);
  EXPECT_EQ(p.Betriebsart, q.Betriebsart);
  EXPECT_EQ(p.Fuenftagebetrieb, q.Fuenftagebetrieb);
  for (int t = 1; t <= 2; ++t) {
    EXPECT_EQ(a.Rohrdaten.Rohrname[t], b.Rohrdaten.Rohrname[t]);
    EXPECT_EQ(a.Rohrdaten.Rohr_Ra[t], b.Rohrdaten.Rohr_Ra[t]);
    EXPECT_EQ(a.Rohrdaten.Rohr_Dicke[t], b.Rohrdaten.Rohr_Dicke[t]);
    EXPECT_EQ(a.Rohrdaten.Rohr_wlf[t], b.Rohrdaten.Rohr_wlf[t]);
  }
  EXPECT_EQ(a.Rohrdaten.Seglaenge, b.Rohrdaten.Seglaenge);
}

TEST(Kanaldatei, HundertfuenfzigSegmenteKommenGenauZurueck) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Erdkanal.ewt.db");
  auto quelle = NeuesModell();
  BaueKanal(*quelle, MaxSegmente);
  quelle->Rohrdaten.Rohrname[1] = "PE-HD DN 200 SDR 17 - Hauptstrang";  // "–" has a CP1252 form, keep ASCII here
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereKanaldatei(*quelle, ui, pfad));
  EXPECT_EQ(quelle->Kanaldatei, pfad);
  EXPECT_EQ(quelle->Startverzeichnis, "") << "Speichern ändert das Startverzeichnis nicht";

  auto ziel = NeuesModell();
  SetzeStartzustand(*ziel);
  // Hourly results of a segment are not part of the file and stay.
  ziel->Segmente[7].T_aus[100] = 12.5f;
  ziel->Segmente[7].Alpha[1] = 3.0f;
  ziel->Kanalbetrieb.VolStromAusKlima = true;
  ASSERT_TRUE(LadeKanaldatei(*ziel, ui, pfad));
  ErwarteGleichenKanal(*quelle, *ziel);
  EXPECT_EQ(ziel->Segmente[7].T_aus[100], 12.5f);
  EXPECT_EQ(ziel->Segmente[7].Alpha[1], 3.0f);
  EXPECT_TRUE(ziel->Kanalbetrieb.VolStromAusKlima);
  EXPECT_EQ(ziel->Kanaldatei, pfad);
  EXPECT_EQ(ziel->Startverzeichnis, v.Pfad());
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST(Kanaldatei, EinSegmentGibtDreiZeilen) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("k.ewt.db");
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->Kanalbetrieb.Fuenftagebetrieb = true;
  m->Kanalbetrieb.Betriebsart = 1;
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereKanaldatei(*m, ui, pfad));

  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Felder(), 10);
  ASSERT_EQ(t->Datensaetze(), 3);
  // Row 1: operation settings; row 2: pipe data, with 0 in the unused
  // integer columns; row 3: segment 1 of the start-up state (empty text).
  struct Zeile {
    int g0;
    double z1;
    int g2;
    double z[5];
    int g8;
    const char* text;
  };
  const Zeile erwartet[] = {{2400, 1.0, 7, {18.0, 0.0, 4.0, 18.0, 1.0}, 1, "Beton 100"},
                            {0, 0.4, 0, {0.1, 1.0, 0.4, 0.1, 1.0}, 0, "Beton 100"},
                            {1, 6.0, 1, {0.0, 0.0, 0.0, 0.0, 0.0}, 0, nullptr}};
  for (int r = 0; r < 3; ++r) {
    SCOPED_TRACE(r);
    const Zeile& e = erwartet[r];
    EXPECT_EQ(t->LiesGanzzahl(r, 0), e.g0);
    EXPECT_EQ(t->LiesZahl(r, 1), e.z1);
    EXPECT_EQ(t->LiesGanzzahl(r, 2), e.g2);
    for (int f = 3; f <= 7; ++f) EXPECT_EQ(t->LiesZahl(r, f), e.z[f - 3]) << f;
    EXPECT_EQ(t->LiesGanzzahl(r, 8), e.g8);
    if (e.text) EXPECT_EQ(t->LiesText(r, 9), e.text);
    else EXPECT_TRUE(t->IstLeer(r, 9));
  }
}

// Writes a channel file cell by cell: `zeilen` of ten numbers (text column empty).
void SchreibeRoh(const std::string& pfad, const std::vector<std::vector<double>>& zeilen, int spalten = 10) {
  std::vector<Felddefinition> felder;
  for (int i = 0; i < spalten; ++i) felder.push_back({"S" + std::to_string(i), Feldtyp::Gleitkomma, 0});
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, felder, fehler);
  ASSERT_TRUE(t) << fehler;
  for (const auto& z : zeilen) {
    int s = t->Anhaengen();
    for (size_t i = 0; i < z.size() && static_cast<int>(i) < spalten; ++i) t->SchreibeZahl(s, static_cast<int>(i), z[i]);
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
}

std::vector<double> Betriebszeile(double fuenftage, double betriebsart) {
  return {500, 1.0, 7, 18, 0, 4.0, 18.0, fuenftage, betriebsart};
}
const std::vector<double> Rohrzeile = {0, 0.1, 0, 0.01, 0.4, 0.08, 0.009, 0.4, 0};

TEST(Kanaldatei, FuenftagebetriebNurGeregeltMitEinerMeldung) {
  Testverzeichnis v;
  struct Fall {
    double fuenftage, betriebsart;
    bool gesetzt, meldung;
  };
  for (const Fall& f : {Fall{1.0, 0, false, true}, Fall{0.5, 0, false, false}, Fall{2.0, 0, false, false},
                        Fall{1.0, 2, true, false}, Fall{1.0000001, 3, false, false}, Fall{0.0, 3, false, false}}) {
    const std::string pfad = v.Datei("f.ewt.db");
    SchreibeRoh(pfad, {Betriebszeile(f.fuenftage, f.betriebsart), Rohrzeile, {1, 2.0, 1}});
    auto m = NeuesModell();
    m->Kanalbetrieb.Fuenftagebetrieb = true;
    Aufzeichner ui;
    ASSERT_TRUE(LadeKanaldatei(*m, ui, pfad)) << f.fuenftage;
    EXPECT_EQ(m->Kanalbetrieb.Fuenftagebetrieb, f.gesetzt) << f.fuenftage << " / " << f.betriebsart;
    if (f.meldung) {
      EXPECT_EQ(ui.nachrichten,
                (std::vector<Nachricht>{{"Fehler",
                                         "Integritätsfehler im Kanal behoben:\r5-Tages Betrieb nur möglich im "
                                         "Modus \"geregelter Betrieb\"\r5-Tages Betrieb wurde deaktiviert !"}}));
    } else {
      EXPECT_TRUE(ui.nachrichten.empty()) << f.fuenftage << " / " << f.betriebsart;
    }
    EXPECT_EQ(m->Anz_Segmente, 1) << "das Laden geht nach der Meldung weiter";
  }
}

TEST(Kanaldatei, IndexSpalteWirdNichtGelesen) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("i.ewt.db");
  SchreibeRoh(pfad, {Betriebszeile(0, 0), Rohrzeile, {3, 1.5}, {1, 2.5}, {-7, 3.5}});
  auto m = NeuesModell();
  Aufzeichner ui;
  ASSERT_TRUE(LadeKanaldatei(*m, ui, pfad));
  ASSERT_EQ(m->Anz_Segmente, 3);
  EXPECT_EQ(m->Segmente[1].Tiefe, 1.5f);
  EXPECT_EQ(m->Segmente[2].Tiefe, 2.5f);
  EXPECT_EQ(m->Segmente[3].Tiefe, 3.5f);
}

TEST(Kanaldatei, GanzzahlenAusGleitkommaspalten) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("g.ewt.db");
  // Aus_Zeit and Vol_Aus sit in float columns; a file of another program
  // may hold them with decimals.
  SchreibeRoh(pfad, {{450.0, 1.0, 6.0, 19.0, 120.0, 4.0, 18.0, 0.0, 2.0}, Rohrzeile});
  auto m = NeuesModell();
  Aufzeichner ui;
  ASSERT_TRUE(LadeKanaldatei(*m, ui, pfad));
  EXPECT_EQ(m->Kanalbetrieb.Volstrom, 450);
  EXPECT_EQ(m->Kanalbetrieb.Ein_Zeit, 6);
  EXPECT_EQ(m->Kanalbetrieb.Aus_Zeit, 19);
  EXPECT_EQ(m->Kanalbetrieb.Vol_Aus, 120);
  EXPECT_EQ(m->Kanalbetrieb.Betriebsart, 2);
  EXPECT_EQ(m->Anz_Segmente, 0) << "zwei Zeilen: ein Kanal ohne Segmente";
}

TEST(Kanaldatei, UngeeigneteDateienLassenDenKanalUnveraendert) {
  Testverzeichnis v;
  std::vector<std::vector<double>> zuLang = {Betriebszeile(0, 0), Rohrzeile};
  for (int k = 1; k <= 151; ++k) zuLang.push_back({static_cast<double>(k), 1.0, 1});
  SchreibeRoh(v.Datei("lang.ewt.db"), zuLang);
  SchreibeRoh(v.Datei("eine.ewt.db"), {Betriebszeile(0, 0)});
  SchreibeRoh(v.Datei("null.ewt.db"), {});
  SchreibeRoh(v.Datei("schmal.ewt.db"), {Betriebszeile(0, 0), Rohrzeile, {1, 1.0}}, 9);

  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"lang.ewt.db", "Die Erdkanaldatei \"" + v.Datei("lang.ewt.db") +
                          "\" enthält 151 Segmente; dieses Programm kann höchstens 150 Segmente berechnen."},
      {"eine.ewt.db", "Die Erdkanaldatei \"" + v.Datei("eine.ewt.db") +
                          "\" ist unvollständig: Sie braucht mindestens 2 Zeilen (Betriebsdaten und Rohrdaten), "
                          "hat aber 1."},
      {"null.ewt.db", "Die Erdkanaldatei \"" + v.Datei("null.ewt.db") +
                          "\" ist unvollständig: Sie braucht mindestens 2 Zeilen (Betriebsdaten und Rohrdaten), "
                          "hat aber 0."},
      {"schmal.ewt.db", "Die Datei \"" + v.Datei("schmal.ewt.db") +
                            "\" ist keine Erdkanaldatei: Sie hat 9 Spalten, eine Erdkanaldatei hat 10."},
      {"fehlt.ewt.db", "Die Tabelle \"" + v.Datei("fehlt.ewt.db") +
                           "\" kann nicht geöffnet werden: Datei oder Verzeichnis nicht vorhanden."},
  };
  auto vorher = NeuesModell();
  BaueKanal(*vorher, 5);
  for (const auto& [name, meldung] : faelle) {
    auto m = NeuesModell();
    BaueKanal(*m, 5);
    m->Kanaldatei = "alt.ewt.db";
    m->Startverzeichnis = "/start";
    Aufzeichner ui;
    EXPECT_FALSE(LadeKanaldatei(*m, ui, v.Datei(name))) << name;
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", meldung}}));
    ErwarteGleichenKanal(*vorher, *m);
    EXPECT_EQ(m->Kanaldatei, "alt.ewt.db");
    EXPECT_EQ(m->Startverzeichnis, "/start");
  }
}

TEST(Kanaldatei, MisslungenesSpeichernBehaeltDieAlteDatei) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Erdkanal.ewt.db");
  auto m = NeuesModell();
  BaueKanal(*m, 3);
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereKanaldatei(*m, ui, pfad));
  const std::string alt = Dateiinhalt(pfad);

  BaueKanal(*m, 150);
  {
    test::Dateigroessengrenze grenze(4096);
    EXPECT_FALSE(SpeichereKanaldatei(*m, ui, pfad));
  }
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].text, "Die Datei \"" + pfad +
                                        "\" konnte nicht gespeichert werden: die Datei wird zu groß; die "
                                        "bisherige Datei bleibt unverändert.");
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"Erdkanal.ewt.cpg", "Erdkanal.ewt.db"}));

  m->Anz_Segmente = 151;
  EXPECT_FALSE(SpeichereKanaldatei(*m, ui, pfad));
  EXPECT_EQ(ui.nachrichten.back().text, "Die Datei \"" + pfad +
                                            "\" wurde nicht gespeichert: Der Erdkanal hat 151 Segmente, möglich "
                                            "sind 0 bis 150.");
  EXPECT_EQ(Dateiinhalt(pfad), alt);
}

}  // namespace
}  // namespace terval
