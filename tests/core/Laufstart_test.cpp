// The run start: every check that refuses a run (the run start's own, the
// channel and grid checks and the input check) as one catalogue, then
// complete, stopped and refused runs with the files they leave.
#include "core/Laufstart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "core/Eingabepruefung.h"
#include "output/DBErgout.h"
#include "physics/getsoildata.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

// Records the run's begin, end and writer windows in their order.
class Laufbeobachter : public test::Aufzeichner {
 public:
  std::vector<std::string> ablauf;
  void LaufBeginnt() override { ablauf.push_back("Beginn"); }
  void LaufEndet() override { ablauf.push_back("Ende"); }
  void SchreibfensterZeigen(const std::string& label) override { ablauf.push_back(label); }
};

class Laufstart : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove_all(dir), fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir = fs::temp_directory_path() / ("terval_lauf_" + std::to_string(::getpid()));
};

// Three segments that pass every check: a single pipe, a register of three
// beside a cellar, a single pipe under a building; PE pipes of 200 and 160 mm.
std::unique_ptr<Modell> Kanalmodell() {
  auto m = test::Kernmodell();
  test::FuelleKlima(*m, [](int h) { return 10.0f + static_cast<float>(h % 24) * 0.1f; });
  m->Anz_Segmente = 3;
  test::SetzeSegment(*m, 1, 1, 2.0f);
  test::SetzeSegment(*m, 2, 3, 2.0f, 0.3f);
  test::SetzeSegment(*m, 3, 1, 2.0f);
  m->Segmente[2].Abst_Geb_li = 1.0f, m->Segmente[3].Überbaut = 1;
  m->Rohrdaten.Rohr_Ra = {0.0f, 0.1f, 0.08f};
  m->Rohrdaten.Rohr_Dicke = {0.0f, 0.0119f, 0.0095f};
  m->Rohrdaten.Rohr_wlf = {0.0f, 0.4f, 0.4f};
  return m;
}

struct Fall {
  const char* name;
  std::function<void(Modell&, Laufoptionen&)> aendern;
  std::string meldung;  // a fragment of the one error message; empty: the checks pass
};
// A row's change as statements on the model m and the options o.
#define M(...) [](Modell& m, Laufoptionen& o) { (void)m, (void)o; __VA_ARGS__; }
#define RA1 m.Rohrdaten.Rohr_Ra[1]
#define RA2 m.Rohrdaten.Rohr_Ra[2]
#define SEG1 m.Segmente[1]
#define SEG2 m.Segmente[2]
#define R m.Rohrdaten
#define B m.Kanalbetrieb
#define BO m.Boeden[1]
const std::string Hauptstrang = "\"Hauptstrang\" sind unvollständig oder ungültig";

