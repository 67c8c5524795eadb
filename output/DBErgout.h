// The result files of a run: the overall results (text or table), the
// channel-profile and day-course files of the reference days, and the 2-D
// field of the marked segment.
//
// Files are named as the user knows them and written into `verzeichnis`
// (the working directory recorded at the start of the run). Text files have
// CR LF line ends and Windows-1252 bytes. A file appears under its name only
// when it is complete; a failed write keeps an older file of that name.
#pragma once

#include <string>

namespace terval {

struct Modell;
struct Ventilatorjahr;
class Oberflaeche;

// "<stamm> Gesamtergebnis.TXT". Text-file errors are not shown to the user;
// the result says whether the file was written completely.
bool WriteTextSegmentData(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                          const std::string& stamm);
// Table "<stamm> Gesamtergebnis.dbf"; false after an error message.
bool WriteDBSegmentData(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                        const std::string& stamm);
// "<stamm> Kanal Tag <tag>.TXT"; false (silently) when not written.
bool WriteTextKanalData(const Modell& m, Oberflaeche& ui, int tag, const std::string& verzeichnis,
                        const std::string& stamm);
// "<stamm> Verlauf Tag <tag>.TXT"; false (silently) when not written.
bool WriteTagesgang(const Modell& m, Oberflaeche& ui, int tag, const std::string& verzeichnis,
                    const std::string& stamm);
// "<stamm> Hydraulik.TXT": per segment pipe type, flow per pipe, speed,
// Reynolds number, friction factor and drop at the base flow, then the local
// losses, the filter, the total and the fan's year; false (silently) when
// not written.
bool WriteHydraulik(const Modell& m, const Ventilatorjahr& j, Oberflaeche& ui, const std::string& verzeichnis,
                    const std::string& stamm);
// "<stamm>2D Feld Seg <sss> Tag <ttt>.DAT", during the run; shows nothing.
void WriteField(const Modell& m, int segment, int tag, const std::string& verzeichnis,
                const std::string& stamm);

// The name WriteField gives the file of this segment and day.
std::string FeldDateiname(const std::string& stamm, int segment, int tag);

}  // namespace terval
