// The climate table: reading it into the climate year, checking which
// elements are complete, and writing the year back.
//
// Formats by extension (case-insensitive): ".DBF" dBASE and ".DB" Paradox
// (read and write back), ".txt" text table (read and write back, layout kept),
// ".epw" EnergyPlus weather and ".dat" German test reference year (read-only
// imports, never written back).
#pragma once

#include <string>

namespace terval {

struct Modell;
class Oberflaeche;

// Reads the table named by m.DBKlimaName; the outcome is m.KlimaGueltig.
void ReadKlimaDB(Modell& m, Oberflaeche& ui);

// Completeness flags from the year in memory, and the label colours.
void CheckKlimaDaten(Modell& m, Oberflaeche& ui);

// Writes the year in memory back into the table (columns 1..4, 5 and 6 when
// the table has them), through a symbolic link into the file it names. A
// read-only format, and a table whose mode grants no write permission to
// anyone, is not written: the data stay in memory and the user is told so;
// nor is a year with a value the table's load would refuse. True when the table holds the year
// afterwards; false (the user has been told why) when it could not be
// written or is read-only, and then the previous file is unchanged.
bool WriteKlimaDB(Modell& m, Oberflaeche& ui);

// As WriteKlimaDB, but only table column `spalte` (1 air temperature,
// 2 humidity, 3 wind, 4 radiation, 5 precipitation, 6 cloud cover); 0 writes
// every column. A column the table was not read with is not written.
bool WriteKlimaSpalte(Modell& m, Oberflaeche& ui, int spalte);

// True when the format of this file name can be written back.
bool KlimaformatSchreibbar(const std::string& name);

}  // namespace terval
