#include "tables/ParadoxTabelle.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "model/Systemgrund.h"
#include "model/Zahltext.h"

extern "C" {
#include <paradox.h>
}

namespace terval {

namespace fs = std::filesystem;

namespace {

// The library reports its errors through a callback; we collect the texts
// instead of letting it print them.
void Fehlersammler(pxdoc_t*, int, const char* meldung, void* daten) {
  auto* text = static_cast<std::string*>(daten);
  if (!text->empty()) *text += "; ";
  *text += meldung;
}

// One library document with its collected error texts.
struct Dokument {
  std::string meldungen;
  pxdoc_t* px = nullptr;
  bool offen = false;

  Dokument() {
    static std::once_flag start;
    std::call_once(start, [] { PX_boot(); });
    px = PX_new3(Fehlersammler, nullptr, nullptr, nullptr, &meldungen);
  }
  ~Dokument() {
    if (!px) return;
    if (offen) PX_close(px);
    PX_delete(px);
  }
  Dokument(const Dokument&) = delete;
  Dokument& operator=(const Dokument&) = delete;
};

// Text in one code page to another; std::nullopt when a character has no
// counterpart.
std::optional<std::string> Umkodieren(const std::string& text, const char* von, const char* nach) {
  if (text.empty()) return std::string();
  iconv_t cd = iconv_open(nach, von);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string ein = text;
  std::string aus(ein.size() * 4 + 16, '\0');
  char* ep = ein.data();
  size_t erest = ein.size();
  char* ap = aus.data();
  size_t arest = aus.size();
  size_t r = iconv(cd, &ep, &erest, &ap, &arest);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  aus.resize(aus.size() - arest);
  return aus;
}

std::string Codepagename(int codepage) {
  if (codepage <= 0) return "CP1252";
  return "CP" + std::to_string(codepage);
}

std::string KuerzesterDoubleText(double wert) {
  char puffer[64];
  auto r = std::to_chars(puffer, puffer + sizeof puffer, wert);
  return std::string(puffer, r.ptr);
}

// A temporary file beside `pfad` (same directory, so a rename replaces the
// target atomically). Empty on failure.
std::string TempDatei(const std::string& pfad) {
  std::string muster = pfad + ".~XXXXXX";
  int fd = mkstemp(muster.data());
  if (fd < 0) return {};
  close(fd);
  return muster;
}

// The permissions a new file gets from the process's file mode mask.
fs::perms NeueRechte() {
  mode_t maske = umask(0);
  umask(maske);
  return static_cast<fs::perms>(0666 & ~maske);
}

// Walks the header and the chain of data blocks before the library sees the
// file: the library follows the chain without bounds, so a block number
// outside the file or a chain that runs in a circle would hang or misread it.
// Layout: record size (u16 at 0), header size (u16 at 2), block size in KB
// (u8 at 5), records (u32 at 6), blocks in the file (u16 at 12), first block
// (u16 at 14), the key of an encrypted table (u32 at 0x25, 0xFF00FF00 for
// none; from format 4.0 on, version byte 0x39 >= 5, also u32 at 0x5C);
// block n starts at header size + (n - 1) * block size with a 6-byte head:
// next block (u16), previous block (u16), offset of its last record (s16;
// -record size for an empty block). The heads of an encrypted table are
// encrypted too, so its chain cannot be checked: such a table is refused.
bool PruefeAufbau(const std::string& pfad, std::string& grund) {
  int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    grund = Systemgrund(errno);
    return false;
  }
  struct stat st {};
  const bool regulaer = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  const uint64_t groesse = regulaer ? static_cast<uint64_t>(st.st_size) : 0;
  auto lies = [&](uint64_t pos, unsigned char* ziel, size_t n) {
    return pos + n <= groesse && ::pread(fd, ziel, n, static_cast<off_t>(pos)) == static_cast<ssize_t>(n);
  };
  auto ende = [&](const std::string& text) {
    ::close(fd);
    grund = text;
    return false;
  };
  if (!regulaer) return ende(S_ISDIR(st.st_mode) ? "der Pfad ist ein Verzeichnis" : "die Datei ist keine gewöhnliche Datei");
  unsigned char k[0x78];
  if (!lies(0, k, sizeof k)) return ende("die Datei ist zu kurz für eine Paradox-Tabelle");
  auto u16 = [](const unsigned char* p) { return static_cast<unsigned>(p[0] | (p[1] << 8)); };
  auto u32 = [](const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  };
  const unsigned satzlaenge = u16(k), kopflaenge = u16(k + 2), blockKB = k[5];
  const uint32_t saetze = u32(k + 6);
  const unsigned bloecke = u16(k + 12);
  if (satzlaenge == 0 || kopflaenge < sizeof k || blockKB < 1 || blockKB > 32)
    return ende("der Tabellenkopf ist fehlerhaft");
  if (kopflaenge > groesse) return ende("der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten)");
  const uint32_t schluessel = u32(k + 0x25);
  if ((schluessel != 0 && schluessel != 0xFF00FF00u) || (k[0x39] >= 5 && u32(k + 0x5C) != 0))
    return ende("die Tabelle ist mit einem Kennwort verschlüsselt; bitte speichern Sie sie ohne Kennwort");
  const uint64_t blockgroesse = blockKB * 1024u;

