#include "climate/Klimaerzeugung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include <unistd.h>

#include "support/Aufzeichner.h"
#include "climate/DBKlima.h"
#include "model/Vardef.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Nachricht;

// A year with complete, smooth air temperatures (annual and daily wave) and
// every other element missing, as a freshly read table without them.
std::unique_ptr<Modell> Grundjahr() {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  for (int tag = 1; tag <= 365; ++tag)
    for (int k = 0; k <= 23; ++k)
      m->Klima[StundenIndex(tag, k)].T_Luft =
          static_cast<float>(9.0 - 8.0 * std::cos(2 * std::numbers::pi * (tag - 20) / 365.0) +
                             4.0 * std::sin(2 * std::numbers::pi * (k - 9) / 24.0));
  m->KlimaGueltig = true;
  return m;
}

// Hours of month 1..12 as index range.
std::vector<int> StundenDesMonats(int monat) {
  std::vector<int> h;
  for (int tag = Monatsgrenzen[monat - 1] + 1; tag <= Monatsgrenzen[monat]; ++tag)
    for (int k = 0; k <= 23; ++k) h.push_back(StundenIndex(tag, k));
  return h;
}

// Saturation vapour pressure (Tetens), kPa, written out here so the humidity
// test does not lean on the physics routine it feeds.
double Tetens(double T) { return 0.6108 * std::exp(17.27 * T / (T + 237.3)); }

// ---- Humidity ---------------------------------------------------------------

