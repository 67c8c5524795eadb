// Climate tables for tests: a synthetic year written as text, dBASE or
// Paradox table, and cell readers that go through the format's own layer
// (or plain text splitting), not through the climate loader under test.
#pragma once

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/TabellenTesthilfen.h"
#include "model/Zahltext.h"
#include "tables/DbfTabelle.h"
#include "tables/ParadoxTabelle.h"

namespace terval::test {

enum class Art { Text, Dbase, Paradox };

inline const char* Endung(Art a) { return a == Art::Text ? ".txt" : a == Art::Dbase ? ".DBF" : ".DB"; }

inline std::string ArtName(Art a) { return a == Art::Text ? "Text" : a == Art::Dbase ? "Dbase" : "Paradox"; }

// Rows of data columns 1..k (column 0, the record number, is added when
// writing); std::nullopt is an empty cell.
using Zeilen = std::vector<std::vector<std::optional<float>>>;

// A smooth, complete year: T_Luft, rFeuchte, Wind, Glob_Str, Nieders, Wolken,
// Vol_Strom for record 0..n-1 (as many columns as asked for).
inline Zeilen Jahr(int datensaetze, int spalten) {
  Zeilen z;
  for (int i = 0; i < datensaetze; ++i) {
    const float alle[7] = {
        static_cast<float>(10.0 - 9.0 * std::cos(2 * 3.14159265 * i / 8760.0) + 0.1 * (i % 24)),
        static_cast<float>(50 + i % 45),
        static_cast<float>(0.5 * (i % 12)),
        static_cast<float>((i % 24 >= 8 && i % 24 <= 16) ? 100 + i % 300 : 0),
        static_cast<float>(i % 7 == 0 ? 0.4 : 0.0),
        static_cast<float>(i % 9),
        static_cast<float>(1000 + i % 5),
    };
    z.emplace_back(alle, alle + spalten);
  }
  return z;
}

// Writes the rows as a table of this format; returns the file name.
// `trenner` is the text table's separator.
inline std::string SchreibeKlimatabelle(Art art, const std::string& stamm, const Zeilen& zeilen, int spalten,
                                        char trenner = ';') {
  std::string pfad = stamm + Endung(art);
  static const char* const namen[] = {"Nr", "T_Luft", "rFeuchte", "Wind", "Glob_Str", "Nieders", "Wolken", "Vol_Strom"};
  if (art == Art::Text) {
    std::string s;
    for (int k = 0; k <= spalten; ++k) s += (k ? std::string(1, trenner) : "") + namen[k];
    s += "\n";
    for (size_t i = 0; i < zeilen.size(); ++i) {
      s += std::to_string(i + 1);
      for (int k = 0; k < spalten; ++k)
        s += std::string(1, trenner) + (zeilen[i][k] ? KuerzesterText(*zeilen[i][k]) : "");
      s += "\n";
    }
    SchreibeDatei(pfad, s);
    return pfad;
  }
  std::vector<Felddefinition> felder{{namen[0], Feldtyp::Ganzzahl, 0}};
  for (int k = 1; k <= spalten; ++k) felder.push_back({namen[k], Feldtyp::Gleitkomma, 0});
  std::string fehler;
  auto schreibe = [&](auto& t) {
    for (size_t i = 0; i < zeilen.size(); ++i) {
      int r = t->Anhaengen();
      t->SchreibeGanzzahl(r, 0, static_cast<long long>(i + 1));
      for (int k = 0; k < spalten; ++k)
        if (zeilen[i][k]) t->SchreibeZahl(r, k + 1, *zeilen[i][k]);
    }
    if (!t->Schliessen(fehler)) pfad.clear();
  };
  if (art == Art::Dbase) {
    auto t = DbfTabelle::Erzeugen(pfad, felder, fehler);
    if (!t) return {};
    schreibe(t);
  } else {
    auto t = ParadoxTabelle::Erzeugen(pfad, felder, fehler);
    if (!t) return {};
    schreibe(t);
  }
  return pfad;
}

// Fields of line `zeile` (0-based, header = 0) of a text table, split at
// `trenner` (' ' = runs of blanks).
inline std::vector<std::string> Textfelder(const std::string& pfad, int zeile, char trenner = ';') {
  std::istringstream ein(Dateiinhalt(pfad));
  std::string z;
  for (int i = 0; i <= zeile; ++i) std::getline(ein, z);
  if (!z.empty() && z.back() == '\r') z.pop_back();
  std::vector<std::string> f;
  std::istringstream teile(z);
  std::string t;
  if (trenner == ' ') {
    while (teile >> t) f.push_back(t);
  } else {
    while (std::getline(teile, t, trenner)) f.push_back(t);
    if (!z.empty() && z.back() == trenner) f.push_back("");
  }
  return f;
}

// A cell of record `satz` (0-based) as a number; std::nullopt when empty.
inline std::optional<double> Zellwert(Art art, const std::string& pfad, int satz, int spalte) {
  std::string fehler;
  if (art == Art::Text) {
    auto f = Textfelder(pfad, satz + 1);
    if (spalte >= static_cast<int>(f.size()) || f[spalte].empty()) return std::nullopt;
    return ParseZahl(f[spalte]);
  }
  if (art == Art::Dbase) {
    auto t = DbfTabelle::Oeffnen(pfad, fehler);
    if (!t || t->IstLeer(satz, spalte)) return std::nullopt;
    return t->LiesZahl(satz, spalte);
  }
  auto t = ParadoxTabelle::Oeffnen(pfad, fehler);
  if (!t || t->IstLeer(satz, spalte)) return std::nullopt;
  return t->LiesZahl(satz, spalte);
}

}  // namespace terval::test
