// The air side of a segment: flow per pipe, the convective coefficient in
// the pipe and the hourly heat exchange with the soil around the pipe block.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Cor_mod.h"
#include "physics/maths.h"

namespace terval {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// Pipe type of a segment: 1 main line for a single pipe, 2 register otherwise.
int Rohrtyp(const Kanalsegment& seg) { return seg.Anz_Rohre == 1 ? 1 : 2; }

// Mean of T_Feld over the cells (c, r) with c in c0..c1 and r in r0..r1 that
// lie inside columns 0..n and rows 0..16; false when there is none. Only an
// unchecked grid ever has a line outside.
bool Linienmittel(const Modell& m, int n, int c0, int c1, int r0, int r1, float& mittel) {
  c0 = std::max(c0, 0);
  c1 = std::min(c1, n);
  r0 = std::max(r0, 0);
  r1 = std::min(r1, static_cast<int>(UntersteZeile));
  if (c0 > c1 || r0 > r1) return false;
  float summe = 0;
  for (int c = c0; c <= c1; ++c)
    for (int r = r0; r <= r1; ++r) summe += m.T_Feld[c][r];
  mittel = summe / static_cast<float>((c1 - c0 + 1) * (r1 - r0 + 1));
  return true;
}

void MarkiereLinie(Modell& m, int n, int c0, int c1, int r0, int r1) {
  for (int c = std::max(c0, 0); c <= std::min(c1, n); ++c)
    for (int r = std::max(r0, 0); r <= std::min(r1, static_cast<int>(UntersteZeile)); ++r)
      m.RingMarke[c][r] = 1.0f;
}

}  // namespace

void CalcRohrVolumenstrom(Modell& m) {
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  for (int s = 1; s <= segmente; ++s) {
    Kanalsegment& seg = m.Segmente[s];
    if (seg.Anz_Rohre < 1) continue;  // the run start corrects 0 to 1 beforehand
    const float n = static_cast<float>(seg.Anz_Rohre);
    for (int h = 1; h <= Stunden; ++h)
      seg.VolStromRohr[h] = seg.Anz_Rohre == 1 ? m.VolStromStunde[h] : m.VolStromStunde[h] / n;
  }
}

float CalcAlpha(const Modell& m, int s, float V) {
  if (V == 0.0f) return 1.0e-8f;
  const Kanalsegment& seg = m.Segmente[std::clamp(s, 1, MaxSegmente)];
  const float R = m.Rohrdaten.Rohr_Ra[Rohrtyp(seg)];
  const float D = 2.0f * R;

  // Gnielinski-type correlation for turbulent pipe flow, single precision:
  // w = V / (pi R^2 + 1e-6), Re = w 2R / nu
  const float w = V / (Pi * (R * R) + 1.0e-6f);
  const float Re = w * D / nu_Luft;
  // xi = 1 / (2 log10(Re) - 1.44)^2, F = 1 + (2R / L)^0.67
  const float q = 2.0f * std::log10(Re) - 1.44f;
  const float xi = 1.0f / (q * q);
  const float F = 1.0f + pot_a_b(D / m.Rohrdaten.Seglaenge, 0.67f);
  // Nu = (xi/8)(Re - 1000) Pr / (1 + 12.7 sqrt(xi/8) (-0.21256)) F; the fixed
  // -0.21256 stands where Pr^(2/3) - 1 would be.
  const float x8 = xi / 8.0f;
  const float Nu = x8 * (Re - 1000.0f) * Pr_Luft / (1.0f + 12.7f * std::sqrt(x8) * -0.21256f) * F;
  const float alpha = wlf_Luft * Nu / D;
  // Laminar flow (Re < 1000) makes the correlation negative or meaningless
  // (NaN at Re = 5.25): the floor of 10 applies to all of it.
  return alpha >= 10.0f ? alpha : 10.0f;
}

float Reynoldszahl(const Modell& m, int s, float V) {
  const float R = m.Rohrdaten.Rohr_Ra[Rohrtyp(m.Segmente[std::clamp(s, 1, MaxSegmente)])];
  return V / (Pi * (R * R) + 1.0e-6f) * (2.0f * R) / nu_Luft;
}

