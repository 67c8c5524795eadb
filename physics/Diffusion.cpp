#include "physics/Diffusion.h"

#include <array>
#include <cmath>

namespace terval {

namespace {

using Arbeitsfeld = std::array<double, MaxDiffusionsKnoten + 1>;

bool IndizesGueltig(int lo, int hi) { return lo >= 0 && lo <= hi && hi <= MaxDiffusionsKnoten; }

}  // namespace

bool Tridiag(const double a[], const double b[], const double c[], const double r[], int lo, int hi,
             double u[]) {
  if (!IndizesGueltig(lo, hi)) return false;
  // Only entries lo..hi are ever read; the moisture model solves millions of
  // these small systems, so the arrays are not cleared first.
  Arbeitsfeld gamma;
  Arbeitsfeld x;

  double beta = b[lo];
  if (beta == 0) return false;
  x[lo] = r[lo] / beta;
  // Forward elimination: gamma[j] = c[j-1] / beta, beta = b[j] - a[j] gamma[j].
  for (int j = lo + 1; j <= hi; ++j) {
    gamma[j] = c[j - 1] / beta;
    beta = b[j] - a[j] * gamma[j];
    // A zero pivot would need pivoting; the moisture systems are diagonally
    // dominant, so this only meets broken input, which must not become inf.
    if (beta == 0) return false;
    x[j] = (r[j] - a[j] * x[j - 1]) / beta;
  }
  for (int j = hi - 1; j >= lo; --j) x[j] -= gamma[j + 1] * x[j + 1];

  for (int j = lo; j <= hi; ++j) u[j] = x[j];
  return true;
}

double ImplizitDiffusion(double dz, int lo, int hi, const double D[], const double u_alt[],
                         const double S[], double dt, bool obenGradient, bool untenGradient,
                         double q_oben, double q_unten, bool mitAenderung, double u_neu[]) {
  if (!IndizesGueltig(lo, hi)) return 0;
  // Rows lo..hi are all set below (a[lo] and c[hi] as 0, which the solver
  // ignores anyway); nothing outside them is read.
  Arbeitsfeld a, b, c, r;
  a[lo] = 0;
  c[hi] = 0;

  // Interior rows: -W u[i-1] + (W + E + 1/dt) u[i] - E u[i+1] = u_alt[i]/dt + S[i],
  // with the face coefficients E = (D[i] + D[i+1]) / (2 dz^2), W = (D[i-1] + D[i]) / (2 dz^2).
  // W(i) is the same expression as E(i-1), so each face is computed once.
  const double kehrDt = 1 / dt;
  float E_vorher = 0;
  if (hi - lo >= 2) E_vorher = static_cast<float>(0.5 * (D[lo] + D[lo + 1]) / (dz * dz));
  for (int i = lo + 1; i <= hi - 1; ++i) {
    float W = E_vorher;
    E_vorher = static_cast<float>(0.5 * (D[i] + D[i + 1]) / (dz * dz));
    float E = E_vorher;
    if (D[i] == -1 || D[i + 1] == -1) E = 0;
    if (D[i] == -1 || D[i - 1] == -1) W = 0;
    a[i] = -static_cast<double>(W);
    b[i] = static_cast<double>(W) + E + kehrDt;
    c[i] = -static_cast<double>(E);
    // x / 1 is x: the moisture model always steps with dt = 1.
    r[i] = (dt == 1 ? u_alt[i] : u_alt[i] / dt) + S[i];
  }

  b[lo] = 1;
  if (obenGradient) {
    c[lo] = -1;
    r[lo] = -q_oben * dz;
  } else {
    c[lo] = 0;
    r[lo] = u_alt[lo] + q_oben * dt;
  }
  b[hi] = 1;
  if (untenGradient) {
    a[hi] = -1;
    r[hi] = q_unten * dz;
  } else {
    a[hi] = 0;
    r[hi] = u_alt[hi] + q_unten * dt;
  }

  if (!Tridiag(a.data(), b.data(), c.data(), r.data(), lo, hi, u_neu)) {
    for (int i = lo; i <= hi; ++i) u_neu[i] = u_alt[i];
    return 0;
  }

  double maxAenderung = 0;
  if (mitAenderung) {
    // As fmax: a NaN change is passed over.
    for (int i = lo + 1; i <= hi - 1; ++i) {
      const double aenderung = std::fabs(u_neu[i] - u_alt[i]) / (1e-8 + dt);
      if (aenderung > maxAenderung) maxAenderung = aenderung;
    }
  }
  return maxAenderung;
}

}  // namespace terval
