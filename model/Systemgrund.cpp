#include "model/Systemgrund.h"

#include <cerrno>

namespace terval {

std::string Systemgrund(int fehlernummer) {
  switch (fehlernummer) {
    case ENOENT: return "Datei oder Verzeichnis nicht vorhanden";
    case EACCES:
    case EPERM: return "keine Zugriffsberechtigung";
    case EROFS: return "das Dateisystem ist schreibgeschützt";
    case ENOSPC:
    case EDQUOT: return "kein Speicherplatz mehr auf dem Datenträger";
    case EFBIG: return "die Datei wird zu groß";
    case EISDIR: return "der Pfad ist ein Verzeichnis";
    case ENOTDIR: return "ein Teil des Pfades ist kein Verzeichnis";
    case ENAMETOOLONG: return "der Dateiname ist zu lang";
    case EMFILE:
    case ENFILE: return "zu viele offene Dateien";
    case EIO: return "Ein-/Ausgabefehler";
    case EEXIST: return "die Datei ist bereits vorhanden";
    case ENOTEMPTY: return "das Verzeichnis ist nicht leer";
    case EBUSY: return "die Datei wird gerade benutzt";
    case ETXTBSY: return "die Datei wird gerade ausgeführt";
    case ELOOP: return "zu viele symbolische Verknüpfungen";
    case EXDEV: return "Quelle und Ziel liegen auf verschiedenen Dateisystemen";
    case ENOMEM: return "nicht genügend Arbeitsspeicher";
    case EINVAL: return "ungültiges Argument";
    case EWOULDBLOCK: return "die Datei ist gesperrt";
    default: return "Systemfehler " + std::to_string(fehlernummer);
  }
}

}  // namespace terval