TEST(CreateFeuchte, ConstantDayWithoutDewPointDepressionIsSaturated) {
  auto m = Grundjahr();
  Aufzeichner ui;
  for (int k = 0; k <= 23; ++k) m->Klima[StundenIndex(100, k)].T_Luft = 14.3f;
  m->Diff_Tdew = 0;
  CreateFeuchte(*m, ui);
  for (int k = 0; k <= 23; ++k) EXPECT_FLOAT_EQ(m->Klima[StundenIndex(100, k)].rFeuchte, 100.0f) << k;
  EXPECT_EQ(ui.status, std::vector<std::string>{"Feuchtedaten erzeugen..."});
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST(CreateFeuchte, DewPointIsTheDaysMinimumLessTheDepression) {
  auto m = Grundjahr();
  Aufzeichner ui;
  for (int k = 0; k <= 23; ++k) m->Klima[StundenIndex(2, k)].T_Luft = 20.0f;
  m->Klima[StundenIndex(2, 5)].T_Luft = 10.0f;
  m->Klima[StundenIndex(2, 7)].rFeuchte = 61.5f;  // supplied by the table: kept
  m->Diff_Tdew = 2.0f;
  CreateFeuchte(*m, ui);
  // Dew point 10 - 2 = 8 degC: rF = 100 * Esat(8) / Esat(T).
  EXPECT_NEAR(m->Klima[StundenIndex(2, 0)].rFeuchte, 100 * Tetens(8) / Tetens(20), 1e-3);  // 45.88 %
  EXPECT_NEAR(m->Klima[StundenIndex(2, 5)].rFeuchte, 100 * Tetens(8) / Tetens(10), 1e-3);  // 87.37 %
  EXPECT_EQ(m->Klima[StundenIndex(2, 7)].rFeuchte, 61.5f);
}

// ---- Wind -------------------------------------------------------------------

TEST(CreateWind, SplitsTheMeanIntoNightAndDayValues) {
  auto m = Grundjahr();
  Aufzeichner ui;
  m->Wg_mittel = 2.0f;
  m->Wg_Tag_Nacht = 2.0f;
  m->Klima[StundenIndex(3, 12)].Wind = 7.25f;  // supplied: kept
  CreateWind(*m, ui);
  for (int k = 0; k <= 23; ++k) {
    const float w = m->Klima[StundenIndex(1, k)].Wind;
    if (k < 6 || k > 19)
      EXPECT_NEAR(w, 1.333, 0.0005) << k;
    else
      EXPECT_NEAR(w, 2.667, 0.0005) << k;
  }
  EXPECT_FLOAT_EQ(m->Klima[StundenIndex(365, 23)].Wind, 4.0f / 3.0f);
  EXPECT_FLOAT_EQ(m->Klima[StundenIndex(365, 19)].Wind, 8.0f / 3.0f);
  EXPECT_EQ(m->Klima[StundenIndex(3, 12)].Wind, 7.25f);
  EXPECT_EQ(ui.status, std::vector<std::string>{"Winddaten erzeugen..."});
}

TEST(CreateWind, AcceptsHalfAndRefusesBelowWithTheMessage) {
  const std::string verhaeltnis =
      "Ungültiges Tag/Nachverhältnis für den Wind angegeben !\rDer Wert muss > 0.5 sein !";
  const std::string mittel =
      "Ungültiges Mittelwert für die Windgeschwindigkeit angegeben !\rDer Wert muss > 0.5 sein !";
  {
    auto m = Grundjahr();
    Aufzeichner ui;
    m->Wg_mittel = 0.5f;
    m->Wg_Tag_Nacht = 0.5f;
    CreateWind(*m, ui);
    EXPECT_TRUE(ui.nachrichten.empty());
    // A ratio below 1 makes the night windier: 2*0.5/1.5 and 2*0.5/3.
    EXPECT_FLOAT_EQ(m->Klima[StundenIndex(1, 0)].Wind, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(m->Klima[StundenIndex(1, 12)].Wind, 1.0f / 3.0f);
  }
  {
    auto m = Grundjahr();
    Aufzeichner ui;
    m->Wg_Tag_Nacht = 0.49f;
    CreateWind(*m, ui);
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", verhaeltnis}}));
    EXPECT_TRUE(ui.status.empty());
    EXPECT_EQ(m->Klima[StundenIndex(1, 12)].Wind, Fehlwert);
  }
  for (float falsch : {0.49f, std::nanf("")}) {
    auto m = Grundjahr();
    Aufzeichner ui;
    m->Wg_mittel = falsch;
    CreateWind(*m, ui);
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", mittel}}));
    EXPECT_EQ(m->Klima[StundenIndex(1, 12)].Wind, Fehlwert);
  }
}

// ---- Cloud cover --------------------------------------------------------------

// Smallest and largest of many draws for one day, and the share of value v.
struct Verteilung {
  int kleinste = 99, groesste = -99;
  double anteil = 0;
};
Verteilung Ziehe(const Modell& m, Zufall& z, int tag, int v, int mal = 4000) {
  Verteilung d;
  for (int i = 0; i < mal; ++i) {
    const int w = ZufallsWolken(m, z, tag);
    d.kleinste = std::min(d.kleinste, w);
    d.groesste = std::max(d.groesste, w);
    d.anteil += (w == v) / static_cast<double>(mal);
  }
  return d;
}

TEST(ZufallsWolken, RangeFollowsTheWeatherQualityOfTheMonth) {
  EXPECT_EQ(MonatVonTag(31), 1);
  EXPECT_EQ(MonatVonTag(32), 2);
  EXPECT_EQ(MonatVonTag(365), 12);
  auto m = Grundjahr();
  Zufall z(11);
  m->Wetter_[2] = 1;  // February fair: day 59 is its last day
  m->Wetter_[3] = 3;  // March poor: day 60 is its first
  m->Wetter_[4] = 2;
  m->Wetter_[5] = 0;  // outside the table: the nearest class, fair
  m->Wetter_[7] = 9;  // and poor
  const Verteilung schoen = Ziehe(*m, z, 59, 0), schlecht = Ziehe(*m, z, 60, 8), mittel = Ziehe(*m, z, 100, 0);
  const Verteilung tief = Ziehe(*m, z, 130, 0), hoch = Ziehe(*m, z, 190, 8);
  EXPECT_EQ(std::make_pair(schoen.kleinste, schoen.groesste), std::make_pair(0, 3));
  EXPECT_EQ(std::make_pair(schlecht.kleinste, schlecht.groesste), std::make_pair(2, 8));
  EXPECT_EQ(std::make_pair(mittel.kleinste, mittel.groesste), std::make_pair(0, 7));
  EXPECT_EQ(std::make_pair(tief.kleinste, tief.groesste), std::make_pair(0, 3));
  EXPECT_EQ(std::make_pair(hoch.kleinste, hoch.groesste), std::make_pair(2, 8));
  // r + o - 4 limited: fair is 0 with 5/8, poor 8 with 2/8, medium 0 with
  // 1/8. 4000 draws give a standard error below 0.008; 0.03 is four of them.
  EXPECT_NEAR(schoen.anteil, 5.0 / 8, 0.03);
  EXPECT_NEAR(schlecht.anteil, 2.0 / 8, 0.03);
  EXPECT_NEAR(mittel.anteil, 1.0 / 8, 0.03);
  EXPECT_NEAR(tief.anteil, 5.0 / 8, 0.03);
  EXPECT_EQ(WetterTabelle(4).M, 150);
}

TEST(CreateWolken, ReplacesEveryValueAlsoSuppliedOnes) {
  auto m = Grundjahr();
  Aufzeichner ui;
  Zufall z(5);
  m->Wetter_[1] = 1;
  // January supplied as overcast except one missing hour.
  for (int h : StundenDesMonats(1)) m->Klima[h].Wolken = 8.0f;
  m->Klima[StundenIndex(10, 4)].Wolken = Fehlwert;
  CreateWolken(*m, ui, z);
  for (int h : StundenDesMonats(1)) {
    EXPECT_GE(m->Klima[h].Wolken, 0.0f);
    EXPECT_LE(m->Klima[h].Wolken, 3.0f);
  }
  for (int h = 1; h <= Stunden; ++h) EXPECT_EQ(m->Klima[h].Wolken, std::floor(m->Klima[h].Wolken));
  EXPECT_EQ(ui.status, std::vector<std::string>{"Wolkendaten erzeugen..."});
}

// ---- Sorting the hours of a month --------------------------------------------

void Belege(Modell& m, const std::vector<float>& wolken) {
  for (size_t i = 0; i < wolken.size(); ++i)
    m.Stundenliste[i + 1] = {wolken[i], static_cast<int32_t>(i + 1), static_cast<int32_t>(i)};
}
std::vector<int> TageDerListe(const Modell& m, int n) {
  std::vector<int> t;
  for (int i = 1; i <= n; ++i) t.push_back(m.Stundenliste[i].Tag);
  return t;
}

TEST(SortStunden, HandWorkedSequencesDecideTies) {
  auto m = NeuesModell();
  // n = 4: two passes, gaps 2 and 1. Gap 2 moves C (1) in front of the two
  // equal entries and leaves B ahead of A; gap 1 never swaps equal entries.
  // A(2) B(2) C(1) D(3) -> C B A D, not the stable C A B D.
  Belege(*m, {2, 2, 1, 3});
  SortStunden(*m, 4);
  EXPECT_EQ(TageDerListe(*m, 4), (std::vector<int>{3, 2, 1, 4}));
  EXPECT_EQ(m->Stundenliste[1].Stunde, 2);  // all three components travel together
  EXPECT_EQ(m->Stundenliste[1].Wolken, 1.0f);

  // n = 5: A(3) B(1) C(3) D(1) E(2). Gap 2: E swaps with C, then with A ->
  // E B A D C. Gap 1: B E A D C, then D moves two places -> B D E A C.
  Belege(*m, {3, 1, 3, 1, 2});
  SortStunden(*m, 5);
  EXPECT_EQ(TageDerListe(*m, 5), (std::vector<int>{2, 4, 5, 1, 3}));
}

TEST(SortStunden, SortsFullyAndLeavesShortListsAlone) {
  // ln 8 * 1.442695022 is just below 3; the added 0.00001 keeps the third
  // pass (gap 1), without which descending input stays unsorted.
  auto m = NeuesModell();
  Belege(*m, {8, 7, 6, 5, 4, 3, 2, 1});
  SortStunden(*m, 8);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(m->Stundenliste[i].Wolken, static_cast<float>(i));

  Zufall z(3);
  std::vector<float> w;
  for (int i = 0; i < 744; ++i) w.push_back(static_cast<float>(z.Ganzzahl0bis7()) + 0.5f * (i % 2));
  Belege(*m, w);
  SortStunden(*m, 744);
  for (int i = 2; i <= 744; ++i) ASSERT_LE(m->Stundenliste[i - 1].Wolken, m->Stundenliste[i].Wolken);

  Belege(*m, {5});
  SortStunden(*m, 1);
  SortStunden(*m, 0);
  EXPECT_EQ(m->Stundenliste[1].Wolken, 5.0f);
}

// ---- Precipitation --------------------------------------------------------------

// Each month's amounts are handed out in double and stored in single
// precision: every stored amount is within half an ulp (2^-24 relative) of
// its exact share, the shares are non-negative and add up to Ns_, so the
// stored month differs from Ns_ by at most Ns_ * 2^-24. Twice that is allowed.
void ErwarteMonatssummen(const Modell& m) {
  for (int monat = 1; monat <= 12; ++monat) {
    double summe = 0;
    for (int h : StundenDesMonats(monat)) {
      EXPECT_GE(m.Klima[h].Nieders, 0.0f) << "Monat " << monat;
      summe += m.Klima[h].Nieders;
    }
    const double soll = std::max(0.0f, m.Ns_[monat]);
    EXPECT_NEAR(summe, soll, soll * std::ldexp(1.0, -23) + 1e-12) << "Monat " << monat;
  }
}

int NasseStunden(const Modell& m, int monat) {
  int n = 0;
  for (int h : StundenDesMonats(monat)) n += m.Klima[h].Nieders > 0;
  return n;
}

TEST(CreateNiederschlag, EveryMonthSumsToItsPrecipitationSum) {
  for (int wetter : {1, 2, 3}) {
    auto m = Grundjahr();
    Aufzeichner ui;
    Zufall z(100 + wetter);
    for (int k = 1; k <= 12; ++k) m->Wetter_[k] = wetter;
    m->Ns_[5] = 181.3f;
    CreateWolken(*m, ui, z);
    CreateNiederschlag(*m, ui, z);
    SCOPED_TRACE(wetter);
    ErwarteMonatssummen(*m);
  }
}

TEST(CreateNiederschlag, FairMonthsRainInFewLargeEventsPoorInManySmall) {
  auto m = Grundjahr();
  Aufzeichner ui;
  Zufall z(21);
  for (int k = 1; k <= 12; ++k) m->Wetter_[k] = (k % 2) ? 1 : 3;
  CreateWolken(*m, ui, z);
  CreateNiederschlag(*m, ui, z);
  for (int monat = 1; monat <= 11; monat += 2) {
    // Fair: only cover 3 counts as cloudy (1/8 of the hours) and events are
    // five times the mean amount per cloudy hour, so about twenty wet hours.
    // Poor: 7/8 of the hours are cloudy and events 1.5 times the mean, so
    // several hundred wet hours.
    EXPECT_LT(NasseStunden(*m, monat), 60) << monat;
    EXPECT_GT(NasseStunden(*m, monat + 1), 150) << monat + 1;
  }
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Wolkendaten erzeugen...", "Niederschlagsdaten erzeugen..."}));
}

TEST(CreateNiederschlag, RainFallsIntoTheCloudiestHours) {
  auto m = Grundjahr();
  Aufzeichner ui;
  Zufall z(8);
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Wolken = 1.0f;
  // Fifty overcast hours scattered through April.
  const auto april = StundenDesMonats(4);
  for (int i = 0; i < 50; ++i) m->Klima[april[i * 14 + 3]].Wolken = 8.0f;
  m->Wetter_[4] = 1;
  CreateNiederschlag(*m, ui, z);
  ErwarteMonatssummen(*m);
  // Fair events average 5 * 54.7 / 50 mm, so the month is spent long before
  // the fifty overcast hours are.
  for (int h : april) {
    if (m->Klima[h].Nieders > 0) {
      EXPECT_EQ(m->Klima[h].Wolken, 8.0f) << h;
    }
  }
}

TEST(CreateNiederschlag, MonthWithoutCloudyHoursUsesItsCloudiestHours) {
  auto m = Grundjahr();
  Aufzeichner ui;
  Zufall z(9);
  // No hour reaches cover 3: January all at 2, February all at 1 except ten at 2.5.
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Wolken = 2.0f;
  const auto februar = StundenDesMonats(2);
  for (int h : februar) m->Klima[h].Wolken = 1.0f;
  for (int i = 0; i < 10; ++i) m->Klima[februar[i * 60 + 7]].Wolken = 2.5f;
  for (int k = 1; k <= 12; ++k) m->Wetter_[k] = 1;
  CreateNiederschlag(*m, ui, z);
  for (int h = 1; h <= Stunden; ++h) ASSERT_TRUE(std::isfinite(m->Klima[h].Nieders)) << h;
  ErwarteMonatssummen(*m);
  // The largest February event lies in one of the ten cloudiest hours.
  int nassesteStunde = februar[0];
  for (int h : februar)
    if (m->Klima[h].Nieders > m->Klima[nassesteStunde].Nieders) nassesteStunde = h;
  EXPECT_EQ(m->Klima[nassesteStunde].Wolken, 2.5f);
}

TEST(CreateNiederschlag, SmallZeroAndInvalidSumsGiveNoNegativeAmounts) {
  auto m = Grundjahr();
  Aufzeichner ui;
  Zufall z(4);
  CreateWolken(*m, ui, z);
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Nieders = 3.0f;  // everything is replaced
  m->Ns_[1] = 0;
  m->Ns_[2] = 0.05f;
  m->Ns_[3] = 0.1f;
  m->Ns_[4] = 0.95f;
  m->Ns_[5] = -12.0f;
  m->Ns_[6] = std::nanf("");
  CreateNiederschlag(*m, ui, z);
  for (int monat : {1, 5, 6})
    for (int h : StundenDesMonats(monat)) ASSERT_EQ(m->Klima[h].Nieders, 0.0f) << monat;
  m->Ns_[6] = 0;  // for the sum check: a non-finite sum counts as 0 mm
  ErwarteMonatssummen(*m);
}

TEST(CreateNiederschlag, EventLargerThanTheRemainderLeavesATenthForTheNextHour) {
  // One cloudy hour per month makes the amount per cloudy hour the whole sum,
  // so a fair event (five times that on average) exceeds the remainder.
  auto ein_bewoelkter_monat = [](float summe) {
    auto m = Grundjahr();
    Aufzeichner ui;
    Zufall z(6);
    for (int h = 1; h <= Stunden; ++h) m->Klima[h].Wolken = 1.0f;
    m->Klima[StundenIndex(40, 13)].Wolken = 6.0f;
    for (int k = 1; k <= 12; ++k) {
      m->Wetter_[k] = 1;
      m->Ns_[k] = 0;
    }
    m->Ns_[2] = summe;
    CreateNiederschlag(*m, ui, z);
    ErwarteMonatssummen(*m);
    std::vector<float> nass;
    for (int h : StundenDesMonats(2))
      if (m->Klima[h].Nieders != 0) nass.push_back(m->Klima[h].Nieders);
    return std::make_pair(m->Klima[StundenIndex(40, 13)].Nieders, nass);
  };
  // 0.3 mm: the event is cut to 0.3 - 0.1, the remainder 0.1 goes to the next hour.
  auto [wolkigste, nass] = ein_bewoelkter_monat(0.3f);
  EXPECT_NEAR(wolkigste, 0.2f, 1e-7);
  EXPECT_EQ(nass.size(), 2u);
  // 0.05 mm: cutting would be negative, so the cloudiest hour gets nothing and
  // the next one the whole 0.05 mm.
  auto [wolkigste2, nass2] = ein_bewoelkter_monat(0.05f);
  EXPECT_EQ(wolkigste2, 0.0f);
  EXPECT_EQ(nass2, std::vector<float>{0.05f});
}

// ---- Global radiation --------------------------------------------------------------

// Solar elevation from textbook formulas independent of the radiation
// routines: Cooper's declination and the hour angle of local mean time
// (the equation of time, at most 16 min, is left out).
double UnabhaengigeSonnenhoehe(double breite, int tag, int stunde) {
  const double grad = std::numbers::pi / 180;
  const double delta = 23.45 * std::sin(2 * std::numbers::pi * (284 + tag) / 365.0);
  const double omega = 15.0 * (stunde - 12);
  const double s = std::sin(breite * grad) * std::sin(delta * grad) +
                   std::cos(breite * grad) * std::cos(delta * grad) * std::cos(omega * grad);
  return std::asin(s) / grad;
}

std::unique_ptr<Modell> StrahlungsJahr(float wolken) {
  auto m = Grundjahr();
  for (int h = 1; h <= Stunden; ++h) {
    m->Klima[h].rFeuchte = 70.0f;
    m->Klima[h].Wolken = wolken;
  }
  return m;
}

TEST(CreateStrahlung, NightIsDarkAndJuneNoonBright) {
  auto m = StrahlungsJahr(0.0f);
  Aufzeichner ui;
  m->Breitengrad = 51.26f;
  m->Laengengrad = 7.15f;
  CreateStrahlung(*m, ui);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(ui.status, std::vector<std::string>{"Strahlungsdaten erzeugen..."});
  const int juni21 = Monatsgrenzen[5] + 21;
  ASSERT_EQ(juni21, 172);
  // Clear-sky noon at a solar elevation of about 62 degrees: a few hundred W/m2
  // below the solar constant once Rayleigh, aerosol and vapour are taken off.
  const float mittag = m->Klima[StundenIndex(juni21, 12)].Glob_Str;
  EXPECT_GT(mittag, 600.0f);
  EXPECT_LT(mittag, 1100.0f);
  // Every hour clearly below the horizon gets 0; 4 degrees cover the
  // left-out equation of time (at most 4 degrees of hour angle) and the
  // approximate declination. Low sun may give 0 too: the vapour term
  // (2.8 e m + 70 W/m2) can take the whole beam over a long air path, so
  // light is only demanded above 15 degrees.
  for (int tag = 1; tag <= 365; ++tag)
    for (int k = 0; k <= 23; ++k) {
      const double h = UnabhaengigeSonnenhoehe(51.26, tag, k);
      const float g = m->Klima[StundenIndex(tag, k)].Glob_Str;
      if (h < -4) {
        ASSERT_EQ(g, 0.0f) << tag << " " << k;
      } else if (h > 15) {
        ASSERT_GT(g, 0.0f) << tag << " " << k;
      }
      ASSERT_GE(g, 0.0f);
    }
  for (int k : {0, 1, 2, 22, 23}) EXPECT_EQ(m->Klima[StundenIndex(juni21, k)].Glob_Str, 0.0f) << k;
}

TEST(CreateStrahlung, CloudCoverIsRoundedHalfToEvenAndLimited) {
  // The cloud cover only scales the direct beam, so a year at cover c has the
  // same radiation as one at the cover the rounding picks.
  auto noon = [](float wolken) {
    auto m = StrahlungsJahr(wolken);
    Aufzeichner ui;
    CreateStrahlung(*m, ui);
    return m->Klima[StundenIndex(172, 12)].Glob_Str;
  };
  EXPECT_EQ(noon(4.5f), noon(4.0f));
  EXPECT_EQ(noon(3.5f), noon(4.0f));
  EXPECT_EQ(noon(5.5f), noon(6.0f));
  EXPECT_EQ(noon(5.4f), noon(5.0f));
  EXPECT_EQ(noon(9.0f), noon(8.0f));
  EXPECT_EQ(noon(-1.0f), noon(0.0f));
  // Overcast leaves the diffuse part only.
  EXPECT_LT(noon(8.0f), 0.5f * noon(0.0f));
  EXPECT_GT(noon(8.0f), 0.0f);
}

TEST(CreateStrahlung, OnlyMissingHoursAreGeneratedOnARunningClock) {
  auto voll = StrahlungsJahr(2.0f);
  auto teil = StrahlungsJahr(2.0f);
  Aufzeichner ui;
  // The table supplies days 1..171: the clock must still walk through them.
  for (int h = 1; h < StundenIndex(172, 0); ++h) teil->Klima[h].Glob_Str = 123.0f;
  CreateStrahlung(*voll, ui);
  CreateStrahlung(*teil, ui);
  EXPECT_EQ(teil->Klima[StundenIndex(100, 12)].Glob_Str, 123.0f);
  EXPECT_EQ(teil->Klima[StundenIndex(100, 0)].Glob_Str, 123.0f);
  for (int h = StundenIndex(172, 0); h <= Stunden; ++h)
    ASSERT_EQ(teil->Klima[h].Glob_Str, voll->Klima[h].Glob_Str) << h;
  // After the year the clock is back at its start.
  EXPECT_EQ(teil->AktDatum, "01.01.2000");
}

TEST(CreateStrahlung, PositionChecks) {
  const std::string text =
      "Die Angaben über den Breiten-/ Längengrad sind ungültig !\r"
      "Eine Berechnung der Globalstrahlung kann nicht durchgeführt werden";
  struct Fall {
    float breite, laenge;
    bool gueltig;
  };
  for (const Fall f : {Fall{5, 7.15f, false}, Fall{-45, 7.15f, true}, Fall{10, 0, true},
                       Fall{9.99f, 0, false}, Fall{-9.99f, 0, false}, Fall{90, -180, true},
                       Fall{90.5f, 0, false}, Fall{51, 180.5f, false}, Fall{51, -181, false},
                       Fall{std::nanf(""), 0, false}}) {
    auto m = StrahlungsJahr(3.0f);
    Aufzeichner ui;
    m->Breitengrad = f.breite;
    m->Laengengrad = f.laenge;
    CreateStrahlung(*m, ui);
    SCOPED_TRACE(std::to_string(f.breite) + " / " + std::to_string(f.laenge));
    if (f.gueltig) {
      EXPECT_TRUE(ui.nachrichten.empty());
      EXPECT_NE(m->Klima[StundenIndex(172, 12)].Glob_Str, Fehlwert);
    } else {
      EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", text}}));
      EXPECT_EQ(m->Klima[StundenIndex(172, 12)].Glob_Str, Fehlwert);
    }
  }
}

// ---- The driver -------------------------------------------------------------------

bool AlleGesetzt(const Modell& m, float TKlimaStunde::*feld) {
  for (int h = 1; h <= Stunden; ++h)
    if (m.Klima[h].*feld == Fehlwert) return false;
  return true;
}

TEST(CreateFehlendeDaten, GeneratesEveryMissingElementInOrder) {
  auto m = Grundjahr();
  Aufzeichner ui;
  CreateFehlendeDaten(*m, ui, false, 1234u);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Feuchtedaten erzeugen...", "Winddaten erzeugen...",
                                                 "Wolkendaten erzeugen...", "Strahlungsdaten erzeugen...",
                                                 "Niederschlagsdaten erzeugen...", ""}));
  EXPECT_TRUE(m->KlimaKomplett);
  EXPECT_TRUE(m->WolkenKomplett);
  ErwarteMonatssummen(*m);

  // Radiation was made from the humidity and cloud cover generated before it.
  auto nach = Grundjahr();
  for (int h = 1; h <= Stunden; ++h) {
    nach->Klima[h].rFeuchte = m->Klima[h].rFeuchte;
    nach->Klima[h].Wolken = m->Klima[h].Wolken;
  }
  CreateStrahlung(*nach, ui);
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(nach->Klima[h].Glob_Str, m->Klima[h].Glob_Str) << h;
}

