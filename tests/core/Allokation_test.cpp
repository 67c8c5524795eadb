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
#include "core/Oberflaeche.h"

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

long AnforderungenEinesLaufs(int segmente, bool mitFeuchte) {
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
  RechneKanal(*m, ui);
  return anforderungen.load() - vorher;
}

TEST(Allokation, MoistureSubStepsAllocateNothing) {
  const long eins = AnforderungenEinesLaufs(1, true);
  const long drei = AnforderungenEinesLaufs(3, true);
  EXPECT_LE(drei - eins, 2);
}

// A whole year of the longest channel: 149 segments more than one may add
// at most their 149 status texts.
TEST(Allokation, LongestChannelAllocatesOnlyItsStatusTexts) {
  const long eins = AnforderungenEinesLaufs(1, false);
  const long alle = AnforderungenEinesLaufs(MaxSegmente, false);
  EXPECT_LE(alle - eins, MaxSegmente - 1);
}

}  // namespace
}  // namespace terval
