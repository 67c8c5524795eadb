#include "physics/Hydraulik.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/Vardef.h"
#include "physics/monteith.h"

namespace terval {

namespace {

constexpr double ReLaminar = 2300.0;
constexpr double ReTurbulent = 4000.0;

// Colebrook-White, solved for x = 1/sqrt(f) by fixed-point iteration from
// the explicit Swamee-Jain value; the map contracts strongly above Re 4000,
// so a handful of steps reaches double precision.
double Colebrook(double Re, double kDurchD) {
  const double a = kDurchD / 3.7;
  const double sj = -2.0 * std::log10(a + 5.74 / std::pow(Re, 0.9));
  double x = sj;
  for (int i = 0; i < 50; ++i) {
    const double neu = -2.0 * std::log10(a + 2.51 * x / Re);
    const bool fertig = std::abs(neu - x) <= 1e-13 * neu;
    x = neu;
    if (fertig) break;
  }
  return 1.0 / (x * x);
}

double InnenDurchmesser(const TRohrdaten& r, int typ) {
  return 2.0 * (static_cast<double>(r.Rohr_Ra[typ]) - static_cast<double>(r.Rohr_Dicke[typ]));
}

}  // namespace

std::string PruefeHydraulik(const THydraulik& h) {
  struct Eingabe {
    const char* name;
    float wert;
    const Wertebereich& bereich;
  };
  const Eingabe eingaben[] = {
      {"Rauhigkeit der Rohrwand (Hauptstrang)", h.Rauhigkeit[1], Rauhigkeitsbereich},
      {"Rauhigkeit der Rohrwand (Register)", h.Rauhigkeit[2], Rauhigkeitsbereich},
      {"Verlustbeiwert des Einlaufs", h.Zeta_Einlauf, Zetabereich},
      {"Anzahl der Bögen", static_cast<float>(h.Boegen), Boegenbereich},
      {"Verlustbeiwert eines Bogens", h.Zeta_Bogen, Zetabereich},
      {"Verlustbeiwert der Registerverteilung", h.Zeta_Register, Zetabereich},
      {"Verlustbeiwert des Auslaufs", h.Zeta_Auslauf, Zetabereich},
      {"Druckverlust des Filters", h.Filter_Pa, Filterbereich},
      {"Wirkungsgrad des Ventilators", h.Wirkungsgrad, Wirkungsgradbereich},
  };
  for (const Eingabe& e : eingaben)
    if (!e.bereich.Enthaelt(e.wert))
      return std::string("Der Wert ") + KuerzesterText(e.wert) + " für \"" + e.name +
             "\" liegt nicht im Bereich " + e.bereich.Text() + ".";
  return {};
}

Luftzustand LuftBei(double T, double p) {
  const double T_K = T + 273.15;
  const double mu = 1.716e-5 * std::pow(T_K / 273.15, 1.5) * (273.15 + 110.4) / (T_K + 110.4);
  Luftzustand l;
  l.rho = p / (287.05 * T_K);
  l.nu = mu / l.rho;
  return l;
}

Luftzustand Bezugsluft() { return LuftBei(Bezugstemperatur, Luftdruck * 1000.0); }

double Geschwindigkeit(double V, double D) { return V / (std::numbers::pi / 4.0 * D * D); }

double Reibungszahl(double Re, double kDurchD) {
  if (!(Re > 0)) return 0;
  if (Re <= ReLaminar) return 64.0 / Re;
  const double turbulent = Colebrook(Re, kDurchD);
  if (Re >= ReTurbulent) return turbulent;
  const double s = (Re - ReLaminar) / (ReTurbulent - ReLaminar);
  const double g = s * s * (3.0 - 2.0 * s);
  return (1.0 - g) * 64.0 / Re + g * turbulent;
}

double Reibungsdruckverlust(double V, double D, double k, double L, const Luftzustand& luft) {
  const double w = Geschwindigkeit(V, D);
  const double f = Reibungszahl(w * D / luft.nu, k / D);
  return f * L / D * luft.rho * w * w / 2.0;
}

double Einzelverlust(double zeta, double w, const Luftzustand& luft) { return zeta * luft.rho * w * w / 2.0; }

Druckverlust Kanaldruckverlust(const Modell& m, double V, const Luftzustand& luft) {
  std::vector<int> anzRohre;
  for (int s = 1; s <= std::clamp(m.Anz_Segmente, 0, MaxSegmente); ++s) anzRohre.push_back(m.Segmente[s].Anz_Rohre);
  return Kanaldruckverlust(anzRohre, m.Rohrdaten, m.Hydraulik, m.Kanalbetrieb.Volstrom, V, luft);
}

Druckverlust Kanaldruckverlust(const std::vector<int>& anzRohre, const TRohrdaten& rohre, const THydraulik& h,
                               int volstrom, double V, const Luftzustand& luft) {
  Druckverlust d;
  const int anzahl = static_cast<int>(anzRohre.size());
  const double L = rohre.Seglaenge;
  d.segmente.reserve(static_cast<size_t>(anzahl));
  d.gueltig = true;
  for (int s = 1; s <= anzahl; ++s) {
    Segmenthydraulik z;
    z.Anz_Rohre = std::max(anzRohre[s - 1], 1);
    z.Rohrtyp = z.Anz_Rohre == 1 ? 1 : 2;
    // Segments of one pipe count have the same pipe and flow: one solve each.
    const auto gleich = std::find_if(d.segmente.begin(), d.segmente.end(),
                                     [&](const Segmenthydraulik& a) { return a.Anz_Rohre == z.Anz_Rohre; });
    if (gleich != d.segmente.end()) {
      z = *gleich;
    } else {
      z.D = InnenDurchmesser(rohre, z.Rohrtyp);
      if (!(z.D > 0)) d.gueltig = false;
      // Parallel pipes of a register share the drop: each carries 1/n of the flow.
      z.V_Rohr = V / z.Anz_Rohre;
      z.w = Geschwindigkeit(z.V_Rohr, z.D);
      z.Re = z.w * z.D / luft.nu;
      z.f = Reibungszahl(z.Re, h.Rauhigkeit[z.Rohrtyp] * 1e-3 / z.D);
      z.dp = z.f * L / z.D * luft.rho * z.w * z.w / 2.0;
    }
    d.reibung += z.dp;
    if (z.Rohrtyp == 1)
      d.wHauptstrang = std::max(d.wHauptstrang, z.w);
    else
      d.wRegister = std::max(d.wRegister, z.w);
    d.segmente.push_back(z);
  }
  if (anzahl > 0) {
    const double w1 = d.segmente.front().w;
    d.einlauf = Einzelverlust(h.Zeta_Einlauf, w1, luft);
    d.boegen = Einzelverlust(h.Boegen * static_cast<double>(h.Zeta_Bogen), w1, luft);
    d.auslauf = Einzelverlust(h.Zeta_Auslauf, d.segmente.back().w, luft);
    for (int s = 0; s < anzahl; ++s) {
      const Segmenthydraulik& z = d.segmente[s];
      if (z.Anz_Rohre == 1) continue;
      if (s == 0 || d.segmente[s - 1].Anz_Rohre == 1) d.register_ += Einzelverlust(h.Zeta_Register, z.w, luft);
      if (s == anzahl - 1 || d.segmente[s + 1].Anz_Rohre == 1)
        d.register_ += Einzelverlust(h.Zeta_Register, z.w, luft);
    }
  }
  const double basis = volstrom / 3600.0;
  if (basis > 0) d.filter = h.Filter_Pa * (V / basis) * (V / basis);
  d.gesamt = d.reibung + d.einlauf + d.boegen + d.register_ + d.auslauf + d.filter;
  return d;
}

}  // namespace terval
