#include "core/Laufstart.h"

#include <sys/stat.h>

#include <array>
#include <climits>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/Cor_mod.h"
#include "core/Eingabepruefung.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/DBErgout.h"

namespace terval {

namespace {

const char* const KlimaUnvollstaendig =
    "Der aktuelle Klimadatensatz enthält noch fehlende Daten !\r"
    "Vervollständigen Sie ihn oder verwenden Sie die Option \"Fehlende Klimadaten ergänzen\" um "
    "die Datenbank synthetisch zu vervollständigen!\r"
    "Klimaelemente mit fehlenden Daten sind in der Gültigkeitsprüfung ROT gekennzeichnet !";

// Identity of a file on disk: the writers replace a file by renaming a new
// one over it, so a file written during the run has a new inode.
struct Dateistand {
  bool vorhanden = false;
  ino_t inode = 0;
  bool operator==(const Dateistand&) const = default;
};

Dateistand StandVon(const std::filesystem::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return {};
  return {true, st.st_ino};
}

// The 2-D fields of the marked segment are written during the run. A run
// that is stopped (or refused by its fan schedule) must leave the files of
// an earlier run as they were, so each existing field file is copied aside
// before the run and put back afterwards.
struct Feldsicherung {
  std::filesystem::path dir;
  std::vector<std::string> namen;

  static std::filesystem::path Kopie(const std::filesystem::path& d, const std::string& name) {
    return d / ("." + name + ".vor-dem-lauf");
  }

  void Sichern() {
    std::error_code ec;
    for (const std::string& name : namen)
      if (std::filesystem::exists(dir / name, ec))
        std::filesystem::copy_file(dir / name, Kopie(dir, name),
                                   std::filesystem::copy_options::overwrite_existing, ec);
  }

  // The run did not complete: earlier files back, new ones away.
  void Zuruecklegen(const std::array<Dateistand, Referenztage.size()>& vorher) {
    std::error_code ec;
    for (size_t i = 0; i < namen.size(); ++i) {
      const auto kopie = Kopie(dir, namen[i]);
      if (std::filesystem::exists(kopie, ec))
        std::filesystem::rename(kopie, dir / namen[i], ec);
      else if (!vorher[i].vorhanden)
        std::filesystem::remove(dir / namen[i], ec);
    }
  }