TEST(CreateFehlendeDaten, RunsOnlyTheGeneratorsOfIncompleteElements) {
  auto m = Grundjahr();
  Aufzeichner ui;
  for (int h = 1; h <= Stunden; ++h) {
    m->Klima[h].rFeuchte = 55.0f;
    m->Klima[h].Wind = 3.0f;
    m->Klima[h].Glob_Str = 0.0f;
  }
  m->Klima[3].Glob_Str = Fehlwert;
  CreateFehlendeDaten(*m, ui, false, 1u);
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Wolkendaten erzeugen...", "Strahlungsdaten erzeugen...",
                                                 "Niederschlagsdaten erzeugen...", ""}));
  EXPECT_EQ(m->Klima[3].Glob_Str, 0.0f);  // 2 o'clock on 1 January: night
  EXPECT_EQ(m->Klima[4000].rFeuchte, 55.0f);
  EXPECT_TRUE(m->KlimaKomplett);
}

TEST(CreateFehlendeDaten, NeedsCompleteAirTemperature) {
  auto m = Grundjahr();
  Aufzeichner ui;
  m->Klima[5000].T_Luft = Fehlwert;
  CreateFehlendeDaten(*m, ui, false, 1u);
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler",
                 "Zum Erzeugen fehlender Daten werden zumindest Angaben zur Lufttemperatur benötigt !\r"
                 "Fehlen auch diese Daten, so können Sie im Programm eine Testdatenbank erzeugen lassen,\r"
                 "und diese als Basisdatenbank für die Klimadaten verwenden !"}}));
  EXPECT_TRUE(ui.status.empty());
  EXPECT_FALSE(AlleGesetzt(*m, &TKlimaStunde::rFeuchte));
  EXPECT_FALSE(AlleGesetzt(*m, &TKlimaStunde::Nieders));
}

