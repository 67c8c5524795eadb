#include <gtest/gtest.h>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Kernmodell;
using test::Nachricht;
using test::SetzeSegment;

class Kanalpruefung : public ::testing::Test {
 protected:
  std::unique_ptr<Modell> m = Kernmodell();
  Aufzeichner ui;

  // n segments like the default one: a single pipe at 6 m.
  void Segmente(int n) {
    m->Anz_Segmente = n;
    for (int s = 1; s <= n; ++s) SetzeSegment(*m, s, 1, 6.0f);
  }
};

TEST_F(Kanalpruefung, SinglePipeWithoutSpacingPasses) {
  Segmente(2);
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_TRUE(PruefeGitter(*m, ui));
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST_F(Kanalpruefung, RegisterWithoutSpacingStopsAtThatSegment) {
  Segmente(3);
  SetzeSegment(*m, 2, 4, 3.0f, 0.0f);
  SetzeSegment(*m, 3, 0, 3.0f);
  EXPECT_FALSE(PruefeKanal(*m, ui));
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler", "Das Rohrregister in Segment 2 weist einen ungültigen Rohrabstand (=0) auf !"}}));
  EXPECT_EQ(m->Segmente[3].Anz_Rohre, 0);  // not examined
}

TEST_F(Kanalpruefung, NoPipesIsCorrectedToOneAndTheCheckGoesOn) {
  Segmente(3);
  SetzeSegment(*m, 2, 0, 3.0f, 0.5f);
  m->Segmente[2].Abst_Geb_li = 0.1f;  // fine for W = -0.5 of the count 0
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler", "In Segment 2 wurde als Rohrzahl \"0\" eingegeben. Korrigiere auf \"1\""}}));
  EXPECT_EQ(m->Segmente[2].Anz_Rohre, 1);
  EXPECT_EQ(m->Segmente[2].Abst_Geb_li, 0.1f);
}

TEST_F(Kanalpruefung, RegisterWidthAgainstTheGrid) {
  // R 0.4, spacing 0.5: 11 pipes W = 13.8, (6.9 + 2.5) / 0.5 = 18.8.
  Segmente(1);
  SetzeSegment(*m, 1, 11, 3.0f, 0.5f);
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_TRUE(PruefeGitter(*m, ui));
  InitGrid(*m, 1);
  EXPECT_EQ(m->LetzteSpalte + 1, 38);

  // 27 pipes: W = 34.6, 39.6 > 39.
  SetzeSegment(*m, 1, 27, 3.0f, 0.5f);
  EXPECT_FALSE(PruefeKanal(*m, ui));
  EXPECT_EQ(ui.Texte("Fehler"),
            (std::vector<std::string>{
                "Das Rohrregister in Segment 1 ist zu breit für dieses Modell !\r"
                "Dieser Fehler sollte normalerweise nicht vorkommen. Prüfen Sie, ob die "
                "Eingabedaten korrekt sind !"}));
}

TEST_F(Kanalpruefung, CellarWallInsideTheRegisterIsMovedOut) {
  // 3 pipes of R 0.5 with 0.5 spacing: W = 4, half width 2.
  m->Rohrdaten.Rohr_Ra[2] = 0.5f;
  Segmente(2);
  SetzeSegment(*m, 1, 3, 3.0f, 0.5f);
  m->Segmente[1].Abst_Geb_li = 2.0f;  // exactly half the width: accepted
  m->Segmente[1].Abst_Geb_re = 0.0f;  // no building: never changed
  SetzeSegment(*m, 2, 3, 3.0f, 0.5f);
  m->Segmente[2].Abst_Geb_li = 1.5f;
  m->Segmente[2].Abst_Geb_re = 1.0f;
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_EQ(m->Segmente[1].Abst_Geb_li, 2.0f);
  EXPECT_EQ(m->Segmente[1].Abst_Geb_re, 0.0f);
  EXPECT_EQ(m->Segmente[2].Abst_Geb_li, 4.0f);
  EXPECT_EQ(m->Segmente[2].Abst_Geb_re, 4.0f);
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler",
                 "Fehler im Segment 2\r"
                 "Der Abstand zur Kellerwand links ist kleiner als die halbe Registerbreite\r"
                 "Ein Teil des Registers liegt somit im Keller...\r"
                 "Der Abstand zum Keller wurde erweitert um das Register einzupassen !"},
                {"Fehler",
                 "Fehler im Segment 2\r"
                 "Der Abstand zur Kellerwand rechts ist kleiner als die halbe Registerbreite\r"
                 "Ein Teil des Registers liegt somit im Keller...\r"
                 "Der Abstand zum Keller wurde erweitert um das Register einzupassen !"}}));
}

