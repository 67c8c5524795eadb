#include <gtest/gtest.h>

#include "support/Aufzeichner.h"
#include "Kernhilfe.h"
#include "core/Cor_mod.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Kernmodell;

const char* const FehlerVolumenstrom = "Der Wert für den Volumenstrom ist ungültig !";
const char* const FehlerZeit = "Ungülige Zeitsteuerung für den Volumenstrom: EIN muß vor AUS liegen !";
const char* const InfoKlima = "Die Volumenstromdaten werden aus der Klimatabelle entnommen !";

class Volumenstrom : public ::testing::Test {
 protected:
  std::unique_ptr<Modell> m = Kernmodell();
  Aufzeichner ui;
  const float Q_ein = 2400.0f / 3600.0f;

  void SetUp() override { test::FuelleKlima(*m, [](int) { return 10.0f; }); }
  float Q(int tag, int stunde) const { return m->VolStromStunde[StundenIndex(tag, stunde)]; }
  void SetzeTemperatur(int tag, int stunde, float T) { m->Klima[StundenIndex(tag, stunde)].T_Luft = T; }
};

TEST_F(Volumenstrom, ConstantOperationByDefault) {
  m->Kanalbetrieb.Fuenftagebetrieb = true;  // no effect in this mode
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->VolStromStunde[h], Q_ein) << h;
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST_F(Volumenstrom, NegativeFlowIsRefusedEvenFromTheClimateTable) {
  m->VolStromStunde.fill(0.123f);
  m->Kanalbetrieb.Volstrom = -1;
  m->Kanalbetrieb.VolStromAusKlima = true;
  EXPECT_FALSE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Fehler", FehlerVolumenstrom}}));
  EXPECT_EQ(m->VolStromStunde[1], 0.123f);
}

TEST_F(Volumenstrom, FlowsFromTheClimateTable) {
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Vol_Strom = static_cast<float>(h % 5000);
  m->Kanalbetrieb.VolStromAusKlima = true;
  m->Kanalbetrieb.Betriebsart = 1;
  m->Kanalbetrieb.Ein_Zeit = 20;  // the schedule is not looked at
  m->Kanalbetrieb.Aus_Zeit = 3;
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Information", InfoKlima}}));
  for (int h : {1, 3600, 8760}) EXPECT_EQ(m->VolStromStunde[h], static_cast<float>(h % 5000) / 3600.0f);
}

TEST_F(Volumenstrom, ByTime) {
  m->Kanalbetrieb.Betriebsart = 1;
  m->Kanalbetrieb.Vol_Aus = 360;
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(Q(1, 6), 0.1f);
  EXPECT_EQ(Q(1, 7), Q_ein);
  EXPECT_EQ(Q(200, 17), Q_ein);
  EXPECT_EQ(Q(365, 18), 0.1f);
}

TEST_F(Volumenstrom, EqualSwitchingHoursNeverRunAndAreNoError) {
  m->Kanalbetrieb.Betriebsart = 1;
  m->Kanalbetrieb.Ein_Zeit = m->Kanalbetrieb.Aus_Zeit = 9;
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->VolStromStunde[h], 0.0f) << h;
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST_F(Volumenstrom, OnAfterOffIsRefusedInEveryTimedMode) {
  for (int art : {1, 2, 3}) {
    ui.nachrichten.clear();
    m->VolStromStunde.fill(0.5f);
    m->Kanalbetrieb.Betriebsart = art;
    m->Kanalbetrieb.Ein_Zeit = 19;
    m->Kanalbetrieb.Aus_Zeit = 18;
    EXPECT_FALSE(CalcVolumenstrom(*m, ui)) << art;
    EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Fehler", FehlerZeit}}));
    EXPECT_EQ(m->VolStromStunde[100], 0.5f);
  }
}

TEST_F(Volumenstrom, ByTemperatureThresholdsLieBetween) {
  m->Kanalbetrieb.Betriebsart = 2;
  SetzeTemperatur(5, 1, 4.0f);
  SetzeTemperatur(5, 2, 18.0f);
  SetzeTemperatur(5, 3, 3.9f);
  SetzeTemperatur(5, 4, 18.1f);
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(Q(5, 0), 0.0f);  // 10 degC
  EXPECT_EQ(Q(5, 1), 0.0f);
  EXPECT_EQ(Q(5, 2), 0.0f);
  EXPECT_EQ(Q(5, 3), Q_ein);
  EXPECT_EQ(Q(5, 4), Q_ein);
}

TEST_F(Volumenstrom, TimeAndTemperatureTogether) {
  test::FuelleKlima(*m, [](int) { return 20.0f; });
  m->Kanalbetrieb.Betriebsart = 3;
  SetzeTemperatur(3, 10, 10.0f);
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  for (int k = 0; k < 24; ++k) EXPECT_EQ(Q(2, k), k >= 7 && k < 18 ? Q_ein : 0.0f) << k;
  EXPECT_EQ(Q(3, 10), 0.0f);
}

TEST_F(Volumenstrom, FiveDayOperationCountsTheDaysOfTheYear) {
  m->Kanalbetrieb.Betriebsart = 1;
  m->Kanalbetrieb.Fuenftagebetrieb = true;
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  for (int tag : {6, 7, 12, 14, 18, 21, 24, 28, 30, 35, 42, 364})
    EXPECT_EQ(Q(tag, 10), 0.0f) << tag;
  for (int tag : {1, 5, 8, 13, 15, 365}) {
    EXPECT_EQ(Q(tag, 10), Q_ein) << tag;
    EXPECT_EQ(Q(tag, 20), 0.0f) << tag;
  }
}

TEST_F(Volumenstrom, UnknownModeLeavesTheFlows) {
  m->VolStromStunde.fill(0.25f);
  m->Kanalbetrieb.Betriebsart = 4;
  EXPECT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(m->VolStromStunde[1], 0.25f);
  EXPECT_TRUE(ui.nachrichten.empty());
}

}  // namespace
}  // namespace terval
