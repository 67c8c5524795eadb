#include "output/Jahresbilanz.h"

#include <algorithm>

#include "model/Vardef.h"

namespace terval {

Jahreszeile Jahresbilanz(const Modell& m) {
  Jahreszeile z;
  const int n = std::clamp(m.Anz_Segmente, 1, MaxSegmente);
  const Kanalsegment& erstes = m.Segmente[1];
  const Kanalsegment& letztes = m.Segmente[n];
  double summeEin = 0, summeAus = 0;
  z.T_aus_Min = z.T_aus_Max = letztes.T_aus[1];
  for (int h = 1; h <= Stunden; ++h) {
    const double ein = erstes.T_ein[h], aus = letztes.T_aus[h];
    summeEin += ein;
    summeAus += aus;
    z.T_aus_Min = std::min(z.T_aus_Min, aus);
    z.T_aus_Max = std::max(z.T_aus_Max, aus);
    if (aus < 0) ++z.StundenUnterNull;
    const double q = 1200.0 * m.VolStromStunde[h] * (aus - ein) * 3600.0 / 3.6e6;
    if (q > 0)
      z.Gewinn_kWh += q;
    else
      z.Abgabe_kWh -= q;
  }
  z.T_ein_Mittel = summeEin / Stunden;
  z.T_aus_Mittel = summeAus / Stunden;
  return z;
}

float RohrtiefenMittel(const Modell& m) {
  const int zeile = std::clamp(m.RohrZeile, 0, Zeilen - 1);
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  double summe = 0;
  int zellen = 0;
  for (int c = 0; c <= n; ++c)
    if (m.ZellTyp[c][zeile] == 0) summe += m.T_Feld[c][zeile], ++zellen;
  return zellen > 0 ? static_cast<float>(summe / zellen) : 0.0f;
}

}  // namespace terval