// ---- Grid bounds --------------------------------------------------------------

TEST_F(Kanalpruefung, GridOfAtMostFortyColumns) {
  Segmente(2);
  m->Segmente[2].Abst_Geb_li = 15.0f;  // 30 + 10 columns: the whole store
  m->Segmente[2].Abst_Geb_re = 5.0f;
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_TRUE(PruefeGitter(*m, ui));
  InitGrid(*m, 2);
  EXPECT_EQ(m->LetzteSpalte, 39);

  m->Segmente[2].Abst_Geb_re = 6.0f;  // 42 columns
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_FALSE(PruefeGitter(*m, ui));
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler",
                 "Das Modell für Segment 2 bräuchte 42 Spalten, möglich sind höchstens 40 !\r"
                 "Verringern Sie die Abstände zu den Kellerwänden oder die Breite des "
                 "Rohrregisters."}}));
}

TEST_F(Kanalpruefung, RegisterThatPassesTheWidthCheckButNotTheStore) {
  // 15 pipes: (9.5 + 2.5) / 0.5 = 24 <= 39 per side, but 48 columns in all.
  Segmente(1);
  SetzeSegment(*m, 1, 15, 3.0f, 0.5f);
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_FALSE(PruefeGitter(*m, ui));
  EXPECT_EQ(ui.Texte("Fehler"),
            (std::vector<std::string>{
                "Das Modell für Segment 1 bräuchte 48 Spalten, möglich sind höchstens 40 !\r"
                "Verringern Sie die Abstände zu den Kellerwänden oder die Breite des "
                "Rohrregisters."}));
}

TEST_F(Kanalpruefung, NegativePipeCountIsRefused) {
  Segmente(2);
  m->Segmente[2].Anz_Rohre = -2;
  EXPECT_TRUE(PruefeKanal(*m, ui));  // the repair only knows 0
  EXPECT_FALSE(PruefeGitter(*m, ui));
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler", "In Segment 2 ist die Rohrzahl -2 ungültig !\rGeben Sie mindestens 1 Rohr ein."}}));
}

TEST_F(Kanalpruefung, NegativeSpacingsAndDistancesAreRefused) {
  Segmente(1);
  SetzeSegment(*m, 1, 2, 3.0f, -0.1f);
  EXPECT_FALSE(PruefeGitter(*m, ui));
  SetzeSegment(*m, 1, 1, 3.0f, -0.1f);  // a single pipe has no spacing
  EXPECT_TRUE(PruefeGitter(*m, ui));
  m->Segmente[1].Abst_Geb_re = -3.0f;
  EXPECT_FALSE(PruefeGitter(*m, ui));
  EXPECT_EQ(ui.Texte("Fehler"),
            (std::vector<std::string>{
                "Das Rohrregister in Segment 1 hat einen negativen Rohrabstand !\r"
                "Geben Sie einen Rohrabstand größer als 0 ein.",
                "In Segment 1 ist der Abstand zur Kellerwand rechts negativ !\r"
                "Geben Sie 0 (kein Gebäude) oder einen positiven Abstand ein."}));
}