float AlphaKleinerStrom(const Modell& m, int s, float V) {
  if (V == 0.0f) return 1.0e-8f;
  const float D = 2.0f * m.Rohrdaten.Rohr_Ra[Rohrtyp(m.Segmente[std::clamp(s, 1, MaxSegmente)])];
  const double Re = Reynoldszahl(m, s, V);
  // Laminar, fully developed Nu = 3.66 at a constant wall temperature, with
  // Hausen's thermal entrance term over the segment length (Graetz number
  // Gz = Re Pr D / L): Nu = 3.66 + 0.0668 Gz / (1 + 0.04 Gz^(2/3)).
  const double Gz = Re * Pr_Luft * D / m.Rohrdaten.Seglaenge;
  const double Nu = 3.66 + 0.0668 * Gz / (1.0 + 0.04 * std::pow(Gz, 2.0 / 3.0));
  const double laminar = wlf_Luft * Nu / D;
  // From Re 2300 (or half the threshold's Re in a pipe so wide that the
  // threshold flow is still laminar) to the threshold, blend towards the
  // described coefficient at the threshold with a smoothstep weight, so the
  // coefficient is continuous with a continuous slope at both ends.
  const double Re_g = Reynoldszahl(m, s, LuftstromGrenze);
  const double Re_u = std::min(2300.0, 0.5 * Re_g);
  if (Re <= Re_u) return static_cast<float>(laminar);
  const double x = std::min((Re - Re_u) / (Re_g - Re_u), 1.0);
  const double w = x * x * (3.0 - 2.0 * x);
  return static_cast<float>((1.0 - w) * laminar + w * CalcAlpha(m, s, LuftstromGrenze));
}

void CalcAlphaJahr(Modell& m) {
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  const bool klein = m.Luftseite.KleinerVolumenstrom;
  for (int s = 1; s <= segmente; ++s) {
    Kanalsegment& seg = m.Segmente[s];
    // A segment with the pipe count of an earlier one has that segment's
    // pipe type and flows (CalcRohrVolumenstrom), so its coefficients too.
    int gleich = 0;
    for (int t = 1; t < s && seg.Anz_Rohre >= 1 && gleich == 0; ++t)
      if (m.Segmente[t].Anz_Rohre == seg.Anz_Rohre) gleich = t;
    if (gleich > 0) {
      seg.Alpha = m.Segmente[gleich].Alpha;
      continue;
    }
    // The flow changes only when the fan switches: each run of equal hours
    // takes the coefficient of its first.
    float V_vorher = 0, alpha = 0;
    bool erste = true;
    for (int h = 1; h <= Stunden; ++h) {
      const float V = seg.VolStromRohr[h];
      if (erste || !(V == V_vorher)) {
        alpha = klein && V < LuftstromGrenze ? AlphaKleinerStrom(m, s, V) : CalcAlpha(m, s, V);
        V_vorher = V;
        erste = false;
      }
      seg.Alpha[h] = alpha;
    }
  }
}

float Ringtemperatur(const Modell& m, float T_in) {
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  const int c0 = m.RegisterBox[0], c1 = m.RegisterBox[1];
  const int r0 = m.RegisterBox[2], r1 = m.RegisterBox[3];

  // Soil around the pipes: plain average of the means of the four lines
  // bordering the block (above, below, left, right), each line weighted alike.
  float mittel[4];
  const bool da[4] = {Linienmittel(m, n, c0, c1, r0 - 1, r0 - 1, mittel[0]),
                      Linienmittel(m, n, c0, c1, r1 + 1, r1 + 1, mittel[1]),
                      Linienmittel(m, n, c0 - 1, c0 - 1, r0, r1, mittel[2]),
                      Linienmittel(m, n, c1 + 1, c1 + 1, r0, r1, mittel[3])};
  if (da[0] && da[1] && da[2] && da[3])
    return (mittel[0] + mittel[1] + mittel[2] + mittel[3]) / 4.0f;
  // Only an unchecked grid gets here (PruefeGitter keeps the block one
  // cell off every edge): average the lines that exist, or none at all.
  float summe = 0;
  int zahl = 0;
  for (int i = 0; i < 4; ++i)
    if (da[i]) summe += mittel[i], ++zahl;
  return zahl > 0 ? summe / static_cast<float>(zahl) : T_in;
}