  uint64_t gezaehlt = 0;
  std::vector<bool> besucht(bloecke + 1, false);
  for (unsigned b = u16(k + 14); b != 0;) {
    if (b > bloecke || besucht[b]) return ende("die Kette der Datenblöcke ist fehlerhaft");
    besucht[b] = true;
    const uint64_t anfang = kopflaenge + (b - 1) * blockgroesse;
    unsigned char kopf[6];
    if (anfang + blockgroesse > groesse || !lies(anfang, kopf, sizeof kopf))
      return ende("ein Datenblock liegt hinter dem Dateiende (die Datei ist abgeschnitten)");
    const int64_t letzter = static_cast<int16_t>(u16(kopf + 4));
    const int64_t laenge = satzlaenge;
    if (letzter < -laenge || letzter % laenge != 0 || letzter + laenge + 6 > static_cast<int64_t>(blockgroesse))
      return ende("ein Datenblock ist fehlerhaft");
    gezaehlt += static_cast<uint64_t>(letzter / laenge + 1);
    b = u16(kopf);
  }
  ::close(fd);
  if (gezaehlt != saetze) {
    grund = "der Tabellenkopf nennt " + std::to_string(saetze) + " Datensätze, die Datenblöcke enthalten aber " +
            std::to_string(gezaehlt);
    return false;
  }
  return true;
}

// Whether a field's width fits its type, for the types this layer decodes
// (others are never decoded and may have any width).
bool PassendeLaenge(int typ, int laenge) {
  switch (typ) {
    case pxfShort: return laenge == 2;
    case pxfLong:
    case pxfAutoInc: return laenge == 4;
    case pxfNumber:
    case pxfCurrency: return laenge == 8;
    case pxfBCD: return laenge == 17;
    case pxfAlpha: return laenge >= 1 && laenge <= 255;
    default: return laenge >= 0;
  }
}

}  // namespace

struct ParadoxTabelle::Impl {
  enum class Modus { Lesen, Aendern, Erzeugen };

  struct Feld {
    std::string name;  // UTF-8
    int typ = 0;       // pxf* field type
    int laenge = 0;    // bytes in the record
    int nachkomma = 0; // decimals of a BCD field
    int versatz = 0;   // offset in the record
  };

  Modus modus = Modus::Lesen;
  std::string pfad;
  Dokument kodierer;  // field conversions; for Erzeugen never opened
  std::vector<Feld> felder;
  int satzlaenge = 0;
  std::string codepage = "CP1252";
  int schluesselfelder = 0;     // leading fields of the primary index
  bool verschluesselt = false;
  std::vector<std::vector<char>> saetze;
  std::vector<long> positionen;  // file offset of each record (Aendern)
  std::vector<bool> geaendert;

