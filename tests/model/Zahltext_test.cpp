// Number texts: fixed formats, the user's number grammar, the shortest text
// that reads back as the same float; and the model's start values.
#include "model/Zahltext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <random>

#include "model/Vardef.h"

namespace terval {
namespace {

TEST(Zahltext, FormatsPadButNeverCutAndIgnoreTheLocale) {
  EXPECT_EQ(std::vector<std::string>({FormatReal(-0.5, 2, 2), FormatReal(123.456, 2, 2), FormatReal(5, 6, 2),
                                      FormatReal(51.26f, 1, 2), FormatInt(1, 3), FormatInt(1234, 3), FormatInt(-3)}),
            std::vector<std::string>({"-0.50", "123.46", "  5.00", "51.26", "  1", "1234", "-3"}));
  const std::string vorher = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "kein deutsches Locale";
  EXPECT_TRUE(FormatReal(0.5, 1, 3) == "0.500" && ParseZahl("0.4").value_or(0) == 0.4);
  std::setlocale(LC_NUMERIC, vorher.c_str());
}

TEST(Zahltext, TheUserGrammarOnly) {
  for (auto [text, wert] : {std::pair{"  51.26", 51.26}, {"-7.15 \r\n", -7.15}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0},
                            {"\t1e3", 1000.0}, {"2.5E-2", 0.025}, {"-1e+2", -100.0}})
    EXPECT_EQ(ParseZahl(text), wert) << text;
  for (const char* falsch :
       {"", " ", "abc", "1,5", "1.2.3", "nan", "inf", "0x10", "1e", "-", ".", "5 m", "1e999", "+-1", "1e+"})
    EXPECT_FALSE(ParseZahl(falsch).has_value()) << falsch;
  EXPECT_TRUE(ParseGanzzahl(" +12 ") == 12 && ParseGanzzahl("-1") == -1);
  for (const char* falsch : {"24h", "abc", "2.5", "+", ""}) EXPECT_FALSE(ParseGanzzahl(falsch).has_value()) << falsch;
  for (auto [text, zahl] : {std::pair{"2.5", 2}, {" \t-17x", -17}, {"+8", 8}, {"abc", 0}})
    EXPECT_EQ(GanzzahlAmAnfang(text), zahl) << text;
  EXPECT_EQ(GanzzahlAmAnfang("99999999999999999999"), 9999999999999999);  // stops past 2^53
}

TEST(Zahltext, ShortestTextReadsBackAsTheSameFloat) {
  std::mt19937 zufall(42);
  std::uniform_real_distribution<double> exponent(-10.0, 5.0);
  for (int i = 0; i < 20000; ++i) {
    const float wert = static_cast<float>((i % 2 ? -1 : 1) * std::pow(10.0, exponent(zufall)));
    const std::string text = KuerzesterText(wert);
    ASSERT_EQ(static_cast<float>(ParseZahl(text).value_or(0)), wert) << text;
  }
  EXPECT_EQ(KuerzesterText(0.4f), "0.4");
}

// The start state the windows and a run rely on where no other test sets it.
TEST(Vardef, StartValues) {
  auto m = NeuesModell();
  EXPECT_EQ(m->T_Keller, 0.0f);  // until the start state is set
  SetzeStartzustand(*m);
  const TKanalbetrieb& b = m->Kanalbetrieb;
  EXPECT_EQ(std::tuple(b.Volstrom, b.Vol_Aus, b.Ein_Zeit, b.Aus_Zeit, b.Heiz_T, b.Kuehl_T),
            std::tuple(2400, 0, 7, 18, 4.0f, 18.0f));
  const Kanalsegment& s = m->Segmente[1];
  EXPECT_EQ(std::tuple(s.Tiefe, s.Anz_Rohre, s.Abst_Geb_li, s.Abst_Geb_re, s.Tief_Geb_li, s.Tief_Geb_re, s.Überbaut),
            std::tuple(6.0f, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0));
  const TRohrdaten& r = m->Rohrdaten;
  EXPECT_EQ(std::tuple(r.Rohr_Ra[2], r.Rohr_Dicke[1], r.Rohr_wlf[2], r.Seglaenge), std::tuple(0.4f, 0.1f, 1.0f, 1.0f));
  EXPECT_EQ(std::tuple(m->T_Keller, m->wlf_kellerwand, m->kellerwand_dicke, m->T_Fundament, m->GebTiefeLinks),
            std::tuple(8.0f, 0.9f, 0.4f, 10.0f, 8.0f));
  EXPECT_EQ(std::tuple(m->Breitengrad, m->Laengengrad, m->WG_Messhoehe, m->Wg_mittel, m->Wg_Tag_Nacht, m->Truebung),
            std::tuple(51.26f, 7.15f, 2.0f, 2.0f, 2.0f, 1));
  EXPECT_EQ(std::tuple(m->MarkSegment, m->AusgabeStunde, m->FeuchteZeitschritt, m->Wetter_[12]),
            std::tuple(-1, 12, 3600, 2));
  EXPECT_TRUE(m->Klima[Stunden].Nieders == Fehlwert && StundenIndex(365, 23) == Stunden);
}

}  // namespace
}  // namespace terval