const Fall Faelle[] = {
    // The run start's own checks, in their order: the first failing one speaks.
    {"Klima unvollständig", M(m.KlimaKomplett = false; m.Anz_Segmente = 1), "noch fehlende Daten"},
    {"ein Segment", M(m.Anz_Segmente = 1), "Sie haben noch keinen Erdkanal definiert !"},
    {"151 Segmente", M(m.Anz_Segmente = 151), "Der Kanal hat 151 Segmente; höchstens 150 sind möglich"},
    {"Stunde 24", M(o.AusgabeStundeText = "24"; o.MarkSegmentText = "9"), "24 ist keine gültige Uhrzeit"},
    {"Stunde 0", M(o.AusgabeStundeText = "0"; RA1 = 0), Hauptstrang},
    {"Stunde 23", M(o.AusgabeStundeText = " 23 "; RA1 = 0), Hauptstrang},
    {"Stunde ohne Termin", M(o.NurEinTermin = false; o.AusgabeStundeText = "x"; RA1 = 0), Hauptstrang},
    {"Marke 4", M(o.MarkSegmentText = "4"; RA1 = 0), "Das markierte Segment liegt nicht innerhalb"},
    {"Marke zwei", M(o.MarkSegmentText = "zwei"), "zwei ist keine gültige Segmentnummer"},
    {"Marke 3", M(o.MarkSegmentText = "3"; RA1 = 0), Hauptstrang},
    // Regression: the run start's radius check comes before the input check.
    {"Radius 0 vor Segmentlänge", M(RA1 = 0; R.Seglaenge = 7), Hauptstrang},
    {"Registerradius", M(RA2 = -0.1f), "\"Register\" sind unvollständig oder ungültig"},
    // Channel and grid. 27 pipes: (W / 2 + 2.5) / 0.5 = 39.08 columns a side, one more than the grid holds.
    {"Register ohne Abstand", M(SEG2.Abst_Rohre = 0; o.AusgabeStundeText = "24"), "Segment 2 weist einen ungültigen "},
    {"27 Rohre", M(RA2 = 0.4f; SEG1.Anz_Rohre = 27; SEG1.Abst_Rohre = 0.48f), "Segment 1 ist zu breit für dieses"},
    // W = 34 m: exactly 39 columns a side pass the channel check; the grid check refuses them.
    {"genau 39 Spalten", M(RA2 = 0.5f; SEG1.Anz_Rohre = 2; SEG1.Abst_Rohre = 32; SEG2.Abst_Geb_li = 4), "1 bräuchte"},
    {"15 Rohre", M(RA2 = 0.4f; SEG1.Anz_Rohre = 15; SEG1.Abst_Rohre = 0.5f; SEG2.Abst_Geb_li = 4), "48 Spalten"},
    {"42 Spalten", M(SEG1.Abst_Geb_li = 15; SEG1.Abst_Geb_re = 6), "bräuchte 42 Spalten, möglich sind höchstens 40"},
    {"40 Spalten", M(SEG1.Abst_Geb_li = 15; SEG1.Abst_Geb_re = 5), ""},
    {"Rohrzahl -2", M(SEG1.Anz_Rohre = -2), "In Segment 1 ist die Rohrzahl -2 ungültig"},
    {"Registerabstand -0.1", M(SEG2.Abst_Rohre = -0.1f), "Segment 2 hat einen negativen Rohrabstand"},
    {"Kellerabstand -3", M(SEG1.Abst_Geb_re = -3), "In Segment 1 ist der Abstand zur Kellerwand rechts negativ"},
    {"R 0.4 in 0.5 m", M(RA1 = 0.4f; SEG1.Tiefe = 0.5f), "1 liegen zu flach für dieses Modell"},
    {"R 0.4 in 0.75 m", M(RA1 = 0.4f; SEG1.Tiefe = 0.75f), ""},
    {"R 0.4 in 7.5 m", M(RA1 = 0.4f; SEG1.Tiefe = 7.5f), ""},
    {"R 0.4 in 8 m", M(RA1 = 0.4f; SEG1.Tiefe = 8), "1 liegen zu tief für dieses Modell"},
    // A single-cell pipe needs only its own row inside 1..15 (halves round to even).
    {"R 0.2 in 0.25 m", M(RA1 = 0.2f; SEG1.Tiefe = 0.25f), "Tiefe der Rohrachse (derzeit 0.25 m)."},
    {"R 0.2 in 0.5 m", M(RA1 = 0.2f; SEG1.Tiefe = 0.5f), ""},
    {"R 0.2 in 7.5 m", M(RA1 = 0.2f; SEG1.Tiefe = 7.5f), ""},
    {"R 0.2 in 7.75 m", M(RA1 = 0.2f; SEG1.Tiefe = 7.75f), "(derzeit 7.75 m)."},
    {"Keller 0.4 m links", M(RA1 = 0.4f; SEG1.Abst_Geb_li = 0.4f), "Segment 1 reicht bis an den Rand des Modells"},
    {"Keller 0.5 m links", M(RA1 = 0.4f; SEG1.Abst_Geb_li = 0.5f), ""},
    {"Keller 0.4 m rechts", M(RA1 = 0.4f; SEG1.Abst_Geb_re = 0.4f), "bis an den Rand"},
    // An infinite radius makes the block infinitely wide before the input check sees it.
    {"Radius unendlich", M(RA1 = Inf), "Das Rohrregister in Segment 1 ist zu breit"},
    // The input check.
    {"Segmentlänge 0.5", M(R.Seglaenge = 0.5f), ""},
    {"Segmentlänge 5", M(R.Seglaenge = 5), ""},
    {"Segmentlänge 0.49", M(R.Seglaenge = 0.49f), "5 m liegen !\rDer Erdkanal hat die Segmentlänge 0.49"},
    {"Segmentlänge 5.01", M(R.Seglaenge = 5.01f), "die Segmentlänge 5.01 m."},
    {"Gebäudetiefe", M(m.Segmente[3].Tief_Geb_re = -Inf), "Segment 3 ist der Wert \"Tiefe rechte Bebauung\" keine"},
    {"Registerwand 0", M(R.Rohr_Dicke[2] = 0), "Rohrmaterials \"Register\" muß größer als 0 sein (derzeit 0"},
    {"Wand wie Radius", M(R.Rohr_Dicke[2] = 0.08f), "(0.08 m) ist nicht kleiner als sein Außenradius"},
    {"Leitfähigkeit 0", M(R.Rohr_wlf[1] = 0), "Wärmeleitfähigkeit des Rohrmaterials \"Hauptstrang\" muß"},
    // Regression (fuzzing): wlf / Dicke = 4e5 W/(m2 K) made the wall network infinite.
    {"Wand von 1 µm", M(R.Rohr_Dicke[1] = 1e-6f), "zu gut (Wärmeleitfähigkeit / Dicke = 400000 W/m²K"},
    {"Stahlrohr 1 mm", M(R.Rohr_Dicke[1] = 0.001f; R.Rohr_wlf[1] = 50), ""},
    {"Register unbenutzt", M(SEG2.Anz_Rohre = 1; R.Rohr_Dicke[2] = 0), ""},
    {"Betriebsart 4", M(B.Betriebsart = 4), "Die Betriebsart 4 des Erdkanals ist ungültig"},
    {"Betriebsart -1", M(B.Betriebsart = -1), "Die Betriebsart -1 des"},
    {"Aus-Strom -50", M(B.Vol_Aus = -50), "\"Aus\"-Zustand darf nicht negativ sein (derzeit -50 m3/h)"},
    {"Ein 24", M(B.Betriebsart = 1; B.Ein_Zeit = 24), "Die Einschaltzeit 24 Uhr ist ungültig"},
    {"Aus -1", M(B.Betriebsart = 3; B.Ein_Zeit = 0; B.Aus_Zeit = -1), "Die Ausschaltzeit -1 Uhr"},
    {"0 bis 23 Uhr", M(B.Betriebsart = 1; B.Ein_Zeit = 0; B.Aus_Zeit = 23), ""},
    {"Stunde 99 nach Temperatur", M(B.Betriebsart = 2; B.Ein_Zeit = 99), ""},
    {"Schwelle NaN", M(B.Betriebsart = 2; B.Kuehl_T = NaN), "\"bis\" ist keine gültige Zahl (nan °C)"},
    {"Klimastrom 0", M(B.VolStromAusKlima = true), ""},
    {"Klimastrom fehlt", M(B.VolStromAusKlima = true; m.Klima[5000].Vol_Strom = Fehlwert), "(Tag 209, 7 Uhr) fehlt"},
    {"Klimastrom negativ", M(B.VolStromAusKlima = true; m.Klima[8760].Vol_Strom = -0.5f), "negativ (-0.5 m3/h)"},
    {"Klimastrom NaN", M(B.VolStromAusKlima = true; m.Klima[1].Vol_Strom = NaN), "0 Uhr) ist der Volumenstrom keine"},
    {"Klimastrom unbenutzt", M(m.Klima[10].Vol_Strom = Fehlwert), ""},
    {"Bodenart 0", M(m.Bodenart = 0), "Nr. 0 des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 1"},
    {"Bodenart 2", M(m.Bodenart = 2), "Die Bodenart Nr. 2 des"},
    {"ThetaSat 0", M(BO.ThetaSat = 0), "\"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für ThetaSat"},
    {"CBoden unendlich", M(BO.CBoden = Inf; BO.BodenName = BO.Kuerzel = ""), "Die Bodenart Nr. 1 in SOILS.DAT hat"},
    // Regressions: a suction of 0, a negative exponent b and a negative conductivity were let through.
    {"PsiSat 0", M(BO.PsiSat = 0), "PsiSat (Lufteintrittspotential): 0 (er muß kleiner als 0 sein)"},
    {"b negativ", M(BO.B_Exponent = -69), "b (Porengrößenexponent): -69 (er muß größer als 0 sein)"},
    {"KSat negativ", M(BO.KSat = -1e-6), "KSat (gesättigte Leitfähigkeit): -1e-06 (er darf nicht negativ"},
    {"KSat 0", M(BO.KSat = 0), ""},
    {"Startfeuchte 0", M(m.StartBodenfeuchte = 0), "Die Startfeuchte des Bodens muß größer als 0 % sein"},
    // psi_s = -1 cm: lambda = 419 e^-2.7, a = 28.159 / 2.9819e6 = 9.44e-6 m2/s above 1 / (3600 * 32).
    {"Grobsand", M(BO.PsiSat = -0.01), "erreicht 9.44 *10-6 m²/s, stabil rechnet das Modell nur bis 8.68 *10-6 m²/s."},
    {"ThetaSat 2", M(BO.ThetaSat = 2), "ergibt nicht bei jeder Bodenfeuchte eine gültige"},
    // Cut grass of 1 m: LAI 24, d = 0.245 + 0.091 * 24 = 2.429, z0m = 0.281 + 0.0275 + 0.028 * 24 = 0.9805.
    {"Gras 1 m, Wind in 2 m", M(m.Veg_typ = 1; m.Veg_Hoehe = 1), "d = 2.43 m plus der Rauhigkeitslänge z0 = 0.98 m"},
    {"Gras 1 m, Wind in 3.41 m", M(m.Veg_typ = 1; m.Veg_Hoehe = 1; m.WG_Messhoehe = 3.41f), ""},
    {"Gras 0 m", M(m.Veg_typ = 1; m.Veg_Hoehe = 0), "(LAI = 0) !\rBei geschnittenem Gras"},
    {"hohes Gras 2 cm", M(m.Veg_typ = 2; m.Veg_Hoehe = 0.02f), "(LAI = -0.36803454) !\rBei diesem Vegetationstyp"},
    {"Breitengrad NaN", M(m.Breitengrad = NaN), "Der Breitengrad des Standortes ist keine gültige Zahl (nan)"},
    {"Kellerwand 0", M(m.kellerwand_dicke = 0), "Neben Segment 2 steht ein Gebäude, doch die Dicke der Kellerwand"},
    {"Kellerwand leitet -0.9", M(m.wlf_kellerwand = -0.9f), "Kellerwand muß größer als 0 sein (derzeit -0.9 W/mK)"},
    // Regression (fuzzing): an infinitely conducting cellar wall.
    {"Kellerwand leitet zu gut", M(m.wlf_kellerwand = 1e6f), "zu gut (Wärmeleitfähigkeit / Dicke = 2500000 W/m²K"},
    {"Kellertemperatur NaN", M(m.T_Keller = NaN), "die Innentemperatur des Kellers ist keine gültige Zahl (nan)"},
    {"ohne Keller", M(SEG2.Abst_Geb_li = 0; m.kellerwand_dicke = 0), ""},
    {"Fundament unendlich", M(m.T_Fundament = Inf), "Segment 3 ist überbaut, doch die Basistemperatur"},
    {"versiegelt statt überbaut", M(m.Segmente[3].Überbaut = 2; m.T_Fundament = NaN), ""},
    {"Eintritt -inf", M(SEG1.T_ein[24] = -Inf), "Stunde 24 (Tag 1, 23 Uhr) bei \"Lufttemperatur\" keine gültige"},
    {"Bewölkung fehlt", M(m.Klima[7].Wolken = Fehlwert), ""},
    // Regressions: finite but impossible values ran into inf and NaN.
    {"Lufttemperatur -240", M(m.Klima[30].T_Luft = SEG1.T_ein[30] = -240),
     "Stunde 30 (Tag 2, 5 Uhr) bei \"Lufttemperatur\" den Wert -240; möglich sind -90 bis 65 °C !"},
    {"Feuchte 110 %", M(m.Klima[30].rFeuchte = 110; m.Klima[31].Glob_Str = -50), ""},
    {"Feuchte 110.01 %", M(m.Klima[31].rFeuchte = 110.01f), "\"relative Feuchte\" den Wert 110.01"},
    {"Fundament 3e38", M(m.T_Fundament = 3e38f), "Basistemperatur für überbaute Flächen (3e+38 °C) liegt nicht im Bereich -90 bis 65 °C"},
    {"Keller 66 °C", M(m.T_Keller = 66), "die Innentemperatur des Kellers (66 °C) liegt nicht im Bereich"},
    {"Breitengrad 90.5", M(m.Breitengrad = 90.5f), "Der Breitengrad des Standortes (90.5 °) liegt nicht im Bereich -90 bis 90 °"},
    {"Startfeuchte 101", M(m.StartBodenfeuchte = 101), "darf 100 % nicht übersteigen (derzeit 101 %)"},
    {"Startfeuchte 100", M(m.StartBodenfeuchte = 100), ""},
    // Several years, and every table of a sequence checked as the loaded one.
    {"0 Jahre", M(o.Jahre = 0), "Die Anzahl Jahre muss zwischen 1 und 50 liegen !"},
    {"51 Jahre", M(o.Jahre = 51), "Die Anzahl Jahre muss zwischen 1 und 50 liegen !"},
    {"Folge und 2 Jahre", M(o.Klimafolge = {KlimajahrVon(m, "A"), KlimajahrVon(m, "B")}; o.Jahre = 2),
     "die \"Anzahl Jahre\" muss dann 1 sein !"},
    {"Folge unvollständig", M(o.Klimafolge = {KlimajahrVon(m, "A"), KlimajahrVon(m, "B")}; o.Klimafolge[1].Komplett = false),
     "Klimatabelle \"B\":\rDer aktuelle Klimadatensatz enthält noch fehlende Daten"},
    {"Folge mit Feuchte 120", M(o.Klimafolge = {KlimajahrVon(m, "A"), KlimajahrVon(m, "B")}; o.Klimafolge[1].Klima[31].rFeuchte = 120),
     "\"relative Feuchte\" den Wert 120"},
};

