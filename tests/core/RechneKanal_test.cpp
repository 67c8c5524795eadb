// Whole-year runs of small channels on climates built in memory.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <set>
#include <unistd.h>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "physics/Bodenfeuchte.h"
#include "physics/UgetRadiation.h"
#include "physics/getsoildata.h"
#include "physics/monteith.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Kernmodell;
using test::SetzeSegment;

// An annual wave (coldest in January), a daily wave and some rain.
float Jahresklima(int h) {
  const double jahr = 2 * std::numbers::pi * (h - 4800) / 8760.0;
  const double tag = 2 * std::numbers::pi * ((h - 1) % 24 - 9) / 24.0;
  return static_cast<float>(9.0 + 9.0 * std::cos(jahr) - 4.0 * std::cos(tag));
}

class Jahreslauf : public ::testing::Test {
 protected:
  std::unique_ptr<Modell> m = Kernmodell();
  Aufzeichner ui;

  // n default segments (a single pipe at 6 m) on the annual climate.
  void Kanal(int n) {
    m->Anz_Segmente = n;
    for (int s = 1; s <= n; ++s) SetzeSegment(*m, s, 1, 6.0f);
    test::FuelleKlima(*m, Jahresklima, 0.1f);
  }
  void Rechne() {
    ASSERT_TRUE(PruefeKanal(*m, ui));
    ASSERT_TRUE(PruefeGitter(*m, ui));
    RechneKanal(*m, ui);
  }
};

TEST_F(Jahreslauf, SegmentsInOrderWithTheirStatusTexts) {
  Kanal(2);
  Rechne();
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Initialisierung...", "Hauptmodul...",
                                                 "Rechne Segment 1", "Rechne Segment 2", ""}));
  EXPECT_EQ(ui.gezeichneteSegmente, (std::vector<int>{1, 2}));
  EXPECT_EQ(ui.gridBilder, 2);
  EXPECT_EQ(ui.procMsgAufrufe, 2);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(m->ErgebnisseVorhanden);
}

TEST_F(Jahreslauf, OutletFeedsTheNextSegmentAndTheSoilWorksBothWays) {
  Kanal(2);
  Rechne();
  const Kanalsegment &s1 = m->Segmente[1], &s2 = m->Segmente[2];
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(s2.T_ein[h], s1.T_aus[h]) << h;

  // The soil at 6 m warms the January air and cools the July air.
  auto tagesmittel = [](const auto& T, int tag) {
    double summe = 0;
    for (int k = 0; k < 24; ++k) summe += T[StundenIndex(tag, k)];
    return summe / 24;
  };
  EXPECT_GT(tagesmittel(s2.T_aus, 14), tagesmittel(s1.T_ein, 14) + 0.01);
  EXPECT_LT(tagesmittel(s2.T_aus, 200), tagesmittel(s1.T_ein, 200) - 0.01);
  EXPECT_GT(tagesmittel(s2.T_aus, 14), tagesmittel(s2.T_ein, 14));

  // Segment 2's surface follows the outdoor air, not its own inlet air.
  ASSERT_NE(s2.T_ein[Stunden], s1.T_ein[Stunden]);
  for (int c = 0; c <= m->LetzteSpalte; ++c) EXPECT_EQ(m->T_Feld[c][0], s1.T_ein[Stunden]);
}

TEST_F(Jahreslauf, ConstantClimateLeavesTheAirUnchanged) {
  Kanal(2);
  test::FuelleKlima(*m, [](int) { return 10.0f; }, 0.1f);
  Rechne();
  EXPECT_EQ(m->T_Jahresmittel, 10.0f);
  for (int s = 1; s <= 2; ++s)
    for (int h = 1; h <= Stunden; ++h) ASSERT_NEAR(m->Segmente[s].T_aus[h], 10.0f, 1e-4) << s << " " << h;
}

TEST_F(Jahreslauf, FlowBelowOneHundredPerPipePassesTheAir) {
  // 2400 m3/h over 25 pipes of R 0.1 m: 96 m3/h each.
  m->Rohrdaten.Rohr_Ra[2] = 0.1f;
  Kanal(1);
  SetzeSegment(*m, 1, 25, 3.0f, 0.2f);
  Rechne();
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->Segmente[1].T_aus[h], m->Segmente[1].T_ein[h]) << h;
}

TEST_F(Jahreslauf, OneSegmentWritesNoInletOfAnother) {
  Kanal(1);
  m->Segmente[2].T_ein.fill(777.0f);
  m->Segmente[1].T_aus.fill(777.0f);
  Rechne();
  for (int h = 1; h <= Stunden; ++h) {
    ASSERT_EQ(m->Segmente[2].T_ein[h], 777.0f);
    ASSERT_LT(std::abs(m->Segmente[1].T_aus[h]), 40.0f);
  }
}

