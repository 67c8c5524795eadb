#include "physics/routinen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/Vardef.h"

namespace terval {
namespace {

TEST(Uhr, StundenMinutenSekundenUndMitternacht) {
  auto m = NeuesModell();
  m->AktZeit = "00:00";  // the generator's start text has no seconds
  ZeitPlus(*m, 3600);
  EXPECT_EQ(m->AktZeit, "01:00:00");
  m->AktZeit = "10:59:30";
  ZeitPlus(*m, 45);
  EXPECT_EQ(m->AktZeit, "11:00:15");
  m->AktZeit = "23:00:00";
  m->AktDatum = "14.05.2000";
  ZeitPlus(*m, 3600);
  EXPECT_EQ(m->AktZeit, "00:00:00");
  EXPECT_EQ(m->AktDatum, "15.05.2000");
  m->AktZeit = "ab:cd:ef";  // broken fields count as 0
  ZeitPlus(*m, 61);
  EXPECT_EQ(m->AktZeit, "00:01:01");
}

TEST(Uhr, MonatsUndJahresgrenzenOhneSchalttag) {
  auto m = NeuesModell();
  for (auto [vorher, nachher] : {std::pair{"28.02.2000", "01.03.2000"},
                                 {"31.01.2000", "01.02.2000"},
                                 {"30.04.2001", "01.05.2001"},
                                 {"31.08.2001", "01.09.2001"},
                                 {"09.03.2001", "10.03.2001"},
                                 {"31.12.2000", "01.01.2000"},     // the year text stays
                                 {"05.13.2000", "01.01.2000"}}) {  // no month 13
    m->AktDatum = vorher;
    NaechsterTag(*m);
    EXPECT_EQ(m->AktDatum, nachher) << vorher;
  }
}

TEST(Uhr, EinJahrInStundenschritten) {
  // The climate generator's walk: 8760 hours from 01.01.2000 00:00.
  auto m = NeuesModell();
  m->AktDatum = "01.01.2000";
  m->AktZeit = "00:00";
  const int monatstage[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int stunden = 0;
  for (int monat = 1; monat <= 12; ++monat) {
    for (int tag = 1; tag <= monatstage[monat - 1]; ++tag) {
      for (int stunde = 0; stunde < 24; ++stunde, ++stunden) {
        char datum[32], zeit[32];
        std::snprintf(datum, sizeof datum, "%02d.%02d.2000", tag, monat);
        std::snprintf(zeit, sizeof zeit, "%02d:00:00", stunde);
        if (stunden > 0) {
          ASSERT_EQ(m->AktDatum, datum);
          ASSERT_EQ(m->AktZeit, zeit);
        }
        ZeitPlus(*m, 3600);
      }
    }
  }
  EXPECT_EQ(stunden, Stunden);
  EXPECT_EQ(m->AktDatum, "01.01.2000");
  EXPECT_EQ(m->AktZeit, "00:00:00");
}

}  // namespace
}  // namespace terval
