// Backward-Euler diffusion on a line of nodes and its tridiagonal solver.
#pragma once

namespace terval {

inline constexpr int MaxDiffusionsKnoten = 200;  // hi <= 200; work arrays 0..200

// One implicit step of du/dt = d/dx(D du/dx) + S on nodes lo..hi, spacing dz.
// D == -1 marks a node outside the medium (no flux across its faces). The end
// rows hold either a value moving at rate q (obenGradient/untenGradient false)
// or a gradient (u[lo+1]-u[lo])/dz = q_oben, (u[hi]-u[hi-1])/dz = q_unten.
// Writes u_neu[lo..hi] and returns MaxAenderung, the largest
// |u_neu - u_alt| / (1e-8 + dt) of the interior nodes (0 unless mitAenderung).
// Indices outside 0 <= lo <= hi <= 200 write nothing; a singular system
// leaves u_neu = u_alt.
double ImplizitDiffusion(double dz, int lo, int hi, const double D[], const double u_alt[],
                         const double S[], double dt, bool obenGradient, bool untenGradient,
                         double q_oben, double q_unten, bool mitAenderung, double u_neu[]);

// Solves a[j] u[j-1] + b[j] u[j] + c[j] u[j+1] = r[j], j = lo..hi (a[lo] and
// c[hi] unused), by elimination without pivoting (Thomas algorithm). Returns
// false, writing nothing, when a pivot is exactly zero or the indices are
// outside 0 <= lo <= hi <= 200.
bool Tridiag(const double a[], const double b[], const double c[], const double r[], int lo, int hi,
             double u[]);

}  // namespace terval
