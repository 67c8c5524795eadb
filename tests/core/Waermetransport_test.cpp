// The segment grid (columns, pipe cells, cellar walls, pipe block) and the
// channel check's corrections; heat in the soil: the mean temperatures, the
// spin-up of the start profile, the explicit 2-D step and the boundary values
// of a cross-section.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Kernmodell;
using test::SetzeSegment;

int FesteZellen(const Modell& m) {
  int n = 0;
  for (const auto& spalte : m.ZellTyp)
    for (int z : spalte) n += z;
  return n;
}

// Columns per side: L / DX rounded (halves to even), L = half the block
// width + 2.5 m or the building distance; the pipe row Tiefe / DZ; the pipe
// column trunc(x / DX) + 1 with x the pipe centre from the left edge.
TEST(InitGrid, WorkedGrids) {
  const struct {
    const char* name;
    float R;
    int rohre;
    float tiefe, abstand, links, rechts, gebTiefe;
    int letzteSpalte, zellRadius, zeile;
    std::array<int32_t, 4> box;
    int zellen;
  } faelle[] = {
      // W 0.8, L 2.9: 5.8 -> 6 columns a side; x0 = 2.9, column 6, cells 5..6.
      {"Standard", 0.4f, 1, 6, 0, 0, 0, 8, 11, 1, 12, {5, 6, 11, 12}, 4},
      // W 0.4, L 2.7: 5.4 -> 5; x0 = 2.7 -> column 6; radius 0.4 cells -> 0: one cell.
      {"R 0.2", 0.2f, 1, 3, 0, 0, 0, 8, 9, 0, 6, {6, 6, 6, 6}, 1},
      // Halves to even: R 0.25 -> radius 0; 2.5 rows -> 2, 3.5 -> 4; L 2.75: 5.5 columns -> 6.
      {"R 0.25 in 1.25 m", 0.25f, 1, 1.25f, 0, 0, 0, 8, 11, 0, 2, {6, 6, 2, 2}, 1},
      {"R 0.25 in 1.75 m", 0.25f, 1, 1.75f, 0, 0, 0, 8, 11, 0, 4, {6, 6, 4, 4}, 1},
      // Buildings at 2.25 m (4.5 -> 4 columns) and 2.75 m (5.5 -> 6); walls of 17 rows each.
      {"Keller 2.25 und 2.75", 0.4f, 1, 6, 0, 2.25f, 2.75f, 8, 9, 1, 12, {4, 5, 11, 12}, 4 + 34},
      // L/DX = 13.5 in decimals, 13.499999 in single precision: 13 columns a side.
      {"9 Rohre", 0.45f, 9, 3, 0.05f, 0, 0, 8, 25, 1, 6, {5, 22, 5, 6}, 9 * 4},
      // W 3.6, L 4.3: 9 columns a side; pipes at columns 6, 9, 12 with soil between.
      {"Register 3", 0.4f, 3, 6, 0.6f, 0, 0, 8, 17, 1, 12, {5, 12, 11, 12}, 12},
      // x0 = 3.0: pipe column 7; the wall column is not part of the block.
      {"Keller links", 0.4f, 1, 6, 0, 3, 0, 8, 11, 1, 12, {6, 7, 11, 12}, 4 + 17},
      {"flacher Keller", 0.4f, 1, 6, 0, 3, 0, 3, 11, 1, 12, {6, 7, 11, 12}, 4 + 7},  // rows 0..6
      // The only pipe cell lies in the surface row: no block.
      {"Rohr an der Oberfläche", 0.2f, 1, 0, 0, 0, 0, 8, 9, 0, 0, {90, 0, 90, 0}, 1},
      // What the grid check refuses is clamped into the store.
      {"ungeprüft", 0.4f, 1, 20, 0, 100, 100, 8, 39, 1, 16, {90, 0, 90, 0}, 34},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    auto m = Kernmodell();
    m->Rohrdaten.Rohr_Ra = {0, f.R, f.R};
    SetzeSegment(*m, 1, f.rohre, f.tiefe, f.abstand);
    m->Segmente[1].Abst_Geb_li = f.links, m->Segmente[1].Abst_Geb_re = f.rechts, m->GebTiefeLinks = f.gebTiefe;
    InitGrid(*m, 1);
    EXPECT_EQ(std::tuple(m->LetzteSpalte, m->RohrZellRadius, m->RohrZeile),
              std::tuple(f.letzteSpalte, f.zellRadius, f.zeile));
    EXPECT_TRUE(m->RegisterBox == f.box && FesteZellen(*m) == f.zellen);
  }
}

