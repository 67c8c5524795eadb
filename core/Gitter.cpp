// Segment grid: column counts, pipe cells, cellar walls, pipe block and the
// neighbour distances of the heat step.
#include <algorithm>
#include <cmath>

#include "core/Cor_mod.h"

namespace terval {

namespace {

// Grid arithmetic stays in float, the model's precision: a column count like
// 5.8 vs 5.799999 decides whether a register gets one column more. Rounding
// is to nearest with halves to even (std::nearbyint under the default mode).
// Values far outside any grid (or NaN) become a large negative or positive
// number that the checks refuse and InitGrid clamps.
int RundeFloat(float x) {
  float r = std::nearbyint(x);
  if (!(r > -1.0e6f)) return -1000000;
  if (r > 1.0e6f) return 1000000;
  return static_cast<int>(r);
}

int AbschneidenFloat(float x) {
  float r = std::trunc(x);
  if (!(r > -1.0e6f)) return -1000000;
  if (r > 1.0e6f) return 1000000;
  return static_cast<int>(r);
}

bool ImStore(int c, int r) { return c >= 0 && c < MaxSpalten && r >= 0 && r < Zeilen; }

}  // namespace

GitterAufbau BerechneGitterAufbau(const Modell& m, int s) {
  s = std::clamp(s, 1, MaxSegmente);
  const Kanalsegment& seg = m.Segmente[s];
  GitterAufbau g;
  g.Rohre = seg.Anz_Rohre;
  const int t = seg.Anz_Rohre == 1 ? 1 : 2;
  g.R = m.Rohrdaten.Rohr_Ra[t];
  const float a = seg.Abst_Rohre;
  const float n = static_cast<float>(seg.Anz_Rohre);

  // W = 2 n R + (n - 1) a
  g.W = 2.0f * n * g.R + (n - 1.0f) * a;
  // A building distance is measured from the block centre; without one the
  // soil margin RandAbstand lies beside the block.
  g.L_li = seg.Abst_Geb_li == 0.0f ? 0.5f * g.W + RandAbstand : seg.Abst_Geb_li;
  g.L_re = seg.Abst_Geb_re == 0.0f ? 0.5f * g.W + RandAbstand : seg.Abst_Geb_re;
  g.n_li = RundeFloat(g.L_li / DX);
  g.n_re = RundeFloat(g.L_re / DX);
  g.RohrZellRadius = RundeFloat(g.R / DZ);
  g.RohrZeile = RundeFloat(seg.Tiefe / DZ);
  g.Teilung = 2.0f * g.R + a;
  g.x0 = g.L_li - 0.5f * g.W + g.R;
  return g;
}

int RohrSpalte(const GitterAufbau& g, int i) {
  // x_i = (2R + a)(i - 1) + x0; column = x_i / DX with the fraction cut off, + 1
  const float x = g.Teilung * static_cast<float>(i - 1) + g.x0;
  return AbschneidenFloat(x / DX) + 1;
}

void MarkiereRohr(Modell& m, int c, int r, int nr) {
  if (nr < 1) {
    if (ImStore(c, r)) m.ZellTyp[c][r] = 1;
    return;
  }
  // Only the part of the square inside the store; a radius beyond the store
  // is cut so the loops stay short on nonsense input.
  const int c0 = std::max(c - nr, 0), c1 = std::min(c + nr - 1, MaxSpalten - 1);
  const int r0 = std::max(r - nr, 0), r1 = std::min(r + nr - 1, Zeilen - 1);
  for (int cc = c0; cc <= c1; ++cc)
    for (int rr = r0; rr <= r1; ++rr) m.ZellTyp[cc][rr] = 1;
}

void InitGrid(Modell& m, int s) {
  s = std::clamp(s, 1, MaxSegmente);
  const Kanalsegment& seg = m.Segmente[s];
  const GitterAufbau g = BerechneGitterAufbau(m, s);

  for (auto& spalte : m.ZellTyp) spalte.fill(0);

  // The store holds 40 columns and 17 rows; PruefeGitter refuses segments
  // that need more, so clamping only matters for unchecked calls.
  m.LetzteSpalte = std::clamp(g.n_li + g.n_re - 1, 0, MaxSpalten - 1);
  m.RohrZellRadius = g.RohrZellRadius;
  m.RohrZeile = std::clamp(g.RohrZeile, 0, UntersteZeile);
  const int n = m.LetzteSpalte;

  // All pipes of a segment lie in the same row.
  for (int i = 1; i <= seg.Anz_Rohre; ++i)
    MarkiereRohr(m, RohrSpalte(g, i), m.RohrZeile, m.RohrZellRadius);

  // Cellar walls: the edge column down to the building depth (8 m: all rows).
  if (seg.Abst_Geb_li > 0)
    for (int r = 0; r <= UntersteZeile; ++r)
      if (static_cast<float>(r) * DZ <= m.GebTiefeLinks) m.ZellTyp[0][r] = 1;
  if (seg.Abst_Geb_re > 0)
    for (int r = 0; r <= UntersteZeile; ++r)
      if (static_cast<float>(r) * DZ <= m.GebTiefeRechts) m.ZellTyp[n][r] = 1;

  // Pipe block: bounding box of the solid cells off the edges; (90, 0, 90, 0)
  // when there are none.
  std::array<int32_t, 4> box{90, 0, 90, 0};
  for (int r = 1; r <= UntersteZeile; ++r)
    for (int c = 1; c <= n - 1; ++c)
      if (m.ZellTyp[c][r] == 1) {
        box[0] = std::min(box[0], c);
        box[1] = std::max(box[1], c);
        box[2] = std::min(box[2], r);
        box[3] = std::max(box[3], r);
      }
  m.RegisterBox = box;

  // Distance to the neighbour's centre: a full cell to soil, half a cell to
  // a solid cell, whose temperature sits on its surface. Solid cells and
  // faces on the grid edge are never read by the heat step.
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r <= UntersteZeile; ++r) {
      if (m.ZellTyp[c][r] != 0) continue;
      if (c > 0) m.D_W[c][r] = m.ZellTyp[c - 1][r] == 0 ? DX : DX / 2;
      if (c < n) m.D_O[c][r] = m.ZellTyp[c + 1][r] == 0 ? DX : DX / 2;
      if (r > 0) m.D_N[c][r] = m.ZellTyp[c][r - 1] == 0 ? DZ : DZ / 2;
      if (r < UntersteZeile) m.D_S[c][r] = m.ZellTyp[c][r + 1] == 0 ? DZ : DZ / 2;
    }
}

}  // namespace terval
