#include "physics/routinen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/Vardef.h"

namespace terval {
namespace {

class Uhr : public ::testing::Test {
 protected:
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Uhr, EineStundeNachMitternacht) {
  m->AktZeit = "00:00";  // the generator's start text has no seconds
  ZeitPlus(*m, 3600);
  EXPECT_EQ(m->AktZeit, "01:00:00");
  EXPECT_EQ(m->AktDatum, "01.01.2000");
}

TEST_F(Uhr, MitternachtSchaltetDasDatumWeiter) {
  m->AktZeit = "23:00:00";
  m->AktDatum = "14.05.2000";
  ZeitPlus(*m, 3600);
  EXPECT_EQ(m->AktZeit, "00:00:00");
  EXPECT_EQ(m->AktDatum, "15.05.2000");
}

TEST_F(Uhr, SekundenUndMinutenLaufenUeber) {
  m->AktZeit = "10:59:30";
  ZeitPlus(*m, 45);
  EXPECT_EQ(m->AktZeit, "11:00:15");
  ZeitPlus(*m, 0);
  EXPECT_EQ(m->AktZeit, "11:00:15");
  ZeitPlus(*m, 125);
  EXPECT_EQ(m->AktZeit, "11:02:20");
}

TEST_F(Uhr, HoechstensEinTagProAufruf) {
  m->AktZeit = "12:00:00";
  m->AktDatum = "10.10.2000";
  ZeitPlus(*m, 2 * 86400.0f);
  EXPECT_EQ(m->AktDatum, "11.10.2000");
  EXPECT_EQ(m->AktZeit, "36:00:00");
}

TEST_F(Uhr, UnbrauchbarerText) {
  m->AktZeit = "";
  ZeitPlus(*m, 61);
  EXPECT_EQ(m->AktZeit, "00:01:01");
  m->AktZeit = "ab:cd:ef";
  ZeitPlus(*m, 3600);
  EXPECT_EQ(m->AktZeit, "01:00:00");
}

TEST_F(Uhr, MonatsUndJahresgrenzen) {
  struct Fall {
    const char* vorher;
    const char* nachher;
  };
  for (const Fall& f : {Fall{"28.02.2000", "01.03.2000"},  // no leap day, even in 2000
                        Fall{"31.01.2000", "01.02.2000"}, Fall{"30.04.2001", "01.05.2001"},
                        Fall{"30.06.2001", "01.07.2001"}, Fall{"31.07.2001", "01.08.2001"},
                        Fall{"31.08.2001", "01.09.2001"}, Fall{"30.09.2001", "01.10.2001"},
                        Fall{"30.11.2001", "01.12.2001"}, Fall{"09.03.2001", "10.03.2001"},
                        Fall{"31.12.2000", "01.01.2000"}}) {  // the year text stays
    m->AktDatum = f.vorher;
    NaechsterTag(*m);
    EXPECT_EQ(m->AktDatum, f.nachher) << f.vorher;
  }
}

TEST_F(Uhr, KaputtesDatumFindetZuEinemGueltigen) {
  m->AktDatum = "05.13.2000";
  NaechsterTag(*m);
  EXPECT_EQ(m->AktDatum, "01.01.2000");
  m->AktDatum = "";
  NaechsterTag(*m);
  EXPECT_EQ(m->AktDatum, "01.01.");
}

TEST_F(Uhr, EinJahrInStundenschritten) {
  // The climate generator's walk: 8760 hours from 01.01.2000 00:00.
  m->AktDatum = "01.01.2000";
  m->AktZeit = "00:00";
  const int monatstage[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int stunden = 0;
  for (int monat = 1; monat <= 12; ++monat) {
    for (int tag = 1; tag <= monatstage[monat - 1]; ++tag) {
      for (int stunde = 0; stunde < 24; ++stunde) {
        char datum[32], zeit[32];
        std::snprintf(datum, sizeof datum, "%02d.%02d.2000", tag, monat);
        std::snprintf(zeit, sizeof zeit, "%02d:00:00", stunde);
        if (stunden > 0) {
          ASSERT_EQ(m->AktDatum, datum);
          ASSERT_EQ(m->AktZeit, zeit);
        }
        ZeitPlus(*m, 3600);
        ++stunden;
      }
    }
  }
  EXPECT_EQ(stunden, Stunden);
  EXPECT_EQ(m->AktDatum, "01.01.2000");
  EXPECT_EQ(m->AktZeit, "00:00:00");
}

}  // namespace
}  // namespace terval
