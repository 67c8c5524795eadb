#include "output/Ergebnissatz.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "model/Systemgrund.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/Bildmaler.h"
#include "output/DBErgout.h"

namespace terval {

namespace fs = std::filesystem;

std::function<void(int)> Ergebnissatz::Schrittbeobachter;

const std::vector<std::string>& Satzendungen() {
  static const std::vector<std::string> alle = [] {
    std::vector<std::string> e = {" Gesamtergebnis.TXT", " Gesamtergebnis.dbf", " Gesamtergebnis.cpg", " Jahre.TXT",
                                  " Hydraulik.TXT", " Kondensat.TXT"};
    for (int tag : Referenztage) e.push_back(" Kanal Tag " + FormatInt(tag) + ".TXT");
    for (int tag : Referenztage) e.push_back(" Verlauf Tag " + FormatInt(tag) + ".TXT");
    for (int s = 1; s <= MaxSegmente; ++s)
      for (int tag : Referenztage) e.push_back(FeldDateiname("", s, tag));
    for (int tag : Referenztage) e.push_back(BodenbildEndung(tag));
    e.push_back(MonatsbildEndung);
    e.push_back(DauerlinienbildEndung);
    return e;
  }();
  return alle;
}

namespace {

constexpr size_t NameMax = 255;
// The table layer saves a table through a name of its own beside the one it
// is given: "." + name + ".tmp-<pid>-<n>", at most this much longer.
constexpr size_t Tabellenzuschlag = 1 + 5 + 7 + 1 + 10;
const char* const Kopfzeile = "Terval-Ergebnissatz";
const char* const Schlusszeile = "Ende";

// "name": with its cause after it, one line of a message.
std::string Zitat(const std::string& name, const std::string& rest) {
  std::string z = "\"";
  z += name;
  z += '"';
  z += rest;
  return z;
}

bool IstTabelle(const std::string& endung) { return endung.ends_with(".dbf") || endung.ends_with(".cpg"); }

// ".<name>" with ".~neu" before the extension: hidden, and no stem's file
// ends like that. A table's companion keeps its place beside the table
// (".x Gesamtergebnis.~neu.cpg" beside ".x Gesamtergebnis.~neu.dbf").
std::string Arbeitsname(const std::string& basis, const std::string& endung) {
  const std::string name = basis + endung;
  const size_t punkt = name.rfind('.');
  std::string arbeit = ".";
  arbeit.append(name, 0, punkt).append(".~neu").append(name, punkt, std::string::npos);
  return arbeit;
}

void OrdnerSichern(const fs::path& ordner) {
  const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A file or link that a set may replace or remove; folders and other
// things are not the set's.
bool IstDateiOderLink(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

}  // namespace

struct Ergebnissatz::Ort {
  fs::path ordner;
  std::string basis;  // the stem's last component
  std::string stamm;  // as given

  fs::path Pfad(const std::string& endung) const { return ordner / (basis + endung); }
  fs::path Arbeit(const std::string& endung) const { return ordner / Arbeitsname(basis, endung); }
  fs::path Satz() const { return ordner / ("." + basis + ".~satz"); }
  fs::path SatzArbeit() const { return ordner / ("." + basis + ".~satz.~neu"); }
  fs::path Sperre() const { return ordner / ("." + basis + ".~sperre"); }
  std::string Anzeige() const { return Zitat(stamm + " …", ""); }
};

Ergebnissatz::Ergebnissatz(std::unique_ptr<Ort> ort, int sperre) : ort_(std::move(ort)), sperre_(sperre) {}

void Ergebnissatz::Schritt() {
  ++schritte_;
  if (Schrittbeobachter) Schrittbeobachter(schritte_);
}

namespace {

// The endings a commit record names; nothing when there is no complete record.
std::optional<std::vector<std::string>> LiesSatz(const fs::path& p) {
  std::ifstream ein(p, std::ios::binary);
  if (!ein) return std::nullopt;
  std::vector<std::string> zeilen;
  for (std::string z; std::getline(ein, z);) zeilen.push_back(z);
  if (zeilen.size() < 2 || zeilen.front() != Kopfzeile || zeilen.back() != Schlusszeile) return std::nullopt;
  return std::vector<std::string>(zeilen.begin() + 1, zeilen.end() - 1);
}

}  // namespace

std::unique_ptr<Ergebnissatz> Ergebnissatz::Oeffnen(const std::string& verzeichnis, const std::string& stamm,
                                                     std::string& fehler) {
  auto ort = std::make_unique<Ort>();
  const fs::path s(stamm);
  ort->ordner = s.has_parent_path() ? fs::path(verzeichnis) / s.parent_path() : fs::path(verzeichnis);
  ort->basis = s.filename().string();
  ort->stamm = stamm;

  size_t laengster = 0;
  for (const std::string& e : Satzendungen())
    laengster = std::max(laengster, Arbeitsname("", e).size() + (IstTabelle(e) ? Tabellenzuschlag : 0));
  if (ort->basis.size() + laengster > NameMax) {
    fehler = "Der Stammname \"" + stamm + "\" ist zu lang: sein letzter Teil hat " + FormatInt(ort->basis.size()) +
             " Byte, höchstens " + FormatInt(static_cast<long long>(NameMax - laengster)) +
             " sind möglich, denn kein Dateiname darf länger als " + FormatInt(NameMax) +
             " Byte sein.\rBitte wählen Sie einen kürzeren Stammnamen.";
    return nullptr;
  }

  const fs::path sperre = ort->Sperre();
  int fd = -1;
  for (int versuch = 0; fd < 0 && versuch < 10; ++versuch) {
    fd = ::open(sperre.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
      fehler = "Die Ergebnisdateien " + ort->Anzeige() + " können nicht in \"" + ort->ordner.string() +
               "\" geschrieben werden: " + Systemgrund(errno) + ".";
      return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int nr = errno;
      ::close(fd);
      if (nr == EWOULDBLOCK)
        fehler = "Unter dem Stammnamen \"" + stamm + "\" schreibt gerade ein anderer Lauf seine Ergebnisdateien.\r"
                 "Warten Sie, bis er beendet ist, oder wählen Sie einen anderen Stammnamen.";
      else
        fehler = "Die Ergebnisdateien " + ort->Anzeige() + " können nicht gesperrt werden: " + Systemgrund(nr) + ".";
      return nullptr;
    }
    // The holder before us removes the lock file as it lets go: a lock on a
    // file that is no longer there (or another one) protects nothing.
    struct stat offen {}, da {};
    if (::fstat(fd, &offen) != 0 || ::stat(sperre.c_str(), &da) != 0 || offen.st_ino != da.st_ino ||
        offen.st_dev != da.st_dev) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    fehler = "Die Ergebnisdateien " + ort->Anzeige() + " können nicht gesperrt werden.";
    return nullptr;
  }

  std::unique_ptr<Ergebnissatz> satz(new Ergebnissatz(std::move(ort), fd));
  if (const auto neu = LiesSatz(satz->ort_->Satz())) {
    if (!satz->Vollenden(*neu, fehler)) {
      fehler = "Ein unterbrochener Lauf hat die Ergebnisdateien " + satz->ort_->Anzeige() +
               " nicht vollständig ersetzt, und der Austausch läßt sich nicht vollenden:\r" + fehler;
      satz->uebernommen_ = true;  // the record stays for the next attempt
      return nullptr;
    }
  }
  satz->Aufraeumen();
  return satz;
}

bool Ergebnissatz::Vollenden(const std::vector<std::string>& neu, std::string& fehler) {
  const Ort& ort = *ort_;
  for (const std::string& e : neu) {
    if (!fs::exists(fs::symlink_status(ort.Arbeit(e)))) continue;  // renamed before a kill
    Schritt();
    if (::rename(ort.Arbeit(e).c_str(), ort.Pfad(e).c_str()) != 0) {
      fehler = Zitat(ort.basis + e, ": " + Systemgrund(errno) + ".");
      return false;
    }
  }
  const std::set<std::string> bleibt(neu.begin(), neu.end());
  for (const std::string& e : Satzendungen()) {
    if (bleibt.count(e) || !IstDateiOderLink(ort.Pfad(e))) continue;
    Schritt();
    if (::unlink(ort.Pfad(e).c_str()) != 0 && errno != ENOENT) {
      fehler = Zitat(ort.basis + e, " läßt sich nicht entfernen: " + Systemgrund(errno) + ".");
      return false;
    }
  }
  OrdnerSichern(ort.ordner);
  Schritt();
  ::unlink(ort.Satz().c_str());
  OrdnerSichern(ort.ordner);
  return true;
}

void Ergebnissatz::Aufraeumen() {
  // Working files of this stem, and what the table layer left of its own
  // working files beside them; an unfinished or broken record.
  std::set<std::string> arbeit;
  for (const std::string& e : Satzendungen()) arbeit.insert(Arbeitsname(ort_->basis, e));
  arbeit.insert(ort_->SatzArbeit().filename().string());
  if (!LiesSatz(ort_->Satz())) arbeit.insert(ort_->Satz().filename().string());
  std::error_code ec;
  std::vector<fs::path> weg;
  for (fs::directory_iterator it(ort_->ordner, ec), ende; !ec && it != ende; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const size_t tmp = name.find(".tmp-");
    if (arbeit.count(name) || (name.starts_with(".") && tmp != std::string::npos && arbeit.count(name.substr(1, tmp - 1))))
      if (IstDateiOderLink(it->path())) weg.push_back(it->path());
  }
  for (const fs::path& p : weg) ::unlink(p.c_str());
}

Ergebnissatz::~Ergebnissatz() {
  if (!uebernommen_) Aufraeumen();
  // Removed while still held, so no other run can take a lock on it in between.
  ::unlink(ort_->Sperre().c_str());
  ::close(sperre_);
}

std::string Ergebnissatz::Name(const std::string& endung) const { return ort_->stamm + endung; }

std::string Ergebnissatz::Arbeitspfad(const std::string& endung) {
  if (std::find(endungen_.begin(), endungen_.end(), endung) == endungen_.end()) {
    endungen_.push_back(endung);
    begonnen_.push_back(Name(endung));
  }
  return ort_->Arbeit(endung).string();
}

void Ergebnissatz::Geschrieben(const std::string& endung, bool ok, const std::string& grund) {
  if (ok) {
    fertig_.push_back(endung);
    Schritt();
    return;
  }
  ::unlink(ort_->Arbeit(endung).c_str());
  if (!ersterFehler_.empty()) return;
  // A writer's text names the file it wrote; the user knows it by its own name.
  std::string g = grund;
  const std::string arbeit = ort_->Arbeit(endung).string(), name = ort_->Pfad(endung).string();
  for (size_t p = g.find(arbeit); p != std::string::npos; p = g.find(arbeit, p + name.size()))
    g.replace(p, arbeit.size(), name);
  ersterFehler_ = Zitat(Name(endung), ": " + (g.empty() ? std::string("unvollständig geschrieben") : g));
}

bool Ergebnissatz::Uebernehmen(std::string& fehler) {
  const std::string bleibt = "\rDie bisherigen Ergebnisdateien bleiben unverändert.";
  for (const std::string& e : endungen_)
    if (ersterFehler_.empty() && std::find(fertig_.begin(), fertig_.end(), e) == fertig_.end())
      ersterFehler_ = Zitat(Name(e), ": unvollständig geschrieben");
  for (const std::string& e : fertig_) {
    struct stat st {};
    if (ersterFehler_.empty() && ::lstat(ort_->Pfad(e).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      ersterFehler_ = Zitat(Name(e), ": " + Systemgrund(EISDIR));
  }
  if (!ersterFehler_.empty()) {
    fehler = "Die Ergebnisdateien " + ort_->Anzeige() + " wurden nicht geschrieben:\r" + ersterFehler_ +
             (ersterFehler_.ends_with(".") ? "" : ".") + bleibt;
    return false;
  }

  // The record names the new set; once it has its name, the set is decided.
  std::string text = std::string(Kopfzeile) + "\n";
  for (const std::string& e : fertig_) text += e + "\n";
  text += std::string(Schlusszeile) + "\n";
  Schritt();
  const fs::path satzArbeit = ort_->SatzArbeit();
  const int fd = ::open(satzArbeit.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  int nr = errno;
  if (fd >= 0) {
    if (ok && ::fsync(fd) != 0) ok = false, nr = errno;
    if (::close(fd) != 0 && ok) ok = false, nr = errno;
  }
  if (ok) {
    Schritt();
    if (::rename(satzArbeit.c_str(), ort_->Satz().c_str()) != 0) ok = false, nr = errno;
  }
  if (!ok) {
    ::unlink(satzArbeit.c_str());
    fehler = "Die Ergebnisdateien " + ort_->Anzeige() + " wurden nicht geschrieben: " + Systemgrund(nr) + "." + bleibt;
    return false;
  }
  OrdnerSichern(ort_->ordner);
  uebernommen_ = true;
  if (!Vollenden(fertig_, fehler)) {
    fehler = "Die Ergebnisdateien " + ort_->Anzeige() + " wurden nicht vollständig ersetzt:\r" + fehler +
             "\rDer nächste Lauf mit diesem Stammnamen vollendet den Austausch.";
    return false;
  }
  return true;
}

}  // namespace terval
