// The soil of the soil and moisture tests.
#pragma once

#include "model/Vardef.h"

namespace terval::test {

// Round parameters: theta_s 0.4, psi_s -0.2 m, b 5, Ks 5e-6 m/s, solids
// 2.0 MJ/(m3 K), reference water content 0.3.
inline TBodenDaten Testboden() {
  TBodenDaten b;
  b.ThetaSat = 0.4;
  b.ThetaRef = 0.3;
  b.PsiSat = -0.2;
  b.KSat = 5e-6;
  b.CBoden = 2.0e6;
  b.B_Exponent = 5;
  return b;
}

}  // namespace terval::test
