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
class Oberflaeche;

// "<stamm> Gesamtergebnis.TXT". Text-file errors are not shown to the user;
// the result says whether the file was written completely.
bool WriteTextSegmentData(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                          const std::string& stamm);
// Table "<stamm> Gesamtergebnis.dbf"; false after an error message.
bool WriteDBSegmentData(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                        const std::string& stamm);
// "<stamm> Kondensat.TXT" of a run with the option Kondensation: condensate
// per segment and month, drained water per segment, hours with condensation
// and latent heat per month; false (silently) when not written.
bool WriteKondensat(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                    const std::string& stamm);
// "<stamm> Kanal Tag <tag>.TXT"; false (silently) when not written.
bool WriteTextKanalData(const Modell& m, Oberflaeche& ui, int tag, const std::string& verzeichnis,
                        const std::string& stamm);
// "<stamm> Verlauf Tag <tag>.TXT"; false (silently) when not written.
bool WriteTagesgang(const Modell& m, Oberflaeche& ui, int tag, const std::string& verzeichnis,
                    const std::string& stamm);
// "<stamm>2D Feld Seg <sss> Tag <ttt>.DAT", during the run; shows nothing.
void WriteField(const Modell& m, int segment, int tag, const std::string& verzeichnis,
                const std::string& stamm);

// The name WriteField gives the file of this segment and day.
std::string FeldDateiname(const std::string& stamm, int segment, int tag);

}  // namespace terval
