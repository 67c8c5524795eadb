#include "core/Ventilator.h"

#include <algorithm>
#include <map>
#include <utility>

#include "core/Cor_mod.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/Jahresbilanz.h"
#include "physics/monteith.h"

namespace terval {

Ventilatorjahr BerechneVentilatorjahr(const Modell& m) {
  Ventilatorjahr j;
  j.luft = Bezugsluft();
  j.V_basis = std::max(m.Kanalbetrieb.Volstrom, 0) / 3600.0;
  j.basis = Kanaldruckverlust(m, j.V_basis, j.luft);
  // The year's heat figures as the summary and the year table have them.
  const Jahreszeile jahr = Jahresbilanz(m);
  j.gewinn = jahr.Gewinn_kWh;
  j.abgabe = jahr.Abgabe_kWh;
  Stundenfeld V{};
  if (!j.basis.gueltig || !Stundenvolumenstroeme(m, V)) return j;

  const int segmente = std::clamp(m.Anz_Segmente, 0, MaxSegmente);
  std::vector<int> schwacheStunden(static_cast<size_t>(segmente) + 1, 0);
  const double eta = m.Hydraulik.Wirkungsgrad;
  double wattstunden = 0;
  // The drop depends on the hour's flow and inlet temperature alone, and a
  // year holds a few hundred of those pairs: each is solved once.
  std::map<std::pair<float, float>, double> druck;
  for (int h = 1; h <= Stunden; ++h) {
    if (!(V[h] > 0)) continue;
    ++j.betriebsstunden;
    const float T = m.Segmente[1].T_ein[h];
    auto drop = [&] { return Kanaldruckverlust(m, V[h], LuftBei(T, Luftdruck * 1000.0)).gesamt; };
    double dp = 0;
    if (T == T) {
      const auto [i, neu] = druck.try_emplace({V[h], T}, 0.0);
      if (neu) i->second = drop();
      dp = i->second;
    } else {
      dp = drop();
    }
    // P = V dp / eta, one hour long.
    wattstunden += V[h] * dp / eta;
    // The flow per pipe as CalcRohrVolumenstrom divides it.
    for (int s = 1; s <= segmente; ++s) {
      const int n = m.Segmente[s].Anz_Rohre;
      const float v = n <= 1 ? V[h] : V[h] / static_cast<float>(n);
      if (v < LuftstromGrenze) ++schwacheStunden[s];
    }
  }
  j.energie = wattstunden / 1000.0;
  if (j.energie > 0) j.arbeitszahl = (j.gewinn + j.abgabe) / j.energie;
  for (int s = 1; s <= segmente; ++s)
    if (schwacheStunden[s] > 0) j.schwach.emplace_back(s, schwacheStunden[s] / static_cast<double>(j.betriebsstunden));
  return j;
}

std::array<std::string, 3> Ventilatorzeilen(const Ventilatorjahr& j) {
  return {"Druckverlust bei Basis-Volumenstrom: " + FormatReal(j.basis.gesamt, 0, 1) + " Pa",
          "Ventilatorenergie: " + FormatReal(j.energie, 0, 1) + " kWh",
          "Arbeitszahl: " + (j.energie > 0 ? FormatReal(j.arbeitszahl, 0, 0) : std::string("-"))};
}

std::string Schwachlasthinweis(const Ventilatorjahr& j) {
  if (j.schwach.empty()) return {};
  // Runs of consecutive segments with the same share: "in Segment 3-5 in 12.5 %".
  std::string liste;
  for (size_t i = 0; i < j.schwach.size();) {
    size_t k = i;
    while (k + 1 < j.schwach.size() && j.schwach[k + 1].first == j.schwach[k].first + 1 &&
           j.schwach[k + 1].second == j.schwach[i].second)
      ++k;
    liste += liste.empty() ? "in Segment " : ", in Segment ";
    liste += FormatInt(j.schwach[i].first);
    if (k > i) {
      liste += '-';
      liste += FormatInt(j.schwach[k].first);
    }
    liste += " in ";
    liste += FormatReal(100.0 * j.schwach[i].second, 0, 1);
    liste += " %";
    i = k + 1;
  }
  return "Der Volumenstrom je Rohr liegt in einem Teil der Betriebsstunden unter 100 m³/h, " + liste +
         " der Betriebsstunden.\rIn diesen Stunden durchströmt die Luft diese Segmente ohne Wärmeaustausch.";
}

}  // namespace terval
