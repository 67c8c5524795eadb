// What the runs of a variant study share. The moisture trajectories depend
// only on the soil, the start moisture, the moisture step and the prepared
// climate's rain and potential evaporation; the start profile only on the
// mean temperatures and the soil's diffusivity at the start. Runs whose
// inputs to them are equal take them from here instead of computing them
// again: the first run to need one computes it, the others wait for it.
// Each is the very computation a single run does, so the results stay the
// same bit for bit.
#pragma once

#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "core/Feuchtebahn.h"

namespace terval {

class Laufvorrat {
 public:
  // The trajectories of both kinds of surface, complete for the year, for
  // the run the model is prepared for (the first year, from the start
  // column). Null where the run cannot replay one (FeuchtebahnMoeglich) or
  // the store cannot be had. Complete, a trajectory is only read: BisTag
  // returns at once, so runs on several threads may share it.
  std::shared_ptr<Feuchtebahn> Bahn(const Modell& m);
  // InitTProfil: T_Profil and T_ProfilHilf as the spin-up leaves them.
  void StartProfil(Modell& m);
  // How often each was computed and how often taken from the store.
  int BahnenGerechnet() const;
  int ProfileGerechnet() const;

 private:
  struct Bahneintrag;
  struct Profileintrag;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Bahneintrag>> bahnen_;
  std::vector<std::shared_ptr<Profileintrag>> profile_;
};

}  // namespace terval