TEST(InitGrid, PipeCellsWallsAndHalfCellDistances) {
  auto m = Kernmodell();
  SetzeSegment(*m, 1, 3, 6.0f, 0.6f);
  InitGrid(*m, 1);
  for (int c : {5, 6, 8, 9, 11, 12}) EXPECT_EQ(m->ZellTyp[c][11] + m->ZellTyp[c][12], 2) << c;
  EXPECT_EQ(m->ZellTyp[7][11] + m->ZellTyp[10][12], 0);
  // Half a cell to a solid neighbour, whose temperature sits on its surface.
  for (auto [d, erwartet] : {std::pair{m->D_O[4][11], 0.25f}, {m->D_W[4][11], 0.5f}, {m->D_W[7][12], 0.25f},
                             {m->D_O[7][12], 0.25f}, {m->D_S[5][10], 0.25f}, {m->D_N[6][13], 0.25f},
                             {m->D_N[3][5], 0.5f}, {m->D_S[3][5], 0.5f}})
    EXPECT_EQ(d, erwartet);
  m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  InitGrid(*m, 1);
  for (int r = 0; r <= 16; ++r) EXPECT_EQ(m->ZellTyp[0][r] * 10 + m->ZellTyp[11][r], 10) << r;
  for (int r = 1; r <= 15; ++r) EXPECT_FLOAT_EQ(m->D_W[1][r], 0.25f) << r;
  // Squares beyond the store are cut; nonsense input writes nothing outside it.
  m = Kernmodell();
  MarkiereRohr(*m, 0, 0, 2);    // columns 0..1, rows 0..1
  MarkiereRohr(*m, 39, 16, 3);  // columns 36..39, rows 13..16 of 36..41, 13..18
  for (auto [c, r, nr] : {std::tuple{-1, 5, 0}, {40, 5, 0}, {5, 17, 0}, {1000000, -1000000, 1000000}})
    MarkiereRohr(*m, c, r, nr);
  EXPECT_EQ(FesteZellen(*m), 4 + 16);
  m->Rohrdaten.Rohr_Ra[2] = 1.0e9f;
  SetzeSegment(*m, 1, 3, 3.0f);
  InitGrid(*m, 0);  // no segment 0: taken as segment 1
  EXPECT_EQ(m->LetzteSpalte, 39);
  InitGrid(*m, 151);
}