TEST(CreateFehlendeDaten, RefusedWindLeavesTheOthersRunning) {
  auto m = Grundjahr();
  Aufzeichner ui;
  m->Wg_Tag_Nacht = 0.3f;
  m->Breitengrad = 3.0f;
  CreateFehlendeDaten(*m, ui, false, 2u);
  EXPECT_EQ(ui.Texte("Fehler").size(), 2u);
  EXPECT_FALSE(m->WindKomplett);
  EXPECT_FALSE(m->StrahlungKomplett);
  EXPECT_TRUE(m->FeuchteKomplett);
  EXPECT_TRUE(m->NiederschlagKomplett);
  EXPECT_FALSE(m->KlimaKomplett);
  EXPECT_EQ(ui.status.back(), "");
}

TEST(CreateFehlendeDaten, FixedSeedRepeatsClockSeedDiffers) {
  auto lauf = [](std::optional<unsigned> saat) {
    auto m = Grundjahr();
    Aufzeichner ui;
    CreateFehlendeDaten(*m, ui, false, saat);
    return m;
  };
  auto gleich = [](const Modell& a, const Modell& b) {
    for (int h = 1; h <= Stunden; ++h)
      if (a.Klima[h].Wolken != b.Klima[h].Wolken || a.Klima[h].Nieders != b.Klima[h].Nieders ||
          a.Klima[h].Glob_Str != b.Klima[h].Glob_Str)
        return false;
    return true;
  };
  auto a = lauf(42u), b = lauf(42u), c = lauf(43u);
  EXPECT_TRUE(gleich(*a, *b));
  EXPECT_FALSE(gleich(*a, *c));
  auto d = lauf(std::nullopt), e = lauf(std::nullopt);
  EXPECT_FALSE(gleich(*d, *e));
}

