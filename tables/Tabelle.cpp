#include "tables/Tabelle.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace terval {

int32_t Zellenleser::Ganzzahl(int satz, int feld) {
  if (t_.IstLeer(satz, feld)) return 0;
  std::optional<long long> g = t_.LiesGanzzahl(satz, feld);
  if (!g || *g < std::numeric_limits<int32_t>::min() || *g > std::numeric_limits<int32_t>::max()) {
    Vermerke(satz, feld);
    return 0;
  }
  return static_cast<int32_t>(*g);
}

float Zellenleser::Zahl(int satz, int feld) {
  if (t_.IstLeer(satz, feld)) return 0.0f;
  std::optional<double> z = t_.LiesZahl(satz, feld);
  if (!z || !std::isfinite(*z) || std::fabs(*z) > static_cast<double>(FLT_MAX)) {
    Vermerke(satz, feld);
    return 0.0f;
  }
  return static_cast<float>(*z);
}

void Zellenleser::Vermerke(int satz, int feld) {
  if (satz_ >= 0) return;
  satz_ = satz;
  feld_ = feld;
  text_ = t_.LiesText(satz, feld);
}

}  // namespace terval