TEST(PruefeKanal, CorrectsNoPipesAndMovesACellarOutOfTheRegister) {
  auto m = Kernmodell();
  test::Aufzeichner ui;
  // 3 pipes of R 0.5 with 0.5 spacing: W = 4, half width 2.
  m->Rohrdaten.Rohr_Ra[2] = 0.5f, m->Anz_Segmente = 3;
  SetzeSegment(*m, 1, 3, 3.0f, 0.5f);
  m->Segmente[1].Abst_Geb_li = 2.0f;  // exactly half the width: accepted
  SetzeSegment(*m, 2, 3, 3.0f, 0.5f);
  m->Segmente[2].Abst_Geb_li = 1.5f, m->Segmente[2].Abst_Geb_re = 1.0f;
  SetzeSegment(*m, 3, 0, 3.0f, 0.5f);
  m->Segmente[3].Abst_Geb_li = 0.1f;  // fine for W = -0.5 of the count 0
  EXPECT_TRUE(PruefeKanal(*m, ui));
  // No building is never changed; a cellar in the register moves to W / 2 + 2.
  const Kanalsegment *s = m->Segmente.data();
  EXPECT_EQ(std::tuple(s[1].Abst_Geb_li, s[1].Abst_Geb_re, s[2].Abst_Geb_li, s[2].Abst_Geb_re, s[3].Abst_Geb_li),
            std::tuple(2.0f, 0.0f, 4.0f, 4.0f, 0.1f));
  EXPECT_EQ(s[3].Anz_Rohre, 1);
  const std::string keller = " ist kleiner als die halbe Registerbreite\rEin Teil des Registers liegt somit im "
                             "Keller...\rDer Abstand zum Keller wurde erweitert um das Register einzupassen !";
  EXPECT_EQ(ui.Texte("Fehler"), (std::vector<std::string>{
                                    "Fehler im Segment 2\rDer Abstand zur Kellerwand links" + keller,
                                    "Fehler im Segment 2\rDer Abstand zur Kellerwand rechts" + keller,
                                    "In Segment 3 wurde als Rohrzahl \"0\" eingegeben. Korrigiere auf \"1\""}));
  ui.nachrichten.clear();
  m->Anz_Segmente = 1000;  // a count beyond the store is not followed
  for (int s = 1; s <= MaxSegmente; ++s) SetzeSegment(*m, s, 1, 6.0f);
  EXPECT_TRUE(PruefeKanal(*m, ui) && PruefeGitter(*m, ui) && ui.nachrichten.empty());
  CalcRohrVolumenstrom(*m), CalcAlphaJahr(*m);
}

// ---- Heat ---------------------------------------------------------------------------


void GleicheDiffusivitaet(Modell& m, float k) {
  for (int c = 0; c < MaxSpalten; ++c)
    for (int r = 0; r < Zeilen; ++r)
      m.K_Zelle[c][r] = m.K_W[c][r] = m.K_O[c][r] = m.K_N[c][r] = m.K_S[c][r] = k;
}

TEST(Mitteltemperaturen, YearSummerDays166To225AndTheAnnualCosine) {
  auto m = Kernmodell();
  auto& T = m->Segmente[1].T_ein;
  T.fill(5.0f);
  for (int h = 3961; h <= 5400; ++h) T[h] = 20.0f;
  T[3960] = T[5401] = 100.0f;  // just outside the summer window
  CalcMitteltemperaturen(*m);
  EXPECT_FLOAT_EQ(m->T_Sommermittel, 20.0f);
  EXPECT_NEAR(m->T_Jahresmittel, (5.0 * (8760 - 1442) + 20.0 * 1440 + 200.0) / 8760, 1e-4);
  m->T_Jahresmittel = 7.0f, m->T_Sommermittel = 18.0f;
  // Warmest at day 182.5, the cold end 2 * 7 - 18 half a year away.
  EXPECT_NEAR(T_Jahresgang(*m, 365), -4.0f, 1e-5);
  EXPECT_FLOAT_EQ(T_Jahresgang(*m, 182), T_Jahresgang(*m, 183));
  EXPECT_NEAR(T_Jahresgang(*m, 182), 7.0 + 11.0 * std::cos(2 * std::numbers::pi * 43200 / 3.1536e7), 1e-5);
  EXPECT_NEAR(T_Jahresgang(*m, 91), 7.0, 0.11);
}

// The spin-up is ProfilSchritt taken 24 x 61 times with each day's value of
// the annual cosine at the surface, for the whole year.
TEST(InitTProfil, IsTheStepByStepSpinUpAndReachesEveryColumn) {
  auto m = Kernmodell();
  m->T_Jahresmittel = 8.0f, m->T_Sommermittel = 17.0f;
  for (int r = 0; r < Zeilen; ++r) m->K_Zelle[0][r] = 4e-7f + 5e-8f * static_cast<float>(r);
  auto ref = std::make_unique<Modell>(*m);
  InitTProfil(*m);
  ref->T_Profil.fill(8.0);
  for (int d = 1; d <= 365; ++d)
    for (int i = 0; i < 24 * 61; ++i) ProfilSchritt(*ref, 3600.0, 8.0, T_Jahresgang(*ref, d));
  EXPECT_TRUE(m->T_Profil == ref->T_Profil && m->T_ProfilHilf == ref->T_ProfilHilf);
  EXPECT_NEAR(m->T_Profil[0], -1.0, 1e-5);  // the cold end
  EXPECT_TRUE(m->T_Profil[16] == 8.0 && m->T_Profil[4] > m->T_Profil[2]);
  InitGrid(*m, 1), InitTFeld(*m);
  for (int c = 0; c <= m->LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r) EXPECT_EQ(m->T_Feld[c][r], static_cast<float>(m->T_Profil[r]));
}

