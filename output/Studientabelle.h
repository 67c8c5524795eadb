// The result table of a variant study: one row per variant, the study's
// identity and the row's place in it, its inputs as the study file gave
// them, then its figures. "NAME Studie.csv" is the table itself (the join
// of slices and the main window read it); "NAME Studie.dbf" holds the same
// rows for spreadsheets and GIS.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace terval {

// The first columns of every study table, in this order.
inline constexpr const char* SpalteStudie = "Studie";        // identity: checksum of the study and its base inputs
inline constexpr const char* SpalteZeile = "Zeile";          // row of the study file, 1..Varianten
inline constexpr const char* SpalteVarianten = "Varianten";  // rows of the whole study
inline constexpr const char* SpalteName = "Name";

struct Studientabelle {
  std::vector<std::string> Spalten;              // header, CSV names
  std::vector<std::vector<std::string>> Zeilen;  // one cell per column, as text

  // Index of a column, -1 when the table has none of that name.
  int Spalte(const std::string& name) const;
};

// The number a cell holds ("." decimal point); nothing for a blank cell or text.
std::optional<double> Studienzahl(const std::string& zelle);

// Writes the table as CSV (";" separated, UTF-8) and, unless `dbfPfad` is
// empty, as a dBASE table with the same rows: a column whose cells are all
// numbers or blank becomes a number field. Each file goes to a working name
// first and takes its name only when complete. False with a German message
// naming the file.
bool SchreibeStudientabelle(const Studientabelle& t, const std::string& csvPfad, const std::string& dbfPfad,
                            std::string& fehler);

// Reads a table written by SchreibeStudientabelle. False with a German
// message when the file cannot be read, is empty or a row has another
// number of cells than the header.
bool LiesStudientabelle(const std::string& csvPfad, Studientabelle& t, std::string& fehler);

}  // namespace terval