TEST_F(Laufstart, EveryRefusalSpeaksOnceAndLeavesEverythingAsItWas) {
  for (const Fall& f : Faelle) {
    SCOPED_TRACE(f.name);
    auto m = Kanalmodell();
    m->AusgabeStamm = "alt", m->ErgebnisseVorhanden = m->StopRequested = true;
    m->LAI = 1.25f;  // the input check computes LAI on the way and must put it back
    Laufoptionen o{.Stammname = "neu", .MarkSegmentText = "2", .NurEinTermin = true, .AusgabeStundeText = "5",
                   .TextAusgabe = true, .MitFeuchte = false, .FeuchteZeitschritt = 60, .Klimafolge = {}, .Luftseite = {},
                   .Vorrat = nullptr, .Vorlauf = {}, .Ergebnisdateien = true};
    f.aendern(*m, o);
    Laufbeobachter ui;
    if (f.meldung.empty()) {
      EXPECT_TRUE(PruefeKanal(*m, ui) && PruefeGitter(*m, ui) && PruefeEingaben(*m, ui));
      EXPECT_TRUE(ui.nachrichten.empty()) << ui.nachrichten.front().text;
    } else {
      const Laufbericht b = EKModellFDVerfahren(*m, ui, o, dir.string());
      EXPECT_TRUE(b.ergebnis == Laufergebnis::Abgelehnt && b.dateien.empty());
      EXPECT_TRUE(ui.ablauf.empty() && ui.status.empty() && fs::is_empty(dir));
      SetUp();  // a run that went through must not spoil the next row
      const auto fehler = ui.Texte("Fehler");
      EXPECT_TRUE(fehler.size() == 1 && ui.nachrichten.size() == 1) << ui.nachrichten.size() << " Meldungen";
      EXPECT_NE((fehler.empty() ? "" : fehler[0]).find(f.meldung), std::string::npos) << fehler.at(0);
      // The options reach the model only once every check has passed; a stop request is cleared first.
      EXPECT_TRUE(m->AusgabeStamm == "alt" && m->MitFeuchte && m->FeuchteZeitschritt == 3600 && !m->TextAusgabe);
      EXPECT_TRUE(!m->NurEinTermin && m->AusgabeStunde == 12 && m->MarkSegment == -1 && m->ErgebnisseVorhanden);
      EXPECT_FALSE(m->StopRequested);
    }
    EXPECT_EQ(m->LAI, 1.25f);
    EXPECT_NE(m->Klima[31].rFeuchte, 120.0f);  // a checked sequence leaves the model's table
  }
}