// Driven hour by hour by a true annual cosine at the surface, the profile
// reaches the periodic state of a half-space: amplitude A exp(-z/d), lag z/d,
// damping depth d = sqrt(2a/omega). The bottom at 8 m and the 0.5 m nodes
// change this by well under a percent.
TEST(ProfilSchritt, AnnualWaveDampsAndLagsAsInTheHalfSpace) {
  auto m = Kernmodell();
  const float a = 5e-7f;
  m->K_Zelle[0].fill(a);
  const double omega = 2 * std::numbers::pi / (8760 * 3600.0),
               d = std::sqrt(2 * static_cast<double>(a) / omega);
  m->T_Profil.fill(10.0);
  double cs[Zeilen] = {}, sn[Zeilen] = {};
  for (long n = 1; n <= 5 * 8760; ++n) {
    const double t = omega * 3600.0 * n;
    ProfilSchritt(*m, 3600.0, 10.0, 10.0 + 8.0 * std::cos(t));
    if (n > 4 * 8760)
      for (int r = 0; r < Zeilen; ++r)
        cs[r] += (m->T_Profil[r] - 10) * std::cos(t), sn[r] += (m->T_Profil[r] - 10) * std::sin(t);
  }
  for (int r : {2, 4}) {  // 1 m and 2 m
    const double z = r * 0.5;
    EXPECT_NEAR(2.0 / 8760 * std::hypot(cs[r], sn[r]) / (8.0 * std::exp(-z / d)), 1.0, 0.03) << z;
    EXPECT_NEAR(std::atan2(sn[r], cs[r]), z / d, 0.03) << z;
  }
}

TEST(WaermeSchritt, HalfCellExchangeFixedValuesSidesAndUniformField) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  GleicheDiffusivitaet(*m, 1e-6f);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  WaermeSchritt(*m, 99.0f, 98.0f, 0.0f, 11.0f, -2.0f, 3600.0f);
  // West of the pipe: flux k (10 - 0) / 0.25 over 0.5 m for 3600 s: 10 - 3600 / 0.5 * 1e-6 * 40.
  for (auto [c, r] : {std::pair{4, 11}, {7, 12}, {5, 10}, {6, 13}}) EXPECT_NEAR(m->T_Neu[c][r], 9.712f, 1e-5);
  EXPECT_NEAR(m->T_Neu[3][1], 10 - 3600 / 0.5 * 1e-6 * 12 / 0.5, 1e-5);  // the surface a full cell away
  EXPECT_EQ(m->T_Neu[4][10], 10.0f);                                      // diagonal neighbours feel nothing yet
  const int n = m->LetzteSpalte;
  for (int c = 0; c <= n; ++c)
    EXPECT_EQ(std::pair(m->T_Neu[c][0], m->T_Neu[c][16]), std::pair(-2.0f, 11.0f)) << c;
  for (int r = 1; r <= 15; ++r)  // no building: no heat through the side
    EXPECT_TRUE(m->T_Neu[0][r] == m->T_Neu[1][r] && m->T_Neu[n][r] == m->T_Neu[n - 1][r]) << r;
  EXPECT_EQ(m->T_Neu[5][11] + m->T_Neu[6][12], 0.0f);
  EXPECT_EQ(std::pair(m->T_Feld[5][11], m->T_Feld[3][0]), std::pair(0.0f, -2.0f));  // fixed values go into T_Feld too

  // Between cellar walls a uniform field equal to every boundary stays as it is.
  m->Segmente[1].Abst_Geb_li = m->Segmente[1].Abst_Geb_re = 3.0f, m->GebTiefeRechts = 4.0f;  // rows 0..8
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  WaermeSchritt(*m, 10.0f, 10.0f, 10.0f, 10.0f, 10.0f, 3600.0f);
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) ASSERT_EQ(m->T_Neu[c][r], 10.0f) << c << "," << r;
  // The walls hold their temperatures down to the building depth.
  WaermeSchritt(*m, 7.0f, 6.0f, 10.0f, 10.0f, 10.0f, 3600.0f);
  for (int r = 1; r <= 15; ++r)
    EXPECT_TRUE(m->T_Neu[0][r] == 6.0f && m->T_Neu[n][r] == (r <= 8 ? 7.0f : m->T_Neu[n - 1][r])) << r;
  EXPECT_LT(m->T_Neu[1][5], 10.0f);  // the wall cools its neighbour
}

