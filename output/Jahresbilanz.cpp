#include "output/Jahresbilanz.h"

#include <algorithm>
#include <functional>

#include "model/Vardef.h"

namespace terval {

namespace {

// Heat taken up (> 0) or given off (< 0) by the air in hour h, kWh.
double Stundenwaerme(const Modell& m, const Kanalsegment& erstes, const Kanalsegment& letztes, int h) {
  const double aus = letztes.T_aus[h], ein = erstes.T_ein[h];  // subtracted in double
  return 1200.0 * m.VolStromStunde[h] * (aus - ein) * 3600.0 / 3.6e6;
}

const Kanalsegment& LetztesSegment(const Modell& m) { return m.Segmente[std::clamp(m.Anz_Segmente, 1, MaxSegmente)]; }

}  // namespace

Jahreszeile Jahresbilanz(const Modell& m) {
  Jahreszeile z;
  const Kanalsegment& erstes = m.Segmente[1];
  const Kanalsegment& letztes = LetztesSegment(m);
  double summeEin = 0, summeAus = 0;
  z.T_aus_Min = z.T_aus_Max = letztes.T_aus[1];
  for (int h = 1; h <= Stunden; ++h) {
    const double ein = erstes.T_ein[h], aus = letztes.T_aus[h];
    summeEin += ein;
    summeAus += aus;
    z.T_aus_Min = std::min(z.T_aus_Min, aus);
    z.T_aus_Max = std::max(z.T_aus_Max, aus);
    if (aus < 0) ++z.StundenUnterNull;
    const double q = Stundenwaerme(m, erstes, letztes, h);
    if (q > 0)
      z.Gewinn_kWh += q;
    else
      z.Abgabe_kWh -= q;
  }
  z.T_ein_Mittel = summeEin / Stunden;
  z.T_aus_Mittel = summeAus / Stunden;
  return z;
}

Monatswaerme Monatsbilanz(const Modell& m) {
  Monatswaerme w;
  const Kanalsegment& letztes = LetztesSegment(m);
  int h = 1;
  for (int monat = 0; monat < 12; ++monat)
    for (const int ende = StundenIndex(Monatsgrenzen[monat + 1] + 1, 0); h < ende; ++h) {
      const double q = Stundenwaerme(m, m.Segmente[1], letztes, h);
      if (q > 0)
        w.Gewinn_kWh[monat] += q;
      else
        w.Abgabe_kWh[monat] -= q;
    }
  return w;
}

Dauerlinien Dauerlinie(const Modell& m, double grenze) {
  Dauerlinien d;
  d.Grenze = grenze;
  const Kanalsegment& letztes = LetztesSegment(m);
  d.T_aus.assign(letztes.T_aus.begin() + 1, letztes.T_aus.begin() + 1 + Stunden);
  d.T_ein.assign(m.Segmente[1].T_ein.begin() + 1, m.Segmente[1].T_ein.begin() + 1 + Stunden);
  for (const double t : d.T_aus) {
    if (t < 0) ++d.StundenUnterNull;
    if (t > grenze) ++d.StundenUeberGrenze;
  }
  std::sort(d.T_aus.begin(), d.T_aus.end(), std::greater<>());
  std::sort(d.T_ein.begin(), d.T_ein.end(), std::greater<>());
  return d;
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
