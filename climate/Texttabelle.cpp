// The climate table as a text file: a header line, then one line per hour
// with the columns of the climate table, separated by semicolons, tabs or
// runs of blanks (taken from the header line), "." as decimal point. An
// empty field (possible with semicolons or tabs) is an empty cell; a field
// in double quotes is read without them ("12.5" is 12.5). A file in UTF-16
// or UTF-32, or with NUL bytes, is refused: it would be misread, and
// rewriting it would garble it.
//
// Written back, the file keeps its layout: the header, the separator, the
// text of column 0, every line end and every field that is not written stay
// byte for byte; a number is replaced only when its value changes, by the
// shortest text of the new value.

#include <cfloat>
#include <cmath>
#include <fstream>
#include <sstream>

#include "climate/Klimatabelle.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

const char* const Elementnamen[] = {"",
                                    "Lufttemperatur",
                                    "relative Feuchte",
                                    "Windgeschwindigkeit",
                                    "Globalstrahlung",
                                    "Niederschlag",
                                    "Bedeckungsgrad",
                                    "Volumenstrom"};

struct Zeile {
  std::string text;  // without its line end
  std::string ende;  // "\r\n", "\n" or "" (last line without line end)
};

// A field of a data line: where its content (without surrounding blanks)
// sits in the line.
struct Feld {
  size_t anfang = 0;
  size_t laenge = 0;
};

bool IstBlank(char c) { return c == ' ' || c == '\t'; }

bool IstLeerzeile(const std::string& s) {
  for (char c : s)
    if (!IstBlank(c) && c != '\r') return false;
  return true;
}

// Splits a line. With ';' or '\t' every separator ends a field (blanks
// around a field's content are not part of it); with ' ' the fields are the
// runs of non-blank characters.
std::vector<Feld> Zerlege(const std::string& s, char trenner) {
  std::vector<Feld> felder;
  if (trenner == ' ') {
    size_t i = 0;
    while (i < s.size()) {
      while (i < s.size() && IstBlank(s[i])) ++i;
      if (i >= s.size()) break;
      size_t a = i;
      while (i < s.size() && !IstBlank(s[i])) ++i;
      felder.push_back({a, i - a});
    }
    return felder;
  }
  size_t a = 0;
  while (true) {
    size_t e = s.find(trenner, a);
    size_t ende = e == std::string::npos ? s.size() : e;
    size_t i = a, j = ende;
    while (i < j && (s[i] == ' ' || (trenner != '\t' && s[i] == '\t'))) ++i;
    while (j > i && (s[j - 1] == ' ' || (trenner != '\t' && s[j - 1] == '\t'))) --j;
    felder.push_back({i, j - i});
    if (e == std::string::npos) break;
    a = e + 1;
  }
  return felder;
}

class Texttabelle : public Klimatabelle {
 public:
  Texttabelle(std::string pfad, bool schreiben) : pfad_(std::move(pfad)), schreiben_(schreiben) {}

  // Reads and checks the file; false with `o` filled on failure.
  bool Laden(Klimaoeffnung& o);

  int Datensaetze() const override { return static_cast<int>(saetze_.size()); }
  int Spalten() const override { return spalten_; }
  bool IstLeer(int satz, int spalte) const override { return Inhalt(satz, spalte).empty(); }
  std::optional<float> Zahl(int satz, int spalte) const override {
    auto d = ParseZahl(Inhalt(satz, spalte));
    if (!d || !std::isfinite(*d) || std::fabs(*d) > static_cast<double>(FLT_MAX)) return std::nullopt;
    return static_cast<float>(*d);
  }
  bool Setze(int satz, int spalte, float wert) override;
  bool Geaendert() const override { return geaendert_; }
  bool Schliessen(std::string& fehler) override;

  std::string Text(int satz, int spalte) const override {
    if (satz < 0 || satz >= Datensaetze() || spalte < 0 || spalte >= spalten_) return {};
    const Satz& s = saetze_[satz];
    const Feld& f = s.felder[spalte];
    return zeilen_[s.zeile].text.substr(f.anfang, f.laenge);
  }
  std::string Zeilenangabe(int satz) const override {
    if (satz < 0 || satz >= Datensaetze()) return Klimatabelle::Zeilenangabe(satz);
    return "Zeile " + std::to_string(saetze_[satz].zeile + 1);
  }

 private:
  struct Satz {
    int zeile;                 // index into zeilen_
    std::vector<Feld> felder;  // spalten_ fields
  };

  // The text of a cell without the double quotes a spreadsheet may have
  // put around it ("12.5").
  std::string Inhalt(int satz, int spalte) const {
    std::string t = Text(satz, spalte);
    return IstZitiert(t) ? t.substr(1, t.size() - 2) : t;
  }
  static bool IstZitiert(const std::string& t) { return t.size() >= 2 && t.front() == '"' && t.back() == '"'; }

  std::string pfad_;
  bool schreiben_;
  std::string bom_;
  std::vector<Zeile> zeilen_;
  char trenner_ = ' ';
  int spalten_ = 0;
  std::vector<Satz> saetze_;
  // New texts per record and column, applied when the file is saved.
  std::vector<std::vector<std::optional<std::string>>> neu_;
  bool geaendert_ = false;
};

