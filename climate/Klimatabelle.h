// One open climate table, whatever its format: the few operations the climate
// loader needs, records and columns addressed by position. Column 0 is never
// read; columns 1..7 hold the climate elements in their table order.
//
// The formats, chosen by the file name's extension (case-insensitive):
// ".dbf" dBASE, ".db" Paradox (or dBASE, when the file is one), ".txt" text
// table, ".epw" EnergyPlus weather, ".dat" German test reference year. The
// last two are read-only imports.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace terval {

enum class Klimaformat { Dbase, Paradox, Text, EnergyPlus, Testreferenzjahr, Unbekannt };

// Format of a climate table by its name.
Klimaformat KlimaformatVonName(const std::string& pfad);

// Short German name of a format for messages, e.g. "EnergyPlus-Wetterdatei".
std::string KlimaformatBezeichnung(Klimaformat format);

class Klimatabelle {
 public:
  virtual ~Klimatabelle() = default;

  virtual int Datensaetze() const = 0;
  // Columns including column 0.
  virtual int Spalten() const = 0;
  // True when the cell's text is empty.
  virtual bool IstLeer(int satz, int spalte) const = 0;
  // The cell as single precision; std::nullopt when it is empty, is no
  // number, or is no finite single-precision number.
  virtual std::optional<float> Zahl(int satz, int spalte) const = 0;
  // The cell's text as the file holds it, for messages.
  virtual std::string Text(int satz, int spalte) const = 0;
  // Where a record stands, for messages: "Zeile 12" in a text file,
  // "Datensatz 11" in a table.
  virtual std::string Zeilenangabe(int satz) const { return "Datensatz " + std::to_string(satz + 1); }
  // Puts a number into a cell of a table opened for writing; false when the
  // cell cannot take it.
  virtual bool Setze(int satz, int spalte, float wert) = 0;
  // True when a table opened for writing has a cell whose value changes.
  virtual bool Geaendert() const { return false; }
  // Ends the work. A table opened for writing is saved here; false (with
  // `fehler`) keeps the previous file.
  virtual bool Schliessen(std::string& fehler) = 0;
};

// The outcome of opening a climate table.
struct Klimaoeffnung {
  std::unique_ptr<Klimatabelle> tabelle;  // null on failure
  // On failure: true when the file was read but its content is unusable
  // (then `fehler` is the complete message for the user); false when the
  // file could not be opened at all (`fehler` names the reason).
  bool inhaltsfehler = false;
  std::string fehler;
  // On success, a notice for the user about how the file was read (empty
  // when there is none).
  std::string hinweis;
};

// Opens a climate table for reading, or for writing (formats that can be
// written only).
Klimaoeffnung OeffneKlimatabelle(const std::string& pfad, bool schreiben);

// A table held in memory: what the read-only imports produce. Missing
// values are stored as -999; no cell is empty.
class Speichertabelle : public Klimatabelle {
 public:
  explicit Speichertabelle(int spalten) : spalten_(spalten) {}

  // Appends a record of `spalten` values (column 0 included), read from
  // line `zeile` (1-based) of the file.
  void Anhaengen(const std::vector<float>& werte, int zeile) {
    werte_.push_back(werte);
    zeilen_.push_back(zeile);
  }

  int Datensaetze() const override { return static_cast<int>(werte_.size()); }
  int Spalten() const override { return spalten_; }
  bool IstLeer(int, int) const override { return false; }
  std::optional<float> Zahl(int satz, int spalte) const override;
  std::string Text(int satz, int spalte) const override;
  std::string Zeilenangabe(int satz) const override;
  bool Setze(int, int, float) override { return false; }
  bool Schliessen(std::string&) override { return true; }

 private:
  int spalten_;
  std::vector<std::vector<float>> werte_;
  std::vector<int> zeilen_;
};

// The read-only imports (Wetterimport.cpp). They refuse a file whose content
// they cannot use with a complete German message in `o.fehler`.
Klimaoeffnung LiesEnergyPlus(const std::string& pfad);
Klimaoeffnung LiesTestreferenzjahr(const std::string& pfad);

// The text table (Texttabelle.cpp).
Klimaoeffnung OeffneTexttabelle(const std::string& pfad, bool schreiben);

// The encoding of a text file's bytes when it is one the text readers
// cannot read (they take UTF-8, with or without its byte-order mark, and
// Windows-1252): "UTF-16 (Little Endian)" and the like from a byte-order
// mark, or from NUL bytes, which no text in either encoding holds; it
// follows "in" in a sentence. Empty
// when the bytes may be read.
std::string FremdeKodierung(const std::string& inhalt);

// Writes `inhalt` into a temporary file beside `pfad` and renames it over
// `pfad` (keeping its permissions); on failure the old file stays and
// `fehler` says why.
bool DateiErsetzen(const std::string& pfad, const std::string& inhalt, std::string& fehler);

}  // namespace terval
