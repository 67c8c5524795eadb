#include "output/Bodenjahr.h"

#include <algorithm>
#include <cmath>

namespace terval {

void Bodenjahr::Aufnehmen(const Modell& m, int s, int tag, const Schichten& theta) {
  if (segment_ != s) tage_.clear();
  segment_ = s;
  if (tage_.empty()) tage_.reserve(365);
  Bodenfeld f;
  f.Segment = s;
  f.Tag = tag;
  f.Spalten = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1) + 1;
  f.T.reserve(static_cast<size_t>(f.Spalten) * Zeilen);
  f.Fest.reserve(f.T.capacity());
  for (int c = 0; c < f.Spalten; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      f.T.push_back(m.T_Feld[c][r]);
      f.Fest.push_back(m.ZellTyp[c][r] == 1 ? 1 : 0);
    }
  f.Theta = theta;
  f.MitFeuchte = m.MitFeuchte;
  const Kanalsegment& seg = m.Segmente[std::clamp(s, 1, MaxSegmente)];
  f.Ueberbaut = seg.Überbaut;
  f.WandLinks = seg.Abst_Geb_li > 0;
  f.WandRechts = seg.Abst_Geb_re > 0;
  // A day taken again (a later year of the run) replaces the earlier one.
  if (!tage_.empty() && tage_.back().Tag >= tag) tage_.clear();
  tage_.push_back(std::move(f));
}

const Bodenfeld* Bodenjahr::Tag(int tag) const {
  for (const Bodenfeld& f : tage_)
    if (f.Tag == tag) return &f;
  return nullptr;
}

Temperaturbereich Bodenjahr::Bereich() const {
  float lo = INFINITY, hi = -INFINITY;
  for (const Bodenfeld& f : tage_)
    for (size_t i = 0; i < f.T.size(); ++i)
      if (std::isfinite(f.T[i])) lo = std::min(lo, f.T[i]), hi = std::max(hi, f.T[i]);
  if (!(lo <= hi)) return {0, 1};
  lo = std::floor(lo), hi = std::ceil(hi);
  if (hi <= lo) hi = lo + 1;
  return {lo, hi};
}

}  // namespace terval