// The air step gives T_aus - T_ring = (1 - k)(T_in - T_ring): the input check
// refuses a segment exactly where the step itself would carry the outlet past
// the soil. Scanned in steps of 1 m3/h per pipe for a wide pipe in wet soil.
TEST_F(Laufstart, ExchangeBoundIsWhereTheAirStepOvershootsTheSoil) {
  auto m = Kanalmodell();
  m->Rohrdaten.Rohr_Ra = {0.0f, 0.5f, 0.08f}, m->Rohrdaten.Seglaenge = 5;
  test::SetzeSegment(*m, 1, 1, 3.0f), test::SetzeSegment(*m, 3, 1, 3.0f), m->Segmente[3].Überbaut = 1;
  const float lambda = static_cast<float>(MaxWaermeleitfaehigkeit(m->Boeden[1]));
  auto ueberschiesst = [&](int volstrom) {
    const float V = static_cast<float>(volstrom) / 3600.0f;
    float T_aus = 0, T_wand = 0;
    Rohraustausch(RohrwerteVon(*m, 1, 5), CalcAlpha(*m, 1, V), V, 0.0f, 10.0f, lambda, T_aus, T_wand);
    return T_aus > 10.0f;
  };
  test::Aufzeichner ui;
  int grenze = 100;
  while (grenze < 5000 && (m->Kanalbetrieb.Volstrom = grenze, !PruefeEingaben(*m, ui))) ++grenze;
  ASSERT_TRUE(grenze > 100 && grenze < 5000) << grenze;
  EXPECT_TRUE(ueberschiesst(grenze - 1) && !ueberschiesst(grenze));
  // Standing air (below 100 m3/h per pipe) exchanges nothing, whatever the pipe; nor does the
  // effectiveness form below the threshold, which cannot overshoot.
  m->Kanalbetrieb.Volstrom = 99;
  EXPECT_TRUE(PruefeEingaben(*m, ui) && PruefeEingaben(*m, ui, {.KleinerVolumenstrom = true}));
  // The smallest flow that exchanges decides: the fan's "Aus" flow, or the hours of the climate table's flow column.
  m->Kanalbetrieb = {.Volstrom = 5000, .Vol_Aus = 200, .Ein_Zeit = 6, .Aus_Zeit = 20, .Betriebsart = 1};
  EXPECT_FALSE(PruefeEingaben(*m, ui));
  EXPECT_NE(ui.nachrichten.back().text.find("In Segment 1 tauscht die Luft bei einem Volumenstrom von 200.0 m3/h je Rohr"),
            std::string::npos) << ui.nachrichten.back().text;
  m->Kanalbetrieb.Vol_Aus = 0, m->Kanalbetrieb.VolStromAusKlima = true;
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Vol_Strom = h % 2 ? 0.0f : h == 4000 ? grenze - 1.0f : 6000.0f;
  EXPECT_FALSE(PruefeEingaben(*m, ui));
  EXPECT_NE(ui.nachrichten.back().text.find(std::to_string(grenze - 1) + ".0 m3/h je Rohr"), std::string::npos);
  // The energy-conserving coupling follows the air exponentially: nothing to refuse.
  EXPECT_TRUE(PruefeEingaben(*m, ui, {.Energieerhaltend = true}) && PruefeEingaben(*m, ui, {.Kondensation = true}));
}

