// The hourly loop of a run allocates nothing: every array it touches is part
// of the model. Counted with the global operator new around whole runs: a
// channel of more segments may only add the few allocations made once per
// segment (its status text), never any per day or hour.
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

// Open and overbuilt segments and a cellar: one moisture trajectory per kind
// of surface, set up once, whatever the length.
long AnforderungenEinesLaufs(int segmente, Rechenweg weg) {
  auto m = test::Kernmodell();
  m->Anz_Segmente = segmente;
  for (int s = 1; s <= segmente; ++s) test::SetzeSegment(*m, s, 1, 6.0f);
  m->Segmente[segmente].Überbaut = 1;
  m->Segmente[1].Abst_Geb_li = 3.0f;
  test::FuelleKlima(*m, [](int h) { return static_cast<float>(h % 24) * 0.5f; }, 0.2f);
  StilleOberflaeche ui;
  const long vorher = anforderungen.load();
  RechneKanal(*m, ui, weg);
  return anforderungen.load() - vorher;
}

TEST(Allokation, MoreSegmentsAddOnlyTheirStatusTexts) {
  for (Rechenweg weg : {Rechenweg::Gemeinsam, Rechenweg::Segmentweise})
    EXPECT_LE(AnforderungenEinesLaufs(4, weg) - AnforderungenEinesLaufs(2, weg), 2) << static_cast<int>(weg);
}

}  // namespace
}  // namespace terval