// ---- The menu command --------------------------------------------------------------

const std::string Rueckfrage =
    "Diese Funktion verändert den Inhalt Ihrer Datenbank. \r"
    "Hierbei wird die Datenbank DIREKT auf der Festplatte modifiziert, nicht nur innerhalb des Programmes !\r"
    "Sie sollten vorher eine Sicherungskopie dieser Datei anlegen, falls Sie mit den Resultaten dieser "
    "Operationen nicht zufrieden sind !\r"
    "Wollen Sie nun mit der Erzeugung fehlender Daten fortfahren ?";

TEST(FehlendeKlimadatenErzeugen, CompleteYearNeedsNothing) {
  for (bool zurueck : {false, true}) {
    auto m = Grundjahr();
    Aufzeichner ui;
    m->KlimaKomplett = true;
    FehlendeKlimadatenErzeugen(*m, ui, zurueck);
    EXPECT_EQ(ui.nachrichten,
              (std::vector<Nachricht>{{"Information",
                                       "Die aktuelle Datenbank ist vollständig.\rEs brauchen keine Daten "
                                       "erzeugt zu werden ! "}}));
    EXPECT_TRUE(ui.status.empty());
    EXPECT_EQ(m->Klima[1].rFeuchte, Fehlwert);
  }
}

TEST(FehlendeKlimadatenErzeugen, WriteBackAsksFirstTemporaryDoesNot) {
  auto m = Grundjahr();
  Aufzeichner ui;
  ui.antworten = {false};
  FehlendeKlimadatenErzeugen(*m, ui, true, 1u);
  EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Frage", Rueckfrage}}));
  EXPECT_TRUE(ui.status.empty());
  EXPECT_EQ(m->Klima[1].rFeuchte, Fehlwert);

  Aufzeichner temporaer;
  FehlendeKlimadatenErzeugen(*m, temporaer, false, 1u);
  EXPECT_TRUE(temporaer.nachrichten.empty());
  EXPECT_TRUE(m->KlimaKomplett);
}

