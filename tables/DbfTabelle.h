// xBase (dBASE/FoxPro) tables: the table engine of every .DBF, .loc.db and
// .ewt.db file and of the overall results table. The only unit that knows
// the file format library.
//
// Fields are addressed by position (0-based), records 0-based. Texts are
// UTF-8 in the program and Windows-1252 in the file. Numbers are written as
// the shortest text that reads back as the same float, so a single-precision
// value survives a save exactly, whatever the process locale.
//
// Saving never loses the previous file: Erzeugen() and Aendern() work on a
// temporary file beside the target, and only Schliessen() moves it over the
// old one once everything was written.
//
// New tables: integers are N(11,0), floats N(20,10), texts C(n) (n at most 254, 0 meaning 254); names are
// cut to 10 bytes and made unique by a digit at the end ("Temperatu1");
// a "<name>.cpg" file saying "1252" goes beside the table. Tables of other
// programs may also hold dates, logicals and FoxPro binary integers,
// doubles and currency ('I', 'B', 'Y'); deleted records are skipped and
// FoxPro's hidden null flags are no field. A table whose header does not
// match its size, or with memo or other unreadable fields, is refused.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tables/Tabelle.h"

namespace terval {

class DbfTabelle : public Tabelle {
 public:
  ~DbfTabelle() override;
  DbfTabelle(const DbfTabelle&) = delete;
  DbfTabelle& operator=(const DbfTabelle&) = delete;

  // Opens an existing table for reading. On failure returns null and sets
  // `fehler` to a German text naming the file and the reason. With
  // `gelesen` > 0 only the first `gelesen` fields are ever read: the fields
  // after them may have any type (a memo field, say). A path that is no
  // regular file (a FIFO, a device) is refused without waiting on it.
  static std::unique_ptr<DbfTabelle> Oeffnen(const std::string& pfad, std::string& fehler, int gelesen = 0);

  // Opens an existing table to change records in place (on a temporary copy;
  // Schliessen() replaces the original).
  static std::unique_ptr<DbfTabelle> Aendern(const std::string& pfad, std::string& fehler, int gelesen = 0);

  // Creates a new, empty table with these fields (on a temporary file;
  // Schliessen() puts it in place of any old file of that name).
  static std::unique_ptr<DbfTabelle> Erzeugen(const std::string& pfad,
                                              const std::vector<Felddefinition>& felder,
                                              std::string& fehler);

  int Datensaetze() const override;
  int Felder() const override;
  std::string Feldname(int feld) const override;

  // True when the cell's text is empty (blank).
  bool IstLeer(int satz, int feld) const override;
  // Reading a cell that holds no valid number gives std::nullopt. A number
  // with decimals is rounded to the nearest integer (halves to even); a
  // decimal comma, as tables written under a German locale have, is read too.
  std::optional<long long> LiesGanzzahl(int satz, int feld) const override;
  std::optional<double> LiesZahl(int satz, int feld) const override;
  std::string LiesText(int satz, int feld) const override;

  // Appends an empty record and returns its number (-1 on failure).
  int Anhaengen() override;
  // The writers return false when the value does not fit the field (a
  // narrow field of another program's table gets the value rounded to its
  // decimals first), the cell does not exist or the file cannot be written.
  // NaN and infinity leave a number cell blank; texts are cut to the field.
  bool SchreibeGanzzahl(int satz, int feld, long long wert) override;
  bool SchreibeZahl(int satz, int feld, float wert) override;  // single precision, exact round trip
  bool SchreibeZahl(int satz, int feld, double wert) override;
  bool SchreibeText(int satz, int feld, const std::string& text) override;

  // Finishes the table. For a new or changed table this is where the file
  // takes the place of the old one; false (with `fehler`) keeps the old file.
  bool Schliessen(std::string& fehler) override;

  // Gives up a new or changed table after a failed write: the temporary file
  // goes, the old file stays. Returns the German message naming the file and
  // the reason of the first write that failed.
  std::string Verwerfen();

  // The end of every save: a table whose writes all went well (`gut`) is
  // put in place of the old file, otherwise it is given up. False, with the
  // message in `fehler`, keeps the old file either way.
  bool SpeichernBeenden(bool gut, std::string& fehler);

 private:
  struct Impl;
  explicit DbfTabelle(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace terval