  const char* Zelle(int satz, int feld) const { return saetze[satz].data() + felder[feld].versatz; }
  char* Zelle(int satz, int feld) { return saetze[satz].data() + felder[feld].versatz; }

  bool Gueltig(int satz, int feld) const {
    return satz >= 0 && satz < static_cast<int>(saetze.size()) && feld >= 0 &&
           feld < static_cast<int>(felder.size());
  }

  bool Leer(int satz, int feld) const {
    const char* p = Zelle(satz, feld);
    for (int i = 0; i < felder[feld].laenge; ++i)
      if (p[i] != 0) return false;
    return true;
  }

  std::string Alpha(int satz, int feld) const {
    const char* p = Zelle(satz, feld);
    int n = 0;
    while (n < felder[feld].laenge && p[n] != 0) ++n;
    std::string roh(p, n);
    auto utf8 = Umkodieren(roh, codepage.c_str(), "UTF-8");
    return utf8 ? *utf8 : roh;
  }

  bool Schreibbar(int satz, int feld) const {
    if (modus == Modus::Lesen || !Gueltig(satz, feld)) return false;
    // Changing a key field would leave the primary index out of order.
    return feld >= schluesselfelder;
  }

  // Stores the new bytes of a cell; a cell that keeps its bytes does not
  // mark its record as changed.
  void Setze(int satz, int feld, const std::vector<char>& bytes) {
    char* p = Zelle(satz, feld);
    if (std::memcmp(p, bytes.data(), felder[feld].laenge) == 0) return;
    std::memcpy(p, bytes.data(), felder[feld].laenge);
    if (modus == Modus::Aendern) geaendert[satz] = true;
  }

  bool SchreibeZahlText(int satz, int feld, const std::string& text) {
    const Feld& f = felder[feld];
    if (static_cast<int>(text.size()) > f.laenge) return false;
    std::vector<char> bytes(f.laenge, 0);
    std::memcpy(bytes.data(), text.data(), text.size());
    Setze(satz, feld, bytes);
    return true;
  }

  bool SchreibeGanz(int satz, int feld, long long wert) {
    const Feld& f = felder[feld];
    std::vector<char> bytes(f.laenge, 0);
    // The most negative value of each width is the blank pattern, so it is left out.
    switch (f.typ) {
      case pxfShort:
        if (wert < -32767 || wert > 32767) return false;
        PX_put_data_short(kodierer.px, bytes.data(), f.laenge, static_cast<short>(wert));
        break;
      case pxfLong:
      case pxfAutoInc:
        if (wert < -2147483647LL || wert > 2147483647LL) return false;
        PX_put_data_long(kodierer.px, bytes.data(), f.laenge, static_cast<int>(wert));
        break;
      case pxfNumber:
      case pxfCurrency:
        PX_put_data_double(kodierer.px, bytes.data(), f.laenge, static_cast<double>(wert));
        break;
      case pxfAlpha:
        return SchreibeZahlText(satz, feld, std::to_string(wert));
      default:
        return false;
    }
    Setze(satz, feld, bytes);
    return true;
  }

  // Reads the whole table into memory.
  static std::unique_ptr<Impl> Laden(const std::string& pfad, std::string& fehler);

  bool SchreibeDouble(int satz, int feld, double wert, const std::string& text) {
    const Feld& f = felder[feld];
    if (!std::isfinite(wert)) return false;
    switch (f.typ) {
      case pxfNumber:
      case pxfCurrency: {
        std::vector<char> bytes(f.laenge, 0);
        PX_put_data_double(kodierer.px, bytes.data(), f.laenge, wert);
        Setze(satz, feld, bytes);
        return true;
      }
      case pxfShort:
      case pxfLong:
      case pxfAutoInc:
        if (std::fabs(wert) > 4.0e18) return false;
        return SchreibeGanz(satz, feld, std::llround(wert));
      case pxfAlpha:
        return SchreibeZahlText(satz, feld, text);
      default:
        return false;
    }
  }
};

