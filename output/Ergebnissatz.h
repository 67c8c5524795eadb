// The result files of one stem as one set, replaced as a whole.
//
// A run writes every file of its set under a working name beside the
// earlier set ("." + name with ".~neu" before the extension), then writes a
// commit record (".<stem>.~satz") naming the new set, renames the working
// files to their names, removes the earlier set's files the new run did not
// write, and removes the record. A run that finds a record on its stem
// completes that replacement first; working files without a record are
// thrown away. So a stop or a kill at any moment leaves the whole earlier
// set or the whole new one, once the next run on the stem has opened it.
//
// Only one run at a time writes a stem: the set holds a lock (flock) on
// ".<stem>.~sperre" beside it, which dies with its process.
//
// A file of the set is named by its ending, the part after the stem's last
// component: " Gesamtergebnis.TXT", "2D Feld Seg   1 Tag  14.DAT".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace terval {

// Every ending a set can have; a file of a kind listed here belongs to the
// set of its stem and goes when a new set replaces the old one.
const std::vector<std::string>& Satzendungen();

class Ergebnissatz {
 public:
  // Opens the set of `stamm` (may hold a folder part, may be absolute)
  // inside `verzeichnis`: checks the stem, takes the lock and completes or
  // throws away an interrupted replacement. Null, with a German message in
  // `fehler`, when the stem is too long, its folder cannot be written or
  // another run holds the stem.
  static std::unique_ptr<Ergebnissatz> Oeffnen(const std::string& verzeichnis, const std::string& stamm,
                                               std::string& fehler);
  // Without Uebernehmen() the working files go and the earlier set stays.
  ~Ergebnissatz();
  Ergebnissatz(const Ergebnissatz&) = delete;
  Ergebnissatz& operator=(const Ergebnissatz&) = delete;

  // The name of the file with this ending as the user knows it: stem + ending.
  std::string Name(const std::string& endung) const;
  // The path a writer writes the file with this ending to (one of
  // Satzendungen()). Each call begins that file anew.
  std::string Arbeitspfad(const std::string& endung);
  // The writer has written the file completely; `ok` false: it failed, and
  // then the set will not replace the earlier one. `grund` says why (German).
  void Geschrieben(const std::string& endung, bool ok, const std::string& grund = "");

  // Replaces the earlier set by the files written. False, with a German
  // message in `fehler`, when a file failed or cannot take its name; then
  // the earlier set stays as it was.
  bool Uebernehmen(std::string& fehler);

  // The names (stem + ending, as the user knows them) of the files begun,
  // in the order they were begun.
  const std::vector<std::string>& Dateien() const { return begonnen_; }

  // For tests: called with 1, 2, ... before each step that changes a file of
  // the set (a file finished by its writer, the record written, each
  // rename, each removal, the record removed), so a test can kill the
  // process at any of them.
  static std::function<void(int schritt)> Schrittbeobachter;

 private:
  struct Ort;
  Ergebnissatz(std::unique_ptr<Ort> ort, int sperre);
  void Schritt();
  // Renames the working files a record names, removes the files of the
  // earlier set it does not name, then the record. Every step may be taken
  // again after a kill.
  bool Vollenden(const std::vector<std::string>& neu, std::string& fehler);
  // Removes working files without a record, and a broken record.
  void Aufraeumen();

  std::unique_ptr<Ort> ort_;
  int sperre_ = -1;  // descriptor holding the lock
  int schritte_ = 0;
  bool uebernommen_ = false;
  std::vector<std::string> begonnen_;         // stem + ending, in order
  std::vector<std::string> endungen_;         // the endings begun, same order
  std::vector<std::string> fertig_;           // endings written completely
  std::string ersterFehler_;                  // first writer failure; "" none
};

}  // namespace terval