// ---- Complete, stopped and refused runs (two segments, moisture model off, text output) ---------

// Draws each picture as a short text that names it; `leer`: draws nothing.
struct Probemaler : Bildmaler {
  bool leer = false;
  std::string Bodenbild(const Bodenfeld& f, const Temperaturbereich& b) override {
    return leer ? "" : "Tag " + std::to_string(f.Tag) + (b.Min < b.Max ? "" : " ohne Skala");
  }
  std::string Monatsbild(const Monatswaerme&) override { return "Monate"; }
  std::string Dauerlinienbild(const Dauerlinien& l) override { return "Dauer " + std::to_string(l.T_aus.size()); }
};

class Lauf : public Laufstart {
 protected:
  Lauf() { m->Anz_Segmente = 2, m->Segmente[2].Anz_Rohre = 1, o.MitFeuchte = false, o.TextAusgabe = true; }
  Laufbericht Starte(Laufbeobachter& ui) { return EKModellFDVerfahren(*m, ui, o, dir.string()); }
  std::unique_ptr<Modell> m = Kanalmodell();
  Laufoptionen o;
};

TEST_F(Lauf, CompleteRunWritesEveryFileInOrderBeforeItEnds) {
  o.Stammname = "Lauf", o.MarkSegmentText = "2", o.AusgabeStundeText = "6", o.Tagesgang = o.NurEinTermin = true;
  Probemaler maler;
  o.Bilder = &maler;
  Laufbeobachter ui;
  const Laufbericht b = Starte(ui);
  ASSERT_EQ(b.ergebnis, Laufergebnis::Fertig) << (ui.nachrichten.empty() ? "" : ui.nachrichten[0].text);
  const int tage[] = {14, 74, 166, 225, 258};
  std::vector<std::string> erwartet;
  for (int tag : tage) erwartet.push_back(FeldDateiname("Lauf", 2, tag));
  erwartet.push_back("Lauf Gesamtergebnis.TXT");
  for (std::string art : {"Kanal", "Verlauf"})
    for (int tag : tage) erwartet.push_back("Lauf " + art + " Tag " + std::to_string(tag) + ".TXT");
  erwartet.push_back("Lauf Hydraulik.TXT");
  // The pictures last: the marked segment's reference days on the year's scale, then the months and the
  // duration curves of every hour.
  for (int tag : tage) erwartet.push_back("Lauf Bild Boden Tag " + std::to_string(tag) + ".png");
  erwartet.push_back("Lauf Bild Monate.png"), erwartet.push_back("Lauf Bild Dauerlinie.png");
  EXPECT_EQ(b.dateien, erwartet);
  EXPECT_TRUE(b.nichtGeschrieben.empty() && ui.nachrichten.empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 24);
  for (auto [datei, inhalt] : {std::pair{"Lauf Bild Boden Tag 74.png", "Tag 74"}, {"Lauf Bild Dauerlinie.png", "Dauer 8760"}}) {
    std::ifstream f(dir / datei, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), inhalt);
  }
  EXPECT_TRUE(b.boden.Segment() == 2 && b.boden.Tage().size() == 365u && b.boden.Tag(365) != nullptr);
  // The options reached the model and the writers: one line a day.
  EXPECT_TRUE(m->AusgabeVerzeichnis == dir.string() && m->ErgebnisseVorhanden && !m->MitFeuchte);
  EXPECT_TRUE(m->NurEinTermin && m->AusgabeStunde == 6 && m->MarkSegment == 2);
  std::ifstream gesamt(dir / "Lauf Gesamtergebnis.TXT", std::ios::binary);
  EXPECT_EQ(std::count(std::istreambuf_iterator<char>(gesamt), {}, '\n'), 2 + 365);
  // Regression: the run ended (its window state back) before its files were written.
  ASSERT_EQ(ui.ablauf.size(), 14u);
  EXPECT_EQ(ui.ablauf[0] + ui.ablauf[1] + ui.ablauf[12] + ui.ablauf[13],
            "BeginnSchreibe \"Lauf Gesamtergebnis.TXT\"Schreibe \"Lauf Hydraulik.TXT\"Ende");
  EXPECT_EQ(ui.gezeichneteSegmente.back(), 2);
  // A picture that cannot be drawn keeps the earlier set, as a file that cannot be written.
  maler.leer = true, o.Stammname = "Lauf";
  const Laufbericht ohne = Starte(ui);
  EXPECT_TRUE(ohne.dateien.empty() && ohne.nichtGeschrieben.size() == 24u && !ui.nachrichten.empty());
  EXPECT_EQ(ui.nachrichten.front().text, "Das Bild \"Lauf Bild Boden Tag 14.png\" konnte nicht gezeichnet werden !");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 24);
  o.Bilder = nullptr;
  // The table is the default form: no day courses, a table with its code page and five channel profiles.
  o.TextAusgabe = o.Tagesgang = false, o.Stammname = "Tab";
  const Laufbericht t = Starte(ui);
  ASSERT_EQ(t.dateien.size(), 5u + 7u + 1u);
  EXPECT_EQ(t.dateien[5] + t.dateien[6], "Tab Gesamtergebnis.dbfTab Gesamtergebnis.cpg");
}

