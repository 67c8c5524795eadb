#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"

namespace terval {
namespace {

using test::Kernmodell;
using test::SetzeSegment;

int ZahlFesteZellen(const Modell& m) {
  int n = 0;
  for (const auto& spalte : m.ZellTyp)
    for (int z : spalte) n += z;
  return n;
}

TEST(InitGrid, WorkedExampleOfTheDefaultChannel) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte, 11);
  EXPECT_EQ(m->RohrZellRadius, 1);
  EXPECT_EQ(m->RohrZeile, 12);
  EXPECT_EQ(m->RegisterBox, (std::array<int32_t, 4>{5, 6, 11, 12}));
  EXPECT_EQ(ZahlFesteZellen(*m), 4);
  for (int c = 5; c <= 6; ++c)
    for (int r = 11; r <= 12; ++r) EXPECT_EQ(m->ZellTyp[c][r], 1) << c << "," << r;

  const GitterAufbau g = BerechneGitterAufbau(*m, 1);
  EXPECT_FLOAT_EQ(g.W, 0.8f);
  EXPECT_FLOAT_EQ(g.L_li, 2.9f);
  EXPECT_EQ(g.n_li, 6);
  EXPECT_EQ(g.n_re, 6);
  EXPECT_EQ(RohrSpalte(g, 1), 6);
}

TEST(InitGrid, HalfCellDistanceToSolidNeighbours) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  EXPECT_FLOAT_EQ(m->D_O[4][11], 0.25f);  // west of the pipe
  EXPECT_FLOAT_EQ(m->D_W[4][11], 0.5f);
  EXPECT_FLOAT_EQ(m->D_W[7][12], 0.25f);  // east of it
  EXPECT_FLOAT_EQ(m->D_S[5][10], 0.25f);  // above
  EXPECT_FLOAT_EQ(m->D_N[6][13], 0.25f);  // below
  EXPECT_FLOAT_EQ(m->D_N[3][5], 0.5f);
  EXPECT_FLOAT_EQ(m->D_S[3][5], 0.5f);
}

TEST(InitGrid, SinglePipeNarrowerThanHalfACellMarksOneCell) {
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[1] = 0.2f;
  SetzeSegment(*m, 1, 1, 3.0f);
  InitGrid(*m, 1);
  EXPECT_EQ(m->RohrZellRadius, 0);
  EXPECT_EQ(m->RohrZeile, 6);
  EXPECT_EQ(ZahlFesteZellen(*m), 1);
  // W 0.4, L 2.7: 5.4 -> 5 columns each side; x0 = 2.7 -> column 5 + 1.
  EXPECT_EQ(m->LetzteSpalte, 9);
  EXPECT_EQ(m->ZellTyp[6][6], 1);
  EXPECT_EQ(m->RegisterBox, (std::array<int32_t, 4>{6, 6, 6, 6}));
}

TEST(InitGrid, RoundingTiesGoToEven) {
  auto m = Kernmodell();
  // R 0.25 m: radius 0.5 cells -> 0, a single cell.
  m->Rohrdaten.Rohr_Ra[1] = 0.25f;
  SetzeSegment(*m, 1, 1, 1.25f);  // 2.5 rows -> 2
  InitGrid(*m, 1);
  EXPECT_EQ(m->RohrZellRadius, 0);
  EXPECT_EQ(m->RohrZeile, 2);
  EXPECT_EQ(ZahlFesteZellen(*m), 1);

  m->Segmente[1].Tiefe = 1.75f;  // 3.5 rows -> 4
  InitGrid(*m, 1);
  EXPECT_EQ(m->RohrZeile, 4);

  // Columns: 2.25 m -> 4.5 -> 4; 2.75 m -> 5.5 -> 6.
  m->Rohrdaten.Rohr_Ra[1] = 0.4f;
  m->Segmente[1].Tiefe = 6.0f;
  m->Segmente[1].Abst_Geb_li = 2.25f;
  m->Segmente[1].Abst_Geb_re = 2.75f;
  const GitterAufbau g = BerechneGitterAufbau(*m, 1);
  EXPECT_EQ(g.n_li, 4);
  EXPECT_EQ(g.n_re, 6);
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte, 9);
}

TEST(InitGrid, ColumnCountComesFromSinglePrecision) {
  // 9 pipes, R 0.45, spacing 0.05: in decimals L/DX = 13.5 exactly (even
  // rounding would give 14), but the single-precision set-up lands just
  // below at 13.499999 and gives 13 columns per side.
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[2] = 0.45f;
  SetzeSegment(*m, 1, 9, 3.0f, 0.05f);
  const GitterAufbau g = BerechneGitterAufbau(*m, 1);
  EXPECT_EQ(g.n_li, 13);
  EXPECT_EQ(g.n_re, 13);
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte, 25);
}

