// Helpers for tests that write and inspect files: a scratch directory, file
// bytes, golden files, a way to make a save fail midway, and an independent
// reader (Debian's python3-dbfread) to check that what the program writes is
// what other tools read.
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tables/DbfTabelle.h"

namespace terval::test {

// A fresh directory under /tmp, removed with everything in it.
class Testverzeichnis {
 public:
  Testverzeichnis() {
    char muster[] = "/tmp/terval-test-XXXXXX";
    if (::mkdtemp(muster) != nullptr) pfad_ = muster;
  }
  ~Testverzeichnis() {
    std::error_code ec;
    if (!pfad_.empty()) std::filesystem::remove_all(pfad_, ec);
  }
  Testverzeichnis(const Testverzeichnis&) = delete;
  Testverzeichnis& operator=(const Testverzeichnis&) = delete;

  const std::string& Pfad() const { return pfad_; }
  std::string Datei(const std::string& name) const { return pfad_ + "/" + name; }

  // Names of all entries, sorted (to see that no temporary file was left).
  std::vector<std::string> Eintraege() const {
    std::vector<std::string> namen;
    for (const auto& e : std::filesystem::directory_iterator(pfad_)) namen.push_back(e.path().filename());
    std::sort(namen.begin(), namen.end());
    return namen;
  }

 private:
  std::string pfad_;
};

inline std::string Dateiinhalt(const std::string& pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(ein), std::istreambuf_iterator<char>());
}

inline void SchreibeDatei(const std::string& pfad, const std::string& inhalt) {
  std::ofstream(pfad, std::ios::binary | std::ios::trunc) << inhalt;
}

// "" when the xBase table at `pfad` has the bytes of tests/data/<golden>
// but for the day of writing (header bytes 1..3); else where they part.
// TERVAL_GOLDEN=neu in the environment writes the golden file instead.
inline std::string UnterschiedZuGolden(const std::string& pfad, const std::string& golden) {
  std::string ist = Dateiinhalt(pfad), soll = TERVAL_QUELLVERZEICHNIS "/tests/data/" + golden;
  ist.replace(1, 3, 3, '\0');
  if (const char* e = std::getenv("TERVAL_GOLDEN"); e && std::string(e) == "neu") SchreibeDatei(soll, ist);
  soll = Dateiinhalt(soll);
  const auto [a, b] = std::mismatch(ist.begin(), ist.end(), soll.begin(), soll.end());
  return a == ist.end() && b == soll.end() ? "" : golden + " weicht ab Byte " + std::to_string(a - ist.begin()) + " ab";
}

// Where python3-dbfread reads a table differently from the table layer:
// field names, and every cell as blank, integer, number or text; "" when
// both agree, std::nullopt when /usr/bin/python3 has no dbfread.
inline std::optional<std::string> UnterschiedZuDbfread(const std::string& pfad) {
  if (std::system("/usr/bin/python3 -c 'import dbfread' >/dev/null 2>&1") != 0) return std::nullopt;
  SchreibeDatei(pfad + ".py",
                "import sys, dbfread\n"
                "t = dbfread.DBF(sys.argv[1], load=True)\n"
                "print('\\t'.join(t.field_names))\n"
                "for r in t.records:\n"
                "    print('\\t'.join('N' if v is None else {int: 'I', float: 'F'}.get(type(v), 'T') + str(v)\n"
                "                    for v in r.values()))\n");
  FILE* p = ::popen(("PYTHONIOENCODING=utf-8 /usr/bin/python3 '" + pfad + ".py' '" + pfad + "' 2>&1").c_str(), "r");
  std::string aus, fehler, zeile, zelle;
  char puffer[4096];
  for (size_t n; p != nullptr && (n = std::fread(puffer, 1, sizeof puffer, p)) > 0;) aus.append(puffer, n);
  if (p != nullptr) ::pclose(p);
  std::remove((pfad + ".py").c_str());
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  if (!t) return fehler;
  std::istringstream zeilen(aus);
  int satz = -1;
  for (; std::getline(zeilen, zeile); ++satz) {
    std::istringstream zellen(zeile);
    for (int f = 0; std::getline(zellen, zelle, '\t'); ++f) {
      const std::string wert = zelle.substr(satz < 0 ? 0 : 1);
      const bool gleich = satz < 0 ? t->Feldname(f) == wert
                          : zelle[0] == 'N' ? t->IstLeer(satz, f)
                          : zelle[0] == 'T' ? t->LiesText(satz, f) == wert
                          : t->LiesZahl(satz, f) && static_cast<float>(*t->LiesZahl(satz, f)) == std::stof(wert);
      if (!gleich) return "Satz " + std::to_string(satz) + ", Feld " + std::to_string(f) + ": dbfread liest " + zelle;
    }
  }
  return satz == t->Datensaetze() ? "" : "dbfread liest " + std::to_string(satz) + " Sätze:\n" + aus;
}

// Limits the size of files this process may write, so a save fails midway
// the way it does on a full disk.
class Dateigroessengrenze {
 public:
  explicit Dateigroessengrenze(rlim_t bytes) : vorher_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &alt_);
    rlimit neu{bytes, alt_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &neu);
  }
  ~Dateigroessengrenze() {
    ::setrlimit(RLIMIT_FSIZE, &alt_);
    std::signal(SIGXFSZ, vorher_);
  }

 private:
  void (*vorher_)(int);
  rlimit alt_{};
};

}  // namespace terval::test
