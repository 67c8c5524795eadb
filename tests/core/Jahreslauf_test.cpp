// Runs over several years: the soil of each segment carried from one year
// into the next, on both ways through the channel, and sequences of tables.
#include <gtest/gtest.h>

#include <cstring>

#include "Kernhilfe.h"
#include "core/Jahreslauf.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::SetzeSegment;

// Three segments, the middle one overbuilt, so both moisture trajectories
// run; rain on one day in four.
std::unique_ptr<Modell> Kanal() {
  auto m = test::Kernmodell();
  m->Anz_Segmente = 3;
  for (int s = 1; s <= 3; ++s) SetzeSegment(*m, s, 1, 2.0f);
  m->Segmente[2].Überbaut = 1;
  test::FuelleKlima(*m, test::Jahresklima);
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Nieders = ((h - 1) / 24) % 4 == 0 ? 0.8f : 0.0f;
  return m;
}

bool Bitgleich(const auto& a, const auto& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

// What a year leaves that the files and the next year read.
void ErwarteGleicheJahre(const Modell& a, const Modell& b) {
  for (int s = 1; s <= 3; ++s) {
    EXPECT_TRUE(Bitgleich(a.Segmente[s].T_aus, b.Segmente[s].T_aus)) << s;
    EXPECT_TRUE(Bitgleich(a.Segmente[s].T_ein, b.Segmente[s].T_ein)) << s;
  }
  EXPECT_TRUE(Bitgleich(a.T_Feld, b.T_Feld));
  EXPECT_TRUE(Bitgleich(a.Theta, b.Theta));
  EXPECT_TRUE(Bitgleich(a.Klima, b.Klima));
}

struct Lauf {
  std::unique_ptr<Modell> m = Kanal();
  Jahreslauf jahre;
  test::Aufzeichner ui;
  void Rechne(Rechenweg weg = Rechenweg::Gemeinsam) { RechneKanal(*m, ui, jahre, weg); }
};

// The second year of a two-year run is a one-year run from the first year's
// end: the field and moisture column of every segment, and the moisture
// trajectories, carry on. On both ways through the channel, with and
// without the moisture model.
TEST(Jahreslauf, SecondYearIsAOneYearRunFromTheFirstYearsEnd) {
  for (const bool feuchte : {true, false}) {
    std::unique_ptr<Modell> gemeinsam;
    for (const Rechenweg weg : {Rechenweg::Gemeinsam, Rechenweg::Segmentweise}) {
      SCOPED_TRACE(std::string(feuchte ? "mit" : "ohne") + " Feuchte, Weg " +
                   std::to_string(static_cast<int>(weg)));
      Lauf eins, zwei, weiter;
      for (Lauf* l : {&eins, &zwei, &weiter}) l->m->MitFeuchte = feuchte;
      eins.Rechne(weg);
      zwei.jahre.Jahre = 2;
      zwei.Rechne(weg);
      // Set directly: the first year's end state as the start of a new run.
      weiter.jahre.Stand = eins.jahre.Stand;
      weiter.Rechne(weg);

      ErwarteGleicheJahre(*zwei.m, *weiter.m);
      EXPECT_EQ(zwei.jahre.Zeilen.at(1).T_aus_Mittel, weiter.jahre.Zeilen.at(0).T_aus_Mittel);
      // The carried soil is not the start profile: the second year differs.
      EXPECT_FALSE(Bitgleich(zwei.m->Segmente[3].T_aus, eins.m->Segmente[3].T_aus));
      // Both ways carry the moisture alike: each segment's own column, the
      // shared trajectory.
      if (gemeinsam)
        ErwarteGleicheJahre(*gemeinsam, *zwei.m);
      else
        gemeinsam = std::move(zwei.m);
    }
  }
}

// One table given is that table, whatever the model held, for every year.
// Two tables: the run starts from the means of both, ends in the second and
// sets the years itself.
TEST(Jahreslauf, SequenceOfTables) {
  Lauf zweimal, eine, folge;
  zweimal.jahre.Jahre = 2;
  zweimal.Rechne();
  const Klimajahr a = KlimajahrVon(*eine.m, "A.txt");
  eine.jahre.Folge = {a};
  eine.jahre.Jahre = 2;
  test::FuelleKlima(*eine.m, [](int) { return 30.0f; });
  eine.Rechne();
  ErwarteGleicheJahre(*zweimal.m, *eine.m);

  test::FuelleKlima(*folge.m, [](int h) { return test::Jahresklima(h) + 4.0f; });
  folge.jahre.Folge = {a, KlimajahrVon(*folge.m, "B.txt")};
  folge.jahre.Jahre = 7;
  folge.m->Segmente[1].T_ein.fill(0);
  folge.Rechne();
  EXPECT_NEAR(folge.m->T_Jahresmittel, zweimal.m->T_Jahresmittel + 2.0f, 1e-4);
  EXPECT_EQ(folge.m->Segmente[1].T_ein[100], test::Jahresklima(100) + 4.0f);
  ASSERT_EQ(folge.jahre.Zeilen.size(), 2u);
  EXPECT_EQ(folge.jahre.Zeilen[0].Klima + folge.jahre.Zeilen[1].Klima, "A.txtB.txt");
}

// A stop in the second year ends the run there, as in a one-year run.
TEST(Jahreslauf, StopInTheSecondYear) {
  Lauf l;
  l.jahre.Jahre = 3;
  l.ui.beiProcMsg = [&](int aufruf) { l.m->StopRequested = aufruf == 5; };
  l.Rechne();
  EXPECT_EQ(l.ui.gezeichneteSegmente, (std::vector<int>{1, 2, 3, 1, 2}));
  EXPECT_EQ(l.jahre.Zeilen.size(), 1u);
  EXPECT_EQ(l.ui.status.back(), "Jahr 2 von 3: Rechne Segment 2");
}

}  // namespace
}  // namespace terval