TEST(InitGrid, RegisterOfThreePipesIsSymmetric) {
  auto m = Kernmodell();
  SetzeSegment(*m, 1, 3, 6.0f, 0.6f);  // W 3.6, L 4.3 -> 9 columns a side
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte, 17);
  EXPECT_EQ(m->RegisterBox, (std::array<int32_t, 4>{5, 12, 11, 12}));
  EXPECT_EQ(ZahlFesteZellen(*m), 12);
  for (int c : {5, 6, 8, 9, 11, 12}) EXPECT_EQ(m->ZellTyp[c][11], 1) << c;
  for (int c : {7, 10}) EXPECT_EQ(m->ZellTyp[c][11], 0) << c;
  for (int c = 0; c <= 17; ++c)
    for (int r = 0; r <= 16; ++r) EXPECT_EQ(m->ZellTyp[c][r], m->ZellTyp[17 - c][r]);
}

TEST(InitGrid, BuildingOnOneSideMakesAWallColumn) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte, 11);  // 6 columns left (3.0 m), 6 right (2.9 m)
  for (int r = 0; r <= 16; ++r) {
    EXPECT_EQ(m->ZellTyp[0][r], 1) << r;
    EXPECT_EQ(m->ZellTyp[11][r], 0) << r;
  }
  // x0 = 3.0 m from the left edge: pipe column 7, cells 6..7; the wall is
  // not part of the pipe block.
  EXPECT_EQ(m->RegisterBox, (std::array<int32_t, 4>{6, 7, 11, 12}));
  for (int r = 1; r <= 15; ++r) EXPECT_FLOAT_EQ(m->D_W[1][r], 0.25f) << r;

  // A shallower building only walls its own depth: 3 m -> rows 0..6.
  m->GebTiefeLinks = 3.0f;
  InitGrid(*m, 1);
  for (int r = 0; r <= 16; ++r) EXPECT_EQ(m->ZellTyp[0][r], r <= 6 ? 1 : 0) << r;
}

TEST(InitGrid, GridWithoutPipeCellsKeepsTheBoxStartValues) {
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[1] = 0.2f;
  SetzeSegment(*m, 1, 1, 0.0f);  // the only pipe cell lies in the surface row
  InitGrid(*m, 1);
  EXPECT_EQ(ZahlFesteZellen(*m), 1);
  EXPECT_EQ(m->RegisterBox, (std::array<int32_t, 4>{90, 0, 90, 0}));
}

TEST(MarkiereRohr, CellsOutsideTheStoreAreSkipped) {
  auto m = Kernmodell();
  MarkiereRohr(*m, 0, 0, 2);
  EXPECT_EQ(ZahlFesteZellen(*m), 4);  // columns 0..1, rows 0..1
  MarkiereRohr(*m, 39, 16, 3);        // columns 36..39, rows 13..16 of 36..41, 13..18
  EXPECT_EQ(ZahlFesteZellen(*m), 4 + 16);
  MarkiereRohr(*m, -1, 5, 0);
  MarkiereRohr(*m, 40, 5, 0);
  MarkiereRohr(*m, 5, 17, 0);
  MarkiereRohr(*m, 1000000, -1000000, 1000000);
  EXPECT_EQ(ZahlFesteZellen(*m), 4 + 16);
}

TEST(InitGrid, UncheckedSegmentsStayInsideTheStore) {
  // What PruefeGitter refuses must still not write outside the arrays when
  // InitGrid is called directly.
  auto m = Kernmodell();
  Kanalsegment& seg = m->Segmente[1];
  seg.Abst_Geb_li = seg.Abst_Geb_re = 100.0f;
  seg.Tiefe = 20.0f;
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte, 39);
  EXPECT_EQ(m->RohrZeile, 16);

  seg.Abst_Geb_li = -30.0f;
  seg.Abst_Geb_re = 0;
  seg.Tiefe = std::numeric_limits<float>::quiet_NaN();
  InitGrid(*m, 1);
  EXPECT_GE(m->LetzteSpalte, 0);
  EXPECT_LE(m->LetzteSpalte, 39);
  EXPECT_GE(m->RohrZeile, 0);
  EXPECT_LE(m->RohrZeile, 16);

  seg = Kanalsegment{};
  seg.Anz_Rohre = -4;
  seg.Tiefe = 3.0f;
  InitGrid(*m, 1);
  EXPECT_EQ(ZahlFesteZellen(*m), 0);

  m->Rohrdaten.Rohr_Ra[2] = 1.0e9f;
  seg.Anz_Rohre = 3;
  seg.Abst_Rohre = 1.0f;
  InitGrid(*m, 1);
  EXPECT_LE(m->LetzteSpalte, 39);
  InitGrid(*m, 0);  // no segment 0: taken as segment 1
  InitGrid(*m, 151);
}

}  // namespace
}  // namespace terval
