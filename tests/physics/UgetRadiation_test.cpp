#include "physics/UgetRadiation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "model/Vardef.h"
#include "physics/USoltab.h"

namespace terval {
namespace {

TEST(Sonnenspektrum, IntegralIstDieSolarkonstante) {
  ASSERT_EQ(SolarSpektrum.size(), 63u);
  EXPECT_EQ(SolarSpektrum[15].lambda, 0.44f);  // end of the table's first column
  EXPECT_EQ(SolarSpektrum[16].E, 2.031f);
  EXPECT_EQ(SolarSpektrum.back().E, 0.00025f);
  double integral = 0;
  for (size_t i = 1; i < SolarSpektrum.size(); ++i) {
    EXPECT_LT(SolarSpektrum[i - 1].lambda, SolarSpektrum[i].lambda) << i;
    integral += 0.5 * 1000 * (SolarSpektrum[i - 1].E + SolarSpektrum[i].E) *
                (SolarSpektrum[i].lambda - SolarSpektrum[i - 1].lambda);
  }
  // Total solar irradiance 1361 W/m2 (Kopp & Lean 2011); the trapezoids give 1363.3.
  EXPECT_NEAR(integral, 1361, 0.01 * 1361);
}

TEST(Sonnenstand, JahrestagMitSchaltjahrRegel) {
  EXPECT_EQ(Jahrestag(1, 1, 2001), 1);
  EXPECT_EQ(Jahrestag(1, 3, 2000), 61);
  EXPECT_EQ(Jahrestag(1, 3, 2001), 60);
  EXPECT_EQ(Jahrestag(31, 12, 2001), 365);
}

// A site whose clock runs on its own meridian (local mean time).
class Sonnenbahn : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Breitengrad = 51.26f;
    m->Laengengrad = 7.15f;
    m->Bezugsmeridian = 7.15f;
  }
  void Zu(const std::string& datum, const std::string& zeit) { Sonnenstand(*m, datum, zeit); }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Sonnenbahn, DeklinationFolgtDenJahreszeiten) {
  Zu("21.06.2001", "12:00");
  EXPECT_NEAR(m->Deklination, 23.4, 0.05);
  Zu("21.12.2001", "12:00");
  EXPECT_NEAR(m->Deklination, -23.4, 0.1);
  Zu("21.03.2001", "12:00");
  EXPECT_NEAR(m->Deklination, 0, 1.0);
  Zu("01.03.2000", "10:00");
  const float tag61 = m->Deklination;
  Zu("02.03.2001", "10:00");
  EXPECT_EQ(m->Deklination, tag61);
}

TEST_F(Sonnenbahn, MittagsStehtDieSonneImSueden) {
  // The highest minute of the day is solar noon.
  float besteHoehe = -90;
  std::string mittag;
  for (int minute = 11 * 60; minute <= 13 * 60; ++minute) {
    char zeit[32];
    std::snprintf(zeit, sizeof zeit, "%02d:%02d", minute / 60, minute % 60);
    Zu("15.04.2001", zeit);
    if (m->SonnenHoehe > besteHoehe) besteHoehe = m->SonnenHoehe, mittag = zeit;
  }
  Zu("15.04.2001", mittag);
  EXPECT_NEAR(m->SonnenAzimut, 180, 0.5);
  // Meridian altitude: h = 90 - (phi - delta).
  EXPECT_NEAR(m->SonnenHoehe, 90 - (m->Breitengrad - m->Deklination), 0.05);

  Zu("15.04.2001", "09:00");
  EXPECT_GT(m->SonnenAzimut, 90);
  EXPECT_LT(m->SonnenAzimut, 180);
  Zu("15.04.2001", "15:00");
  EXPECT_GT(m->SonnenAzimut, 180);
  EXPECT_LT(m->SonnenAzimut, 270);
  Zu("15.01.2001", "00:00");
  EXPECT_LT(m->SonnenHoehe, -50);
}

TEST_F(Sonnenbahn, PolUndUnbrauchbareTexteStuerzenNichtAb) {
  Zu("xx.yy.zzzz", "ab:cd");
  EXPECT_FALSE(std::isnan(m->SonnenHoehe));
  m->Breitengrad = 90;  // the azimuth is undefined at the pole
  Zu("21.06.2001", "12:00");
  EXPECT_FALSE(std::isnan(m->SonnenAzimut));
}

