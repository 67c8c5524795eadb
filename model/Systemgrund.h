// The cause of a failed file operation in German, for every message that
// names one: the operating system's own texts are English.
#pragma once

#include <string>

namespace terval {

// The cause behind an errno value, lower case, without a full stop, e.g.
// "kein Speicherplatz mehr auf dem Datenträger"; "Systemfehler N" for a
// value without a text of its own.
std::string Systemgrund(int fehlernummer);

}  // namespace terval
