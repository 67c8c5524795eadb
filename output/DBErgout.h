// The result files of a run: the overall results (text or table), the
// channel-profile and day-course files of the reference days, and the 2-D
// field of the marked segment.
//
// Every writer writes one file of a result set (output/Ergebnissatz.h): under
// its working name, into the folder of the stem, named by the stem as the
// user knows it once the set takes its place. Text files have CR LF line
// ends and Windows-1252 bytes. A writer shows nothing: it tells the set
// whether its file is complete, and why not.
#pragma once

#include <string>
#include <vector>

#include "output/Jahresbilanz.h"

namespace terval {

struct Modell;
struct Ventilatorjahr;
class Oberflaeche;
class Ergebnissatz;

// "<stamm> Gesamtergebnis.TXT"; true when written completely.
bool WriteTextSegmentData(const Modell& m, Oberflaeche& ui, Ergebnissatz& satz);
// Table "<stamm> Gesamtergebnis.dbf" with its "<stamm> Gesamtergebnis.cpg".
bool WriteDBSegmentData(const Modell& m, Oberflaeche& ui, Ergebnissatz& satz);
// "<stamm> Kondensat.TXT" of a run with the option Kondensation: condensate
// per segment and month, drained water per segment, hours with condensation
// and latent heat per month.
bool WriteKondensat(const Modell& m, Oberflaeche& ui, Ergebnissatz& satz);
// "<stamm> Kanal Tag <tag>.TXT".
bool WriteTextKanalData(const Modell& m, Oberflaeche& ui, int tag, Ergebnissatz& satz);
// "<stamm> Verlauf Tag <tag>.TXT".
bool WriteTagesgang(const Modell& m, Oberflaeche& ui, int tag, Ergebnissatz& satz);
// "<stamm> Jahre.TXT": one row per year of a run over several years.
bool WriteTextJahre(const std::vector<Jahreszeile>& jahre, Oberflaeche& ui, Ergebnissatz& satz);
// "<stamm> Hydraulik.TXT": per segment pipe type, flow per pipe, speed,
// Reynolds number, friction factor and drop at the base flow, then the local
// losses, the filter, the total and the fan's year.
bool WriteHydraulik(const Modell& m, const Ventilatorjahr& j, Oberflaeche& ui, Ergebnissatz& satz);
// "<stamm>2D Feld Seg <sss> Tag <ttt>.DAT", during the run.
bool WriteField(const Modell& m, int segment, int tag, Ergebnissatz& satz);

// The file of the set with this ending holding `inhalt` byte for byte.
bool WriteDatei(Ergebnissatz& satz, const std::string& endung, const std::string& inhalt);

// The name WriteField gives the file of this segment and day.
std::string FeldDateiname(const std::string& stamm, int segment, int tag);

}  // namespace terval