TEST_F(Kanalpruefung, PipesNeedASoilRowAboveAndBelow) {
  Segmente(1);
  // R 0.4: the square spans rows Z-1..Z.
  for (float tiefe : {0.75f, 1.0f, 7.0f, 7.5f}) {
    m->Segmente[1].Tiefe = tiefe;
    EXPECT_TRUE(PruefeGitter(*m, ui)) << tiefe;
  }
  EXPECT_TRUE(ui.nachrichten.empty());
  m->Segmente[1].Tiefe = 0.5f;
  EXPECT_FALSE(PruefeGitter(*m, ui));
  m->Segmente[1].Tiefe = 8.0f;
  EXPECT_FALSE(PruefeGitter(*m, ui));
  EXPECT_EQ(ui.Texte("Fehler"),
            (std::vector<std::string>{
                "Die Rohre in Segment 1 liegen zu flach für dieses Modell !\r"
                "Über den Rohren muss mindestens eine Bodenschicht bleiben. Vergrößern Sie die "
                "Tiefe der Rohrachse (derzeit 0.50 m).",
                "Die Rohre in Segment 1 liegen zu tief für dieses Modell !\r"
                "Das Modell reicht bis 8 m Tiefe, unter den Rohren muss mindestens eine "
                "Bodenschicht bleiben. Verringern Sie die Tiefe der Rohrachse (derzeit 8.00 m)."}));

  // A single-cell pipe (R < 0.25) only needs its own row inside 1..15:
  // 0.25 m rounds to row 0, 7.75 m to row 16 (halves to even).
  m->Rohrdaten.Rohr_Ra[1] = 0.2f;
  for (float tiefe : {0.5f, 7.5f}) {
    m->Segmente[1].Tiefe = tiefe;
    EXPECT_TRUE(PruefeGitter(*m, ui)) << tiefe;
  }
  for (float tiefe : {0.25f, 7.75f, -1.0f}) {
    m->Segmente[1].Tiefe = tiefe;
    EXPECT_FALSE(PruefeGitter(*m, ui)) << tiefe;
  }
}

TEST_F(Kanalpruefung, PipesNeedASoilColumnOnBothSides) {
  Segmente(3);
  // Half the block width: PruefeKanal accepts it, but the pipe would reach
  // into the wall column 0.
  m->Segmente[3].Abst_Geb_li = 0.4f;
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_FALSE(PruefeGitter(*m, ui));
  EXPECT_EQ(ui.nachrichten,
            (std::vector<Nachricht>{
                {"Fehler",
                 "Das Rohrregister in Segment 3 reicht bis an den Rand des Modells !\r"
                 "Neben den Rohren muss auf beiden Seiten mindestens eine Bodenspalte bleiben. "
                 "Vergrößern Sie die Abstände zu den Kellerwänden."}}));
  // 0.5 m leaves column 0 to the wall and puts the pipe into columns 1..2.
  m->Segmente[3].Abst_Geb_li = 0.5f;
  EXPECT_TRUE(PruefeGitter(*m, ui));
  InitGrid(*m, 3);
  EXPECT_EQ(m->RegisterBox, (std::array<int32_t, 4>{1, 2, 11, 12}));
  // The same on the right: the pipe would end in the last column.
  m->Segmente[3].Abst_Geb_li = 0.0f;
  m->Segmente[3].Abst_Geb_re = 0.4f;
  EXPECT_FALSE(PruefeGitter(*m, ui));
}

TEST_F(Kanalpruefung, SegmentCountBeyondTheStoreIsNotFollowed) {
  Segmente(MaxSegmente);
  m->Anz_Segmente = 1000;
  EXPECT_TRUE(PruefeKanal(*m, ui));
  EXPECT_TRUE(PruefeGitter(*m, ui));
  CalcRohrVolumenstrom(*m);
  CalcAlphaJahr(*m);
  EXPECT_TRUE(ui.nachrichten.empty());
}

}  // namespace
}  // namespace terval
