// Backward-Euler diffusion on a line of nodes and its tridiagonal solver.
#pragma once

namespace terval {

inline constexpr int MaxDiffusionsKnoten = 200;  // hi <= 200; work arrays 0..200

// One implicit step of du/dt = d/dx(D du/dx) + S on nodes lo..hi.
// D == -1 marks a node outside the medium. Writes u_new[lo..hi] and returns
// MaxAenderung (0 unless mitAenderung).
double ImplizitDiffusion(double dz, int lo, int hi, const double D[], const double u_alt[],
                         const double S[], double dt, bool obenGradient, bool untenGradient,
                         double q_oben, double q_unten, bool mitAenderung, double u_neu[]);

// Solves a[j] u[j-1] + b[j] u[j] + c[j] u[j+1] = r[j], j = lo..hi, without pivoting.
void Tridiag(const double a[], const double b[], const double c[], const double r[], int lo,
             int hi, double u[]);

}  // namespace terval