// Cellar air - wall - soil in series, h = 3 W/(m2 K) on the cellar side:
// defaults U_w = 0.9/0.4 = 2.25, U_s = 1.5/0.25 = 6, cellar 8 degC, soil 10 degC.
double KellerwandDoppelt(double U_w, double U_s, double T_keller, double T_nb) {
  const double h = 3, a = (U_w + U_s) * (U_w + h);
  return (U_w * h / a * T_keller + U_s / (U_w + U_s) * T_nb) / (1 - U_w * U_w / a);
}

TEST(Randbedingungen, CellarWallSurfaceAndWater) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = m->Segmente[1].Abst_Geb_re = 3.0f, m->GebTiefeLinks = 3.0f;  // rows 0..6
  InitGrid(*m, 1);
  const int n = m->LetzteSpalte;
  for (auto& spalte : m->T_Feld) spalte.fill(30.0f);
  for (int r = 0; r < Zeilen; ++r) m->T_Feld[1][r] = r <= 6 ? 10.0f : 50.0f;  // beside the wall rows only
  m->T_Feld[n - 1].fill(10.0f);
  m->Lambda[16] = 1.5;
  EXPECT_NEAR(CalcKellerwand(*m, 0), KellerwandDoppelt(2.25, 6, 8, 10), 1e-5);
  EXPECT_NEAR(CalcKellerwand(*m, 7), KellerwandDoppelt(2.25, 6, 8, 10), 1e-5);  // any side but 0 is the right
  m->Lambda[16] = 0.0;  // no soil conductance: the cellar air alone
  EXPECT_NEAR(CalcKellerwand(*m, 0), 8.0f, 1e-5);
  m->Lambda[16] = 1.5, m->wlf_kellerwand = 4000.0f;  // no wall resistance: (h T_Keller + U_s T_nb) / (h + U_s)
  EXPECT_NEAR(CalcKellerwand(*m, 0), 84.0 / 9, 0.01);
  m->wlf_kellerwand = 0.9f, m->GebTiefeLinks = -1.0f;  // a wall of no rows has no soil beside it
  InitGrid(*m, 1);
  EXPECT_NEAR(CalcKellerwand(*m, 0), 8.0f, 1e-5);

  m->Anz_Segmente = 3, m->T_Fundament = 10.0f, m->Segmente[1].T_ein[100] = -3.0f, m->Segmente[3].T_ein[100] = 2.0f;
  for (int s = 1; s <= 3; ++s) m->Segmente[s].Überbaut = s - 1;
  // Overbuilt: the foundation; sealed: the outdoor air, not its own inlet.
  EXPECT_EQ(std::vector<float>({Oberflaechentemperatur(*m, 1, 100), Oberflaechentemperatur(*m, 2, 100),
                                Oberflaechentemperatur(*m, 3, 100)}),
            std::vector<float>({-3, 10, -3}));
  EXPECT_EQ(std::vector<float>({Wasserfaktor(*m, 1), Wasserfaktor(*m, 2), Wasserfaktor(*m, 3)}),
            std::vector<float>({1, 0, 0}));
}

}  // namespace
}  // namespace terval
