#include "physics/UgetRadiation.h"

#include <cmath>

#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "physics/USoltab.h"
#include "physics/maths.h"

namespace terval {

namespace {

// The integer in characters [von, von + laenge) of a text (1-based column
// `von`); a missing or non-numeric field counts as 0.
int Feld(std::string_view text, size_t von, size_t laenge) {
  if (text.size() < von) return 0;
  return static_cast<int>(GanzzahlAmAnfang(text.substr(von - 1, laenge)));
}

}  // namespace

int Jahrestag(int tag, int monat, int jahr) {
  // K = 1 in years divisible by 4, else 2; integer division truncates like Int.
  const int K = (jahr + 2 - 4 * (jahr / 4)) / 3 + 1;
  return 275 * monat / 9 - K * ((monat + 9) / 12) + tag - 30;
}

void Sonnenstand(Modell& m, std::string_view datum, std::string_view zeit) {
  const int D = Feld(datum, 1, 2);
  const int M = Feld(datum, 4, 2);
  const int Y = Feld(datum, 7, 4);
  const int H = Feld(zeit, 1, 2);
  const int Mi = Feld(zeit, 4, 2);
  const float LT = static_cast<float>(H + Mi / 60.0);

  const int N = Jahrestag(D, M, Y);
  const float t = static_cast<float>(N + H / 24.0);

  // Mean anomaly, mean longitude and ecliptic longitude of the sun, degrees.
  const float g = static_cast<float>(0.9856 * t + 356.6);
  const float L0 = static_cast<float>(0.9856 * t + 279.3);
  const float L = static_cast<float>(L0 + 1.92 * sin_deg(g));
  const float delta = arcsin_deg(sin_deg(23.4f) * sin_deg(L));

  // Local mean time, then true solar time through the equation of time (hours).
  const float LTs = static_cast<float>(LT + (m.Laengengrad - m.Bezugsmeridian) / 15.0);
  // EoT = 0.1644 sin(2 (L0 + 1.92 sin(L0 + 77.3))) - 0.1277 sin(L0 + 77.3)
  const float L0v = static_cast<float>(L0 + 77.3);
  const float doppelt = static_cast<float>(2 * (L0 + 1.92 * sin_deg(L0v)));
  const float EoT = static_cast<float>(0.1644 * sin_deg(doppelt) - 0.1277 * sin_deg(L0v));
  const float omega = static_cast<float>((LTs + EoT - 12.0) * 15.0);

  const float phi = m.Breitengrad;
  // sin h = sin delta sin phi + cos delta cos phi cos omega
  const float sinh =
      static_cast<float>(static_cast<double>(sin_deg(delta)) * sin_deg(phi) +
                         static_cast<double>(cos_deg(delta)) * cos_deg(phi) * cos_deg(omega));
  const float h = arcsin_deg(sinh);

  // cos A' = (sin h sin phi - sin delta) / (cos h cos phi), A' measured from south.
  const float nenner = cos_deg(h) * cos_deg(phi);
  // In the zenith or at a pole every direction is as good as south.
  const float x = nenner == 0
                      ? 1.0f
                      : static_cast<float>(
                            (static_cast<double>(sinh) * sin_deg(phi) - sin_deg(delta)) / nenner);
  const float azimut = omega < 0 ? 180 - arccos_deg(x) : 180 + arccos_deg(x);

  m.Deklination = delta;
  m.SonnenHoehe = h;
  m.SonnenAzimut = azimut;
}

float Luftmasse(float h) {
  if (h > 10) return 1 / sin_deg(h);
  return static_cast<float>(1.22 * (1.0144 / sin_deg(static_cast<float>(h + 1.44)) - 0.49));
}

Sonnenstrahlen Sonnenstrahlung(const Modell& m, float h, float delta, float beta, float e) {
  Sonnenstrahlen s;
  if (h <= 0) return s;
  const float luftmasse = Luftmasse(h);

  // Trapezoidal integral of the spectrum attenuated along the slant path:
  //   S = sum 1/2 (E[i-1] + E[i]) (lambda[i] - lambda[i-1]) exp(-(tauR + tauA) m),
  //   tauR = 0.00816 lambda^-4 (Rayleigh), tauA = beta lambda^-1.3 (aerosol),
  // with lambda the interval's mid wavelength (um) and E in W/(m2 um).
  float S = 0;
  for (size_t i = 1; i < SolarSpektrum.size(); ++i) {
    const Spektralwert& links = SolarSpektrum[i - 1];
    const Spektralwert& rechts = SolarSpektrum[i];
    const float mitte = (rechts.lambda + links.lambda) / 2;
    const float tauR = static_cast<float>(0.00816 * pot_a_b(mitte, -4.0f));
    const float tauA = beta * pot_a_b(mitte, -1.3f);
    S = static_cast<float>(S + 0.5 * (1000.0 * links.E + 1000.0 * rechts.E) *
                                   (rechts.lambda - links.lambda) *
                                   std::exp(-(static_cast<double>(tauR) + tauA) * luftmasse));
  }
  // Sun-earth distance through the season, read off the declination.
  S = static_cast<float>(S * (0.0014 * delta + 0.9998));

  // Water vapour absorption grows with the vapour column e m.
  float I = static_cast<float>(S - (2.8 * e * luftmasse + 70));
  if (I < 0) I = 0;

  const float sinh = sin_deg(h);
  const float k = static_cast<float>(1 / (8.0 * pot_a_b(sinh, 0.7f) + 1));
  s.diffus = static_cast<float>(static_cast<double>(sinh) * I * k / (1 - k));
  s.direkt = m.Bedeckung >= 1 ? static_cast<float>((1 - m.Bedeckung / 8.0) * I) : I;
  return s;
}

float Atmosphaerenstrahlung(float T) {
  const float TK = T + 273.13f;
  const double TK4 = static_cast<double>(TK) * TK * TK * TK;
  const double abstand = 273.0 - TK;
  // L = sigma TK^4 (1 - 0.261 exp(-7.77e-4 (273 - TK)^2))   (Idso & Jackson 1969)
  return static_cast<float>(Sigma * TK4 * (1 - 0.261 * std::exp(-0.000777 * abstand * abstand)));
}

void BerechneLangwelligeStrahlung(Modell& m) {
  for (int h = 1; h <= Stunden; ++h) m.Klima[h].Lw_Str = Atmosphaerenstrahlung(m.Klima[h].T_Luft);
}

void BerechneNettostrahlung(Modell& m) {
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    // Albedo 0.3 for the short wave; the ground emits as a grey body (0.97) at air temperature.
    const double TK = static_cast<double>(k.T_Luft) + 273.13;
    k.Net_Boden = static_cast<float>(0.7 * k.Glob_Str + k.Lw_Str -
                                     0.97 * static_cast<double>(Sigma) * TK * TK * TK * TK);
  }
}

}  // namespace terval
