// Where the reference files shipped with the program (SOILS.DAT, Rohre.DBF,
// the samples) are found: beside the executable, or in ../share/terval
// relative to it as an installed program keeps them.
#pragma once

#include <string>
#include <vector>

namespace terval {

// Directory of the running executable, without a trailing '/'; empty when
// the system cannot tell.
std::string Programmverzeichnis();

// The folders searched for reference files, in order: the program
// directory and ../share/terval relative to it (normalised). Empty when the
// program directory is unknown.
std::vector<std::string> Referenzordner();

// Full path of the reference file `name`: first in the program directory,
// then in ../share/terval relative to it. Empty when neither holds it.
std::string FindeReferenzdatei(const std::string& name);

// The directory part of a file path, as the open dialogs start in it:
// "/a/b/Erdkanal.ewt.db" gives "/a/b", "/x.loc.db" gives "/", a bare file
// name gives "" (the working directory).
std::string Verzeichnisanteil(const std::string& pfad);

}  // namespace terval
