#include "physics/getsoildata.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string_view>

#include "model/Zahltext.h"
#include "physics/maths.h"

namespace terval {

namespace {

// Characters of columns von..bis (1-based, inclusive); shorter when the line ends early.
std::string_view Spalten(std::string_view zeile, size_t von, size_t bis) {
  if (zeile.size() < von) return {};
  return zeile.substr(von - 1, bis - von + 1);
}

std::string OhneEndleerzeichen(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

// A number column; a blank or broken field is 0 (the table reports no conversion errors).
double Zahl(std::string_view zeile, size_t von, size_t bis) {
  return ParseZahl(Spalten(zeile, von, bis)).value_or(0.0);
}

TBodenDaten LiesBoden(std::string_view zeile) {
  TBodenDaten b;
  b.Kuerzel = OhneEndleerzeichen(Spalten(zeile, 1, 2));
  b.Klasse = static_cast<int8_t>(ParseGanzzahl(Spalten(zeile, 5, 5)).value_or(0));
  b.ThetaSat = Zahl(zeile, 7, 12);
  b.ThetaRef = Zahl(zeile, 14, 19);
  b.Wert3 = Zahl(zeile, 21, 26);
  b.PsiSat = Zahl(zeile, 28, 33);
  b.KSat = Zahl(zeile, 35, 41) * 1e-6;   // file: 1e-6 m/s
  b.CBoden = Zahl(zeile, 43, 48) * 1e6;  // file: MJ/(m3 K)
  b.B_Exponent = Zahl(zeile, 50, 55);
  b.Wert8 = Zahl(zeile, 57, 62);
  b.BodenName = OhneEndleerzeichen(Spalten(zeile, 64, 83));
  return b;
}

// The water content a layer's thermal properties are evaluated at: at most
// saturation, and a small positive value where the moisture step overshot below 0.
float ThermikWassergehalt(const TBodenDaten& b, double theta) {
  if (theta > b.ThetaSat) theta = b.ThetaSat;
  if (theta < 0) theta = 1e-5;
  return static_cast<float>(theta);
}

}  // namespace

bool GetSoilData(Modell& m, const std::string& pfad) {
  // A directory opens as a stream that reads nothing: no soil table either.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(pfad, ec)) return false;
  std::ifstream datei(pfad, std::ios::binary);
  if (!datei) return false;

  std::string zeile;
  std::getline(datei, zeile);
  std::getline(datei, zeile);

  // The end test follows each record, so a file of headers alone still gives
  // one (empty) soil, as the program has always read it.
  int i = 1;
  do {
    if (!std::getline(datei, zeile)) zeile.clear();
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    m.Boeden[i] = LiesBoden(zeile);
    ++i;
  } while (datei.peek() != std::ifstream::traits_type::eof() && i <= MaxBoeden);

  m.AnzBoeden = static_cast<uint8_t>(i - 1);
  return true;
}

Bodenthermik Waermeleitfaehigkeit(const TBodenDaten& b, float theta) {
  Bodenthermik t;
  // C = (1 - theta_s) C_solid + theta c_water
  t.C = static_cast<float>((1 - b.ThetaSat) * b.CBoden + theta * static_cast<double>(c_Wasser));
  // psi in cm = psi_s (theta_s / theta)^b * 100
  const float verhaeltnis = static_cast<float>(b.ThetaSat / theta);
  const float psi =
      static_cast<float>(b.PsiSat * pot_a_b(verhaeltnis, static_cast<float>(b.B_Exponent)) * 100);
  const float pF = log_10(std::fabs(psi));
  t.lambda = pF <= 5.1 ? static_cast<float>(419 * std::exp(-(2.7 + pF))) : 0.172f;
  t.a = t.lambda / t.C;
  return t;
}

const TBodenDaten* AktuellerBoden(const Modell& m) {
  if (m.Bodenart < 1 || m.Bodenart > MaxBoeden) return nullptr;
  return &m.Boeden[m.Bodenart];
}

void StartFeuchteProfil(const TBodenDaten& b, float prozent, Schichten& Theta) {
  for (int k = 0; k < Zeilen; ++k) Theta[k] = prozent / 100.0 * b.ThetaSat;
}

void Schichtthermik(const TBodenDaten& b, const Schichten& Theta, Schichten& Lambda,
                    Schichten& K_Schicht) {
  for (int k = 0; k < Zeilen; ++k) {
    const Bodenthermik t = Waermeleitfaehigkeit(b, ThermikWassergehalt(b, Theta[k]));
    Lambda[k] = t.lambda;
    K_Schicht[k] = t.a;
  }
}

void InitFeuchteProfil(Modell& m, float prozent) {
  const TBodenDaten* b = AktuellerBoden(m);
  if (b == nullptr) return;
  StartFeuchteProfil(*b, prozent, m.Theta);
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& s = m.Klima[h];
    s.Eta_z1 = static_cast<float>(m.Theta[1]);
    s.Eta_z3 = static_cast<float>(m.Theta[3]);
    s.Eta_z5 = static_cast<float>(m.Theta[5]);
  }
}

void UpdateBodenThermik(Modell& m) {
  const TBodenDaten* b = AktuellerBoden(m);
  if (b == nullptr) return;
  Schichtthermik(*b, m.Theta, m.Lambda, m.K_Schicht);

  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  // Pipe and wall cells get the layer's value too: the faces of their soil
  // neighbours average over them.
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) m.K_Zelle[c][r] = static_cast<float>(m.K_Schicht[r]);

