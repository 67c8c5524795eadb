// What the runs of a variant study share. The moisture trajectories depend
// only on the soil, the start moisture, the moisture step and the prepared
// climate's rain and potential evaporation; the start profile only on the
// mean temperatures and the soil's diffusivity at the start. Runs whose
// inputs to them are equal take them from here instead of computing them
// again: the first run to need one computes it, the others wait for it.
// Each is the very computation a single run does, so the results stay the
// same bit for bit.
#pragma once

#include <array>
#include <atomic>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <mutex>
#include <vector>

#include "core/Feuchtebahn.h"

namespace terval {

// The first segments of a channel as a run computed them: per segment its
// outlet air, hours 0..8760, and the mean soil temperature of its pipe row
// at the end of the year. A segment's year depends on the segments before
// it and not on those after it, so a run of the same channel, shorter or
// longer, goes through the same segments as far as both reach.
struct Kanalvorlauf {
  std::vector<std::array<float, Stunden + 1>> T_aus;  // [0] = segment 1
  std::vector<float> Rohrtiefe;
};

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
  // The segments kept for channels that differ from this one in their
  // length only (the caller names them by `schluessel`); null when none are
  // kept (yet). Never waits: a run that finds none computes its own.
  std::shared_ptr<const Kanalvorlauf> Vorlauf(const std::string& schluessel) const;
  // Keeps `v` for `schluessel` unless as many segments are kept already.
  void Behalte(const std::string& schluessel, std::shared_ptr<const Kanalvorlauf> v);
  // Drops what is kept for `schluessel` (no run of that channel is to come).
  void Vergiss(const std::string& schluessel);
  // Segment-years of the runs: computed, and taken from a kept channel.
  void ZaehleSegmente(int gerechnet, int uebernommen);

  // How often each was computed; segment-years computed and taken over.
  int BahnenGerechnet() const;
  int ProfileGerechnet() const;
  long long SegmenteGerechnet() const { return segmenteGerechnet_; }
  long long SegmenteUebernommen() const { return segmenteUebernommen_; }

 private:
  struct Bahneintrag;
  struct Profileintrag;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Bahneintrag>> bahnen_;
  std::vector<std::shared_ptr<Profileintrag>> profile_;
  std::map<std::string, std::shared_ptr<const Kanalvorlauf>> vorlaeufe_;
  std::atomic<long long> segmenteGerechnet_{0}, segmenteUebernommen_{0};
};

}  // namespace terval
