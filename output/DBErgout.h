// The result files of a run: the overall results (text or table), the
// channel-profile and day-course files of the reference days, and the 2-D
// field of the marked segment.
//
// Files are named as the user knows them and written into `verzeichnis`
// (the working directory recorded at the start of the run).
#pragma once

#include <string>

namespace terval {

struct Modell;
class Oberflaeche;

// "<stamm> Gesamtergebnis.TXT"
void WriteTextSegmentData(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                          const std::string& stamm);
// Table "<stamm> Gesamtergebnis.dbf"; false after an error message.
bool WriteDBSegmentData(const Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                        const std::string& stamm);
// "<stamm> Kanal Tag <tag>.TXT"
void WriteTextKanalData(const Modell& m, Oberflaeche& ui, int tag, const std::string& verzeichnis,
                        const std::string& stamm);
// "<stamm> Verlauf Tag <tag>.TXT"
void WriteTagesgang(const Modell& m, Oberflaeche& ui, int tag, const std::string& verzeichnis,
                    const std::string& stamm);
// "<stamm>2D Feld Seg <sss> Tag <ttt>.DAT", during the run; shows nothing.
void WriteField(const Modell& m, int segment, int tag, const std::string& verzeichnis,
                const std::string& stamm);

}  // namespace terval
