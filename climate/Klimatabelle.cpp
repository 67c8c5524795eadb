#include "climate/Klimatabelle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>
#include <utility>
#include <system_error>
#include <type_traits>

#include "model/Systemgrund.h"
#include "model/Zahltext.h"
#include "tables/DbfTabelle.h"
#include "tables/ParadoxTabelle.h"

namespace terval {

namespace fs = std::filesystem;

namespace {

std::string Klein(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A double as single precision, or std::nullopt when it does not fit one.
std::optional<float> AlsFloat(std::optional<double> d) {
  if (!d || !std::isfinite(*d) || std::fabs(*d) > static_cast<double>(FLT_MAX)) return std::nullopt;
  return static_cast<float>(*d);
}

// True when the file begins like an xBase table: a known version byte, a
// plausible date of last change, and header and record lengths that fit the
// file. A Paradox header fails the month test (its header size is a multiple
// of 2048, so byte 2 is zero).
bool SiehtAusWieDbase(const std::string& pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  unsigned char k[32] = {};
  if (!ein.read(reinterpret_cast<char*>(k), sizeof k)) return false;
  static constexpr unsigned char versionen[] = {0x02, 0x03, 0x04, 0x05, 0x30, 0x31, 0x32, 0x43, 0x63,
                                                0x7B, 0x83, 0x8B, 0x8E, 0xCB, 0xE5, 0xF5, 0xFB};
  bool bekannt = false;
  for (unsigned char v : versionen) bekannt = bekannt || k[0] == v;
  int monat = k[2], tag = k[3];
  unsigned kopflaenge = k[8] | (k[9] << 8);
  unsigned satzlaenge = k[10] | (k[11] << 8);
  std::error_code ec;
  auto groesse = fs::file_size(pfad, ec);
  return bekannt && monat >= 1 && monat <= 12 && tag >= 1 && tag <= 31 && kopflaenge >= 33 &&
         satzlaenge >= 1 && !ec && groesse >= kopflaenge;
}

// A dBASE or Paradox table through the table layer. Opened for writing it
// reads first and collects only the cells whose value changes; the table is
// reopened for changing (and rewritten on a copy moved over the original)
// only when there is one.
class TabellenKlima : public Klimatabelle {
 public:
  using Aendern = std::function<std::unique_ptr<Tabelle>(std::string& fehler)>;

  // `aendern` is empty for a table opened only for reading.
  TabellenKlima(std::unique_ptr<Tabelle> t, Aendern aendern)
      : t_(std::move(t)), aendern_(std::move(aendern)) {}

  int Datensaetze() const override { return t_->Datensaetze(); }
  int Spalten() const override { return t_->Felder(); }
  bool IstLeer(int satz, int spalte) const override { return t_->IstLeer(satz, spalte); }
  std::optional<float> Zahl(int satz, int spalte) const override {
    return AlsFloat(t_->LiesZahl(satz, spalte));
  }
  std::string Text(int satz, int spalte) const override { return t_->LiesText(satz, spalte); }
  bool Setze(int satz, int spalte, float wert) override {
    if (!aendern_ || satz < 0 || satz >= Datensaetze() || spalte < 0 || spalte >= Spalten()) return false;
    if (!IstLeer(satz, spalte)) {
      auto alt = Zahl(satz, spalte);
      if (alt && *alt == wert) return true;
    }
    aenderungen_.push_back({satz, spalte, wert});
    return true;
  }
  bool Geaendert() const override { return !aenderungen_.empty(); }
  bool Schliessen(std::string& fehler) override {
    t_.reset();
    if (aenderungen_.empty()) return true;
    auto t = aendern_(fehler);
    if (!t) return false;
    for (const auto& a : aenderungen_) {
      if (!t->SchreibeZahl(a.satz, a.spalte, a.wert)) {
        fehler = "Datensatz " + std::to_string(a.satz + 1) + ", Feld " + std::to_string(a.spalte) +
                 " nimmt den Wert nicht auf.";
        return false;  // the temporary copy is dropped with `t`
      }
    }
    aenderungen_.clear();
    return t->Schliessen(fehler);
  }

 private:
  struct Aenderung {
    int satz, spalte;
    float wert;
  };
  std::unique_ptr<Tabelle> t_;
  Aendern aendern_;
  std::vector<Aenderung> aenderungen_;
};

// Opens a table of the engine `T` for reading, ready to be changed later
// when `schreiben` is set.
template <class T>
Klimaoeffnung OeffneMit(const std::string& pfad, bool schreiben) {
  Klimaoeffnung o;
  // Columns after the flow (column 7) are never read, whatever their type.
  constexpr int gelesen = 8;
  auto oeffnen = [pfad](std::string& fehler, bool aendern) {
    if constexpr (std::is_same_v<T, DbfTabelle>)
      return aendern ? T::Aendern(pfad, fehler, gelesen) : T::Oeffnen(pfad, fehler, gelesen);
    else
      return aendern ? T::Aendern(pfad, fehler) : T::Oeffnen(pfad, fehler);
  };
  auto t = oeffnen(o.fehler, false);
  if (!t) return o;
  TabellenKlima::Aendern aendern;
  if (schreiben) aendern = [oeffnen](std::string& fehler) -> std::unique_ptr<Tabelle> { return oeffnen(fehler, true); };
  o.tabelle = std::make_unique<TabellenKlima>(std::move(t), std::move(aendern));
  return o;
}

// The file a symbolic link leads to; any other path as it is.
std::string Verknuepfungsziel(const std::string& pfad) {
  struct stat st {};
  if (::lstat(pfad.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return pfad;
  std::error_code ec;
  const fs::path ziel = fs::canonical(pfad, ec);
  return ec ? pfad : ziel.string();
}

}  // namespace

Klimaformat KlimaformatVonName(const std::string& pfad) {
  std::string endung = Klein(fs::path(pfad).extension().string());
  if (endung == ".dbf") return Klimaformat::Dbase;
  if (endung == ".db") return Klimaformat::Paradox;
  if (endung == ".txt") return Klimaformat::Text;
  if (endung == ".epw") return Klimaformat::EnergyPlus;
  if (endung == ".dat") return Klimaformat::Testreferenzjahr;
  return Klimaformat::Unbekannt;
}

std::string KlimaformatBezeichnung(Klimaformat format) {
  switch (format) {
    case Klimaformat::Dbase: return "dBASE-Tabelle";
    case Klimaformat::Paradox: return "Paradox-Tabelle";
    case Klimaformat::Text: return "Texttabelle";
    case Klimaformat::EnergyPlus: return "EnergyPlus-Wetterdatei";
    case Klimaformat::Testreferenzjahr: return "Testreferenzjahr des DWD";
    case Klimaformat::Unbekannt: break;
  }
  return "unbekanntes Format";
}

std::optional<float> Speichertabelle::Zahl(int satz, int spalte) const {
  if (satz < 0 || satz >= Datensaetze() || spalte < 0 || spalte >= spalten_) return std::nullopt;
  return werte_[satz][spalte];
}

std::string Speichertabelle::Text(int satz, int spalte) const {
  const std::optional<float> z = Zahl(satz, spalte);
  return z ? KuerzesterText(*z) : std::string();
}

std::string Speichertabelle::Zeilenangabe(int satz) const {
  if (satz < 0 || satz >= Datensaetze()) return Klimatabelle::Zeilenangabe(satz);
  return "Zeile " + std::to_string(zeilen_[satz]);
}

Klimaoeffnung OeffneKlimatabelle(const std::string& name, bool schreiben) {
  Klimaoeffnung o;
  // Tested before anything opens it: opening a FIFO waits for a writer.
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
    o.fehler = "Die Datei " + name + " gibt es nicht.";
    return o;
  }
  if (!S_ISREG(st.st_mode)) {
    o.inhaltsfehler = true;
    o.fehler = "Die Klimatabelle " + name + " kann nicht gelesen werden:\rDer Pfad ist keine Datei, sondern " +
               (S_ISFIFO(st.st_mode) ? "eine benannte Pipe (FIFO)." : "ein Gerät oder Socket.");
    return o;
  }
  // Written back through a symbolic link, the table it points to changes
  // and the link stays.
  const std::string pfad = schreiben ? Verknuepfungsziel(name) : name;
  Klimaformat format = KlimaformatVonName(name);
  if (format == Klimaformat::Paradox && SiehtAusWieDbase(pfad)) format = Klimaformat::Dbase;

  switch (format) {
    case Klimaformat::Dbase:
      return OeffneMit<DbfTabelle>(pfad, schreiben);
    case Klimaformat::Paradox:
      return OeffneMit<ParadoxTabelle>(pfad, schreiben);
    case Klimaformat::Text:
      return OeffneTexttabelle(pfad, schreiben);
    case Klimaformat::EnergyPlus:
    case Klimaformat::Testreferenzjahr:
      if (schreiben) {
        o.fehler = "Eine " + KlimaformatBezeichnung(format) + " wird nur gelesen.";
        return o;
      }
      return format == Klimaformat::EnergyPlus ? LiesEnergyPlus(pfad) : LiesTestreferenzjahr(pfad);
    case Klimaformat::Unbekannt:
      break;
  }
  o.fehler = "Das Format der Datei " + pfad + " ist unbekannt.";
  return o;
}

std::string FremdeKodierung(const std::string& inhalt) {
  // Longest marks first: the UTF-32 LE mark begins with the UTF-16 LE one.
  static const std::pair<std::string_view, const char*> marken[] = {
      {{"\xFF\xFE\x00\x00", 4}, "UTF-32 (Little Endian)"},
      {{"\x00\x00\xFE\xFF", 4}, "UTF-32 (Big Endian)"},
      {"\xFF\xFE", "UTF-16 (Little Endian)"},
      {"\xFE\xFF", "UTF-16 (Big Endian)"},
  };
  for (const auto& [marke, name] : marken)
    if (std::string_view(inhalt).starts_with(marke)) return name;
  const size_t nul = inhalt.find('\0');
  if (nul == std::string::npos) return {};
  // ASCII text in UTF-16 has every other byte 0: the odd ones (LE) or the even ones (BE).
  if (inhalt.size() >= 2 && inhalt[1] == '\0' && inhalt[0] != '\0') return "UTF-16 (Little Endian) ohne Byte-Order-Mark";
  if (inhalt.size() >= 2 && inhalt[0] == '\0' && inhalt[1] != '\0') return "UTF-16 (Big Endian) ohne Byte-Order-Mark";
  return "einer unbekannten Kodierung mit Nullbytes";
}

bool DateiErsetzen(const std::string& pfad, const std::string& inhalt, std::string& fehler) {
  std::string temp = pfad + ".~XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    fehler = "Neben " + pfad + " kann keine Arbeitsdatei angelegt werden: " + Systemgrund(errno);
    return false;
  }
  const char* p = inhalt.data();
  size_t rest = inhalt.size();
  bool ok = true;
  while (ok && rest > 0) {
    ssize_t n = write(fd, p, rest);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) p += n, rest -= static_cast<size_t>(n);
  }
  int nummer = errno;
  if (ok && fsync(fd) != 0) ok = false, nummer = errno;
  if (close(fd) != 0 && ok) ok = false, nummer = errno;

  std::error_code ec;
  if (ok) {
    struct stat alt {};
    if (stat(pfad.c_str(), &alt) == 0) chmod(temp.c_str(), alt.st_mode & 07777);
    fs::rename(temp, pfad, ec);
    if (ec) ok = false, nummer = ec.value();
  }
  if (!ok) {
    fehler = "Die Datei " + pfad + " kann nicht geschrieben werden: " + Systemgrund(nummer);
    fs::remove(temp, ec);
  }
  return ok;
}

}  // namespace terval