ParadoxTabelle::ParadoxTabelle(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ParadoxTabelle::~ParadoxTabelle() = default;

std::unique_ptr<ParadoxTabelle::Impl> ParadoxTabelle::Impl::Laden(const std::string& pfad,
                                                                  std::string& fehler) {
  auto impl = std::make_unique<Impl>();
  impl->pfad = pfad;
  Dokument doc;
  if (!doc.px) {
    fehler = "Die Paradox-Tabelle " + pfad + " kann nicht geöffnet werden (kein Speicher).";
    return nullptr;
  }
  std::string grund;
  if (!PruefeAufbau(pfad, grund)) {
    fehler = "Die Paradox-Tabelle " + pfad + " kann nicht geöffnet werden: " + grund + ".";
    return nullptr;
  }
  if (PX_open_file(doc.px, pfad.c_str()) < 0) {
    fehler = "Die Paradox-Tabelle " + pfad + " kann nicht geöffnet werden: " + doc.meldungen;
    return nullptr;
  }
  doc.offen = true;

  pxhead_t* kopf = doc.px->px_head;
  impl->codepage = Codepagename(kopf ? kopf->px_doscodepage : 0);
  if (kopf && kopf->px_filetype == pxfFileTypIndexDB) impl->schluesselfelder = kopf->px_primarykeyfields;
  impl->verschluesselt = kopf && kopf->px_encryption != 0;

  int nf = PX_get_num_fields(doc.px);
  int versatz = 0;
  for (int i = 0; i < nf; ++i) {
    pxfield_t* f = PX_get_field(doc.px, i);
    if (!f) {
      fehler = "Die Paradox-Tabelle " + pfad + " hat eine unlesbare Felddefinition.";
      return nullptr;
    }
    Feld feld;
    std::string roh = f->px_fname ? f->px_fname : "";
    auto name = Umkodieren(roh, impl->codepage.c_str(), "UTF-8");
    feld.name = name ? *name : roh;
    feld.typ = static_cast<unsigned char>(f->px_ftype);
    feld.laenge = f->px_flen;
    feld.nachkomma = f->px_fdc;
    // The library decodes numbers at their fixed width whatever the header
    // says, so a number field of another width would be read past its end.
    if (!PassendeLaenge(feld.typ, feld.laenge)) {
      fehler = "Die Paradox-Tabelle " + pfad + " kann nicht geöffnet werden: das Feld Nr. " + std::to_string(i + 1) +
               " hat für seinen Typ die ungültige Länge " + std::to_string(feld.laenge) + ".";
      return nullptr;
    }
    feld.versatz = versatz;
    versatz += f->px_flen;
    impl->felder.push_back(feld);
  }
  impl->satzlaenge = PX_get_recordsize(doc.px);
  if (impl->satzlaenge < versatz) {
    fehler = "Die Paradox-Tabelle " + pfad + " hat einen fehlerhaften Kopf.";
    return nullptr;
  }

  int n = PX_get_num_records(doc.px);
  impl->saetze.reserve(n > 0 ? n : 0);
  for (int i = 0; i < n; ++i) {
    std::vector<char> satz(impl->satzlaenge, 0);
    int geloescht = 0;
    pxdatablockinfo_t info{};
    if (PX_get_record2(doc.px, i, satz.data(), &geloescht, &info) == nullptr) {
      fehler = "Die Paradox-Tabelle " + pfad + " kann nicht gelesen werden (Datensatz " +
               std::to_string(i + 1) + "): " + doc.meldungen;
      return nullptr;
    }
    impl->saetze.push_back(std::move(satz));
    impl->positionen.push_back(info.recordpos);
  }
  impl->geaendert.assign(impl->saetze.size(), false);
  return impl;
}

std::unique_ptr<ParadoxTabelle> ParadoxTabelle::Oeffnen(const std::string& pfad, std::string& fehler) {
  auto impl = Impl::Laden(pfad, fehler);
  if (!impl) return nullptr;
  impl->modus = Impl::Modus::Lesen;
  return std::unique_ptr<ParadoxTabelle>(new ParadoxTabelle(std::move(impl)));
}

std::unique_ptr<ParadoxTabelle> ParadoxTabelle::Aendern(const std::string& pfad, std::string& fehler) {
  auto impl = Impl::Laden(pfad, fehler);
  if (!impl) return nullptr;
  if (impl->verschluesselt) {
    fehler = "Die Paradox-Tabelle " + pfad + " ist verschlüsselt und kann nicht geändert werden.";
    return nullptr;
  }
  impl->modus = Impl::Modus::Aendern;
  return std::unique_ptr<ParadoxTabelle>(new ParadoxTabelle(std::move(impl)));
}

std::unique_ptr<ParadoxTabelle> ParadoxTabelle::Erzeugen(const std::string& pfad,
                                                         const std::vector<Felddefinition>& felder,
                                                         std::string& fehler) {
  auto impl = std::make_unique<Impl>();
  impl->pfad = pfad;
  impl->modus = Impl::Modus::Erzeugen;
  if (felder.empty()) {
    fehler = "Eine Paradox-Tabelle braucht mindestens ein Feld (" + pfad + ").";
    return nullptr;
  }
  int versatz = 0;
  for (const auto& d : felder) {
    Impl::Feld f;
    f.name = d.name.substr(0, 25);
    switch (d.typ) {
      case Feldtyp::Ganzzahl: f.typ = pxfLong; f.laenge = 4; break;
      case Feldtyp::Gleitkomma: f.typ = pxfNumber; f.laenge = 8; break;
      case Feldtyp::Text: f.typ = pxfAlpha; f.laenge = d.laenge > 0 ? d.laenge : 40; break;
    }
    if (f.laenge > 255) {
      fehler = "Das Textfeld " + d.name + " ist für eine Paradox-Tabelle zu lang (höchstens 255 Zeichen).";
      return nullptr;
    }
    if (!Umkodieren(f.name, "UTF-8", "CP1252")) {
      fehler = "Der Feldname " + d.name + " lässt sich nicht in Windows-1252 schreiben.";
      return nullptr;
    }
    f.versatz = versatz;
    versatz += f.laenge;
    impl->felder.push_back(f);
  }
  impl->satzlaenge = versatz;
  return std::unique_ptr<ParadoxTabelle>(new ParadoxTabelle(std::move(impl)));
}

int ParadoxTabelle::Datensaetze() const { return static_cast<int>(impl_->saetze.size()); }
int ParadoxTabelle::Felder() const { return static_cast<int>(impl_->felder.size()); }

std::string ParadoxTabelle::Feldname(int feld) const {
  if (feld < 0 || feld >= Felder()) return {};
  return impl_->felder[feld].name;
}

bool ParadoxTabelle::IstLeer(int satz, int feld) const {
  if (!impl_->Gueltig(satz, feld)) return true;
  return impl_->Leer(satz, feld);
}

std::optional<double> ParadoxTabelle::LiesZahl(int satz, int feld) const {
  const Impl& t = *impl_;
  if (!t.Gueltig(satz, feld) || t.Leer(satz, feld)) return std::nullopt;
  const Impl::Feld& f = t.felder[feld];
  char* p = const_cast<char*>(t.Zelle(satz, feld));
  pxdoc_t* px = t.kodierer.px;
  switch (f.typ) {
    case pxfShort: {
      short s = 0;
      if (PX_get_data_short(px, p, f.laenge, &s) <= 0) return std::nullopt;
      return s;
    }
    case pxfLong:
    case pxfAutoInc: {
      long l = 0;
      if (PX_get_data_long(px, p, f.laenge, &l) <= 0) return std::nullopt;
      return static_cast<double>(l);
    }
    case pxfNumber:
    case pxfCurrency: {
      double d = 0;
      if (PX_get_data_double(px, p, f.laenge, &d) <= 0) return std::nullopt;
      return d;
    }
    case pxfBCD: {
      char* text = nullptr;
      if (PX_get_data_bcd(px, reinterpret_cast<unsigned char*>(p), f.nachkomma, &text) <= 0 || !text)
        return std::nullopt;
      std::string s = text;
      px->free(px, text);
      return ParseZahl(s);
    }
    case pxfAlpha:
      return ParseZahl(t.Alpha(satz, feld));
    default:
      return std::nullopt;
  }
}

std::optional<long long> ParadoxTabelle::LiesGanzzahl(int satz, int feld) const {
  const Impl& t = *impl_;
  if (!t.Gueltig(satz, feld)) return std::nullopt;
  if (t.felder[feld].typ == pxfAlpha) return ParseGanzzahl(t.Alpha(satz, feld));
  auto z = LiesZahl(satz, feld);
  if (!z || *z != std::floor(*z) || std::fabs(*z) > 9.0e18) return std::nullopt;
  return static_cast<long long>(*z);
}

std::string ParadoxTabelle::LiesText(int satz, int feld) const {
  const Impl& t = *impl_;
  if (!t.Gueltig(satz, feld) || t.Leer(satz, feld)) return {};
  switch (t.felder[feld].typ) {
    case pxfAlpha:
      return t.Alpha(satz, feld);
    case pxfShort:
    case pxfLong:
    case pxfAutoInc: {
      auto g = LiesGanzzahl(satz, feld);
      return g ? std::to_string(*g) : std::string();
    }
    default: {
      auto z = LiesZahl(satz, feld);
      return z ? KuerzesterDoubleText(*z) : std::string();
    }
  }
}

int ParadoxTabelle::Anhaengen() {
  if (impl_->modus != Impl::Modus::Erzeugen) return -1;
  impl_->saetze.emplace_back(impl_->satzlaenge, 0);
  return Datensaetze() - 1;
}

bool ParadoxTabelle::SchreibeGanzzahl(int satz, int feld, long long wert) {
  if (!impl_->Schreibbar(satz, feld)) return false;
  return impl_->SchreibeGanz(satz, feld, wert);
}

bool ParadoxTabelle::SchreibeZahl(int satz, int feld, float wert) {
  if (!impl_->Schreibbar(satz, feld)) return false;
  return impl_->SchreibeDouble(satz, feld, static_cast<double>(wert), KuerzesterText(wert));
}

bool ParadoxTabelle::SchreibeZahl(int satz, int feld, double wert) {
  if (!impl_->Schreibbar(satz, feld)) return false;
  return impl_->SchreibeDouble(satz, feld, wert, KuerzesterDoubleText(wert));
}

bool ParadoxTabelle::SchreibeText(int satz, int feld, const std::string& text) {
  Impl& t = *impl_;
  if (!t.Schreibbar(satz, feld) || t.felder[feld].typ != pxfAlpha) return false;
  auto bytes = Umkodieren(text, "UTF-8", t.codepage.c_str());
  if (!bytes || static_cast<int>(bytes->size()) > t.felder[feld].laenge) return false;
  std::vector<char> zelle(t.felder[feld].laenge, 0);
  std::memcpy(zelle.data(), bytes->data(), bytes->size());
  t.Setze(satz, feld, zelle);
  return true;
}

namespace {

bool Einsetzen(const std::string& temp, const std::string& ziel, std::string& fehler) {
  std::error_code ec;
  auto status = fs::status(ziel, ec);
  fs::perms rechte = (!ec && fs::exists(status)) ? status.permissions() : NeueRechte();
  fs::permissions(temp, rechte, ec);
  fs::rename(temp, ziel, ec);
  if (ec) {
    fehler = "Die Tabelle " + ziel + " kann nicht ersetzt werden: " + Systemgrund(ec.value());
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool AufPlatteBringen(const std::string& pfad) {
  int fd = open(pfad.c_str(), O_RDONLY);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  close(fd);
  return ok;
}

}  // namespace

bool ParadoxTabelle::Schliessen(std::string& fehler) {
  Impl& t = *impl_;
  if (t.modus == Impl::Modus::Lesen) return true;

  if (t.modus == Impl::Modus::Aendern) {
    bool etwas = false;
    for (bool g : t.geaendert) etwas = etwas || g;
    if (!etwas) return true;

    std::string temp = TempDatei(t.pfad);
    if (temp.empty()) {
      fehler = "Neben der Tabelle " + t.pfad + " kann keine Arbeitsdatei angelegt werden: " +
               Systemgrund(errno);
      return false;
    }
    std::error_code ec;
    fs::copy_file(t.pfad, temp, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      fehler = "Die Tabelle " + t.pfad + " kann nicht kopiert werden: " + Systemgrund(ec.value());
      fs::remove(temp, ec);
      return false;
    }
    // The records keep their places in the copy, so each changed record is
    // written over its old bytes; every other byte stays as it was.
    FILE* f = std::fopen(temp.c_str(), "r+b");
    bool ok = f != nullptr;
    for (size_t i = 0; ok && i < t.saetze.size(); ++i) {
      if (!t.geaendert[i]) continue;
      ok = std::fseek(f, t.positionen[i], SEEK_SET) == 0 &&
           std::fwrite(t.saetze[i].data(), 1, t.satzlaenge, f) == static_cast<size_t>(t.satzlaenge);
    }
    int nummer = errno;
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok || !AufPlatteBringen(temp)) {
      fehler = "Die Tabelle " + t.pfad + " kann nicht geschrieben werden: " + Systemgrund(nummer);
      fs::remove(temp, ec);
      return false;
    }
    if (!Einsetzen(temp, t.pfad, fehler)) return false;
    t.geaendert.assign(t.saetze.size(), false);
    return true;
  }

  // Erzeugen: build the whole table in a temporary file, then put it in place.
  std::string temp = TempDatei(t.pfad);
  if (temp.empty()) {
    fehler = "Neben der Tabelle " + t.pfad + " kann keine Arbeitsdatei angelegt werden: " +
             Systemgrund(errno);
    return false;
  }
  std::error_code ec;
  bool ok = true;
  {
    Dokument doc;
    ok = doc.px != nullptr;
    pxfield_t* defs = nullptr;
    if (ok) {
      int n = static_cast<int>(t.felder.size());
      // The library takes over the field array and frees it with the document.
      defs = static_cast<pxfield_t*>(doc.px->malloc(doc.px, n * sizeof(pxfield_t), "Felder"));
      ok = defs != nullptr;
      for (int i = 0; ok && i < n; ++i) {
        std::string name = *Umkodieren(t.felder[i].name, "UTF-8", "CP1252");
        defs[i].px_fname = PX_strdup(doc.px, name.c_str());
        defs[i].px_ftype = static_cast<char>(t.felder[i].typ);
        defs[i].px_flen = t.felder[i].laenge;
        defs[i].px_fdc = 0;
      }
      ok = ok && PX_create_file(doc.px, defs, n, temp.c_str(), pxfFileTypNonIndexDB) >= 0;
    }
    if (ok) {
      doc.offen = true;
      PX_set_value(doc.px, "codepage", 1252);
      std::string name = fs::path(t.pfad).stem().string();
      PX_set_parameter(doc.px, "tablename", name.c_str());
      for (auto& satz : t.saetze) {
        if (PX_put_record(doc.px, satz.data()) < 0) {
          ok = false;
          break;
        }
      }
    }
    if (!ok) fehler = "Die Paradox-Tabelle " + t.pfad + " kann nicht angelegt werden: " + doc.meldungen;
  }
  if (ok && !AufPlatteBringen(temp)) {
    ok = false;
    fehler = "Die Paradox-Tabelle " + t.pfad + " kann nicht geschrieben werden: " + Systemgrund(errno);
  }
  if (!ok) {
    fs::remove(temp, ec);
    return false;
  }
  return Einsetzen(temp, t.pfad, fehler);
}

}  // namespace terval
