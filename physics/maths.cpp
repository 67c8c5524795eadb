#include "physics/maths.h"

#include <cmath>
#include <string>

#include "model/Oberflaeche.h"

namespace terval {

namespace {

using Lang = long double;

// pi to the precision of the intermediate arithmetic.
constexpr Lang Pi = 3.141592653589793238462643383279502884L;

Oberflaeche* mathsOberflaeche = nullptr;

constexpr char MathsBanner[] = "Terval maths 1.0";

}  // namespace

void SetzeMathsOberflaeche(Oberflaeche* ui) { mathsOberflaeche = ui; }

float pot_a_b(float a, float b) {
  if (a < 0) {
    if (mathsOberflaeche != nullptr) {
      mathsOberflaeche->Fehler(std::string(MathsBanner) + "\r" + "Error in module: pot_a_b " +
                               "\r" + "Invalid call argument a<0 !" + "\r" +
                               "Execution can proceed, but will contain errors");
    }
    return 0.0f;
  }
  // ln 0 is -inf; 0 is the limit of a^b for every b > 0 and keeps NaN out of callers.
  if (a == 0) return 0.0f;

  // The result is exp(b ln a) in extended precision rounded once to float.
  // The moisture model calls this millions of times per run, and extended
  // exp/log are slow, so try double precision first. Its error is below
  // (1.5 |y| + 1.1) ulp(double) for y = b ln a (log, product, exp, each
  // within an ulp); the extended result is closer still. When the whole
  // interval p +- (|y| + 4) 2^-46 p rounds to one float, the extended result
  // lies in it too and rounds to that same float. Otherwise (about one call
  // in a million, and outside the normal float range) take the long way.
  const double y = static_cast<double>(b) * std::log(static_cast<double>(a));
  const double p = std::exp(y);
  if (p > 0x1p-120 && p < 0x1p120) {
    const double fehler = p * (std::fabs(y) + 4.0) * 0x1p-46;
    const float unten = static_cast<float>(p - fehler);
    if (unten == static_cast<float>(p + fehler)) return unten;
  }
  return static_cast<float>(std::exp(static_cast<Lang>(b) * std::log(static_cast<Lang>(a))));
}

int sign_x(float x) {
  if (x < 0) return -1;
  if (x == 0) return 0;
  return 1;
}

float arctan_y_x(float y, float x) {
  if (x == 0) return static_cast<float>(90 * sign_x(y));
  const Lang grad = std::atan(static_cast<Lang>(y) / static_cast<Lang>(x)) * 180 / Pi;
  if (x > 0) return static_cast<float>(grad);
  // Left half-plane; y = 0 gives sign 0, so (0, -1) yields 0 and not 180.
  return static_cast<float>(grad + 180 * sign_x(y));
}

float arccos_deg(float x) {
  // The solar azimuth can pass |x| a hair above 1 by rounding; sqrt of a
  // negative number would turn the angle into NaN.
  if (x > 1) x = 1;
  if (x < -1) x = -1;
  // The arc tangent rule maps (0, -1) to 0, so the straight angle needs its own case.
  if (x == -1) return 180.0f;
  const Lang xl = x;
  return arctan_y_x(static_cast<float>(std::sqrt(1 - xl * xl)), x);
}

float arcsin_deg(float x) {
  if (x > 1) x = 1;
  if (x < -1) x = -1;
  const Lang xl = x;
  return arctan_y_x(x, static_cast<float>(std::sqrt(1 - xl * xl)));
}

float sin_deg(float winkel) { return static_cast<float>(std::sin(Pi * winkel / 180)); }

float cos_deg(float winkel) { return static_cast<float>(std::cos(Pi * winkel / 180)); }

float min_a_b(float a, float b) { return a >= b ? b : a; }

float log_10(float x) {
  if (!(x > 0)) return 1e37f;
  return static_cast<float>(std::log(static_cast<Lang>(x)) / std::log(10.0L));
}

}  // namespace terval
