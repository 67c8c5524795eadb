// Shared set-up of the core tests: a model ready for a run without any file.
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include "model/Vardef.h"

namespace terval::test {

// A model in its start-up state with one plausible loam in Boeden[1], so the
// tests do not depend on SOILS.DAT.
inline std::unique_ptr<Modell> Kernmodell() {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  TBodenDaten& b = m->Boeden[1];
  b.Kuerzel = "Lm", b.BodenName = "Lehm";
  b.ThetaSat = 0.45, b.ThetaRef = 0.3, b.PsiSat = -0.2, b.KSat = 5e-6, b.CBoden = 2e6, b.B_Exponent = 5;
  m->AnzBoeden = m->Bodenart = 1;
  return m;
}

// An annual wave around 9 degC (coldest in January) and a daily one of 4 K.
inline float Jahresklima(int h) {
  const double jahr = 2 * std::numbers::pi * (h - 4800) / 8760.0;
  const double tag = 2 * std::numbers::pi * ((h - 1) % 24 - 9) / 24.0;
  return static_cast<float>(9.0 + 9.0 * std::cos(jahr) - 4.0 * std::cos(tag));
}

// Fills the climate year with air temperature T(h) (also the inlet of
// segment 1), fixed humidity, wind and cloud, a daytime sun and `regen` mm
// of rain per hour.
inline void FuelleKlima(Modell& m, const std::function<float(int)>& T, float regen = 0.0f) {
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    const int stunde = (h - 1) % 24;
    m.Segmente[1].T_ein[h] = k.T_Luft = T(h);
    k.rFeuchte = 70.0f, k.Wind = 2.0f, k.Wolken = 4.0f, k.Nieders = regen, k.Vol_Strom = 0.0f;
    k.Glob_Str = stunde >= 8 && stunde <= 16 ? 300.0f : 0.0f;
  }
  m.TLuftKomplett = m.FeuchteKomplett = m.WindKomplett = true;
  m.StrahlungKomplett = m.NiederschlagKomplett = m.WolkenKomplett = m.KlimaKomplett = true, m.KlimaGueltig = true;
}

// Segment s with the given pipes and depth, no buildings, open ground.
inline void SetzeSegment(Modell& m, int s, int rohre, float tiefe, float abstand = 0.0f) {
  Kanalsegment& seg = m.Segmente[s];
  seg.Anz_Rohre = rohre, seg.Tiefe = tiefe, seg.Abst_Rohre = abstand;
  seg.Abst_Geb_li = seg.Abst_Geb_re = seg.Tief_Geb_li = seg.Tief_Geb_re = 0, seg.Überbaut = 0;
}

}  // namespace terval::test
