// The generators of missing climate elements: a pinned generated year,
// worked humidity and wind values, exact monthly precipitation in its edge
// cases, radiation by day and night, the driver and the menu command.
#include "climate/Klimaerzeugung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "climate/DBKlima.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using namespace test;

// A year with smooth air temperatures (annual and daily wave) and every
// other element missing, as a freshly read table without them; or with
// humidity 70 % and the given cloud cover.
std::unique_ptr<Modell> Grundjahr(float wolken = Fehlwert) {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  for (int h = 1; h <= Stunden; ++h) {
    m->Klima[h].T_Luft = static_cast<float>(9.0 - 8.0 * std::cos(2 * std::numbers::pi * ((h - 1) / 24 - 19) / 365.0) +
                                            4.0 * std::sin(2 * std::numbers::pi * ((h - 1) % 24 - 9) / 24.0));
    if (wolken != Fehlwert) m->Klima[h].rFeuchte = 70.0f, m->Klima[h].Wolken = wolken;
  }
  m->KlimaGueltig = true;
  return m;
}

std::vector<int> StundenDesMonats(int monat) {
  std::vector<int> h;
  for (int i = StundenIndex(Monatsgrenzen[monat - 1] + 1, 0); i < StundenIndex(Monatsgrenzen[monat] + 1, 0); ++i) h.push_back(i);
  return h;
}

// Each month's amounts are handed out in double and stored in single
// precision, so the stored month differs from Ns_ by at most Ns_ * 2^-24;
// a negative or non-finite sum counts as 0 mm.
void ErwarteMonatssummen(const Modell& m) {
  for (int monat = 1; monat <= 12; ++monat) {
    double summe = 0;
    for (int h : StundenDesMonats(monat)) {
      summe += m.Klima[h].Nieders;
      EXPECT_GE(m.Klima[h].Nieders, 0.0f);
    }
    const double soll = std::isfinite(m.Ns_[monat]) ? std::max(0.0f, m.Ns_[monat]) : 0.0;
    EXPECT_NEAR(summe, soll, soll * std::ldexp(1.0, -23) + 1e-12) << "Monat " << monat;
  }
}

// A whole year generated with a fixed seed, every weather class (0 and 9
// beyond the table) and odd monthly sums: the monthly sums hold, and the
// year is pinned. The pin was taken from this generator once the tests
// below, the measured year of Aachen and the old one-test-per-rule suite
// passed; it changes with any change of a generator, of the solar routines
// or of the random draws.
TEST(Klimaerzeugung, EinGanzesJahrMitFesterSaat) {
  auto m = Grundjahr();
  Aufzeichner ui;
  m->Wetter_ = {0, 1, 2, 3, 0, 9, 1, 2, 3, 1, 2, 3, 2};
  m->Ns_ = {0, 0, 0.05f, 0.1f, 0.95f, -12.0f, NAN, 181.3f, 54.7f, 3.0f, 66.2f, 65.0f, 69.5f};
  m->Diff_Tdew = 1.5f;
  m->Wg_mittel = 3.0f, m->Wg_Tag_Nacht = 1.5f;
  CreateFehlendeDaten(*m, ui, false, 1234u);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Feuchtedaten erzeugen...", "Winddaten erzeugen...", "Wolkendaten erzeugen...",
                                                 "Strahlungsdaten erzeugen...", "Niederschlagsdaten erzeugen...", ""}));
  EXPECT_TRUE(m->KlimaKomplett && m->WolkenKomplett);
  ErwarteMonatssummen(*m);
  std::array<double, 5> summen{};
  for (const TKlimaStunde& k : m->Klima)
    for (size_t i = 0; const float x : {k.rFeuchte, k.Wind, k.Wolken, k.Glob_Str, k.Nieders})
      summen[i++] += x * (&k - &m->Klima[0]);  // weighted by the hour, so a moved value shows
  EXPECT_EQ(summen, (std::array<double, 5>{2682988259.6795502, 118962989.43028831, 134111873, 4987373699.8424225,
                                            2714555.543038249}));
}

