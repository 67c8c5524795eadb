#include "model/Zahltext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <random>

#include "model/Vardef.h"

namespace terval {
namespace {

TEST(Zahltext, FormatRealPadsButNeverCuts) {
  EXPECT_EQ(FormatReal(-0.5, 2, 2), "-0.50");
  EXPECT_EQ(FormatReal(123.456, 2, 2), "123.46");
  EXPECT_EQ(FormatReal(5, 3, 2), "5.00");
  EXPECT_EQ(FormatReal(5, 6, 2), "  5.00");
  EXPECT_EQ(FormatReal(51.26f, 1, 2), "51.26");
  EXPECT_EQ(FormatReal(-7.15f, 1, 2), "-7.15");
  EXPECT_EQ(FormatReal(50.0f, 1, 1), "50.0");
  EXPECT_EQ(FormatReal(-999.0f, 3, 2), "-999.00");
}

TEST(Zahltext, FormatIntPads) {
  EXPECT_EQ(FormatInt(1, 3), "  1");
  EXPECT_EQ(FormatInt(0, 2), " 0");
  EXPECT_EQ(FormatInt(166, 3), "166");
  EXPECT_EQ(FormatInt(1234, 3), "1234");
  EXPECT_EQ(FormatInt(-3), "-3");
}

TEST(Zahltext, FormatIgnoresTheProcessLocale) {
  const char* alt = std::setlocale(LC_NUMERIC, nullptr);
  std::string vorher = alt ? alt : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "kein deutsches Locale";
  EXPECT_EQ(FormatReal(0.5, 1, 3), "0.500");
  EXPECT_EQ(ParseZahl("0.4").value_or(0), 0.4);
  std::setlocale(LC_NUMERIC, vorher.c_str());
}

TEST(Zahltext, ParseZahlAcceptsTheUserGrammarOnly) {
  EXPECT_EQ(ParseZahl("  51.26"), 51.26);
  EXPECT_EQ(ParseZahl("-7.15 "), -7.15);
  EXPECT_EQ(ParseZahl("+3"), 3.0);
  EXPECT_EQ(ParseZahl(".5"), 0.5);
  EXPECT_EQ(ParseZahl("5."), 5.0);
  EXPECT_EQ(ParseZahl("1e3"), 1000.0);
  EXPECT_EQ(ParseZahl("2.5E-2"), 0.025);
  for (const char* falsch : {"", " ", "abc", "1,5", "1.2.3", "nan", "inf", "0x10", "1e", "-", ".", "5 m", "1e999"})
    EXPECT_FALSE(ParseZahl(falsch).has_value()) << falsch;
}

TEST(Zahltext, IntegersWholeAndFromTheStart) {
  EXPECT_EQ(ParseGanzzahl(" 12 "), 12);
  EXPECT_EQ(ParseGanzzahl("-1"), -1);
  EXPECT_FALSE(ParseGanzzahl("24h").has_value());
  EXPECT_FALSE(ParseGanzzahl("abc").has_value());
  EXPECT_FALSE(ParseGanzzahl("2.5").has_value());
  EXPECT_EQ(GanzzahlAmAnfang("2.5"), 2);
  EXPECT_EQ(GanzzahlAmAnfang("  -17x"), -17);
  EXPECT_EQ(GanzzahlAmAnfang("abc"), 0);
  EXPECT_EQ(GanzzahlAmAnfang(""), 0);
}

TEST(Zahltext, ShortestTextRoundTripsEveryFloat) {
  std::mt19937 zufall(42);
  std::uniform_real_distribution<double> exponent(-10.0, 5.0);
  for (int i = 0; i < 20000; ++i) {
    float wert = static_cast<float>(std::pow(10.0, exponent(zufall)));
    if (i % 2) wert = -wert;
    std::string text = KuerzesterText(wert);
    auto zurueck = ParseZahl(text);
    ASSERT_TRUE(zurueck.has_value()) << text;
    EXPECT_EQ(static_cast<float>(*zurueck), wert) << text;
  }
  EXPECT_EQ(KuerzesterText(0.4f), "0.4");
}

TEST(Vardef, StartValuesAndDefaults) {
  auto m = NeuesModell();
  EXPECT_EQ(m->Anz_Segmente, 1);
  EXPECT_EQ(m->Kanalbetrieb.Volstrom, 2400);
  EXPECT_EQ(m->MarkSegment, -1);
  EXPECT_EQ(m->T_Keller, 0.0f);
  EXPECT_EQ(m->GebTiefeLinks, 0.0f);
  SetzeStartzustand(*m);
  EXPECT_EQ(m->Segmente[1].Tiefe, 6.0f);
  EXPECT_EQ(m->Segmente[1].Anz_Rohre, 1);
  EXPECT_EQ(m->Rohrdaten.Rohr_Ra[1], 0.4f);
  EXPECT_EQ(m->Rohrdaten.Seglaenge, 1.0f);
  EXPECT_EQ(m->T_Keller, 8.0f);
  EXPECT_EQ(m->T_Fundament, 10.0f);
  EXPECT_EQ(m->GebTiefeRechts, 8.0f);
  EXPECT_EQ(m->Breitengrad, 51.26f);
  EXPECT_EQ(m->Wetter_[12], 2);
  EXPECT_EQ(m->Ns_[1], 66.3f);
  EXPECT_EQ(m->Klima[1].T_Luft, Fehlwert);
  EXPECT_EQ(m->Klima[Stunden].Nieders, Fehlwert);
  EXPECT_EQ(StundenIndex(365, 23), Stunden);
}

}  // namespace
}  // namespace terval
