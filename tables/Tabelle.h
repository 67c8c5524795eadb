// One open table, whatever its engine: what the loaders and savers of the
// program need from a dBASE or a Paradox table. Fields are addressed by
// position (0-based), records 0-based; texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace terval {

enum class Feldtyp { Ganzzahl, Gleitkomma, Text };

struct Felddefinition {
  std::string name;  // shortened to what the engine allows (10 characters in xBase)
  Feldtyp typ = Feldtyp::Gleitkomma;
  int laenge = 0;    // characters of a text field; 0 = the engine's default. Unused for numbers
};

class Tabelle {
 public:
  virtual ~Tabelle() = default;

  virtual int Datensaetze() const = 0;
  virtual int Felder() const = 0;
  virtual std::string Feldname(int feld) const = 0;

  // True when the cell is blank.
  virtual bool IstLeer(int satz, int feld) const = 0;
  // std::nullopt for a cell that holds no number of that kind.
  virtual std::optional<long long> LiesGanzzahl(int satz, int feld) const = 0;
  virtual std::optional<double> LiesZahl(int satz, int feld) const = 0;
  virtual std::string LiesText(int satz, int feld) const = 0;

  // Appends a blank record and returns its number (-1 on failure).
  virtual int Anhaengen() = 0;
  // False when the cell cannot take the value.
  virtual bool SchreibeGanzzahl(int satz, int feld, long long wert) = 0;
  virtual bool SchreibeZahl(int satz, int feld, float wert) = 0;
  virtual bool SchreibeZahl(int satz, int feld, double wert) = 0;
  virtual bool SchreibeText(int satz, int feld, const std::string& text) = 0;

  // Finishes the table. For a new or changed table this is where the file
  // takes the place of the old one; false (with `fehler`) keeps the old file.
  virtual bool Schliessen(std::string& fehler) = 0;
};

// Reads the cells of a table the way the program's own files are read: a
// blank cell is 0, as the table engine's value access gives it. A cell that
// holds something else than a number of the column's type ("********" of an
// overflowed field, "nan", a value beyond single precision or a 32-bit
// integer) would read as a silent 0 or infinity; the first such cell is noted
// so the caller can refuse the load and name it.
class Zellenleser {
 public:
  explicit Zellenleser(const Tabelle& t) : t_(t) {}

  int32_t Ganzzahl(int satz, int feld);
  float Zahl(int satz, int feld);

  // The first cell that held no number of its type; satz < 0 when there was none.
  int Satz() const { return satz_; }
  int Feld() const { return feld_; }
  const std::string& Text() const { return text_; }  // what that cell held

 private:
  void Vermerke(int satz, int feld);

  const Tabelle& t_;
  int satz_ = -1, feld_ = -1;
  std::string text_;
};

}  // namespace terval
