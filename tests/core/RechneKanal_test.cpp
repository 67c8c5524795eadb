// Whole-year runs of small channels on climates built in memory.
#include <gtest/gtest.h>

#include <cmath>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Kernmodell;
using test::SetzeSegment;

// n default segments (a single pipe at 6 m) on the annual climate with some rain.
std::unique_ptr<Modell> Kanal(int n) {
  auto m = Kernmodell();
  m->Anz_Segmente = n;
  for (int s = 1; s <= n; ++s) SetzeSegment(*m, s, 1, 6.0f);
  test::FuelleKlima(*m, test::Jahresklima, 0.1f);
  return m;
}

double Tagesmittel(const std::array<float, Stunden + 1>& T, int tag) {
  double summe = 0;
  for (int k = 0; k < 24; ++k) summe += T[StundenIndex(tag, k)];
  return summe / 24;
}

TEST(RechneKanal, OutletFeedsTheNextSegmentAndTheSoilWorksBothWays) {
  auto m = Kanal(2);
  m->Segmente[3].T_ein.fill(777.0f);
  test::Aufzeichner ui;
  RechneKanal(*m, ui);
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Initialisierung...", "Hauptmodul...", "Rechne Segment 1",
                                                 "Rechne Segment 2", ""}));
  EXPECT_TRUE(ui.gezeichneteSegmente == std::vector<int>({1, 2}) && ui.gridBilder + ui.procMsgAufrufe == 4);
  EXPECT_TRUE(ui.nachrichten.empty() && m->ErgebnisseVorhanden);
  const Kanalsegment &s1 = m->Segmente[1], &s2 = m->Segmente[2];
  EXPECT_EQ(s2.T_ein, s1.T_aus);
  EXPECT_EQ(m->Segmente[3].T_ein[100], 777.0f);  // no segment beyond the channel is written
  // The soil at 6 m warms the January air and cools the July air, segment after segment.
  EXPECT_GT(Tagesmittel(s1.T_aus, 14), Tagesmittel(s1.T_ein, 14) + 0.01);
  EXPECT_GT(Tagesmittel(s2.T_aus, 14), Tagesmittel(s2.T_ein, 14));
  EXPECT_LT(Tagesmittel(s2.T_aus, 200), Tagesmittel(s1.T_ein, 200) - 0.01);
  // Segment 2's surface follows the outdoor air, not its own inlet air.
  ASSERT_NE(s2.T_ein[Stunden], s1.T_ein[Stunden]);
  for (int c = 0; c <= m->LetzteSpalte; ++c) EXPECT_EQ(m->T_Feld[c][0], s1.T_ein[Stunden]);
}

// A constant climate is the soil's steady state: the air leaves as it came,
// and without the moisture model the soil keeps its start moisture.
TEST(RechneKanal, ConstantClimateLeavesAirAndSoilAsTheyWere) {
  auto m = Kanal(2);
  test::FuelleKlima(*m, [](int) { return 10.0f; }, 0.1f);
  m->MitFeuchte = false;
  test::Aufzeichner ui;
  RechneKanal(*m, ui);
  EXPECT_EQ(m->T_Jahresmittel, 10.0f);
  for (int s = 1; s <= 2; ++s)
    for (int h = 1; h <= Stunden; ++h) ASSERT_NEAR(m->Segmente[s].T_aus[h], 10.0f, 1e-4) << s << " " << h;
  for (int r = 0; r < Zeilen; ++r) EXPECT_DOUBLE_EQ(m->Theta[r], 0.5 * 0.45) << r;
  for (int h : {1, 4000, 8760}) EXPECT_FLOAT_EQ(m->Klima[h].Eta_z1, 0.5f * 0.45f);
}

// The scheme treats a column and its mirror image with the same operations
// on negated differences, so a grid symmetric about the pipe keeps an
// exactly mirror-symmetric field.
TEST(RechneKanal, SymmetricGridKeepsASymmetricField) {
  auto m = Kanal(1);
  test::Aufzeichner ui;
  RechneKanal(*m, ui);
  const int n = m->LetzteSpalte;
  ASSERT_EQ(n, 11);
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) EXPECT_NEAR(m->T_Feld[c][r], m->T_Feld[n - c][r], 1e-5) << c << "," << r;
  EXPECT_GT(std::abs(m->T_Feld[3][2] - m->T_Feld[3][14]), 0.5f);  // and not trivially uniform
}

TEST(RechneKanal, MoistureSubStepsPerHour) {  // nearest, halves to even
  for (auto [schritt, teile] : {std::pair{3600, 1}, {1800, 2}, {600, 6}, {60, 60}, {1, 3600}, {2400, 2}, {1440, 2},
                                {7200, 0}, {0, 0}, {-60, 0}})
    EXPECT_EQ(FeuchteTeilschritte(schritt), teile) << schritt;
}

}  // namespace
}  // namespace terval
