#include "tables/DbfTabelle.h"

#include <fcntl.h>
#include <iconv.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

#include <shapefil.h>

#include "model/Systemgrund.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

// ---- Windows-1252 <-> UTF-8 -------------------------------------------------

int Utf8Folgebytes(unsigned char c) {
  if ((c & 0xE0) == 0xC0) return 1;
  if ((c & 0xF0) == 0xE0) return 2;
  if ((c & 0xF8) == 0xF0) return 3;
  return 0;
}

// One conversion direction; iconv descriptors are not thread-safe, so each
// thread keeps its own pair.
class Wandler {
 public:
  Wandler(const char* nach, const char* von, bool vonUtf8)
      : cd_(iconv_open(nach, von)), vonUtf8_(vonUtf8) {}
  ~Wandler() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Wandler(const Wandler&) = delete;
  Wandler& operator=(const Wandler&) = delete;

  // Every character without a counterpart (and every malformed byte) becomes '?'.
  std::string operator()(std::string_view ein) {
    std::string aus;
    aus.reserve(ein.size() + 8);
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {  // no gconv modules: keep plain ASCII
      for (char c : ein) aus.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
      return aus;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(ein.data());
    size_t inRest = ein.size();
    char puffer[512];
    while (inRest > 0) {
      char* out = puffer;
      size_t outRest = sizeof puffer;
      size_t r = iconv(cd_, &in, &inRest, &out, &outRest);
      aus.append(puffer, static_cast<size_t>(out - puffer));
      if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
      aus.push_back('?');
      size_t schritt = 1;
      if (vonUtf8_) {
        // Skip the whole character, but only over genuine continuation bytes.
        int folge = Utf8Folgebytes(static_cast<unsigned char>(*in));
        while (folge-- > 0 && schritt < inRest &&
               (static_cast<unsigned char>(in[schritt]) & 0xC0) == 0x80)
          ++schritt;
      }
      in += schritt;
      inRest -= schritt;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return aus;
  }

 private:
  iconv_t cd_;
  bool vonUtf8_;
};

std::string ZuCp1252(std::string_view utf8) {
  thread_local Wandler w("CP1252", "UTF-8", true);
  return w(utf8);
}

std::string AusCp1252(std::string_view cp1252) {
  thread_local Wandler w("UTF-8", "CP1252", false);
  return w(cp1252);
}

// ---- File access for shapelib -----------------------------------------------
//
// shapelib strips the extension of the name it is given and opens
// "<base>.dbf", which would turn "Erdkanal.ewt.db" into "Erdkanal.ewt.dbf".
// Its file hooks let us open exactly the file we mean instead, and they are
// also where every failed write is noticed: stdio reports a full disk only
// at flush or close, which shapelib does not check.

struct EaZustand {
  int fehlerNr = 0;  // first failed write/flush/sync/close; 0 = none
};

struct Datei {
  FILE* f;
  EaZustand* zustand;
  bool schreibend;
};

thread_local const std::string* tl_pfad = nullptr;
thread_local EaZustand* tl_zustand = nullptr;
thread_local int tl_oeffnenFehler = 0;

Datei* AlsDatei(SAFile f) { return reinterpret_cast<Datei*>(f); }

void Vermerke(Datei* d) {
  if (d->zustand != nullptr && d->zustand->fehlerNr == 0) d->zustand->fehlerNr = errno != 0 ? errno : EIO;
}

SAFile HakenOeffnen(const char* name, const char* modus) {
  size_t n = std::strlen(name);
  // Only the table itself: shapelib also looks for a ".cpg", which we write ourselves.
  if (tl_pfad == nullptr || n < 4 || strcasecmp(name + n - 4, ".dbf") != 0) return nullptr;
  FILE* f = std::fopen(tl_pfad->c_str(), modus);
  if (f == nullptr) {
    tl_oeffnenFehler = errno;
    return nullptr;
  }
  bool schreibend = std::strchr(modus, 'w') != nullptr || std::strchr(modus, '+') != nullptr;
  return reinterpret_cast<SAFile>(new Datei{f, tl_zustand, schreibend});
}

SAOffset HakenLesen(void* p, SAOffset groesse, SAOffset anzahl, SAFile f) {
  return std::fread(p, groesse, anzahl, AlsDatei(f)->f);
}

SAOffset HakenSchreiben(void* p, SAOffset groesse, SAOffset anzahl, SAFile f) {
  Datei* d = AlsDatei(f);
  errno = 0;
  size_t r = std::fwrite(p, groesse, anzahl, d->f);
  if (r != anzahl) Vermerke(d);
  return r;
}

SAOffset HakenSuchen(SAFile f, SAOffset wo, int woher) {
  Datei* d = AlsDatei(f);
  int r = fseeko(d->f, static_cast<off_t>(wo), woher);
  if (r != 0 && d->schreibend) Vermerke(d);
  return static_cast<SAOffset>(r);
}

SAOffset HakenPosition(SAFile f) { return static_cast<SAOffset>(ftello(AlsDatei(f)->f)); }

int HakenLeeren(SAFile f) {
  Datei* d = AlsDatei(f);
  int r = std::fflush(d->f);
  if (r != 0 && d->schreibend) Vermerke(d);
  return r;
}

int HakenSchliessen(SAFile f) {
  Datei* d = AlsDatei(f);
  if (d->schreibend) {
    errno = 0;
    if (std::fflush(d->f) != 0 || fsync(fileno(d->f)) != 0) Vermerke(d);
  }
  errno = 0;
  int r = std::fclose(d->f);
  if (r != 0 && d->schreibend) Vermerke(d);
  delete d;
  return r;
}

// shapelib deletes a stale "<base>.cpg" when it creates a table; the names
// it derives are not ours, so nothing is removed here.
int HakenEntfernen(const char*) { return 0; }

// The library never prints; the caller learns of failures from the results.
void HakenMeldung(const char*) {}

double HakenAtof(const char* text) {
  std::string_view t(text);
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  double wert = 0;
  std::from_chars(t.data(), t.data() + t.size(), wert);
  return wert;
}

SAHooks Haken() {
  SAHooks h;
  SASetupDefaultHooks(&h);
  h.FOpen = HakenOeffnen;
  h.FRead = HakenLesen;
  h.FWrite = HakenSchreiben;
  h.FSeek = HakenSuchen;
  h.FTell = HakenPosition;
  h.FFlush = HakenLeeren;
  h.FClose = HakenSchliessen;
  h.Remove = HakenEntfernen;
  h.Error = HakenMeldung;
  h.Atof = HakenAtof;
  return h;
}

// Points the hooks at one file for the duration of an open or create call.
class HakenBindung {
 public:
  HakenBindung(const std::string& pfad, EaZustand* zustand) {
    tl_pfad = &pfad;
    tl_zustand = zustand;
    tl_oeffnenFehler = 0;
  }
  ~HakenBindung() {
    tl_pfad = nullptr;
    tl_zustand = nullptr;
  }
  HakenBindung(const HakenBindung&) = delete;
  HakenBindung& operator=(const HakenBindung&) = delete;
};

// ---- Paths ------------------------------------------------------------------

std::string Verzeichnisteil(const std::string& pfad) {
  size_t p = pfad.rfind('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return pfad.substr(0, p);
}

std::string Dateiteil(const std::string& pfad) {
  size_t p = pfad.rfind('/');
  return p == std::string::npos ? pfad : pfad.substr(p + 1);
}

// "<dir>/<base>.cpg" beside "<dir>/<base>.<ext>", where readers look for it.
std::string CpgPfad(const std::string& pfad) {
  std::string name = Dateiteil(pfad);
  size_t punkt = name.rfind('.');
  std::string basis = (punkt == std::string::npos || punkt == 0) ? name : name.substr(0, punkt);
  size_t p = pfad.rfind('/');
  return (p == std::string::npos ? std::string() : pfad.substr(0, p + 1)) + basis + ".cpg";
}

std::string TemporaererPfad(const std::string& ziel) {
  static std::atomic<unsigned> zaehler{0};
  std::string verzeichnis = Verzeichnisteil(ziel);
  std::string vorne = ziel.rfind('/') == std::string::npos ? std::string() : verzeichnis + "/";
  if (verzeichnis == "/") vorne = "/";
  return vorne + "." + Dateiteil(ziel) + ".tmp-" + std::to_string(getpid()) + "-" +
         std::to_string(zaehler.fetch_add(1));
}

bool Existiert(const std::string& pfad) {
  struct stat st;
  return ::stat(pfad.c_str(), &st) == 0;
}

// A save must replace the file the user sees, not a symbolic link to it.
std::string AufgeloesterPfad(const std::string& pfad) {
  struct stat st;
  if (::lstat(pfad.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return pfad;
  char* echt = ::realpath(pfad.c_str(), nullptr);
  if (echt == nullptr) return pfad;
  std::string r(echt);
  std::free(echt);
  return r;
}

std::string OeffnenFehler(const std::string& pfad, const std::string& grund) {
  return "Die Tabelle \"" + pfad + "\" kann nicht geöffnet werden: " + grund + ".";
}

std::string SpeichernFehler(const std::string& pfad, const std::string& grund) {
  std::string t = "Die Datei \"" + pfad + "\" konnte nicht gespeichert werden: " + grund;
  return t + (Existiert(pfad) ? "; die bisherige Datei bleibt unverändert." : ".");
}

// ---- The header, checked before shapelib sees it -----------------------------

// One field as the header describes it.
struct Feld {
  std::string name;   // Windows-1252 bytes as stored
  char typ = 'C';     // xBase type letter
  int breite = 0;     // bytes in the record
  int dezimal = 0;
  int versatz = 0;    // offset in the record; byte 0 is the deletion flag
  int shpIndex = 0;   // shapelib's field number (hidden fields included)
};

struct Kopf {
  uint8_t version = 0;
  uint32_t saetze = 0;
  uint32_t kopfLaenge = 0;
  uint32_t satzLaenge = 0;
  std::vector<Feld> alle;  // every descriptor, hidden ones included
};

bool IstFoxPro(uint8_t version) { return version == 0x30 || version == 0x31 || version == 0x32; }

bool BekannteVersion(uint8_t v) {
  switch (v) {
    case 0x02: case 0x03: case 0x04: case 0x05: case 0x30: case 0x31: case 0x32:
    case 0x43: case 0x63: case 0x7B: case 0x83: case 0x8B: case 0x8E: case 0xCB:
    case 0xE5: case 0xF5: case 0xFB:
      return true;
    default:
      return false;
  }
}

std::string Typname(char typ) {
  switch (typ) {
    case 'M': return "Memo (M)";
    case 'G': return "OLE-Objekt (G)";
    case 'P': return "Bild (P)";
    case 'T': return "Datum/Uhrzeit (T)";
    case 'B': return "Binärfeld (B)";
    case 'I': return "Binärzahl (I)";
    case 'V': return "Text variabler Länge (V)";
    case 'Q': return "Binärdaten (Q)";
    case 'W': return "Blob (W)";
    case '@': return "Zeitstempel (@)";
    case '+': return "Autowert (+)";
    case 'O': return "Binärzahl (O)";
    default: return std::string("'") + typ + "'";
  }
}

// Whether this program can read the field's values.
bool Lesbar(const Feld& f, uint8_t version) {
  switch (f.typ) {
    case 'C': case 'N': case 'F': case 'D': case 'L': case '0':
      return true;
    case 'I':
      return IstFoxPro(version) && f.breite == 4;
    case 'B': case 'Y':
      return IstFoxPro(version) && f.breite == 8;
    default:
      return false;
  }
}

// What a path is when it is no regular file, for messages ("eine benannte
// Pipe (FIFO)"); empty for a regular file.
std::string Dateiart(mode_t modus) {
  if (S_ISREG(modus)) return {};
  if (S_ISFIFO(modus)) return "eine benannte Pipe (FIFO)";
  if (S_ISCHR(modus) || S_ISBLK(modus)) return "ein Gerät";
  if (S_ISSOCK(modus)) return "ein Socket";
  return "keine gewöhnliche Datei";
}

// Reads and checks the header. Fields from number `gelesen` on (0-based;
// 0 means none) are never read, so their type does not matter.
bool LiesKopf(const std::string& pfad, Kopf& k, std::string& grund, int gelesen = 0) {
  // Opening a FIFO for reading would wait for a writer; without blocking
  // it opens at once and the type test below refuses it.
  int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    grund = Systemgrund(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    grund = Systemgrund(errno);
    ::close(fd);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    grund = Systemgrund(EISDIR);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    grund = "der Pfad ist keine Datei, sondern " + Dateiart(st.st_mode);
    return false;
  }
  const uint64_t groesse = static_cast<uint64_t>(st.st_size);
  std::vector<unsigned char> kopf(32);
  if (groesse < 32 || ::pread(fd, kopf.data(), 32, 0) != 32) {
    ::close(fd);
    grund = "die Datei ist zu kurz für eine dBASE-Tabelle";
    return false;
  }
  k.version = kopf[0];
  k.saetze = kopf[4] | (kopf[5] << 8) | (kopf[6] << 16) | (static_cast<uint32_t>(kopf[7]) << 24);
  k.kopfLaenge = kopf[8] | (kopf[9] << 8);
  k.satzLaenge = kopf[10] | (kopf[11] << 8);
  if (!BekannteVersion(k.version)) {
    ::close(fd);
    grund = "die Datei ist keine dBASE-Tabelle";
    return false;
  }
  if (k.kopfLaenge < 32 + 32 + 1) {
    ::close(fd);
    grund = "die Tabelle enthält keine Felder";
    return false;
  }
  if (k.kopfLaenge > groesse) {
    ::close(fd);
    grund = "der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten)";
    return false;
  }
  kopf.resize(k.kopfLaenge);
  const ssize_t bytes = ::pread(fd, kopf.data(), k.kopfLaenge, 0);
  ::close(fd);
  if (bytes != static_cast<ssize_t>(k.kopfLaenge)) {
    grund = "der Tabellenkopf kann nicht gelesen werden";
    return false;
  }

  // Descriptors follow in 32-byte blocks until the 0x0D terminator.
  uint32_t pos = 32;
  int summe = 1;
  while (true) {
    if (pos >= k.kopfLaenge) {
      grund = "die Feldbeschreibungen im Tabellenkopf sind unvollständig";
      return false;
    }
    if (kopf[pos] == 0x0D) break;
    if (pos + 32 > k.kopfLaenge) {
      grund = "die Feldbeschreibungen im Tabellenkopf sind unvollständig";
      return false;
    }
    Feld f;
    const unsigned char* d = &kopf[pos];
    size_t n = 0;
    while (n < 11 && d[n] != 0) ++n;
    f.name.assign(reinterpret_cast<const char*>(d), n);
    f.typ = static_cast<char>(d[11]);
    f.breite = d[16];
    f.dezimal = (f.typ == 'N' || f.typ == 'F') ? d[17] : 0;
    f.versatz = summe;
    f.shpIndex = static_cast<int>(k.alle.size());
    if (f.breite == 0) {
      grund = "das Feld Nr. " + std::to_string(k.alle.size() + 1) + " hat die Breite 0";
      return false;
    }
    summe += f.breite;
    k.alle.push_back(f);
    pos += 32;
  }
  if (k.alle.empty()) {
    grund = "die Tabelle enthält keine Felder";
    return false;
  }
  if (static_cast<uint32_t>(summe) != k.satzLaenge) {
    grund = "die Satzlänge im Tabellenkopf (" + std::to_string(k.satzLaenge) +
            ") passt nicht zu den Feldern (" + std::to_string(summe) + ")";
    return false;
  }
  const uint64_t noetig = static_cast<uint64_t>(k.kopfLaenge) +
                          static_cast<uint64_t>(k.saetze) * k.satzLaenge;
  if (noetig > groesse) {
    uint64_t vorhanden = (groesse - k.kopfLaenge) / k.satzLaenge;
    grund = "der Tabellenkopf nennt " + std::to_string(k.saetze) +
            " Datensätze, die Datei enthält aber nur " + std::to_string(vorhanden);
    return false;
  }
  if (k.saetze > static_cast<uint32_t>(std::numeric_limits<int>::max())) {
    grund = "die Tabelle hat zu viele Datensätze";
    return false;
  }
  for (size_t i = 0; i < k.alle.size(); ++i) {
    const Feld& f = k.alle[i];
    if (gelesen > 0 && static_cast<int>(i) >= gelesen) break;
    if (!Lesbar(f, k.version)) {
      grund = "das Feld \"" + AusCp1252(f.name) + "\" hat den Typ " + Typname(f.typ) +
              ", den dieses Programm nicht lesen kann";
      return false;
    }
  }
  return true;
}

// shapelib's reading of the header must agree with ours before we trust it.
bool StimmtUeberein(DBFHandle h, const Kopf& k) {
  if (h->nFields != static_cast<int>(k.alle.size()) || h->nRecords != static_cast<int>(k.saetze) ||
      h->nRecordLength != static_cast<int>(k.satzLaenge))
    return false;
  for (int i = 0; i < h->nFields; ++i) {
    if (h->panFieldSize[i] != k.alle[i].breite || h->panFieldOffset[i] != k.alle[i].versatz)
      return false;
  }
  return true;
}

// ---- Number texts -------------------------------------------------------------

std::string_view OhneLeerzeichen(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\0')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.remove_suffix(1);
  return t;
}

std::optional<double> ZahlAusText(std::string_view t) {
  t = OhneLeerzeichen(t);
  if (t.empty()) return std::nullopt;
  if (auto v = ParseZahl(t)) return v;
  // Tables written under a German locale carry a decimal comma.
  if (t.find(',') != std::string_view::npos && t.find('.') == std::string_view::npos) {
    std::string mitPunkt(t);
    for (char& c : mitPunkt)
      if (c == ',') c = '.';
    return ParseZahl(mitPunkt);
  }
  return std::nullopt;
}

std::optional<long long> GanzzahlAusWert(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  // Ties to even, as the table engines' integer access rounds.
  double r = std::nearbyint(v);
  if (r < -9.2e18 || r > 9.2e18) return std::nullopt;
  return static_cast<long long>(r);
}

bool Passt(const char* anfang, std::to_chars_result r, int breite, std::string& aus) {
  if (r.ec != std::errc() || r.ptr - anfang > breite) return false;
  aus.assign(anfang, static_cast<size_t>(r.ptr - anfang));
  return true;
}

// The shortest text that reads back as exactly `wert` (as a float when
// `einfach`), preferring fixed notation. A field too narrow for that (only
// other programs' tables have them) gets the value rounded to its declared
// decimals, as any xBase writer stores it. Empty when even that does not fit.
std::string ZahlFuerFeld(double wert, bool einfach, int breite, int dezimal) {
  char b[400];
  std::string aus;
  if (einfach) {
    float f = static_cast<float>(wert);
    if (Passt(b, std::to_chars(b, b + sizeof b, f, std::chars_format::fixed), breite, aus)) return aus;
    if (Passt(b, std::to_chars(b, b + sizeof b, f), breite, aus)) return aus;
  } else {
    if (Passt(b, std::to_chars(b, b + sizeof b, wert, std::chars_format::fixed), breite, aus)) return aus;
    if (Passt(b, std::to_chars(b, b + sizeof b, wert), breite, aus)) return aus;
  }
  if (Passt(b, std::to_chars(b, b + sizeof b, wert, std::chars_format::fixed, dezimal), breite, aus))
    return aus;
  return {};
}

// xBase names: at most 10 bytes, unique (case-insensitive) within the table.
std::string KurzerName(const std::string& gewuenscht, int position, const std::vector<std::string>& vorige) {
  std::string name = ZuCp1252(gewuenscht);
  if (name.empty()) name = "FELD" + std::to_string(position + 1);
  if (name.size() > 10) name.resize(10);
  auto vergeben = [&](const std::string& n) {
    for (const std::string& v : vorige)
      if (strcasecmp(v.c_str(), n.c_str()) == 0) return true;
    return false;
  };
  const std::string basis = name;
  for (int ziffer = 1; vergeben(name); ++ziffer) {
    std::string endung = std::to_string(ziffer);
    name = basis.substr(0, std::min(basis.size(), 10 - endung.size())) + endung;
  }
  return name;
}

void HeutigesDatum(int& jahr, int& monat, int& tag) {
  std::time_t jetzt = std::time(nullptr);
  std::tm t{};
  localtime_r(&jetzt, &t);
  jahr = t.tm_year;
  monat = t.tm_mon + 1;
  tag = t.tm_mday;
}

bool KopiereDatei(const std::string& von, const std::string& nach, int& fehlerNr) {
  int ein = ::open(von.c_str(), O_RDONLY | O_CLOEXEC);
  if (ein < 0) {
    fehlerNr = errno;
    return false;
  }
  int aus = ::open(nach.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (aus < 0) {
    fehlerNr = errno;
    ::close(ein);
    return false;
  }
  char puffer[65536];
  bool gut = true;
  while (gut) {
    ssize_t n = ::read(ein, puffer, sizeof puffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      fehlerNr = errno;
      gut = false;
      break;
    }
    if (n == 0) break;
    for (ssize_t geschrieben = 0; geschrieben < n;) {
      ssize_t w = ::write(aus, puffer + geschrieben, static_cast<size_t>(n - geschrieben));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        fehlerNr = errno;
        gut = false;
        break;
      }
      geschrieben += w;
    }
  }
  ::close(ein);
  if (::close(aus) != 0 && gut) {
    fehlerNr = errno;
    gut = false;
  }
  if (!gut) ::unlink(nach.c_str());
  return gut;
}

bool SchreibeCpg(const std::string& pfad, int& fehlerNr) {
  int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    fehlerNr = errno;
    return false;
  }
  bool gut = ::write(fd, "1252", 4) == 4 && ::fsync(fd) == 0;
  if (!gut) fehlerNr = errno != 0 ? errno : EIO;
  if (::close(fd) != 0 && gut) {
    fehlerNr = errno;
    gut = false;
  }
  return gut;
}

void SynchronisiereVerzeichnis(const std::string& datei) {
  int fd = ::open(Verzeichnisteil(datei).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename itself is already atomic
  ::close(fd);
}

}  // namespace

// ---- The table -----------------------------------------------------------------

struct DbfTabelle::Impl {
  DBFHandle h = nullptr;
  EaZustand ea;
  uint8_t version = 0;
  std::string ziel;       // the file the user named
  std::string arbeit;     // the file shapelib works on: `ziel` when reading, else a temporary file
  std::string cpgArbeit;  // temporary ".cpg" of a new table; empty otherwise
  bool schreibend = false;
  int gelesen = 0;           // fields read: the first `gelesen`, or all for 0
  std::vector<Feld> felder;  // the visible fields (FoxPro's hidden null flags left out)
  std::vector<int> saetze;   // physical record of each record that is not deleted
  std::string ersterFehler;  // reason of the first failed write; empty while all went well

  // Notes why a write failed (a system error outranks our own reason).
  bool Misserfolg(const std::string& grund) {
    if (ersterFehler.empty()) ersterFehler = ea.fehlerNr != 0 ? Systemgrund(ea.fehlerNr) : grund;
    return false;
  }

  // Checks that a cell can be written at all.
  bool Schreibbar(int satz, int feld) {
    if (!schreibend || h == nullptr) return Misserfolg("die Tabelle ist nur zum Lesen geöffnet");
    if (!GueltigeZelle(satz, feld))
      return Misserfolg("Datensatz " + std::to_string(satz + 1) + ", Feld " + std::to_string(feld + 1) +
                        " gibt es nicht");
    return true;
  }

  std::string Feldangabe(const Feld& f) const { return "das Feld \"" + AusCp1252(f.name) + "\""; }

  ~Impl() {
    if (h != nullptr) DBFClose(h);
    if (schreibend) {
      if (!arbeit.empty()) ::unlink(arbeit.c_str());
      if (!cpgArbeit.empty()) ::unlink(cpgArbeit.c_str());
    }
  }

  bool GueltigeZelle(int satz, int feld) const {
    return h != nullptr && satz >= 0 && satz < static_cast<int>(saetze.size()) && feld >= 0 &&
           feld < static_cast<int>(felder.size());
  }

  bool Binaer(const Feld& f) const { return f.typ == 'I' || f.typ == 'B' || f.typ == 'Y'; }

  // The raw bytes of one cell (binary fields) from the record.
  bool RoheBytes(int satz, const Feld& f, unsigned char* ziel8) const {
    const char* satzDaten = DBFReadTuple(h, saetze[satz]);
    if (satzDaten == nullptr) return false;
    std::memcpy(ziel8, satzDaten + f.versatz, static_cast<size_t>(f.breite));
    return true;
  }

  // The text of a number-like cell, copied at once (shapelib reuses its buffer).
  std::string Zellentext(int satz, const Feld& f) const {
    const char* s = DBFReadStringAttribute(h, saetze[satz], f.shpIndex);
    return s != nullptr ? std::string(s) : std::string();
  }

  std::optional<double> BinaerWert(int satz, const Feld& f) const {
    unsigned char b[8] = {};
    if (!RoheBytes(satz, f, b)) return std::nullopt;
    // FoxPro stores these little-endian.
    if (f.typ == 'I') {
      uint32_t u = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
      return static_cast<double>(static_cast<int32_t>(u));
    }
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[i];
    if (f.typ == 'Y') return static_cast<double>(static_cast<int64_t>(u)) / 10000.0;
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
  }

  bool SchreibeBinaer(int satz, const Feld& f, double wert) {
    const char* alt = DBFReadTuple(h, saetze[satz]);
    if (alt == nullptr) return false;
    std::vector<char> neu(alt, alt + h->nRecordLength);
    uint64_t u = 0;
    int laenge = 8;
    if (f.typ == 'I') {
      auto g = GanzzahlAusWert(wert);
      if (!g || *g < std::numeric_limits<int32_t>::min() || *g > std::numeric_limits<int32_t>::max())
        return false;
      u = static_cast<uint32_t>(static_cast<int32_t>(*g));
      laenge = 4;
    } else if (f.typ == 'Y') {
      auto g = GanzzahlAusWert(wert * 10000.0);
      if (!g) return false;
      u = static_cast<uint64_t>(*g);
    } else {
      std::memcpy(&u, &wert, sizeof u);
    }
    for (int i = 0; i < laenge; ++i) neu[f.versatz + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return DBFWriteTuple(h, saetze[satz], neu.data()) != 0;
  }

  // Writes the number text right-aligned into a numeric field (left-aligned
  // into a text field).
  bool SchreibeZahltext(int satz, const Feld& f, const std::string& text) {
    if (static_cast<int>(text.size()) > f.breite) return false;
    std::string zelle = text;
    if (f.typ == 'N' || f.typ == 'F') zelle.insert(0, static_cast<size_t>(f.breite) - text.size(), ' ');
    return DBFWriteAttributeDirectly(h, saetze[satz], f.shpIndex, zelle.data()) != 0;
  }

  bool SchreibeWert(int satz, int feld, double wert, bool einfach) {
    if (!Schreibbar(satz, feld)) return false;
    const Feld& f = felder[feld];
    if (Binaer(f)) {
      if (SchreibeBinaer(satz, f, wert)) return true;
      return Misserfolg("der Wert " + KuerzesterText(static_cast<float>(wert)) + " passt nicht in " + Feldangabe(f));
    }
    if (f.typ != 'N' && f.typ != 'F' && f.typ != 'C')
      return Misserfolg("in " + Feldangabe(f) + " (Typ " + Typname(f.typ) + ") lassen sich keine Zahlen schreiben");
    std::string text;
    if (std::isfinite(wert)) {
      text = ZahlFuerFeld(wert, einfach, f.breite, f.dezimal);
      if (text.empty())
        return Misserfolg("der Wert " + KuerzesterText(static_cast<float>(wert)) + " passt nicht in " + Feldangabe(f));
      // "50.0" rather than "50" in a field with decimals, so readers that
      // type each value by its text see a float column throughout.
      if (f.dezimal > 0 && f.typ != 'C' && text.find_first_of(".e") == std::string::npos &&
          static_cast<int>(text.size()) + 2 <= f.breite)
        text += ".0";
    }
    // No number text for NaN or infinity: the cell stays blank (no value).
    if (!SchreibeZahltext(satz, f, text)) return Misserfolg(Systemgrund(EIO));
    return true;
  }

  // Opens `arbeit` (read-only or for update) after checking its header;
  // fills the field list and the record map.
  bool OeffneGeprueft(const char* modus, std::string& grund) {
    Kopf k;
    if (!LiesKopf(arbeit, k, grund, gelesen)) return false;
    {
      HakenBindung bindung(arbeit, &ea);
      SAHooks haken = Haken();
      h = DBFOpenLL(arbeit.c_str(), modus, &haken);
    }
    if (h == nullptr) {
      grund = tl_oeffnenFehler != 0 ? Systemgrund(tl_oeffnenFehler) : "der Tabellenkopf ist fehlerhaft";
      return false;
    }
    if (!StimmtUeberein(h, k)) {
      grund = "der Tabellenkopf ist fehlerhaft";
      return false;
    }
    version = k.version;
    for (const Feld& f : k.alle)
      if (f.typ != '0') felder.push_back(f);
    if (felder.empty()) {
      grund = "die Tabelle enthält keine Felder";
      return false;
    }
    saetze.reserve(k.saetze);
    for (int i = 0; i < static_cast<int>(k.saetze); ++i)
      if (!DBFIsRecordDeleted(h, i)) saetze.push_back(i);
    return true;
  }
};

DbfTabelle::DbfTabelle(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DbfTabelle::~DbfTabelle() = default;

std::unique_ptr<DbfTabelle> DbfTabelle::Oeffnen(const std::string& pfad, std::string& fehler, int gelesen) {
  auto t = std::make_unique<Impl>();
  t->ziel = t->arbeit = pfad;
  t->gelesen = gelesen;
  std::string grund;
  if (!t->OeffneGeprueft("rb", grund)) {
    fehler = OeffnenFehler(pfad, grund);
    return nullptr;
  }
  return std::unique_ptr<DbfTabelle>(new DbfTabelle(std::move(t)));
}

std::unique_ptr<DbfTabelle> DbfTabelle::Aendern(const std::string& pfad, std::string& fehler, int gelesen) {
  auto t = std::make_unique<Impl>();
  t->ziel = AufgeloesterPfad(pfad);
  t->gelesen = gelesen;
  std::string grund;
  Kopf k;
  if (!LiesKopf(t->ziel, k, grund, gelesen)) {
    fehler = OeffnenFehler(pfad, grund);
    return nullptr;
  }
  t->arbeit = TemporaererPfad(t->ziel);
  int nr = 0;
  if (!KopiereDatei(t->ziel, t->arbeit, nr)) {
    t->arbeit.clear();
    fehler = SpeichernFehler(pfad, Systemgrund(nr));
    return nullptr;
  }
  t->schreibend = true;
  if (!t->OeffneGeprueft("rb+", grund)) {
    fehler = OeffnenFehler(pfad, grund);
    return nullptr;
  }
  int jahr, monat, tag;
  HeutigesDatum(jahr, monat, tag);
  DBFSetLastModifiedDate(t->h, jahr, monat, tag);
  return std::unique_ptr<DbfTabelle>(new DbfTabelle(std::move(t)));
}

std::unique_ptr<DbfTabelle> DbfTabelle::Erzeugen(const std::string& pfad,
                                                 const std::vector<Felddefinition>& felder,
                                                 std::string& fehler) {
  if (felder.empty()) {
    fehler = SpeichernFehler(pfad, "die Tabelle hat keine Felder");
    return nullptr;
  }
  auto t = std::make_unique<Impl>();
  t->ziel = AufgeloesterPfad(pfad);
  t->arbeit = TemporaererPfad(t->ziel);
  t->schreibend = true;
  {
    HakenBindung bindung(t->arbeit, &t->ea);
    SAHooks haken = Haken();
    t->h = DBFCreateLL(t->arbeit.c_str(), "LDID/87", &haken);
  }
  if (t->h == nullptr) {
    int nr = tl_oeffnenFehler != 0 ? tl_oeffnenFehler : EIO;
    fehler = SpeichernFehler(pfad, Systemgrund(nr));
    return nullptr;
  }
  t->version = 0x03;
  std::vector<std::string> namen;
  int versatz = 1;
  for (size_t i = 0; i < felder.size(); ++i) {
    const Felddefinition& d = felder[i];
    Feld f;
    f.name = KurzerName(d.name, static_cast<int>(i), namen);
    switch (d.typ) {
      case Feldtyp::Ganzzahl: f.typ = 'N'; f.breite = 11; f.dezimal = 0; break;
      case Feldtyp::Gleitkomma: f.typ = 'N'; f.breite = 20; f.dezimal = 10; break;
      case Feldtyp::Text:
        f.typ = 'C';
        f.breite = d.laenge <= 0 ? 254 : std::min(d.laenge, 254);
        break;
    }
    f.versatz = versatz;
    f.shpIndex = static_cast<int>(i);
    if (DBFAddNativeFieldType(t->h, f.name.c_str(), f.typ, f.breite, f.dezimal) < 0) {
      fehler = SpeichernFehler(pfad, "das Feld \"" + d.name + "\" kann nicht angelegt werden");
      return nullptr;
    }
    versatz += f.breite;
    namen.push_back(f.name);
    t->felder.push_back(f);
  }
  int jahr, monat, tag;
  HeutigesDatum(jahr, monat, tag);
  DBFSetLastModifiedDate(t->h, jahr, monat, tag);
  t->cpgArbeit = TemporaererPfad(CpgPfad(t->ziel));
  return std::unique_ptr<DbfTabelle>(new DbfTabelle(std::move(t)));
}

int DbfTabelle::Datensaetze() const { return static_cast<int>(impl_->saetze.size()); }

int DbfTabelle::Felder() const { return static_cast<int>(impl_->felder.size()); }

std::string DbfTabelle::Feldname(int feld) const {
  if (feld < 0 || feld >= Felder()) return {};
  return AusCp1252(impl_->felder[feld].name);
}

bool DbfTabelle::IstLeer(int satz, int feld) const {
  if (!impl_->GueltigeZelle(satz, feld)) return true;
  const Feld& f = impl_->felder[feld];
  if (impl_->Binaer(f)) return false;
  return OhneLeerzeichen(impl_->Zellentext(satz, f)).empty();
}

std::optional<long long> DbfTabelle::LiesGanzzahl(int satz, int feld) const {
  if (!impl_->GueltigeZelle(satz, feld)) return std::nullopt;
  const Feld& f = impl_->felder[feld];
  if (f.typ == 'I') {
    auto v = impl_->BinaerWert(satz, f);
    return v ? std::optional<long long>(static_cast<long long>(*v)) : std::nullopt;
  }
  if (impl_->Binaer(f)) {
    auto v = impl_->BinaerWert(satz, f);
    return v ? GanzzahlAusWert(*v) : std::nullopt;
  }
  std::string text = impl_->Zellentext(satz, f);
  if (auto g = ParseGanzzahl(OhneLeerzeichen(text))) return g;
  auto v = ZahlAusText(text);
  return v ? GanzzahlAusWert(*v) : std::nullopt;
}

std::optional<double> DbfTabelle::LiesZahl(int satz, int feld) const {
  if (!impl_->GueltigeZelle(satz, feld)) return std::nullopt;
  const Feld& f = impl_->felder[feld];
  if (impl_->Binaer(f)) return impl_->BinaerWert(satz, f);
  return ZahlAusText(impl_->Zellentext(satz, f));
}

std::string DbfTabelle::LiesText(int satz, int feld) const {
  if (!impl_->GueltigeZelle(satz, feld)) return {};
  const Feld& f = impl_->felder[feld];
  if (impl_->Binaer(f)) {
    auto v = impl_->BinaerWert(satz, f);
    if (!v) return {};
    char b[64];
    auto r = std::to_chars(b, b + sizeof b, *v);
    return std::string(b, r.ptr);
  }
  if (f.typ != 'C') return std::string(OhneLeerzeichen(impl_->Zellentext(satz, f)));
  // Text straight from the record, so leading blanks survive.
  const char* satzDaten = DBFReadTuple(impl_->h, impl_->saetze[satz]);
  if (satzDaten == nullptr) return {};
  std::string_view zelle(satzDaten + f.versatz, static_cast<size_t>(f.breite));
  size_t nul = zelle.find('\0');
  if (nul != std::string_view::npos) zelle = zelle.substr(0, nul);
  while (!zelle.empty() && zelle.back() == ' ') zelle.remove_suffix(1);
  return AusCp1252(zelle);
}

int DbfTabelle::Anhaengen() {
  Impl& t = *impl_;
  if (!t.schreibend || t.h == nullptr) {
    t.Misserfolg("die Tabelle ist nur zum Lesen geöffnet");
    return -1;
  }
  int neu = DBFGetRecordCount(t.h);
  std::vector<char> satz(static_cast<size_t>(t.h->nRecordLength), ' ');
  for (const Feld& f : t.felder)
    if (t.Binaer(f)) std::memset(satz.data() + f.versatz, 0, static_cast<size_t>(f.breite));
  if (!DBFWriteTuple(t.h, neu, satz.data())) {
    t.Misserfolg(Systemgrund(EIO));
    return -1;
  }
  t.saetze.push_back(neu);
  return static_cast<int>(t.saetze.size()) - 1;
}

bool DbfTabelle::SchreibeGanzzahl(int satz, int feld, long long wert) {
  Impl& t = *impl_;
  if (!t.Schreibbar(satz, feld)) return false;
  const Feld& f = t.felder[feld];
  const std::string text = std::to_string(wert);
  if (t.Binaer(f)) {
    if (t.SchreibeBinaer(satz, f, static_cast<double>(wert))) return true;
    return t.Misserfolg("der Wert " + text + " passt nicht in " + t.Feldangabe(f));
  }
  if (f.typ != 'N' && f.typ != 'F' && f.typ != 'C')
    return t.Misserfolg("in " + t.Feldangabe(f) + " (Typ " + Typname(f.typ) + ") lassen sich keine Zahlen schreiben");
  if (static_cast<int>(text.size()) > f.breite)
    return t.Misserfolg("der Wert " + text + " passt nicht in " + t.Feldangabe(f));
  if (!t.SchreibeZahltext(satz, f, text)) return t.Misserfolg(Systemgrund(EIO));
  return true;
}

bool DbfTabelle::SchreibeZahl(int satz, int feld, float wert) {
  return impl_->SchreibeWert(satz, feld, static_cast<double>(wert), true);
}

bool DbfTabelle::SchreibeZahl(int satz, int feld, double wert) {
  return impl_->SchreibeWert(satz, feld, wert, false);
}

bool DbfTabelle::SchreibeText(int satz, int feld, const std::string& text) {
  Impl& t = *impl_;
  if (!t.Schreibbar(satz, feld)) return false;
  const Feld& f = t.felder[feld];
  if (f.typ == 'N' || f.typ == 'F' || t.Binaer(f)) {
    // A number field takes a text only when it is a number, or blank.
    if (OhneLeerzeichen(text).empty() && !t.Binaer(f)) {
      if (!t.SchreibeZahltext(satz, f, std::string())) return t.Misserfolg(Systemgrund(EIO));
      return true;
    }
    auto v = ZahlAusText(text);
    if (!v) return t.Misserfolg("\"" + text + "\" ist keine Zahl für " + t.Feldangabe(f));
    return t.SchreibeWert(satz, feld, *v, false);
  }
  std::string bytes = ZuCp1252(text);
  // A NUL would end the text early for shapelib; the field is blank-padded anyway.
  for (char& c : bytes)
    if (c == '\0') c = ' ';
  if (static_cast<int>(bytes.size()) > f.breite) bytes.resize(static_cast<size_t>(f.breite));
  bytes.append(static_cast<size_t>(f.breite) - bytes.size(), ' ');
  if (DBFWriteAttributeDirectly(t.h, t.saetze[satz], f.shpIndex, bytes.data()) == 0)
    return t.Misserfolg(Systemgrund(EIO));
  return true;
}

bool DbfTabelle::Schliessen(std::string& fehler) {
  Impl& t = *impl_;
  if (t.h != nullptr) {
    DBFClose(t.h);
    t.h = nullptr;
  }
  if (!t.schreibend) return true;

  auto scheitern = [&](int nr) {
    fehler = SpeichernFehler(t.ziel, Systemgrund(nr));
    ::unlink(t.arbeit.c_str());
    if (!t.cpgArbeit.empty()) ::unlink(t.cpgArbeit.c_str());
    t.arbeit.clear();
    t.cpgArbeit.clear();
    t.schreibend = false;
    return false;
  };
  if (t.ea.fehlerNr != 0) return scheitern(t.ea.fehlerNr);

  // The new file takes over the permissions of the one it replaces.
  struct stat alt;
  if (::stat(t.ziel.c_str(), &alt) == 0) ::chmod(t.arbeit.c_str(), alt.st_mode & 07777);

  int nr = 0;
  if (!t.cpgArbeit.empty()) {
    if (!SchreibeCpg(t.cpgArbeit, nr)) return scheitern(nr);
    if (::rename(t.cpgArbeit.c_str(), CpgPfad(t.ziel).c_str()) != 0) return scheitern(errno);
    t.cpgArbeit.clear();
  }
  if (::rename(t.arbeit.c_str(), t.ziel.c_str()) != 0) return scheitern(errno);
  t.arbeit.clear();
  t.schreibend = false;
  SynchronisiereVerzeichnis(t.ziel);
  return true;
}

std::string DbfTabelle::Verwerfen() {
  Impl& t = *impl_;
  if (t.h != nullptr) {
    DBFClose(t.h);
    t.h = nullptr;
  }
  std::string grund = t.ea.fehlerNr != 0 ? Systemgrund(t.ea.fehlerNr) : t.ersterFehler;
  if (grund.empty()) grund = "das Speichern wurde abgebrochen";
  if (t.schreibend) {
    ::unlink(t.arbeit.c_str());
    if (!t.cpgArbeit.empty()) ::unlink(t.cpgArbeit.c_str());
    t.arbeit.clear();
    t.cpgArbeit.clear();
    t.schreibend = false;
  }
  return SpeichernFehler(t.ziel, grund);
}

bool DbfTabelle::SpeichernBeenden(bool gut, std::string& fehler) {
  if (!gut) {
    fehler = Verwerfen();
    return false;
  }
  return Schliessen(fehler);
}

}  // namespace terval