// Saturation vapour pressure (Tetens), kPa, written out so the humidity test
// does not lean on the physics routine it feeds.
double Tetens(double T) { return 0.6108 * std::exp(17.27 * T / (T + 237.3)); }

TEST(Klimaerzeugung, FeuchteAusDemTaupunktUndWindNachTagUndNacht) {
  auto m = Grundjahr();
  Aufzeichner ui;
  for (int k = 0; k <= 23; ++k) m->Klima[StundenIndex(2, k)].T_Luft = k == 5 ? 10.0f : 20.0f;
  m->Klima[StundenIndex(2, 7)].rFeuchte = 61.5f;  // supplied by the table: kept
  m->Klima[StundenIndex(3, 12)].Wind = 7.25f;
  m->Diff_Tdew = 2.0f;
  m->Wg_mittel = m->Wg_Tag_Nacht = 2.0f;
  CreateFeuchte(*m, ui);
  CreateWind(*m, ui);
  // Dew point 10 - 2 = 8 degC: rF = 100 Esat(8) / Esat(T), 45.88 % and 87.37 %.
  EXPECT_NEAR(m->Klima[StundenIndex(2, 0)].rFeuchte, 100 * Tetens(8) / Tetens(20), 1e-3);
  EXPECT_NEAR(m->Klima[StundenIndex(2, 5)].rFeuchte, 100 * Tetens(8) / Tetens(10), 1e-3);
  EXPECT_EQ(m->Klima[StundenIndex(2, 7)].rFeuchte, 61.5f);
  // Night (0..5, 20..23) and day (6..19) in the ratio 2 with the mean 2 m/s.
  for (int k : {0, 5, 20, 23}) EXPECT_FLOAT_EQ(m->Klima[StundenIndex(365, k)].Wind, 4.0f / 3) << k;
  for (int k : {6, 12, 19}) EXPECT_FLOAT_EQ(m->Klima[StundenIndex(1, k)].Wind, 8.0f / 3) << k;
  EXPECT_EQ(m->Klima[StundenIndex(3, 12)].Wind, 7.25f);
  // 0.5 is the least ratio and mean taken; below, or not a number, is refused.
  const std::string verhaeltnis = "Ungültiges Tag/Nachverhältnis für den Wind angegeben !\rDer Wert muss > 0.5 sein !";
  const std::string mittel = "Ungültiges Mittelwert für die Windgeschwindigkeit angegeben !\rDer Wert muss > 0.5 sein !";
  const std::tuple<float, float, std::string> faelle[] = {{0.5f, 0.5f, ""}, {0.49f, 2, verhaeltnis}, {NAN, 2, verhaeltnis},
                                                          {2, 0.49f, mittel}, {2, NAN, mittel}};
  for (const auto& [tagNacht, mittelwert, meldung] : faelle) {
    m = Grundjahr();
    Aufzeichner wind;
    m->Wg_Tag_Nacht = tagNacht, m->Wg_mittel = mittelwert;
    CreateWind(*m, wind);
    EXPECT_EQ(wind.Texte("Fehler"), std::vector<std::string>(!meldung.empty(), meldung)) << tagNacht << " " << mittelwert;
    EXPECT_EQ(m->Klima[StundenIndex(1, 12)].Wind, meldung.empty() ? 1.0f / 3 : Fehlwert);
  }
}

