// The explicit heat step with per-row diffusivities against the cell-by-cell
// step, on the grids of real segments: the faces next to pipes and cellar
// walls included, the same floats bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <random>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "physics/getsoildata.h"

namespace terval {
namespace {

using test::SetzeSegment;

struct Fall {
  const char* name;
  int rohre;
  float tiefe, abstand, links, rechts;
};

// A single pipe, a register with gaps of soil between its pipes, and a
// two-pipe register between cellar walls on both sides.
const Fall Faelle[] = {
    {"Einzelrohr", 1, 3.0f, 0.0f, 0.0f, 0.0f},
    {"Register", 4, 2.0f, 0.4f, 0.0f, 0.0f},
    {"Keller", 2, 4.5f, 0.6f, 2.0f, 3.5f},
};

// The grid of the case, with a moisture profile that differs layer by layer
// (a dry, a wet and an oversaturated layer among them) and UpdateBodenThermik's arrays.
std::unique_ptr<Modell> GitterMitFeuchte(const Fall& f) {
  auto m = test::Kernmodell();
  m->Rohrdaten.Rohr_Ra[2] = 0.3f;  // a pipe of 2 x 2 cells
  SetzeSegment(*m, 1, f.rohre, f.tiefe, f.abstand);
  m->Segmente[1].Abst_Geb_li = f.links;
  m->Segmente[1].Abst_Geb_re = f.rechts;
  InitGrid(*m, 1);
  for (int r = 0; r < Zeilen; ++r) m->Theta[r] = 0.02 + 0.027 * r;
  m->Theta[3] = -0.01;
  m->Theta[9] = 0.6;
  UpdateBodenThermik(*m);
  return m;
}

uint32_t Bits(float x) { return std::bit_cast<uint32_t>(x); }

TEST(ZeilenDiffusivitaeten, EqualTheFaceArraysOfEverySoilCell) {
  for (const Fall& f : Faelle) {
    auto m = GitterMitFeuchte(f);
    const Zeilendiffusivitaet k = ZeilenDiffusivitaeten(m->K_Schicht);
    int festeNachbarn = 0;
    for (int c = 1; c < m->LetzteSpalte; ++c)
      for (int r = 1; r < UntersteZeile; ++r) {
        if (m->ZellTyp[c][r] != 0) continue;
        festeNachbarn += m->ZellTyp[c - 1][r] + m->ZellTyp[c + 1][r] + m->ZellTyp[c][r - 1] +
                         m->ZellTyp[c][r + 1];
        ASSERT_EQ(Bits(m->K_W[c][r]), Bits(k.W[r])) << f.name << " " << c << "," << r;
        ASSERT_EQ(Bits(m->K_O[c][r]), Bits(k.W[r])) << f.name << " " << c << "," << r;
        ASSERT_EQ(Bits(m->K_N[c][r]), Bits(k.N[r])) << f.name << " " << c << "," << r;
        ASSERT_EQ(Bits(m->K_S[c][r]), Bits(k.S[r])) << f.name << " " << c << "," << r;
      }
    EXPECT_GT(festeNachbarn, 4) << f.name;  // faces beside pipes and walls were among them
    // The layers do differ, so a mix-up of rows would show.
    EXPECT_NE(k.N[5], k.S[5]);
  }
}

TEST(WaermeSchrittZeilen, SameFieldsAsTheCellByCellStep) {
  std::mt19937 zufall(4711);
  std::uniform_real_distribution<float> temperatur(-15.0f, 35.0f);
  for (const Fall& f : Faelle) {
    auto a = GitterMitFeuchte(f);
    for (int c = 0; c <= a->LetzteSpalte; ++c)
      for (int r = 0; r < Zeilen; ++r) a->T_Feld[c][r] = temperatur(zufall);
    auto b = std::make_unique<Modell>(*a);
    Zellgeometrie zellen;
    ASSERT_TRUE(BereiteZellen(*b, zellen)) << f.name;
    const Zeilendiffusivitaet k = ZeilenDiffusivitaeten(b->K_Schicht);
    const int n = a->LetzteSpalte;
    const size_t bytes = static_cast<size_t>(n + 1) * sizeof(a->T_Feld[0]);

    // A fortnight of hours with changing boundary values, each field feeding the next.
    for (int stunde = 0; stunde < 336; ++stunde) {
      const float T_re = temperatur(zufall), T_li = temperatur(zufall);
      const float T_wand = temperatur(zufall), T_oben = temperatur(zufall);
      WaermeSchritt(*a, T_re, T_li, T_wand, 9.0f, T_oben, 3600.0f);
      WaermeSchrittZeilen(*b, zellen, k, T_re, T_li, T_wand, 9.0f, T_oben, 3600.0f);
      ASSERT_EQ(std::memcmp(a->T_Neu.data(), b->T_Neu.data(), bytes), 0) << f.name << " " << stunde;
      ASSERT_EQ(std::memcmp(a->T_Feld.data(), b->T_Feld.data(), bytes), 0)
          << f.name << " " << stunde;
      std::memcpy(a->T_Feld.data(), a->T_Neu.data(), bytes);
      std::memcpy(b->T_Feld.data(), b->T_Neu.data(), bytes);
    }
    // Heat did move: the field is no longer the random start.
    EXPECT_NE(a->T_Feld[2][8], a->T_Neu[2][7]);
  }
}

TEST(BereiteZellen, ListsThePipeAndWallCells) {
  auto m = GitterMitFeuchte(Faelle[2]);
  Zellgeometrie zellen;
  ASSERT_TRUE(BereiteZellen(*m, zellen));
  int rohrzellen = 0;
  for (int c = 1; c < m->LetzteSpalte; ++c)
    for (int r = 1; r < UntersteZeile; ++r) rohrzellen += m->ZellTyp[c][r];
  EXPECT_EQ(zellen.anzRohrzellen, rohrzellen);
  EXPECT_EQ(zellen.anzRohrzellen, 2 * 2 * 2);  // two pipes of radius 1 cell
  EXPECT_EQ(zellen.anzWandLinks, UntersteZeile);  // rows 0..15 of the edge column
  EXPECT_EQ(zellen.anzWandRechts, UntersteZeile);
}

TEST(BereiteZellen, RefusesADistanceThatIsNoPowerOfTwo) {
  auto m = GitterMitFeuchte(Faelle[0]);
  Zellgeometrie zellen;
  m->D_O[2][4] = 0.3f;  // x / 0.3 and x * (1 / 0.3) can differ in the last bit
  EXPECT_FALSE(BereiteZellen(*m, zellen));
  m->D_O[2][4] = DX / 2;
  EXPECT_TRUE(BereiteZellen(*m, zellen));
}

}  // namespace
}  // namespace terval
