// Shared fixtures of the soil tests: a soil with round numbers and temporary files.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/Vardef.h"

namespace terval::test {

// A loam-like soil with round parameters: theta_s 0.4, psi_s -0.2 m, b 5,
// Ks 5e-6 m/s, solids 2.0 MJ/(m3 K), reference water content 0.3.
inline TBodenDaten Testboden() {
  TBodenDaten b;
  b.Kuerzel = "Tb";
  b.ThetaSat = 0.4;
  b.ThetaRef = 0.3;
  b.PsiSat = -0.2;
  b.KSat = 5e-6;
  b.CBoden = 2.0e6;
  b.B_Exponent = 5;
  b.BodenName = "Testboden";
  return b;
}

// A file in the test's temporary directory, removed when the object goes.
class TempDatei {
 public:
  TempDatei(const std::string& name, const std::string& inhalt)
      : pfad_(std::filesystem::temp_directory_path() /
              ("terval_physik_" + std::to_string(::getpid()) + "_" + name)) {
    std::ofstream(pfad_, std::ios::binary) << inhalt;
  }
  ~TempDatei() { std::filesystem::remove(pfad_); }
  std::string pfad() const { return pfad_.string(); }

 private:
  std::filesystem::path pfad_;
};

}  // namespace terval::test
