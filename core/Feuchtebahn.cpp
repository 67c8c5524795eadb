#include "core/Feuchtebahn.h"

#include <algorithm>
#include <system_error>

#include "physics/getsoildata.h"

namespace terval {

namespace {

constexpr int Tage = 365;

// Thermal properties and row diffusivities from the column's water content,
// as UpdateBodenThermik would put them into the model.
void Eigenschaften(const TBodenDaten& boden, const Schichten& Theta, Feuchtestand& st) {
  Schichten lambda, k;
  Schichtthermik(boden, Theta, lambda, k);
  // Lambda holds single-precision values, so the float keeps them exactly.
  for (int r = 0; r < Zeilen; ++r) st.Lambda[r] = static_cast<float>(lambda[r]);
  st.Zeilenwerte = ZeilenDiffusivitaeten(k);
}

}  // namespace

Oberflaechenart OberflaecheVon(const Modell& m, int s) {
  return Wasserfaktor(m, s) > 0 ? Oberflaechenart::Offen : Oberflaechenart::Dicht;
}

bool FeuchtebahnMoeglich(const Modell& m) {
  const TBodenDaten* b = AktuellerBoden(m);
  return b != nullptr && b->ThetaSat > 0;
}

Feuchtebahn::Feuchtebahn(const Modell& m, bool offen, bool dicht, bool arbeiter,
                         std::array<const Feuchtezustand*, 2> fortsetzung)
    : boden_(*AktuellerBoden(m)),
      zeitschritt_(m.FeuchteZeitschritt),
      teilschritte_(m.MitFeuchte ? FeuchteTeilschritte(m.FeuchteZeitschritt) : 0),
      mitFeuchte_(m.MitFeuchte) {
  pVerd_.resize(Stunden + 1);
  for (int h = 1; h <= Stunden; ++h) pVerd_[h] = m.Klima[h].p_Verd_mm;
  bahnen_[0].gebraucht = offen;
  bahnen_[1].gebraucht = dicht;
  for (int i = 0; i < 2; ++i)
    if (bahnen_[i].gebraucht) Starte(bahnen_[i], m, i == 0 ? 1.0f : 0.0f, fortsetzung[i]);

  // Workers only where they can run beside the caller, and only when
  // there is a year to follow.
  if (!arbeiter || !mitFeuchte_ || std::thread::hardware_concurrency() < 2) return;
  for (Bahn& b : bahnen_) {
    if (!b.gebraucht) continue;
    try {
      b.arbeiter = std::thread([this, &b] { Arbeite(b); });
    } catch (const std::system_error&) {
      // No thread to be had: BisTag computes the days on the caller's thread.
    }
  }
}

Feuchtebahn::~Feuchtebahn() {
  halt_.store(true, std::memory_order_relaxed);
  for (Bahn& b : bahnen_)
    if (b.arbeiter.joinable()) b.arbeiter.join();
}

void Feuchtebahn::Starte(Bahn& b, const Modell& m, float g, const Feuchtezustand* fortsetzung) {
  b.stunden.resize(mitFeuchte_ ? Stunden + 1 : 1);
  Feuchtestand& start = b.stunden[0];
  if (fortsetzung != nullptr) {
    // The column as the last hour of the year before left it: its soil
    // properties are those of its water content, as after every hour.
    b.z = *fortsetzung;
    Eigenschaften(boden_, b.z.Theta, start);
  } else {
    // A segment's start: InitFeuchteProfil, UpdateBodenThermik (of the
    // profile as it is), UpdateBodenHydraulik (which may lower it to
    // saturation). Its first hour computes with these properties.
    StartFeuchteProfil(boden_, m.StartBodenfeuchte, b.z.Theta);
    Eigenschaften(boden_, b.z.Theta, start);
    UpdateBodenHydraulik(boden_, zeitschritt_, b.z);
  }
  start.Theta = b.z.Theta;

  if (!mitFeuchte_) {
    // Nothing changes during the year.
    b.tage.store(Tage, std::memory_order_release);
    return;
  }
  // The driver's arguments g * Nieders and g * p_Verd_mm, as floats.
  b.N.resize(Stunden + 1);
  b.E.resize(Stunden + 1);
  for (int h = 1; h <= Stunden; ++h) {
    b.N[h] = g * m.Klima[h].Nieders;
    b.E[h] = g * m.Klima[h].p_Verd_mm;
  }
}

void Feuchtebahn::RechneTag(Bahn& b, int d) {
  for (int k = 0; k < 24; ++k) {
    // A stopped run waits for this worker: at a 1 s moisture step an hour
    // takes milliseconds, a day a tenth of a second. The day is not published.
    if (halt_.load(std::memory_order_relaxed)) return;
    const int h = StundenIndex(d, k);
    float beta = 0;
    for (int i = 0; i < teilschritte_; ++i) {
      UpdateBodenHydraulik(boden_, zeitschritt_, b.z);
      beta = FeuchteSchritt(boden_, zeitschritt_, 1.0, b.N[h], b.E[h], b.z);
    }
    Feuchtestand& st = b.stunden[h];
    st.Theta = b.z.Theta;
    // The record's own potential evaporation, reduced by the last sub-step.
    st.r_Verd_mm = teilschritte_ > 0 ? pVerd_[h] * beta : 0.0f;
    // UpdateBodenThermik after the hour's moisture steps.
    Eigenschaften(boden_, b.z.Theta, st);
  }
}

void Feuchtebahn::Arbeite(Bahn& b) {
  for (int d = b.tage.load(std::memory_order_relaxed) + 1; d <= Tage; ++d) {
    RechneTag(b, d);
    if (halt_.load(std::memory_order_relaxed)) return;
    b.tage.store(d, std::memory_order_release);
    b.tage.notify_all();
  }
}

void Feuchtebahn::BisTag(Oberflaechenart art, int d) {
  Bahn& b = bahnen_[static_cast<int>(art)];
  d = std::min(d, Tage);
  int fertig = b.tage.load(std::memory_order_acquire);
  if (fertig >= d) return;
  if (b.arbeiter.joinable()) {
    while (fertig < d) {
      b.tage.wait(fertig, std::memory_order_acquire);
      fertig = b.tage.load(std::memory_order_acquire);
    }
    return;
  }
  // No worker: this thread is the only one touching the trajectory.
  for (int tag = fertig + 1; tag <= d; ++tag) {
    RechneTag(b, tag);
    b.tage.store(tag, std::memory_order_release);
  }
}

const Feuchtestand& Feuchtebahn::Stand(Oberflaechenart art, int h) const {
  const Bahn& b = bahnen_[static_cast<int>(art)];
  return b.stunden[mitFeuchte_ ? h : 0];
}

const Feuchtezustand& Feuchtebahn::Ende(Oberflaechenart art) const {
  return bahnen_[static_cast<int>(art)].z;
}

int Feuchtebahn::Arbeiter() const {
  return static_cast<int>(std::count_if(bahnen_.begin(), bahnen_.end(),
                                       [](const Bahn& b) { return b.arbeiter.joinable(); }));
}

size_t Feuchtebahn::Groesse() const {
  size_t bytes = pVerd_.capacity() * sizeof(float);
  for (const Bahn& b : bahnen_)
    bytes += b.stunden.capacity() * sizeof(Feuchtestand) +
             (b.N.capacity() + b.E.capacity()) * sizeof(float);
  return bytes;
}

}  // namespace terval
