// The moisture trajectory of a run. A segment's moisture column follows from
// the climate, the soil and whether its surface lets water in, never from
// temperatures, and every segment starts it from the same profile. So all
// segments with the same kind of surface go through the same water contents
// and soil properties hour by hour: the run computes that trajectory once per
// kind of surface and replays it in each segment.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "core/Cor_mod.h"
#include "physics/Bodenfeuchte.h"

namespace terval {

// Kinds of surface: open ground takes up rain and evaporates, overbuilt and
// sealed ground (Überbaut > 0) neither.
enum class Oberflaechenart { Offen = 0, Dicht = 1 };

// Kind of surface of segment s.
Oberflaechenart OberflaecheVon(const Modell& m, int s);

// The moisture column after hour h of the year; h = 0 is the column a
// segment starts its first hour with.
struct Feuchtestand {
  Schichten Theta{};                   // water content after the hour, m3/m3
  std::array<float, Zeilen> Lambda{};  // conductivity for the next hour, W/(m K)
  Zeilendiffusivitaet Zeilenwerte{};   // face diffusivities of the next hour's heat step
  float r_Verd_mm = 0;                 // actual evaporation of the hour, mm
};

// Whether the run of this model can replay a trajectory with the same
// results as computing each segment's own column: a soil is chosen and has a
// positive saturated water content. (With any other soil the property
// routines report errors, once per call, which a replay could not repeat.)
bool FeuchtebahnMoeglich(const Modell& m);

// The trajectories of one run. The store holds 8761 hours per kind of surface
// that the channel uses (416 bytes an hour, 3.6 MB per kind), allocated once;
// nothing is allocated while the year is computed. With at least two cores
// each trajectory is computed by a worker thread of its own, which reads only
// copies made here, never the model; otherwise it is computed day by day on
// the calling thread as BisTag asks for it. The results are the same either
// way.
class Feuchtebahn {
 public:
  // Copies what the trajectories need from the model (soil, start moisture,
  // step, and the precipitation and potential evaporation of the prepared
  // climate year) and starts the kinds of surface asked for. `arbeiter`
  // false keeps everything on the caller's thread. A kind whose entry in
  // `fortsetzung` is set (index Oberflaechenart) carries on from that column,
  // as the next year of a run over several years, instead of the start
  // profile. Throws std::bad_alloc when the store cannot be had.
  Feuchtebahn(const Modell& m, bool offen, bool dicht, bool arbeiter = true,
              std::array<const Feuchtezustand*, 2> fortsetzung = {});
  // Stops the workers (after the day they are computing) and waits for them.
  ~Feuchtebahn();
  Feuchtebahn(const Feuchtebahn&) = delete;
  Feuchtebahn& operator=(const Feuchtebahn&) = delete;

  // Returns once `art` is known through day d (1..365): waits for its
  // worker, or computes the missing days here.
  void BisTag(Oberflaechenart art, int d);
  // The column after hour h (0..8760); BisTag must cover hour h.
  const Feuchtestand& Stand(Oberflaechenart art, int h) const;
  // The column as the year leaves it, with its last hydraulic coefficients;
  // after BisTag(art, 365).
  const Feuchtezustand& Ende(Oberflaechenart art) const;
  // True when the moisture steps write the climate fields r_Verd_mm, Eta_*
  // (MitFeuchte with at least one sub-step per hour).
  bool SchreibtKlima() const { return teilschritte_ > 0; }
  // Worker threads running or finished (0 when computed on the caller's thread).
  int Arbeiter() const;
  // Bytes held by the store.
  size_t Groesse() const;

 private:
  struct Bahn {
    bool gebraucht = false;
    std::vector<Feuchtestand> stunden;  // 0..8760, or only 0 without moisture steps
    std::vector<float> N, E;            // water factor x Nieders, x p_Verd_mm, hours 1..8760
    Feuchtezustand z;                   // the running column, the end state at last
    std::atomic<int> tage{0};           // days computed and published
    std::thread arbeiter;
  };

  void Starte(Bahn& b, const Modell& m, float g, const Feuchtezustand* fortsetzung);
  void RechneTag(Bahn& b, int d);
  void Arbeite(Bahn& b);

  TBodenDaten boden_;
  int zeitschritt_ = 3600;  // FeuchteZeitschritt, s
  int teilschritte_ = 0;    // moisture sub-steps per hour; 0 without the moisture model
  bool mitFeuchte_ = false;
  std::vector<float> pVerd_;  // p_Verd_mm, hours 1..8760
  std::atomic<bool> halt_{false};
  std::array<Bahn, 2> bahnen_;
};

}  // namespace terval