TEST_F(Lauf, StoppedAndRefusedRuns) {
  Laufbeobachter ui, ui2;
  ui.beiProcMsg = [&](int) { m->StopRequested = true; };
  Laufbericht b = Starte(ui);
  EXPECT_TRUE(b.ergebnis == Laufergebnis::Abgebrochen && b.dateien.empty() && fs::is_empty(dir));
  EXPECT_EQ(ui.Texte("Warnung"), std::vector<std::string>{"Die Simulation wurde vom Anweder abgebrochen !"});
  EXPECT_EQ(ui.gezeichneteSegmente, std::vector<int>{1});  // the last segment is not drawn
  EXPECT_EQ(ui.ablauf, (std::vector<std::string>{"Beginn", "Ende"}));
  // A fan schedule the driver refuses: its message, nothing written, no results.
  m->Kanalbetrieb.Volstrom = -1, m->ErgebnisseVorhanden = false;
  b = Starte(ui2);
  EXPECT_TRUE(b.ergebnis == Laufergebnis::Abgelehnt && fs::is_empty(dir) && !m->ErgebnisseVorhanden);
  EXPECT_EQ(ui2.Texte("Fehler"), std::vector<std::string>{"Der Wert für den Volumenstrom ist ungültig !"});
}

// Several years: a stop in the last year removes the 2-D fields that year began to write; a
// complete run adds the year table after the other files. With condensation the water file
// joins the set, its sums the last year's, each year's humid outdoor air entering anew.
TEST_F(Lauf, SeveralYearsWriteTheYearTableOrNothingAndCountTheLastYearsWater) {
  o.Jahre = 2, o.MarkSegmentText = "1";
  Laufbeobachter ui;
  ui.beiProcMsg = [&](int aufruf) { m->StopRequested = aufruf == 4; };
  Laufbericht b = Starte(ui);
  EXPECT_TRUE(b.ergebnis == Laufergebnis::Abgebrochen && b.dateien.empty() && fs::is_empty(dir));
  ui.beiProcMsg = nullptr;
  b = Starte(ui);
  ASSERT_TRUE(b.ergebnis == Laufergebnis::Fertig && b.jahre.size() == 2u);
  EXPECT_EQ(b.dateien.front(), FeldDateiname("Terval", 1, 14));
  EXPECT_EQ(b.dateien.back(), "Terval Jahre.TXT");
  EXPECT_EQ(b.boden.Tage().size(), 365u);  // the last year's days only
  // Humid summer air over soil that keeps the year's mean.
  test::FuelleKlima(*m, [](int h) { return 10.0f - 12.0f * std::cos(6.2832f * static_cast<float>(h) / Stunden); });
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].rFeuchte = 95.0f;
  m->Kanalbetrieb.Volstrom = 300;
  o.Jahre = 1, o.MarkSegmentText = "-1", o.Luftseite.Kondensation = true;
  auto summe = [&] {
    double kg = 0;
    for (int s = 1; s <= 2; ++s)
      for (int monat = 1; monat <= 12; ++monat) kg += m->Kondensat.kg[s][monat];
    return kg;
  };
  b = Starte(ui);
  ASSERT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_TRUE(b.boden.Leer());  // no segment marked: no fields kept
  const double einJahr = summe();
  ASSERT_GT(einJahr, 0.0);
  o.Jahre = 2, o.Stammname = "Zwei";
  ASSERT_EQ(Starte(ui).ergebnis, Laufergebnis::Fertig);
  EXPECT_TRUE(fs::exists(dir / "Zwei Kondensat.TXT") && fs::exists(dir / "Zwei Jahre.TXT"));
  // Same climate, the soil a year on: about the first year's water, not twice it.
  EXPECT_NEAR(summe() / einJahr, 1.0, 0.3);
}

}  // namespace
}  // namespace terval
