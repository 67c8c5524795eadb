// A user interface for the data build tools: every message goes to stderr
// and is counted, since good sources produce none.
#pragma once

#include <cstdio>
#include <string>

#include "model/Oberflaeche.h"
#include "model/Zahltext.h"

namespace terval {

class Konsole : public StilleOberflaeche {
 public:
  int meldungen = 0;
  void Fehler(const std::string& t) override { Zeige(t); }
  void Warnung(const std::string& t) override { Zeige(t); }
  void Information(const std::string& t) override { Zeige(t); }
  void Meldung(const std::string& t) override { Zeige(t); }

 private:
  void Zeige(const std::string& t) {
    ++meldungen;
    std::fprintf(stderr, "%s\n", MitZeilenumbruechen(t).c_str());
  }
};

}  // namespace terval