TEST(Strahlung, LuftmasseFlacherSonneNachDerKorrigiertenFormel) {
  EXPECT_NEAR(Luftmasse(5), 10.4, 0.05);  // not 1/sin 5 = 11.5
  EXPECT_NEAR(Luftmasse(30), 2.0, 1e-6);
}

TEST(Strahlung, KlarerHimmel) {
  auto m = NeuesModell();
  EXPECT_EQ(Sonnenstrahlung(*m, 0, 10, 0.07f, 10).direkt, 0);
  EXPECT_EQ(Sonnenstrahlung(*m, 0, 10, 0.07f, 10).diffus, 0);
  const Sonnenstrahlen s = Sonnenstrahlung(*m, 60, 20, 0.07f, 10);
  // A clear summer sky delivers 850..1050 W/m2 in the beam.
  EXPECT_GT(s.direkt, 850);
  EXPECT_LT(s.direkt, 1050);
  EXPECT_LT(Sonnenstrahlung(*m, 60, 20, 0.10f, 10).direkt, s.direkt);  // more aerosol
  // Diffuse share k = 1 / (8 sin^0.7 h + 1): diffuse = sin h I k / (1 - k); 1/8 in the zenith.
  const double sinh = std::sin(60 * M_PI / 180);
  EXPECT_NEAR(s.diffus, sinh * s.direkt / (8 * std::pow(sinh, 0.7)), 0.01);
  const Sonnenstrahlen zenit = Sonnenstrahlung(*m, 90, 0, 0.04f, 5);
  EXPECT_NEAR(zenit.diffus, zenit.direkt / 8, 1e-3);
}

TEST(Strahlung, WolkenNehmenNurDenDirektenStrahl) {
  auto m = NeuesModell();
  const Sonnenstrahlen klar = Sonnenstrahlung(*m, 40, 10, 0.07f, 12);
  m->Bedeckung = 8;
  const Sonnenstrahlen bedeckt = Sonnenstrahlung(*m, 40, 10, 0.07f, 12);
  EXPECT_EQ(bedeckt.direkt, 0);
  EXPECT_EQ(bedeckt.diffus, klar.diffus);
  m->Bedeckung = 4;
  EXPECT_FLOAT_EQ(Sonnenstrahlung(*m, 40, 10, 0.07f, 12).direkt, klar.direkt / 2);
  // Much vapour on a long path leaves nothing, diffuse part included.
  EXPECT_EQ(Sonnenstrahlung(*m, 3, 0, 0.1f, 60).diffus, 0);
}

TEST(Langwellig, HimmelStrahltAlsGrauerKoerper) {
  // 5.67e-8 * 273.13^4 * 0.739
  EXPECT_NEAR(Atmosphaerenstrahlung(0), 233.19, 0.05);
  // Clear-sky emissivity 1 - 0.261 exp(-7.77e-4 (273 - T)^2) lies between 0.739 and 1.
  for (float T = -30; T <= 40; T += 10) {
    const double TK = T + 273.13;
    const double eps = Atmosphaerenstrahlung(T) / (5.67e-8 * TK * TK * TK * TK);
    EXPECT_GE(eps, 0.7389) << T;
    EXPECT_LT(eps, 1.0) << T;
  }
}

TEST(Langwellig, JahresdurchgaengeFuerLwUndNettostrahlung) {
  auto m = NeuesModell();
  m->Klima[1].T_Luft = 10;
  m->Klima[Stunden].T_Luft = 10;
  m->Klima[Stunden].Glob_Str = 500;
  BerechneLangwelligeStrahlung(*m);
  BerechneNettostrahlung(*m);
  EXPECT_EQ(m->Klima[1].Lw_Str, Atmosphaerenstrahlung(10));
  // Clear night: the ground loses 0.97 sigma T^4 - L = 353.43 - 276.55 W/m2.
  EXPECT_NEAR(m->Klima[1].Net_Boden, -76.88, 0.02);
  // Albedo 0.3: 70 % of the global radiation counts.
  EXPECT_NEAR(m->Klima[Stunden].Net_Boden - m->Klima[1].Net_Boden, 350, 1e-3);
}

}  // namespace
}  // namespace terval
