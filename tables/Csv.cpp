#include "tables/Csv.h"

namespace terval {

namespace {

bool IstLeerzeichen(char c) { return c == ' ' || c == '\t'; }

std::string Getrimmt(const std::string& s) {
  size_t a = 0, e = s.size();
  while (a < e && IstLeerzeichen(s[a])) ++a;
  while (e > a && IstLeerzeichen(s[e - 1])) --e;
  return s.substr(a, e - a);
}

}  // namespace

bool ZerlegeCsv(const std::string& text, char trenner, std::vector<CsvZeile>& zeilen, std::string& fehler) {
  zeilen.clear();
  size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  int zeile = 1;
  CsvZeile aktuell;
  std::string feld;
  bool zitiert = false;  // the field began with a quote
  bool leer = true;      // nothing but blanks in this row so far
  auto feldEnde = [&] {
    aktuell.push_back(zitiert ? feld : Getrimmt(feld));
    feld.clear();
    zitiert = false;
  };
  auto zeilenEnde = [&] {
    feldEnde();
    if (!leer) zeilen.push_back(std::move(aktuell));
    aktuell.clear();
    leer = true;
    ++zeile;
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' && Getrimmt(feld).empty() && !zitiert) {
      // A quoted field: up to the closing quote, "" standing for one quote.
      const int beginn = zeile;
      feld.clear();
      zitiert = true;
      leer = false;
      for (++i;; ++i) {
        if (i >= text.size()) {
          fehler = "Zeile " + std::to_string(beginn) + ": ein Anführungszeichen wird nicht geschlossen.";
          return false;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            feld += '"';
            ++i;
            continue;
          }
          break;
        }
        if (text[i] == '\n') ++zeile;
        feld += text[i];
      }
      ++i;
      while (i < text.size() && IstLeerzeichen(text[i])) ++i;
      if (i < text.size() && text[i] != trenner && text[i] != '\r' && text[i] != '\n') {
        fehler = "Zeile " + std::to_string(zeile) + ": nach dem schließenden Anführungszeichen folgt Text.";
        return false;
      }
      continue;
    }
    if (c == trenner) {
      feldEnde();
      leer = false;
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      if (c == '\r') ++i;
      zeilenEnde();
    } else {
      if (!IstLeerzeichen(c) && c != '\r') leer = false;
      feld += c;
    }
    ++i;
  }
  if (!leer || !feld.empty()) zeilenEnde();
  return true;
}

std::string CsvText(const CsvZeile& felder, char trenner) {
  std::string s;
  for (size_t i = 0; i < felder.size(); ++i) {
    if (i > 0) s += trenner;
    const std::string& f = felder[i];
    const bool quoten = f.find_first_of(std::string("\"\r\n") + trenner) != std::string::npos ||
                        (!f.empty() && (IstLeerzeichen(f.front()) || IstLeerzeichen(f.back())));
    if (!quoten) {
      s += f;
      continue;
    }
    s += '"';
    for (char c : f) {
      if (c == '"') s += '"';
      s += c;
    }
    s += '"';
  }
  s += '\n';
  return s;
}

}  // namespace terval