  // The run completed: its files stand, the copies go.
  void Verwerfen() {
    std::error_code ec;
    for (const std::string& name : namen) std::filesystem::remove(Kopie(dir, name), ec);
  }
};

}  // namespace

Laufbericht EKModellFDVerfahren(Modell& m, Oberflaeche& ui, const Laufoptionen& o,
                                const std::string& arbeitsverzeichnis) {
  Laufbericht bericht;
  auto ablehnen = [&](const std::string& text) {
    ui.Fehler(text);
    return bericht;
  };

  m.StopRequested = false;

  if (!m.KlimaKomplett) return ablehnen(KlimaUnvollstaendig);
  if (m.Anz_Segmente < 2) return ablehnen("Sie haben noch keinen Erdkanal definiert !");
  if (m.Anz_Segmente > MaxSegmente)
    return ablehnen("Der Kanal hat " + FormatInt(m.Anz_Segmente) + " Segmente; höchstens " +
                    FormatInt(MaxSegmente) + " sind möglich !");
  // Both show their own messages.
  if (!PruefeKanal(m, ui)) return bericht;
  if (!PruefeGitter(m, ui)) return bericht;

  // The hour is examined only when one hour per day is wanted.
  int stunde = m.AusgabeStunde;
  if (o.NurEinTermin) {
    std::optional<long long> h = ParseGanzzahl(o.AusgabeStundeText);
    if (!h || *h < 0 || *h > 23)
      return ablehnen(o.AusgabeStundeText + " ist keine gültige Uhrzeit !" + "\r" +
                      "Bitte prüfen Sie ihre Angaben im Feld \"Ausgabeoptionen\"");
    stunde = static_cast<int>(*h);
  }

  // Only a segment beyond the channel is refused; 0 and negative numbers
  // mark no segment, like -1.
  std::optional<long long> mark = ParseGanzzahl(o.MarkSegmentText);
  if (!mark)
    return ablehnen(o.MarkSegmentText + " ist keine gültige Segmentnummer !" + "\r" +
                    "Bitte prüfen Sie ihre Angaben im Feld \"Segment-Markierung für 2D-Feld\"");
  if (*mark > m.Anz_Segmente) return ablehnen("Das markierte Segment liegt nicht innerhalb des Kanals");

  if (!(m.Rohrdaten.Rohr_Ra[1] > 0))
    return ablehnen(
        "Die Angaben für das Rohmaterial \"Hauptstrang\" sind unvollständig oder ungültig !");
  if (!(m.Rohrdaten.Rohr_Ra[2] > 0))
    return ablehnen(
        "Die Angaben für das Rohmaterial \"Register\" sind unvollständig oder ungültig !");

  // Values the model could hold but never compute with sensibly, after the
  // checks the user knows, so their order and texts stay as they were.
  if (!PruefeEingaben(m, ui, o.Luftseite)) return bericht;

  // Every check has passed: only now do the options reach the model, so a
  // refused run leaves it as it was.
  m.AusgabeVerzeichnis = arbeitsverzeichnis;
  m.AusgabeStamm = o.Stammname;
  m.MitFeuchte = o.MitFeuchte;
  m.FeuchteZeitschritt = o.FeuchteZeitschritt;
  m.Luftseite = o.Luftseite;
  if (m.Luftseite.Kondensation && !m.Luftseite.Energieerhaltend) {
    // The latent heat goes into the pipe cells, which the described coupling
    // holds at the wall temperature.
    m.Luftseite.Energieerhaltend = true;
    ui.Information("\"Kondensation berechnen\" gibt die latente Wärme an die Rohrzellen ab und rechnet "
                   "deshalb mit der \"Energieerhaltenden Rohrkopplung\"; sie ist für diesen Lauf eingeschaltet.");
  }
  m.TextAusgabe = o.TextAusgabe;
  m.NurEinTermin = o.NurEinTermin;
  m.AusgabeStunde = stunde;
  m.MarkSegment = *mark < INT_MIN ? -1 : static_cast<int32_t>(*mark);

  const std::filesystem::path dir(m.AusgabeVerzeichnis);
  const bool mitFeld = m.MarkSegment >= 1 && m.MarkSegment <= m.Anz_Segmente;
  std::array<Dateistand, Referenztage.size()> feldVorher{};
  Feldsicherung sicherung{dir, {}};
  if (mitFeld) {
    for (size_t i = 0; i < Referenztage.size(); ++i) {
      sicherung.namen.push_back(FeldDateiname(m.AusgabeStamm, m.MarkSegment, Referenztage[i]));
      feldVorher[i] = StandVon(dir / sicherung.namen.back());
    }
    sicherung.Sichern();
  }

  // The driver sets ErgebnisseVorhanden once its preparation has passed; a
  // fan schedule it refuses leaves it clear, and then there is nothing to write.
  const bool ergebnisseVorher = m.ErgebnisseVorhanden;
  m.ErgebnisseVorhanden = false;

  ui.LaufBeginnt();
  RechneKanal(m, ui);

  if (m.StopRequested) {
    sicherung.Zuruecklegen(feldVorher);
    ui.LaufEndet();
    ui.Warnung("Die Simulation wurde vom Anweder abgebrochen !");
    bericht.ergebnis = Laufergebnis::Abgebrochen;
    return bericht;
  }
  if (!m.ErgebnisseVorhanden) {
    // CalcVolumenstrom has shown why.
    sicherung.Zuruecklegen(feldVorher);
    ui.LaufEndet();
    m.ErgebnisseVorhanden = ergebnisseVorher;
    return bericht;
  }
  bericht.ergebnis = Laufergebnis::Fertig;
  sicherung.Verwerfen();

  if (mitFeld)
    for (size_t i = 0; i < Referenztage.size(); ++i) {
      const std::string name = FeldDateiname(m.AusgabeStamm, m.MarkSegment, Referenztage[i]);
      const Dateistand jetzt = StandVon(dir / name);
      if (jetzt.vorhanden && !(jetzt == feldVorher[i]))
        bericht.dateien.push_back(name);
      else
        bericht.nichtGeschrieben.push_back(name);
    }

  auto vermerke = [&](bool geschrieben, const std::string& name) {
    (geschrieben ? bericht.dateien : bericht.nichtGeschrieben).push_back(name);
  };

  ui.DrawSegment(m.Anz_Segmente);
  if (m.TextAusgabe)
    vermerke(WriteTextSegmentData(m, ui, m.AusgabeVerzeichnis, m.AusgabeStamm),
             m.AusgabeStamm + " Gesamtergebnis.TXT");
  else
    vermerke(WriteDBSegmentData(m, ui, m.AusgabeVerzeichnis, m.AusgabeStamm),
             m.AusgabeStamm + " Gesamtergebnis.dbf");
  for (int tag : Referenztage)
    vermerke(WriteTextKanalData(m, ui, tag, m.AusgabeVerzeichnis, m.AusgabeStamm),
             m.AusgabeStamm + " Kanal Tag " + FormatInt(tag) + ".TXT");
  if (m.Luftseite.Kondensation)
    vermerke(WriteKondensat(m, ui, m.AusgabeVerzeichnis, m.AusgabeStamm), m.AusgabeStamm + " Kondensat.TXT");
  if (o.Tagesgang)
    for (int tag : Referenztage)
      vermerke(WriteTagesgang(m, ui, tag, m.AusgabeVerzeichnis, m.AusgabeStamm),
               m.AusgabeStamm + " Verlauf Tag " + FormatInt(tag) + ".TXT");
  // The model-grid window and the stop button stay until the files are written.
  ui.LaufEndet();
  return bericht;
}

}  // namespace terval