// Rain falls into the cloudiest hours; a month without a cover of 3 uses its
// cloudiest ones; an event larger than the remainder leaves 0.1 mm for the
// next hour, all of it when the month has less.
TEST(Klimaerzeugung, NiederschlagInDenWolkigstenStunden) {
  auto m = Grundjahr(1.0f);
  Aufzeichner ui;
  Zufall z(8);
  m->Wetter_.fill(1);
  const auto april = StundenDesMonats(4), februar = StundenDesMonats(2);
  for (int i = 0; i < 50; ++i) m->Klima[april[i * 14 + 3]].Wolken = 8.0f;
  for (int i = 0; i < 10; ++i) m->Klima[februar[i * 60 + 7]].Wolken = 2.5f;
  CreateNiederschlag(*m, ui, z);
  ErwarteMonatssummen(*m);
  for (int h : april) EXPECT_TRUE(m->Klima[h].Nieders == 0 || m->Klima[h].Wolken == 8.0f) << h;
  EXPECT_EQ(m->Klima[*std::max_element(februar.begin(), februar.end(), [&](int a, int b) {
              return m->Klima[a].Nieders < m->Klima[b].Nieders; })].Wolken, 2.5f);
  for (float summe : {0.3f, 0.05f}) {
    m = Grundjahr(1.0f);
    m->Wetter_.fill(1);
    m->Ns_.fill(0);
    m->Ns_[2] = summe;
    m->Klima[StundenIndex(40, 13)].Wolken = 6.0f;  // the one cloudy hour takes the whole sum as its mean
    CreateNiederschlag(*m, ui, z);
    ErwarteMonatssummen(*m);
    int nass = 0;
    for (int h : februar) nass += m->Klima[h].Nieders != 0;
    EXPECT_NEAR(m->Klima[StundenIndex(40, 13)].Nieders, summe > 0.1f ? 0.2f : 0.0f, 1e-7);
    EXPECT_EQ(nass, summe > 0.1f ? 2 : 1);
  }
}

float JuniMittag(float wolken) {
  auto m = Grundjahr(wolken);
  Aufzeichner ui;
  CreateStrahlung(*m, ui);
  return m->Klima[StundenIndex(172, 12)].Glob_Str;
}

TEST(Klimaerzeugung, StrahlungBeiTagUndNacht) {
  auto m = Grundjahr(0.0f);
  Aufzeichner ui;
  for (int h = 1; h < StundenIndex(172, 0); ++h) m->Klima[h].Glob_Str = 123.0f;  // supplied: the clock still runs
  CreateStrahlung(*m, ui);
  EXPECT_EQ(m->Klima[StundenIndex(100, 12)].Glob_Str, 123.0f);
  EXPECT_EQ(m->AktDatum, "01.01.2000") << "nach dem Jahr steht die Uhr wieder am Anfang";
  // Clear-sky noon at about 62 degrees, a few hundred W/m2 below the solar
  // constant; midnight dark.
  EXPECT_GT(m->Klima[StundenIndex(172, 12)].Glob_Str, 600.0f);
  EXPECT_LT(m->Klima[StundenIndex(172, 12)].Glob_Str, 1100.0f);
  EXPECT_EQ(m->Klima[StundenIndex(172, 0)].Glob_Str, 0.0f);
  // Only the direct beam scales with the cover, rounded half to even and limited to 0..8.
  EXPECT_EQ(JuniMittag(4.5f), JuniMittag(4.0f));
  EXPECT_EQ(JuniMittag(3.5f), JuniMittag(4.0f));
  EXPECT_EQ(JuniMittag(9.0f), JuniMittag(8.0f));
  EXPECT_EQ(JuniMittag(-1.0f), JuniMittag(0.0f));
  EXPECT_GT(JuniMittag(8.0f), 0.0f);
  EXPECT_LT(JuniMittag(8.0f), 0.5f * JuniMittag(0.0f));
  // Latitudes within 10 degrees of the equator and beyond the poles are refused.
  const std::tuple<float, float, bool> orte[] = {{5, 7.15f, false}, {-45, 7.15f, true}, {10, 0, true}, {9.99f, 0, false},
      {-9.99f, 0, false}, {90, -180, true}, {90.5f, 0, false}, {51, 180.5f, false}, {51, -181, false}, {NAN, 0, false}};
  for (const auto& [breite, laenge, gueltig] : orte) {
    m = Grundjahr(3.0f);
    Aufzeichner pos;
    m->Breitengrad = breite, m->Laengengrad = laenge;
    CreateStrahlung(*m, pos);
    EXPECT_EQ(pos.nachrichten.empty(), gueltig) << breite << " / " << laenge;
    EXPECT_EQ(m->Klima[StundenIndex(172, 12)].Glob_Str != Fehlwert, gueltig) << breite << " / " << laenge;
  }
}