TEST(FehlendeKlimadatenErzeugen, RefusesWithoutAnAcceptedTable) {
  auto m = Grundjahr();
  Aufzeichner ui;
  m->KlimaGueltig = false;
  ui.antworten = {true};
  FehlendeKlimadatenErzeugen(*m, ui, true, 1u);
  EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{
                                {"Fehler", "Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !"}}));
  EXPECT_EQ(m->Klima[1].rFeuchte, Fehlwert);
}

// ---- Writing back ---------------------------------------------------------------

// A private directory for table files, removed at the end of the test.
struct Arbeitsordner {
  std::filesystem::path pfad;
  explicit Arbeitsordner(const std::string& name)
      : pfad(std::filesystem::temp_directory_path() /
             ("terval_klimaerzeugung_" + name + "_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(pfad);
  }
  ~Arbeitsordner() {
    std::error_code f;
    std::filesystem::remove_all(pfad, f);
  }
};

TEST(FehlendeKlimadatenErzeugen, WriteBackPutsTheGeneratedColumnsIntoTheTable) {
  // A text table with four data columns and only the air temperature filled.
  Arbeitsordner ordner("zurueck");
  const auto datei = ordner.pfad / "Nur_Temperatur.txt";
  {
    auto quelle = Grundjahr();
    std::ofstream aus(datei, std::ios::binary);
    aus << "Nr;T_Luft;rFeuchte;Wind;Glob_Str\n";
    for (int h = 1; h <= Stunden; ++h) aus << h << ";" << quelle->Klima[h].T_Luft << ";;;\n";
  }
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->DBKlimaName = datei.string();
  Aufzeichner lesen;
  ReadKlimaDB(*m, lesen);
  ASSERT_TRUE(m->KlimaGueltig);
  ASSERT_EQ(m->KlimaFeldzahl, 4);
  ASSERT_FALSE(m->FeuchteKomplett);

  Aufzeichner ui;
  ui.antworten = {true};
  FehlendeKlimadatenErzeugen(*m, ui, true, 77u);
  EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Frage", Rueckfrage}}));
  EXPECT_TRUE(m->KlimaKomplett);

  // Read again: humidity, wind and radiation come from the file; the table
  // has no precipitation column, so the generated precipitation was memory only.
  auto wieder = NeuesModell();
  SetzeStartzustand(*wieder);
  wieder->DBKlimaName = datei.string();
  Aufzeichner nochmal;
  ReadKlimaDB(*wieder, nochmal);
  ASSERT_TRUE(wieder->KlimaGueltig);
  for (int h = 1; h <= Stunden; ++h) {
    ASSERT_EQ(wieder->Klima[h].rFeuchte, m->Klima[h].rFeuchte) << h;
    ASSERT_EQ(wieder->Klima[h].Wind, m->Klima[h].Wind) << h;
    ASSERT_EQ(wieder->Klima[h].Glob_Str, m->Klima[h].Glob_Str) << h;
  }
  EXPECT_TRUE(wieder->FeuchteKomplett && wieder->WindKomplett && wieder->StrahlungKomplett);
  EXPECT_FALSE(wieder->NiederschlagKomplett);
}

// ---- A real year ----------------------------------------------------------------

// DWD station Aachen-Orsbach, 2022, as an EnergyPlus weather file: complete
// except for precipitation, which the station did not record that year.
TEST(KlimaerzeugungAachen, PrecipitationAndRadiationOfAMeasuredYear) {
  namespace fs = std::filesystem;
  const std::string name = "15000_20220101_20230101_Aachen-Orsbach.epw";
  fs::path quelle = fs::path(TERVAL_QUELLVERZEICHNIS) / "data" / name;
  if (!fs::exists(quelle)) quelle = fs::path("/work/shared/data") / name;
  ASSERT_TRUE(fs::exists(quelle)) << name;
  // A private copy: nothing in this test may touch the shared sample.
  Arbeitsordner ordner("aachen");
  const fs::path kopie = ordner.pfad / quelle.filename();
  fs::copy_file(quelle, kopie, fs::copy_options::overwrite_existing);

  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->Breitengrad = 50.798f;
  m->Laengengrad = 6.024f;
  m->DBKlimaName = kopie.string();
  Aufzeichner ui;
  ReadKlimaDB(*m, ui);
  ASSERT_TRUE(m->KlimaGueltig);
  ASSERT_TRUE(m->TLuftKomplett && m->FeuchteKomplett && m->WindKomplett && m->StrahlungKomplett &&
              m->WolkenKomplett);
  ASSERT_FALSE(m->NiederschlagKomplett);
  double gemessen = 0;
  for (int h = 1; h <= Stunden; ++h) gemessen += m->Klima[h].Glob_Str;
  EXPECT_NEAR(gemessen / 1000, 1246, 1);  // kWh/m2, the station's annual sum

  // Precipitation from the default monthly sums of the location profile.
  Aufzeichner erzeugen;
  CreateFehlendeDaten(*m, erzeugen, false, 2022u);
  EXPECT_EQ(erzeugen.status, (std::vector<std::string>{"Niederschlagsdaten erzeugen...", ""}));
  EXPECT_TRUE(erzeugen.nachrichten.empty());
  ErwarteMonatssummen(*m);
  EXPECT_TRUE(m->KlimaKomplett);

  // Radiation deleted and made again from the measured humidity and cloud cover.
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Glob_Str = Fehlwert;
  Aufzeichner strahlung;
  CreateFehlendeDaten(*m, strahlung, false, 2022u);
  EXPECT_EQ(strahlung.status, (std::vector<std::string>{"Strahlungsdaten erzeugen...", ""}));
  EXPECT_TRUE(m->KlimaKomplett);
  double erzeugt = 0;
  for (int h = 1; h <= Stunden; ++h) erzeugt += m->Klima[h].Glob_Str;
  erzeugt /= 1000;
  RecordProperty("Globalstrahlung_erzeugt_kWh", std::to_string(erzeugt));
  std::cout << "Globalstrahlung Aachen 2022: erzeugt " << erzeugt << " kWh/m2, gemessen " << gemessen / 1000
            << " kWh/m2\n";
  // The generator scales only the direct beam by 1 - N/8 and keeps the
  // clear-sky diffuse part, so under broken cloud it misses the light the
  // clouds scatter down. At this station's mean cover of 5.4 octas that costs
  // about a third: the year comes out near 840 kWh/m2 against 1246 measured,
  // while the same year without clouds would give about 1800. 60 to 100 % of
  // the measurement accepts the model as it is and still catches a lost cloud
  // reduction, clouds read in the wrong unit or daylight at night.
  EXPECT_GT(erzeugt, 0.6 * 1246);
  EXPECT_LT(erzeugt, 1.0 * 1246);
}

}  // namespace
}  // namespace terval
