// Paradox tables (.DB): reading, changing cells of an existing table, and
// creating a new one. The only unit that knows the Paradox library.
//
// Fields are addressed by position (0-based), records 0-based, as in
// DbfTabelle. Texts are UTF-8 in the program and in the table's code page in
// the file (Windows-1252 for tables created here). A cell is empty when all
// of its bytes are zero, which is how Paradox stores a blank value.
//
// Saving never loses the previous file: Aendern() collects the changes in
// memory, and Schliessen() writes them into a copy beside the table and moves
// the copy over the original only when everything was written. Erzeugen()
// builds the table in a temporary file the same way.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tables/Tabelle.h"

namespace terval {

class ParadoxTabelle : public Tabelle {
 public:
  ~ParadoxTabelle() override;
  ParadoxTabelle(const ParadoxTabelle&) = delete;
  ParadoxTabelle& operator=(const ParadoxTabelle&) = delete;

  // Opens an existing table for reading. On failure returns null and sets
  // `fehler` to a German text naming the file and the reason. The header,
  // the chain of data blocks and the field widths are checked before the
  // library reads the file; a damaged or encrypted table (whose blocks
  // cannot be checked) is refused.
  static std::unique_ptr<ParadoxTabelle> Oeffnen(const std::string& pfad, std::string& fehler);

  // Opens an existing table to change cells (not to add records), with the
  // same checks.
  static std::unique_ptr<ParadoxTabelle> Aendern(const std::string& pfad, std::string& fehler);

  // Creates a new, empty table with these fields: Ganzzahl as a long integer,
  // Gleitkomma as an 8-byte number, Text as alpha of `laenge` characters
  // (40 when 0). Names longer than 25 characters are cut.
  static std::unique_ptr<ParadoxTabelle> Erzeugen(const std::string& pfad,
                                                  const std::vector<Felddefinition>& felder,
                                                  std::string& fehler);

  int Datensaetze() const override;
  int Felder() const override;
  std::string Feldname(int feld) const override;

  // True when the cell is blank.
  bool IstLeer(int satz, int feld) const override;
  // Numbers from number, currency, short, long, auto-increment and BCD fields,
  // and from alpha fields holding a number text; std::nullopt for a blank
  // cell, another field type or a text that is no number.
  std::optional<long long> LiesGanzzahl(int satz, int feld) const override;
  std::optional<double> LiesZahl(int satz, int feld) const override;
  // Alpha fields as UTF-8; number fields as their shortest text; "" when blank.
  std::string LiesText(int satz, int feld) const override;

  // Appends a blank record (only on a table from Erzeugen) and returns its number.
  int Anhaengen() override;
  // Writing into a number or currency field stores the value exactly; into a
  // short, long or auto-increment field the value rounded to the nearest
  // integer (false when it does not fit); into an alpha field the shortest
  // text. False for other field types, a text too long, or a read-only table.
  bool SchreibeGanzzahl(int satz, int feld, long long wert) override;
  bool SchreibeZahl(int satz, int feld, float wert) override;
  bool SchreibeZahl(int satz, int feld, double wert) override;
  bool SchreibeText(int satz, int feld, const std::string& text) override;

  // Finishes the table. For a new or changed table this is where the file
  // takes the place of the old one; false (with `fehler`) keeps the old file.
  // A changed table whose cells all kept their bytes is left untouched.
  bool Schliessen(std::string& fehler) override;

 private:
  struct Impl;
  explicit ParadoxTabelle(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace terval