TEST_F(Jahreslauf, StopTakesEffectAfterTheCurrentSegment) {
  Kanal(3);
  m->Segmente[2].T_aus.fill(555.0f);
  m->Segmente[3].T_ein.fill(555.0f);
  ui.beiProcMsg = [&](int aufruf) {
    if (aufruf == 1) m->StopRequested = true;
  };
  Rechne();
  EXPECT_EQ(ui.gezeichneteSegmente, (std::vector<int>{1}));
  EXPECT_EQ(ui.status.back(), "Rechne Segment 1");  // not cleared
  EXPECT_TRUE(m->ErgebnisseVorhanden);
  for (int h = 1; h <= Stunden; ++h) {
    ASSERT_EQ(m->Segmente[2].T_ein[h], m->Segmente[1].T_aus[h]);  // complete
    ASSERT_EQ(m->Segmente[2].T_aus[h], 555.0f);
    ASSERT_EQ(m->Segmente[3].T_ein[h], 555.0f);
  }
}

TEST_F(Jahreslauf, RefusedScheduleEndsTheRunBeforeTheMainModule) {
  Kanal(2);
  m->Kanalbetrieb.Volstrom = -5;
  m->Segmente[1].T_aus.fill(555.0f);
  Rechne();
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Initialisierung..."}));
  EXPECT_EQ(ui.Texte("Fehler"), (std::vector<std::string>{"Der Wert für den Volumenstrom ist ungültig !"}));
  EXPECT_FALSE(m->ErgebnisseVorhanden);
  EXPECT_TRUE(ui.gezeichneteSegmente.empty());
  EXPECT_EQ(m->Segmente[1].T_aus[100], 555.0f);
}

// A grid symmetric about the pipe block keeps a mirror-symmetric field.
// The scheme treats a column and its mirror image with the same operations
// on negated differences, so the match is exact in practice.
TEST_F(Jahreslauf, SymmetricGridKeepsASymmetricField) {
  Kanal(1);
  Rechne();
  const int n = m->LetzteSpalte;
  ASSERT_EQ(n, 11);
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      ASSERT_EQ(m->ZellTyp[c][r], m->ZellTyp[n - c][r]);
      EXPECT_NEAR(m->T_Feld[c][r], m->T_Feld[n - c][r], 1e-5) << c << "," << r;
    }
  // And the field is not trivially uniform.
  EXPECT_GT(std::abs(m->T_Feld[3][2] - m->T_Feld[3][14]), 0.5f);
}

TEST_F(Jahreslauf, OverbuiltSegmentHoldsTheFoundationTemperature) {
  Kanal(1);
  m->Segmente[1].Überbaut = 1;
  m->T_Fundament = 12.5f;
  Rechne();
  for (int c = 0; c <= m->LetzteSpalte; ++c) EXPECT_EQ(m->T_Feld[c][0], 12.5f);
}

TEST_F(Jahreslauf, CellarsOnBothSidesStayFinite) {
  Kanal(1);
  m->Segmente[1].Abst_Geb_li = 3.0f;
  m->Segmente[1].Abst_Geb_re = 4.0f;
  Rechne();
  const int n = m->LetzteSpalte;
  for (int r = 1; r <= 15; ++r) {
    EXPECT_EQ(m->T_Feld[0][r], m->T_Feld[0][1]);  // one wall temperature
    EXPECT_GT(m->T_Feld[n][r], 5.0f);
    EXPECT_LT(m->T_Feld[n][r], 12.0f);
  }
  for (int h = 1; h <= Stunden; ++h) ASSERT_TRUE(std::isfinite(m->Segmente[1].T_aus[h]));
}

// ---- 2-D field files ----------------------------------------------------------