void MarkiereRing(Modell& m) {
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  const int c0 = m.RegisterBox[0], c1 = m.RegisterBox[1];
  const int r0 = m.RegisterBox[2], r1 = m.RegisterBox[3];
  for (int c = 0; c <= n; ++c) m.RingMarke[c].fill(0.0f);
  MarkiereLinie(m, n, c0, c1, r0 - 1, r0 - 1);
  MarkiereLinie(m, n, c0, c1, r1 + 1, r1 + 1);
  MarkiereLinie(m, n, c0 - 1, c0 - 1, r0, r1);
  MarkiereLinie(m, n, c1 + 1, c1 + 1, r0, r1);
}

Rohrwerte RohrwerteVon(const Modell& m, int s, float L) {
  const int t = Rohrtyp(m.Segmente[std::clamp(s, 1, MaxSegmente)]);
  Rohrwerte w;
  w.U_w = m.Rohrdaten.Rohr_wlf[t] / m.Rohrdaten.Rohr_Dicke[t];
  w.U_w2 = w.U_w * w.U_w;
  w.UmfangMalL = 2.0f * Pi * m.Rohrdaten.Rohr_Ra[t] * L;
  return w;
}

void Rohraustausch(const Rohrwerte& rohr, float alpha, float V, float T_in, float T_ring,
                   double lambda_Rohr, float& T_aus, float& T_wand, bool kleinerStrom) {
  const float U_w = rohr.U_w;
  const float U_s = static_cast<float>(lambda_Rohr / (0.5 * DX));
  // Below 100 m3/h per pipe the air is taken as standing: it passes
  // unchanged and the pipe cells follow the soil around them.
  if (V < LuftstromGrenze) {
    T_wand = T_ring;
    T_aus = T_in;
    if (!kleinerStrom || !(V > 0.0f)) return;
    // Effectiveness form: along the segment the air approaches the ring
    // exponentially, T_aus - T_ring = (T_in - T_ring) exp(-k), so it never
    // passes it however small the flow. The wall lies 1/U_s below the ring
    // for the mean flux q = 1200 V (T_aus - T_in) / (2 pi R L).
    const double U = 1.0 / (1.0 / alpha + 1.0 / U_w + 1.0 / U_s);
    const double k = rohr.UmfangMalL * U / (1200.0 * V);
    T_aus = static_cast<float>(T_ring + (static_cast<double>(T_in) - T_ring) * std::exp(-k));
    const double q = 1200.0 * V * (static_cast<double>(T_aus) - T_in) / rohr.UmfangMalL;
    T_wand = static_cast<float>(T_ring - q / U_s);
    return;
  }
  // Steady series network air - wall - soil, a = (U_w + U_s)(U_w + alpha):
  // T_wand = (U_w alpha / a T_in + U_s / (U_w + U_s) T_ring) / (1 - U_w^2 / a)
  const float a = (U_w + U_s) * (U_w + alpha);
  T_wand = (U_w * alpha / a * T_in + U_s / (U_w + U_s) * T_ring) / (1.0f - rohr.U_w2 / a);
  // Inner surface, heat into the air over the segment (W) and the outlet;
  // 1200 J/(m3 K) is the volumetric heat capacity of air.
  const float T_i = U_w / (U_w + alpha) * T_wand + alpha / (U_w + alpha) * T_in;
  const float Q = rohr.UmfangMalL * alpha * (T_i - T_in);
  T_aus = Q / (1200.0f * V) + T_in;
}

void CalcLuftaustausch(Modell& m, int s, float L, float alpha, float V, float T_in, float& T_aus,
                       float& T_wand) {
  const float T_ring = Ringtemperatur(m, T_in);
  MarkiereRing(m);
  const int zeile = std::clamp(m.RohrZeile, 0, static_cast<int>(UntersteZeile));
  Rohraustausch(RohrwerteVon(m, s, L), alpha, V, T_in, T_ring, m.Lambda[zeile], T_aus, T_wand,
                m.Luftseite.KleinerVolumenstrom);
}

}  // namespace terval