bool Texttabelle::Laden(Klimaoeffnung& o) {
  std::ifstream ein(pfad_, std::ios::binary);
  if (!ein) {
    o.fehler = "Die Datei " + pfad_ + " kann nicht gelesen werden.";
    return false;
  }
  std::ostringstream puffer;
  puffer << ein.rdbuf();
  if (ein.bad()) {
    o.fehler = "Die Datei " + pfad_ + " kann nicht gelesen werden.";
    return false;
  }
  std::string inhalt = puffer.str();
  auto ablehnen = [&](const std::string& grund) {
    o.inhaltsfehler = true;
    o.fehler = "Die Klimatabelle " + pfad_ + " kann nicht gelesen werden:\r" + grund;
    return false;
  };
  // Written back, such a file would get single-byte text in its midst.
  const std::string kodierung = FremdeKodierung(inhalt);
  if (!kodierung.empty()) {
    return ablehnen("Die Datei ist in " + kodierung +
                    " kodiert; gelesen werden Texttabellen in UTF-8 oder Windows-1252.\rBitte speichern Sie "
                    "sie in einer dieser Kodierungen.");
  }
  if (inhalt.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bom_ = inhalt.substr(0, 3);
    inhalt.erase(0, 3);
  }
  size_t a = 0;
  while (a < inhalt.size()) {
    size_t e = inhalt.find('\n', a);
    Zeile z;
    if (e == std::string::npos) {
      z.text = inhalt.substr(a);
      a = inhalt.size();
    } else {
      z.text = inhalt.substr(a, e - a);
      z.ende.push_back('\n');
      a = e + 1;
    }
    if (!z.text.empty() && z.text.back() == '\r') {
      z.text.pop_back();
      z.ende.insert(z.ende.begin(), '\r');
    }
    zeilen_.push_back(std::move(z));
  }

  size_t kopf = 0;
  while (kopf < zeilen_.size() && IstLeerzeile(zeilen_[kopf].text)) ++kopf;
  if (kopf == zeilen_.size()) return true;  // no header, no records: refused by the record count

  const std::string& k = zeilen_[kopf].text;
  trenner_ = k.find(';') != std::string::npos ? ';' : k.find('\t') != std::string::npos ? '\t' : ' ';
  spalten_ = static_cast<int>(Zerlege(k, trenner_).size());

  for (size_t i = kopf + 1; i < zeilen_.size(); ++i) {
    const std::string& s = zeilen_[i].text;
    if (IstLeerzeile(s)) continue;
    std::vector<Feld> felder = Zerlege(s, trenner_);
    std::string nr = std::to_string(i + 1);
    if (static_cast<int>(felder.size()) != spalten_) {
      return ablehnen("Zeile " + nr + " hat " + std::to_string(felder.size()) + " Spalten, die Kopfzeile hat " +
                      std::to_string(spalten_) + ".");
    }
    for (int sp = 1; sp < spalten_ && sp <= 7; ++sp) {
      std::string wert = s.substr(felder[sp].anfang, felder[sp].laenge);
      if (wert.find(',') != std::string::npos) {
        return ablehnen("Zeile " + nr + ", Spalte " + std::to_string(sp) + " (" + Elementnamen[sp] +
                        ") enthält \"" + wert +
                        "\".\rBitte verwenden Sie den Punkt als Dezimaltrennzeichen.");
      }
    }
    saetze_.push_back({static_cast<int>(i), std::move(felder)});
  }
  if (schreiben_) neu_.assign(saetze_.size(), std::vector<std::optional<std::string>>(spalten_));
  return true;
}

bool Texttabelle::Setze(int satz, int spalte, float wert) {
  if (!schreiben_ || satz < 0 || satz >= Datensaetze() || spalte < 1 || spalte >= spalten_) return false;
  auto alt = Zahl(satz, spalte);
  if (!IstLeer(satz, spalte) && alt && *alt == wert) {
    neu_[satz][spalte].reset();  // the old text already says this value
    return true;
  }
  neu_[satz][spalte] = KuerzesterText(wert);
  geaendert_ = true;
  return true;
}

bool Texttabelle::Schliessen(std::string& fehler) {
  if (!schreiben_ || !geaendert_) return true;
  for (size_t r = 0; r < saetze_.size(); ++r) {
    const Satz& s = saetze_[r];
    std::string& zeile = zeilen_[s.zeile].text;
    // Right to left, so the positions of the fields still to do stay valid.
    for (int sp = spalten_ - 1; sp >= 1; --sp) {
      if (!neu_[r][sp]) continue;
      Feld f = s.felder[sp];
      // A quoted number stays quoted.
      const bool zitiert = IstZitiert(zeile.substr(f.anfang, f.laenge));
      std::string text = zitiert ? "\"" + *neu_[r][sp] + "\"" : *neu_[r][sp];
      if (trenner_ == ' ') {
        // Keep right-aligned columns aligned: a shorter number is padded on
        // the left, a longer one takes blanks of the gap before it (one stays).
        if (text.size() < f.laenge) {
          text.insert(0, f.laenge - text.size(), ' ');
        } else {
          size_t mehr = text.size() - f.laenge;
          while (mehr > 0 && f.anfang >= 2 && IstBlank(zeile[f.anfang - 1]) && IstBlank(zeile[f.anfang - 2])) {
            --f.anfang, ++f.laenge, --mehr;
          }
        }
      }
      zeile.replace(f.anfang, f.laenge, text);
    }
  }
  std::string inhalt = bom_;
  for (const Zeile& z : zeilen_) inhalt += z.text + z.ende;
  return DateiErsetzen(pfad_, inhalt, fehler);
}

}  // namespace

Klimaoeffnung OeffneTexttabelle(const std::string& pfad, bool schreiben) {
  Klimaoeffnung o;
  auto t = std::make_unique<Texttabelle>(pfad, schreiben);
  if (t->Laden(o)) o.tabelle = std::move(t);
  return o;
}

}  // namespace terval