class Feldausgabe : public Jahreslauf {
 protected:
  std::filesystem::path verzeichnis, vorher;
  // The run writes into the working directory it recorded at its start, so
  // the test makes a fresh one the working directory, as the window does.
  void SetUp() override {
    verzeichnis = std::filesystem::temp_directory_path() /
                  ("terval_feld_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(verzeichnis);
    std::filesystem::create_directories(verzeichnis);
    vorher = std::filesystem::current_path();
    std::filesystem::current_path(verzeichnis);
    m->AusgabeVerzeichnis = verzeichnis.string();
    m->AusgabeStamm = "Lauf";
  }
  void TearDown() override {
    std::filesystem::current_path(vorher);
    std::filesystem::remove_all(verzeichnis);
  }
  std::set<std::string> Dateien() const {
    std::set<std::string> namen;
    for (const auto& e : std::filesystem::directory_iterator(verzeichnis))
      namen.insert(e.path().filename().string());
    return namen;
  }
};

TEST_F(Feldausgabe, MarkedSegmentWritesItsFiveReferenceDays) {
  Kanal(2);
  m->MarkSegment = 2;
  Rechne();
  EXPECT_EQ(Dateien(), (std::set<std::string>{"Lauf2D Feld Seg   2 Tag  14.DAT",
                                              "Lauf2D Feld Seg   2 Tag  74.DAT",
                                              "Lauf2D Feld Seg   2 Tag 166.DAT",
                                              "Lauf2D Feld Seg   2 Tag 225.DAT",
                                              "Lauf2D Feld Seg   2 Tag 258.DAT"}));
}

TEST_F(Feldausgabe, NoneWithoutAMarkedSegment) {
  Kanal(1);
  m->MarkSegment = -1;
  Rechne();
  EXPECT_TRUE(Dateien().empty());
  m->MarkSegment = 2;  // beyond the channel
  RechneKanal(*m, ui);
  EXPECT_TRUE(Dateien().empty());
}

// ---- Moisture -----------------------------------------------------------------

TEST(FeuchteTeilschritte, PerHourForEveryStep) {
  EXPECT_EQ(FeuchteTeilschritte(3600), 1);
  EXPECT_EQ(FeuchteTeilschritte(1800), 2);
  EXPECT_EQ(FeuchteTeilschritte(600), 6);
  EXPECT_EQ(FeuchteTeilschritte(60), 60);
  EXPECT_EQ(FeuchteTeilschritte(1), 3600);
  // Steps outside the list: nearest, halves to even; none for no step.
  EXPECT_EQ(FeuchteTeilschritte(2400), 2);
  EXPECT_EQ(FeuchteTeilschritte(1440), 2);
  EXPECT_EQ(FeuchteTeilschritte(7200), 0);
  EXPECT_EQ(FeuchteTeilschritte(0), 0);
  EXPECT_EQ(FeuchteTeilschritte(-60), 0);
}

// The moisture of a segment depends on nothing but the climate, so the run's
// trajectory can be followed step by step beside it: n sub-steps per hour,
// with the water input switched off for overbuilt and sealed ground.
class Feuchtelauf : public Jahreslauf {
 protected:
  std::unique_ptr<Modell> ref = Kernmodell();

  void Nachrechnen(int teilschritte, float g) {
    test::FuelleKlima(*ref, Jahresklima, 0.1f);
    ref->FeuchteZeitschritt = m->FeuchteZeitschritt;
    BerechneDampfdruck(*ref);
    BerechneLangwelligeStrahlung(*ref);
    BerechneNettostrahlung(*ref);
    CalcBestand(*ref);
    BerechneBodenwaermestromUndRa(*ref);
    CalcVerdunstung(*ref);
    InitGrid(*ref, 1);
    InitFeuchteProfil(*ref, ref->StartBodenfeuchte);
    UpdateBodenHydraulik(*ref);
    for (int d = 1; d <= 365; ++d)
      for (int k = 0; k < 24; ++k) {
        const TKlimaStunde& kl = ref->Klima[StundenIndex(d, k)];
        for (int i = 0; i < teilschritte; ++i) {
          UpdateBodenHydraulik(*ref);
          FeuchteSchritt(*ref, d, k, 1.0, g * kl.Nieders, g * kl.p_Verd_mm);
        }
      }
  }
  int Abweichungen() const {
    int n = 0;
    for (int h = 1; h <= Stunden; ++h) {
      const TKlimaStunde &a = m->Klima[h], &b = ref->Klima[h];
      n += a.Eta_z1 != b.Eta_z1 || a.Eta_z3 != b.Eta_z3 || a.Eta_kanal != b.Eta_kanal ||
           a.r_Verd_mm != b.r_Verd_mm;
    }
    return n;
  }
};

TEST_F(Feuchtelauf, SixSubStepsAtTenMinutes) {
  Kanal(1);
  m->FeuchteZeitschritt = 600;
  Rechne();
  Nachrechnen(6, 1.0f);
  EXPECT_EQ(Abweichungen(), 0);
  Nachrechnen(1, 1.0f);  // the comparison does see a wrong count
  EXPECT_GT(Abweichungen(), 0);
}

TEST_F(Feuchtelauf, SealedGroundGetsNoWaterAtHalfHours) {
  Kanal(1);
  m->Segmente[1].Überbaut = 2;
  m->FeuchteZeitschritt = 1800;
  Rechne();
  Nachrechnen(2, 0.0f);
  EXPECT_EQ(Abweichungen(), 0);
}

TEST_F(Feuchtelauf, WithoutTheMoistureModelTheSoilKeepsItsStart) {
  Kanal(1);
  m->MitFeuchte = false;
  Rechne();
  const double start = 0.5 * 0.45;
  for (int r = 0; r < Zeilen; ++r) EXPECT_DOUBLE_EQ(m->Theta[r], start) << r;
  for (int h : {1, 4000, 8760}) EXPECT_FLOAT_EQ(m->Klima[h].Eta_z1, static_cast<float>(start));
}

}  // namespace
}  // namespace terval
