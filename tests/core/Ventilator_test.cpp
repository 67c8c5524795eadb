// The fan's year: the hourly sum of V dp / eta over the running hours, the
// air of each hour, the heat beside it and the notice about segments whose
// flow per pipe is too small to exchange heat.
#include <gtest/gtest.h>

#include "core/Kernhilfe.h"
#include "core/Ventilator.h"
#include "physics/monteith.h"

namespace terval {
namespace {

using namespace test;

// A main line of 20 m of 0.2 m pipe with a register of 3 pipes in segments 6..10.
class Ventilator : public ::testing::Test {
 protected:
  void SetUp() override {
    m = Kernmodell();
    m->Anz_Segmente = 20;
    m->Rohrdaten.Seglaenge = 1.0f;
    m->Rohrdaten.Rohr_Ra = {0, 0.11f, 0.085f};
    m->Rohrdaten.Rohr_Dicke = {0, 0.01f, 0.01f};
    for (int s = 1; s <= 20; ++s) m->Segmente[s].Anz_Rohre = s >= 6 && s <= 10 ? 3 : 1;
    m->Kanalbetrieb.Volstrom = 240;
    FuelleKlima(*m, [](int) { return 10.0f; });
  }
  // The drop of one hour at 10 degC and flow V (m3/h), by the routine on its own.
  double Stundendruck(double V) { return Kanaldruckverlust(*m, V / 3600.0, LuftBei(10.0, Luftdruck * 1000.0)).gesamt; }
  std::unique_ptr<Modell> m;
};

// 7 to 18 h at 240 m3/h, 60 m3/h when off: both flows count, each with the
// drop of its hour's air; the base-flow figures are at 20 degC instead. The
// air warmed by 2 K in every other hour, cooled by 2 K in the rest, at a
// recorded 240 m3/h: 1200 * V * 2 K per hour, over the fan energy.
TEST_F(Ventilator, EnergyIsTheSumOfVdpOverEtaOfTheRunningHoursAndBuysTheHeat) {
  m->Kanalbetrieb.Betriebsart = 1;
  m->Kanalbetrieb.Vol_Aus = 60;
  m->Hydraulik.Wirkungsgrad = 0.5f;
  for (int h = 1; h <= Stunden; ++h) {
    m->VolStromStunde[h] = 240 / 3600.0f;
    m->Segmente[20].T_aus[h] = h % 2 ? 12.0f : 8.0f;
  }
  const Ventilatorjahr j = BerechneVentilatorjahr(*m);
  EXPECT_EQ(j.betriebsstunden, Stunden);
  const double erwartet = (365 * 11 * 240 * Stundendruck(240) + 365 * 13 * 60 * Stundendruck(60)) / 3600.0 / 0.5 / 1000.0;
  EXPECT_NEAR(j.energie, erwartet, 1e-6 * erwartet);
  EXPECT_NEAR(j.basis.gesamt, Kanaldruckverlust(*m, 240 / 3600.0, Bezugsluft()).gesamt, 1e-12);
  const double halb = Stunden / 2 * 1200.0 * (240 / 3600.0f) * 2.0 / 1000.0;
  EXPECT_NEAR(j.gewinn, halb, 1e-6 * halb);
  EXPECT_NEAR(j.abgabe, halb, 1e-6 * halb);
  EXPECT_NEAR(j.arbeitszahl, 2 * halb / j.energie, 1e-9);
  // Off means off: those hours draw nothing and do not count.
  m->Kanalbetrieb.Vol_Aus = 0;
  EXPECT_EQ(BerechneVentilatorjahr(*m).betriebsstunden, 365 * 11);
}

// Timed 7 to 18 h at 270 m3/h, else 90 m3/h: the main line falls short
// off-hours, the register always; runs of equal share join across pipe counts.
TEST_F(Ventilator, LowFlowPerPipeNamesItsSegmentsAndTheShareOfHours) {
  m->Kanalbetrieb.Volstrom = 270;
  m->Kanalbetrieb.Vol_Aus = 90;
  m->Kanalbetrieb.Betriebsart = 1;
  m->Segmente[20].Anz_Rohre = 2;
  EXPECT_EQ(Schwachlasthinweis(BerechneVentilatorjahr(*m)),
            "Der Volumenstrom je Rohr liegt in einem Teil der Betriebsstunden unter 100 m³/h, in Segment 1-5 in 54.2 %, "
            "in Segment 6-10 in 100.0 %, in Segment 11-20 in 54.2 % der Betriebsstunden.\r"
            "In diesen Stunden durchströmt die Luft diese Segmente ohne Wärmeaustausch.");
  m->Kanalbetrieb.Volstrom = 600;
  m->Kanalbetrieb.Vol_Aus = 0;
  EXPECT_EQ(Schwachlasthinweis(BerechneVentilatorjahr(*m)), "");
}

}  // namespace
}  // namespace terval
