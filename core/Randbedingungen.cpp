// Boundary values of a segment's cross-section: the surface, the water
// input at the surface and the cellar walls.
#include <algorithm>

#include "core/Cor_mod.h"

namespace terval {

float CalcKellerwand(const Modell& m, int Seite) {
  return Kellerwandtemperatur(m, Seite, m.Lambda[UntersteZeile]);
}

float Kellerwandtemperatur(const Modell& m, int Seite, double lambda_unten) {
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  const int c = Seite == 0 ? 0 : n;
  const int nachbar = std::clamp(Seite == 0 ? 1 : n - 1, 0, MaxSpalten - 1);

  // Soil beside the wall, over the rows the wall reaches down.
  float summe = 0;
  int zahl = 0;
  for (int r = 0; r <= UntersteZeile; ++r)
    if (m.ZellTyp[c][r] == 1) {
      summe += m.T_Feld[nachbar][r];
      ++zahl;
    }
  // A wall of no rows (a building depth below 0) has no soil beside it; the
  // network then gives the cellar temperature.
  const float T_nb = zahl > 0 ? summe / static_cast<float>(zahl) : m.T_Keller;

  // Steady series network cellar air - wall - soil, the pipe wall's formula
  // with h = 3 W/(m2 K) on the cellar side and the bottom layer's soil:
  // T_wand = (U_w h / a T_Keller + U_s / (U_w + U_s) T_nb) / (1 - U_w^2 / a)
  const float U_w = m.wlf_kellerwand / m.kellerwand_dicke;
  const float U_s = static_cast<float>(lambda_unten / (0.5 * DX));
  const float h = 3.0f;
  const float a = (U_w + U_s) * (U_w + h);
  return (U_w * h / a * m.T_Keller + U_s / (U_w + U_s) * T_nb) / (1.0f - U_w * U_w / a);
}

float Oberflaechentemperatur(const Modell& m, int s, int h) {
  // Every segment sees the outdoor air, not its own inlet air.
  if (m.Segmente[std::clamp(s, 1, MaxSegmente)].Überbaut == 1) return m.T_Fundament;
  return m.Segmente[1].T_ein[std::clamp(h, 1, Stunden)];
}

float Wasserfaktor(const Modell& m, int s) {
  return m.Segmente[std::clamp(s, 1, MaxSegmente)].Überbaut > 0 ? 0.0f : 1.0f;
}

}  // namespace terval
