// The location profile file (".loc.db"): an xBase table of 41 columns and
// exactly one record holding the site values of the model (name, position,
// vegetation, soil, cellar data and the parameters of the climate
// generator). Columns are addressed by position, never by name.
//
// The dialog that shows and edits the values (its take-over and display
// routines) lives in the user interface; these functions only move the
// record between the model and the file.
#pragma once

#include <string>

namespace terval {

struct Modell;
class Oberflaeche;

// Characters of `Ortsname` the file keeps.
inline constexpr int OrtsnameLaenge = 40;

// Reads columns 1..40 of the first record into the location values of the
// model (column 0, the version, is not read). The position, Diff_Tdew, the
// wind parameters and the monthly precipitation sums must lie in their
// ranges (Wertebereiche.h); the other values are the run start's to check. Sets
// `Standortdatei` to `pfad` and `Startverzeichnis` to its directory.
// A file that cannot be opened, has fewer than 41 columns, no record or a
// value out of range is refused with an error message; the model is then
// unchanged.
bool LadeStandortdatei(Modell& m, Oberflaeche& ui, const std::string& pfad);

// Writes the location values as a new table of 41 columns and one record
// (version 1, `Ortsname` cut to 40 characters), replacing any file `pfad`
// only once the new one is complete. Sets `Standortdatei` to `pfad` on
// success; on failure shows the error and the old file stays as it was.
bool SpeichereStandortdatei(Modell& m, Oberflaeche& ui, const std::string& pfad);

}  // namespace terval
