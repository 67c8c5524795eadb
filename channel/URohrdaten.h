// The pipe type catalogue "Rohre.DBF", shipped beside the program and read
// once at start-up: name, outer size, wall thickness and wall conductivity
// of predefined pipes, offered by the pipe data dialog.
#pragma once

#include <string>

namespace terval {

struct Modell;

// File name of the catalogue.
inline constexpr char Rohrkatalogdatei[] = "Rohre.DBF";

// Fills `Rohrtypen`[1..] and `Anz_Rohrtypen` from "Rohre.DBF" in
// `verzeichnis` (columns by position: name, outer size, wall thickness,
// conductivity; at most 100 entries, further records are ignored).
// False, with the catalogue unchanged, when the file is missing, cannot be
// read or has fewer than four columns.
bool ReadRohrdatenDB(Modell& m, const std::string& verzeichnis);

}  // namespace terval
