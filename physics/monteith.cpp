#include "physics/monteith.h"

#include <cmath>

#include "model/Vardef.h"

namespace terval {

double CalcEsat(double T) { return 0.6108 * std::exp(17.27 * T / (T + 237.3)); }

double CalcDeltaEsat(double T, double es) {
  const float TK = static_cast<float>(T + 273.13);
  return es / TK * (6790.5 / TK - 5.028);
}

double CalcBodenwaermestrom(const Modell& m, double Rn) {
  if (m.Veg_typ == 3) {
    const double abschirmung = std::exp(-0.5 * m.LAI);
    return Rn > 0 ? 0.4 * abschirmung * Rn : 1.6 * abschirmung * Rn;
  }
  return Rn > 0 ? 0.1 * Rn : 0.5 * Rn;
}

namespace {

// Leaf area index of the vegetation type at canopy height hoehe (m).
float Blattflaechenindex(int32_t typ, float hoehe) {
  if (typ == 1) return static_cast<float>(24.0 * hoehe);
  return static_cast<float>(1.5 * std::log(static_cast<double>(hoehe)) + 5.5);
}

// Roughness lengths for momentum and heat and the displacement height, m.
struct Rauhigkeit {
  float z0m, z0h, d;
};

Rauhigkeit RauhigkeitDesBestands(float hoehe, float lai) {
  const double h = hoehe;
  Rauhigkeit r;
  r.z0m = static_cast<float>(0.281 * h + 0.0275 + 0.028 * lai);
  r.z0h = static_cast<float>(0.2 * r.z0m);
  r.d = static_cast<float>(0.245 * h + 0.091 * lai);
  return r;
}

}  // namespace

void CalcBestand(Modell& m) {
  m.LAI = Blattflaechenindex(m.Veg_typ, m.Veg_Hoehe);
  // Only the upper, sunlit half of a dense stand transpires freely.
  const float aktiv = m.Veg_typ == 3 ? 0.5f * m.LAI : m.LAI;
  m.r_s = r_l / aktiv;
}

double CalcRa(const Modell& m, float u) {
  if (u < 0.5f) u = 0.5f;
  const Rauhigkeit r = RauhigkeitDesBestands(m.Veg_Hoehe, m.LAI);
  const double z = m.WG_Messhoehe;
  // ra = ln((z - d) / z0m) ln((z - d) / z0h) / (k^2 u)   (neutral log profile)
  return std::log((z - r.d) / r.z0m) * std::log((z - r.d) / r.z0h) /
         (static_cast<double>(Karman) * Karman * u);
}

void CalcVerdunstung(Modell& m) {
  for (int tag = 1; tag <= 365; ++tag) {
    for (int stunde = 0; stunde <= 23; ++stunde) {
      TKlimaStunde& k = m.Klima[StundenIndex(tag, stunde)];
      const double T = k.T_Luft;
      const double delta = CalcDeltaEsat(T, k.Esat);
      const double defizit = static_cast<double>(k.Esat) - k.e;
      // Latent heat of vaporisation in Wh/kg, so LE / lambda is mm per hour.
      const double lambda = (1 - 0.000946 * T) * 694.5;
      const double gamma = Luftdruck / lambda * 0.00163;
      // LE = ((Rn - G) Delta + gamma lambda (37 / TK) u D) / (Delta + gamma (1 + r_s / ra))
      const double zaehler = (static_cast<double>(k.Net_Boden) - k.G) * delta +
                             gamma * lambda * (37 / (T + 273)) * k.Wind * defizit;
      const double nenner = (static_cast<double>(m.r_s) / k.ra + 1) * gamma + delta;
      double LE = zaehler / nenner;
      if (k.Net_Boden < 0 || k.T_Luft < 0) LE = 0;
      k.p_Verd_W = static_cast<float>(LE);
      k.p_Verd_mm = static_cast<float>(LE / lambda);
    }
  }
}

void BerechneDampfdruck(Modell& m) {
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    k.Esat = static_cast<float>(CalcEsat(k.T_Luft));
    k.e = static_cast<float>(k.rFeuchte / 100.0 * k.Esat);
  }
}

void BerechneBodenwaermestromUndRa(Modell& m) {
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    k.G = static_cast<float>(CalcBodenwaermestrom(m, k.Net_Boden));
    k.ra = static_cast<float>(CalcRa(m, k.Wind));
  }
}

bool BestandGueltig(const Modell& m) {
  if (m.Veg_typ != 1 && !(m.Veg_Hoehe > 0)) return false;
  const float lai = Blattflaechenindex(m.Veg_typ, m.Veg_Hoehe);
  if (!(lai > 0)) return false;
  const Rauhigkeit r = RauhigkeitDesBestands(m.Veg_Hoehe, lai);
  return r.z0m > 0 && m.WG_Messhoehe > r.d;
}

}  // namespace terval
