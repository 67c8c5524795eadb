// The channel file (".ewt.db"): an xBase table of ten columns holding the
// operation settings (row 1), the two pipe types (row 2) and one row per
// segment (rows 3 ..). Columns are addressed by position, never by name.
// The air path's inputs (THydraulik) follow in eight more columns, found by
// name and present only when they differ from their start values, so a
// reader that knows the ten columns loads such a file unchanged.
//
// The channel editor (a window of the user interface) takes its grid into
// the model before saving and refreshes itself after loading; these
// functions only move the channel between the model and the file.
#pragma once

#include <string>

namespace terval {

struct Modell;
class Oberflaeche;

// Shown once when a file asks for five-day operation under constant
// operation; five-day operation is then cleared.
inline constexpr char KanalIntegritaetsmeldung[] =
    "Integritätsfehler im Kanal behoben:\r"
    "5-Tages Betrieb nur möglich im Modus \"geregelter Betrieb\"\r"
    "5-Tages Betrieb wurde deaktiviert !";

// Loads the channel: operation settings, pipe data and the eight definition
// fields of each segment (the segments' hourly results stay as they are);
// `Anz_Segmente` becomes the number of rows minus 2, the `Index` column is
// not read. The air path's inputs come from their columns where the file has
// them, else they take their start values; one out of range refuses the file.
// Sets `Kanaldatei` to `pfad` and `Startverzeichnis` to its
// directory. A file that cannot be opened, has fewer than ten columns,
// fewer than two rows or more than 150 segment rows is refused with an
// error message, and the channel in memory stays unchanged.
bool LadeKanaldatei(Modell& m, Oberflaeche& ui, const std::string& pfad);

// Writes the channel as a new table of 2 + `Anz_Segmente` rows, replacing
// any file `pfad` only once the new one is complete. Sets `Kanaldatei` to
// `pfad` on success; on failure shows the error and the old file stays.
bool SpeichereKanaldatei(Modell& m, Oberflaeche& ui, const std::string& pfad);

}  // namespace terval
