// The hourly loop of a run allocates nothing: every array it touches is part
// of the model. Checked by counting calls of the global operator new around
// whole runs: a channel of more segments may only add the few allocations
// made once per segment (its status text), never any per day or hour.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "model/Oberflaeche.h"

namespace {
std::atomic<long> anforderungen{0};
}

void* operator new(std::size_t n) {
  ++anforderungen;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace terval {
namespace {

long AnforderungenEinesLaufs(int segmente, bool mitFeuchte, Rechenweg weg) {
  auto m = test::Kernmodell();
  m->Anz_Segmente = segmente;
  for (int s = 1; s <= segmente; ++s) test::SetzeSegment(*m, s, 1, 6.0f);
  m->Segmente[segmente].Überbaut = 1;
  m->Segmente[1].Abst_Geb_li = 3.0f;
  m->MarkSegment = -1;
  test::FuelleKlima(*m, [](int h) { return static_cast<float>(h % 24) * 0.5f; }, 0.2f);
  m->MitFeuchte = mitFeuchte;
  m->FeuchteZeitschritt = 3600;
  StilleOberflaeche ui;
  const long vorher = anforderungen.load();
  RechneKanal(*m, ui, weg);
  return anforderungen.load() - vorher;
}

// Both channels have open and overbuilt segments: the run sets up one
// moisture trajectory per kind of surface, once, whatever the length.
TEST(Allokation, MoistureSubStepsAllocateNothing) {
  for (Rechenweg weg : {Rechenweg::Gemeinsam, Rechenweg::Segmentweise}) {
    const long zwei = AnforderungenEinesLaufs(2, true, weg);
    const long vier = AnforderungenEinesLaufs(4, true, weg);
    EXPECT_LE(vier - zwei, 2) << static_cast<int>(weg);
  }
}

// A whole year of the longest channel: 148 segments more than two (both
// channels open and overbuilt) may add at most their 148 status texts.
TEST(Allokation, LongestChannelAllocatesOnlyItsStatusTexts) {
  for (Rechenweg weg : {Rechenweg::Gemeinsam, Rechenweg::Segmentweise}) {
    const long zwei = AnforderungenEinesLaufs(2, false, weg);
    const long alle = AnforderungenEinesLaufs(MaxSegmente, false, weg);
    EXPECT_LE(alle - zwei, MaxSegmente - 2) << static_cast<int>(weg);
  }
}

}  // namespace
}  // namespace terval