  // Face diffusivity = arithmetic mean of the two cells it joins.
  const auto& K = m.K_Zelle;
  for (int r = 1; r <= UntersteZeile - 1; ++r) {
    for (int c = 1; c <= n - 1; ++c) {
      if (m.ZellTyp[c][r] != 0) continue;
      m.K_W[c][r] = 0.5f * (K[c - 1][r] + K[c][r]);
      m.K_O[c][r] = 0.5f * (K[c][r] + K[c + 1][r]);
      m.K_N[c][r] = 0.5f * (K[c][r - 1] + K[c][r]);
      m.K_S[c][r] = 0.5f * (K[c][r] + K[c][r + 1]);
    }
  }
}

std::optional<std::string> BodenVorschau(const Modell& m, int boden, const std::string& eingabe) {
  if (boden < 1 || boden > m.AnzBoeden || boden > MaxBoeden) return std::nullopt;
  const std::optional<double> zahl = ParseZahl(eingabe);
  if (!zahl) return std::nullopt;
  float prozent = static_cast<float>(*zahl);
  if (prozent > 100) return std::nullopt;
  if (prozent < 10) prozent = 10;

  const TBodenDaten& b = m.Boeden[boden];
  const Bodenthermik t = Waermeleitfaehigkeit(b, static_cast<float>(prozent / 100.0 * b.ThetaSat));
  return "Wlf= " + FormatReal(t.lambda, 0, 2) +
         " [W/mK], Tlf=" + FormatReal(static_cast<double>(t.a) * 1e6, 0, 2) + " *10-6 [m²/s]";
}

namespace {

// The largest of `wert` over the soil's whole moisture range 1e-5..ThetaSat,
// evaluated as UpdateBodenThermik does; +infinity when some water content
// gives no finite, non-negative value.
template <class Wert>
double GroessterWert(const TBodenDaten& b, Wert wert) {
  constexpr double unendlich = std::numeric_limits<double>::infinity();
  constexpr double trocken = 1e-5;
  constexpr int schritte = 20000;
  const double nass = std::max(b.ThetaSat, trocken);

  double groesste = 0;
  for (int i = 0; i <= schritte + 1; ++i) {
    // The last sample is ThetaSat itself, whatever rounding did to the scan.
    const double theta = i <= schritte ? trocken + (nass - trocken) * i / schritte : b.ThetaSat;
    const float w = wert(Waermeleitfaehigkeit(b, ThermikWassergehalt(b, theta)));
    if (!std::isfinite(w) || w < 0) return unendlich;
    groesste = std::max(groesste, static_cast<double>(w));
  }
  return groesste;
}

}  // namespace

double MaxDiffusivitaet(const TBodenDaten& b) {
  // A negative or non-finite diffusivity is no soil the heat step can carry.
  return GroessterWert(b, [](const Bodenthermik& t) { return t.a; });
}

double MaxWaermeleitfaehigkeit(const TBodenDaten& b) {
  return GroessterWert(b, [](const Bodenthermik& t) { return t.lambda; });
}

}  // namespace terval
