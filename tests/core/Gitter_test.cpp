// The segment grid (columns, pipe cells, cellar walls, pipe block) and the
// channel check's corrections.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace terval
