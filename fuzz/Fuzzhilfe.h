// Shared pieces of the fuzz targets: the readers take a path, so every input
// goes into a file of its own scratch directory in /dev/shm (memory, no disk
// wear); a model in its start-up state with one plausible soil and a mild
// climate year; and the checks every target makes after each input.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "model/Oberflaeche.h"
#include "model/Vardef.h"

namespace terval::fuzz {

// Scratch directory of this process, removed when the process ends.
inline const std::string& Arbeitsverzeichnis() {
  static const std::string pfad = [] {
    std::string p = "/dev/shm/terval-fuzz-" + std::to_string(::getpid());
    ::mkdir(p.c_str(), 0700);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all("/dev/shm/terval-fuzz-" + std::to_string(::getpid()), ec);
    });
    return p;
  }();
  return pfad;
}

// Writes the input to `name` in the scratch directory (replacing the file of
// the previous input) and returns its path.
inline std::string AlsDatei(const uint8_t* daten, size_t groesse, const std::string& name) {
  const std::string pfad = Arbeitsverzeichnis() + "/" + name;
  FILE* f = std::fopen(pfad.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (groesse > 0 && std::fwrite(daten, 1, groesse, f) != groesse) std::abort();
  if (std::fclose(f) != 0) std::abort();
  return pfad;
}

// A save that failed or was given up must not leave a temporary file: every
// entry of the scratch directory must be one of the names the target writes.
inline void KeineFremdenDateien(std::initializer_list<const char*> erlaubt) {
  DIR* d = ::opendir(Arbeitsverzeichnis().c_str());
  if (d == nullptr) std::abort();
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool bekannt = false;
    for (const char* n : erlaubt) bekannt = bekannt || name == n;
    if (!bekannt) {
      std::fprintf(stderr, "liegengebliebene Datei: %s\n", name.c_str());
      std::abort();
    }
  }
  ::closedir(d);
}

// A finding that is no crash: print it and stop, so libFuzzer keeps the input.
[[noreturn]] inline void Befund(const char* was) {
  std::fprintf(stderr, "BEFUND: %s\n", was);
  std::abort();
}

// A model in its start-up state, one loam as soil 1, a mild climate year
// (complete, 10 +- 8 degC over the year), so every check but the one under
// test passes.
inline std::unique_ptr<Modell> Grundmodell() {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  TBodenDaten& b = m->Boeden[1];
  b.Kuerzel = "L";
  b.BodenName = "Lehm";
  b.ThetaSat = 0.451;
  b.ThetaRef = 0.318;
  b.Wert3 = 0.154;
  b.PsiSat = -0.478;
  b.KSat = 6.95e-6;
  b.CBoden = 2e6;
  b.B_Exponent = 5.39;
  m->AnzBoeden = 1;
  m->Bodenart = 1;
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m->Klima[h];
    k.T_Luft = 10.0f - 8.0f * static_cast<float>(std::cos(2 * 3.14159265 * (h - 400) / Stunden));
    k.rFeuchte = 75.0f;
    k.Wind = 3.0f;
    k.Glob_Str = (h - 1) % 24 >= 8 && (h - 1) % 24 <= 16 ? 250.0f : 0.0f;
    k.Nieders = (h % 50 == 0) ? 1.5f : 0.0f;
    k.Wolken = 5.0f;
    k.Vol_Strom = 300.0f;
    m->Segmente[1].T_ein[h] = k.T_Luft;
  }
  m->TLuftKomplett = m->FeuchteKomplett = m->WindKomplett = m->StrahlungKomplett = true;
  m->NiederschlagKomplett = m->WolkenKomplett = m->KlimaKomplett = m->KlimaGueltig = true;
  return m;
}

}  // namespace terval::fuzz