// Only the incomplete elements are generated, a refused wind leaves the
// others running; without every air temperature nothing is.
TEST(Klimaerzeugung, NurWasFehltUndNichtOhneTemperatur) {
  auto m = Grundjahr(5.0f);
  Aufzeichner ui;
  for (TKlimaStunde& k : m->Klima) k.Glob_Str = 0.0f;
  m->Klima[3].Glob_Str = Fehlwert;
  m->Wg_Tag_Nacht = 0.3f;
  CreateFehlendeDaten(*m, ui, false, 1u);
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Strahlungsdaten erzeugen...", "Niederschlagsdaten erzeugen...", ""}));
  EXPECT_EQ(ui.Texte("Fehler").size(), 1u);
  EXPECT_EQ(m->Klima[3].Glob_Str, 0.0f) << "2 Uhr am 1. Januar: Nacht";
  EXPECT_EQ(m->Klima[4000].rFeuchte, 70.0f);
  EXPECT_FALSE(m->WindKomplett || m->KlimaKomplett);
  EXPECT_TRUE(m->NiederschlagKomplett && m->StrahlungKomplett);
  m = Grundjahr();
  m->Klima[5000].T_Luft = Fehlwert;
  Aufzeichner ohne;
  CreateFehlendeDaten(*m, ohne, false, 1u);
  EXPECT_EQ(ohne.Texte("Fehler"), std::vector<std::string>{"Zum Erzeugen fehlender Daten werden zumindest Angaben zur "
            "Lufttemperatur benötigt !\rFehlen auch diese Daten, so können Sie im Programm eine Testdatenbank erzeugen "
            "lassen,\rund diese als Basisdatenbank für die Klimadaten verwenden !"});
  EXPECT_TRUE(ohne.status.empty());
}

// The menu command: refused without an accepted table, nothing to do for a
// complete year, asks before writing back; the generated columns then are in
// the table, precipitation (no column) in memory only.
TEST(Klimaerzeugung, MenuebefehlMitZurueckschreiben) {
  Testverzeichnis v;
  auto m = Grundjahr();
  std::string text = "Nr;T_Luft;rFeuchte;Wind;Glob_Str\n";
  for (int h = 1; h <= Stunden; ++h) text += std::to_string(h) + ";" + KuerzesterText(m->Klima[h].T_Luft) + ";;;\n";
  SchreibeDatei(v.Datei("Nur_Temperatur.txt"), text);
  Aufzeichner ui;
  ui.antworten = {false, true};
  m->KlimaGueltig = false;
  FehlendeKlimadatenErzeugen(*m, ui, true, 1u);
  m->DBKlimaName = v.Datei("Nur_Temperatur.txt");
  ReadKlimaDB(*m, ui);
  m->KlimaKomplett = true;
  FehlendeKlimadatenErzeugen(*m, ui, true, 1u);
  m->KlimaKomplett = false;
  FehlendeKlimadatenErzeugen(*m, ui, true, 1u);  // answered No
  EXPECT_EQ(m->Klima[1].rFeuchte, Fehlwert);
  FehlendeKlimadatenErzeugen(*m, ui, true, 77u);
  EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{
                                {"Fehler", "Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !"},
                                {"Information", "Die aktuelle Datenbank ist vollständig.\rEs brauchen keine Daten erzeugt zu werden ! "},
                                {"Frage", RueckschreibFrage}, {"Frage", RueckschreibFrage}}));
  EXPECT_TRUE(m->KlimaKomplett);
  auto wieder = NeuesModell();
  wieder->DBKlimaName = m->DBKlimaName;
  ReadKlimaDB(*wieder, ui);
  for (int h = 1; h <= Stunden; ++h)
    ASSERT_TRUE(wieder->Klima[h].rFeuchte == m->Klima[h].rFeuchte && wieder->Klima[h].Wind == m->Klima[h].Wind &&
                wieder->Klima[h].Glob_Str == m->Klima[h].Glob_Str) << h;
  EXPECT_FALSE(wieder->NiederschlagKomplett);
}

}  // namespace
}  // namespace terval
