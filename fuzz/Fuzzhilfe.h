// Shared pieces of the fuzz targets: the readers take a path, so every input
// goes into a file of its own scratch directory in /dev/shm (memory, no disk
// wear); a model in its start-up state with one plausible soil and a mild
// climate year; the checks every target makes after each input; and the
// whole targets that two readers share (the table engines, the imports).
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "climate/Klimatabelle.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "tables/Tabelle.h"

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

// A table of engine `T` (DbfTabelle, ParadoxTabelle) of any origin: opened,
// every cell read in every way (also just outside the table), then the first
// cell that takes the value 7 changed in place. The saved table must open
// again and hold it, and no temporary file may remain beside it. A table
// that opens for reading must open for changing too, unless
// `aendernDarfScheitern` (an encrypted Paradox table is only read).
template <class T>
int PruefeTabelle(const uint8_t* daten, size_t groesse, const char* name, bool aendernDarfScheitern,
                  std::initializer_list<const char*> nachher) {
  const std::string pfad = AlsDatei(daten, groesse, name);
  std::string fehler;
  {
    auto t = T::Oeffnen(pfad, fehler);
    if (!t) {
      if (fehler.empty()) Befund("abgelehnt ohne Meldung");
      KeineFremdenDateien({name});
      return 0;
    }
    const int saetze = std::min(t->Datensaetze(), 300);
    for (int f = -1; f <= t->Felder(); ++f) {
      (void)t->Feldname(f);
      for (int s = -1; s <= saetze; ++s) {
        (void)t->IstLeer(s, f);
        (void)t->LiesZahl(s, f);
        (void)t->LiesGanzzahl(s, f);
        (void)t->LiesText(s, f);
      }
    }
    if (!t->Schliessen(fehler)) Befund("Schliessen nach dem Lesen gescheitert");
  }

  int feld = -1;  // the field that took the value 7
  {
    auto t = T::Aendern(pfad, fehler);
    if (!t) {
      if (!aendernDarfScheitern) Befund("lesbar, aber nicht zum Ändern zu öffnen");
      KeineFremdenDateien({name});
      return 0;
    }
    for (int f = 0; f < t->Felder() && feld < 0 && t->Datensaetze() > 0; ++f)
      if (t->SchreibeGanzzahl(0, f, 7)) feld = f;
    if (!t->Schliessen(fehler)) Befund("Speichern gescheitert");
  }
  KeineFremdenDateien(nachher);
  auto r = T::Oeffnen(pfad, fehler);
  if (!r) Befund("die gespeicherte Tabelle lässt sich nicht mehr öffnen");
  if (feld >= 0 && r->LiesGanzzahl(0, feld) != 7) Befund("geschriebener Wert kommt nicht zurück");
  return 0;
}

// A read-only weather import (EnergyPlus, test reference year): imported into
// a table in memory, where every value is a finite number or the missing marker.
inline int PruefeImport(const uint8_t* daten, size_t groesse, const char* name) {
  Klimaoeffnung o = OeffneKlimatabelle(AlsDatei(daten, groesse, name), false);
  if (!o.tabelle) {
    if (o.fehler.empty()) Befund("abgelehnt ohne Meldung");
    return 0;
  }
  const Klimatabelle& t = *o.tabelle;
  for (int s = 0; s < t.Datensaetze(); ++s)
    for (int c = 0; c < t.Spalten(); ++c) {
      auto z = t.Zahl(s, c);
      if (!z || !std::isfinite(*z)) Befund("Zelle ohne endliche Zahl");
    }
  return 0;
}

}  // namespace terval::fuzz
