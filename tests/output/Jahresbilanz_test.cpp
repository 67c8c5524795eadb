// The year at a glance: the monthly heat sums against the hourly results and
// the year figures, and the duration curves with their hour counts.
#include "output/Jahresbilanz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

#include "model/Vardef.h"

namespace terval {
namespace {

// First hour (1..8760) of each month and the hour after the year.
constexpr int Monatsanfang[13] = {1,        1 + 24 * 31,  1 + 24 * 59,  1 + 24 * 90,  1 + 24 * 120,
                                  1 + 24 * 151, 1 + 24 * 181, 1 + 24 * 212, 1 + 24 * 243, 1 + 24 * 273,
                                  1 + 24 * 304, 1 + 24 * 334, 1 + 24 * 365};

class Jahresblick : public ::testing::Test {
 protected:
  // Three segments; the outlet swings around the inlet and below 0 degC in
  // winter, the flow changes by the hour, so no two months are alike.
  void SetUp() override {
    m->Anz_Segmente = 3;
    for (int h = 1; h <= Stunden; ++h) {
      m->Segmente[1].T_ein[h] = static_cast<float>(10 - 12 * std::cos(2 * M_PI * h / Stunden) + 5 * std::sin(h / 3.0));
      m->Segmente[3].T_aus[h] = static_cast<float>(9 - 6 * std::cos(2 * M_PI * (h - 500) / Stunden) + 2 * std::sin(h / 5.0));
      m->Segmente[2].T_aus[h] = 99;  // not the channel's outlet
      m->VolStromStunde[h] = static_cast<float>(0.2 + 0.1 * (h % 7));
    }
  }
  double Q(int h) const {
    return 1200.0 * m->VolStromStunde[h] * (double{m->Segmente[3].T_aus[h]} - m->Segmente[1].T_ein[h]) * 3600.0 / 3.6e6;
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Jahresblick, MonateSindDieSummenIhrerStundenUndErgebenDasJahr) {
  const Monatswaerme w = Monatsbilanz(*m);
  const Jahreszeile z = Jahresbilanz(*m);
  for (int monat = 0; monat < 12; ++monat) {
    double gewinn = 0, abgabe = 0;
    for (int h = Monatsanfang[monat]; h < Monatsanfang[monat + 1]; ++h) (Q(h) > 0 ? gewinn : abgabe) += std::abs(Q(h));
    EXPECT_NEAR(w.Gewinn_kWh[monat], gewinn, 1e-9 * (1 + gewinn)) << "Monat " << monat + 1;
    EXPECT_NEAR(w.Abgabe_kWh[monat], abgabe, 1e-9 * (1 + abgabe)) << "Monat " << monat + 1;
    EXPECT_GT(w.Gewinn_kWh[monat] + w.Abgabe_kWh[monat], 0);
  }
  const double gewinn = std::accumulate(w.Gewinn_kWh.begin(), w.Gewinn_kWh.end(), 0.0);
  const double abgabe = std::accumulate(w.Abgabe_kWh.begin(), w.Abgabe_kWh.end(), 0.0);
  EXPECT_GT(z.Gewinn_kWh, 100);
  EXPECT_GT(z.Abgabe_kWh, 100);
  EXPECT_NEAR(gewinn, z.Gewinn_kWh, 1e-9 * z.Gewinn_kWh);
  EXPECT_NEAR(abgabe, z.Abgabe_kWh, 1e-9 * z.Abgabe_kWh);
}

TEST_F(Jahresblick, EineStundeZaehltInIhremMonat) {
  // The first and last hour of a month, a gain of 1.2 kWh (1 m3/s, 1 K) in that hour only.
  struct Fall { int stunde, monat; };
  for (const Fall f : {Fall{1, 0}, Fall{744, 0}, Fall{745, 1}, Fall{1416, 1}, Fall{1417, 2}, Fall{5832, 7},
                       Fall{5833, 8}, Fall{8016, 10}, Fall{8017, 11}, Fall{8760, 11}}) {
    m->VolStromStunde.fill(0);
    m->VolStromStunde[f.stunde] = 1;
    m->Segmente[3].T_aus[f.stunde] = m->Segmente[1].T_ein[f.stunde] + 1;
    const Monatswaerme w = Monatsbilanz(*m);
    for (int monat = 0; monat < 12; ++monat) {
      EXPECT_NEAR(w.Gewinn_kWh[monat], monat == f.monat ? 1.2 : 0, 1e-5) << "Stunde " << f.stunde << ", Monat " << monat + 1;
      EXPECT_EQ(w.Abgabe_kWh[monat], 0);
    }
  }
}

TEST_F(Jahresblick, DauerlinieIstDieAbsteigendSortierteStundenreihe) {
  const Dauerlinien d = Dauerlinie(*m, 25);
  std::vector<double> aus(m->Segmente[3].T_aus.begin() + 1, m->Segmente[3].T_aus.end());
  std::vector<double> ein(m->Segmente[1].T_ein.begin() + 1, m->Segmente[1].T_ein.end());
  std::sort(aus.begin(), aus.end(), std::greater<>());
  std::sort(ein.begin(), ein.end(), std::greater<>());
  ASSERT_EQ(aus.size(), static_cast<size_t>(Stunden));
  EXPECT_EQ(d.T_aus, aus);
  EXPECT_EQ(d.T_ein, ein);
}

TEST_F(Jahresblick, StundenUnterNullUndUeberDerGrenze) {
  // Exactly at 0 degC or at the limit counts to neither side.
  m->Segmente[3].T_aus.fill(10);
  for (int h : {1, 2, 3}) m->Segmente[3].T_aus[h] = -0.5f;
  m->Segmente[3].T_aus[4] = 0;
  for (int h : {100, 8760}) m->Segmente[3].T_aus[h] = 25.5f;
  m->Segmente[3].T_aus[200] = 25;
  struct Fall { double grenze; int ueber; };
  for (const Fall f : {Fall{25, 2}, Fall{24.9, 3}, Fall{9.5, Stunden - 4}, Fall{30, 0}}) {
    const Dauerlinien d = Dauerlinie(*m, f.grenze);
    EXPECT_EQ(d.StundenUnterNull, 3) << f.grenze;
    EXPECT_EQ(d.StundenUeberGrenze, f.ueber) << f.grenze;
  }
  EXPECT_EQ(Jahresbilanz(*m).StundenUnterNull, 3);
}

}  // namespace
}  // namespace terval
