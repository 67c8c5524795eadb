#include "core/Laufstart.h"

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Cor_mod.h"
#include "core/Eingabepruefung.h"
#include "core/Ventilator.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/DBErgout.h"
#include "output/Ergebnissatz.h"

namespace terval {

namespace {

const char* const KlimaUnvollstaendig =
    "Der aktuelle Klimadatensatz enthält noch fehlende Daten !\r"
    "Vervollständigen Sie ihn oder verwenden Sie die Option \"Fehlende Klimadaten ergänzen\" um "
    "die Datenbank synthetisch zu vervollständigen!\r"
    "Klimaelemente mit fehlenden Daten sind in der Gültigkeitsprüfung ROT gekennzeichnet !";

// The number of years and every table of a sequence, each checked as the
// loaded table is. Leaves the model's climate as it was.
bool PruefeJahre(Modell& m, Oberflaeche& ui, const Laufoptionen& o) {
  const size_t tabellen = o.Klimafolge.size();
  if (o.Jahre < 1 || o.Jahre > MaxJahre) {
    ui.Fehler("Die Anzahl Jahre muss zwischen 1 und " + FormatInt(MaxJahre) + " liegen !");
    return false;
  }
  if (tabellen > static_cast<size_t>(MaxJahre)) {
    ui.Fehler("Eine Folge darf höchstens " + FormatInt(MaxJahre) + " Klimatabellen enthalten !");
    return false;
  }
  if (tabellen >= 2 && o.Jahre != 1) {
    ui.Fehler("Eine Folge von Klimatabellen rechnet je Tabelle ein Jahr;\r"
              "die \"Anzahl Jahre\" muss dann 1 sein !");
    return false;
  }
  if (tabellen == 0) return true;
  const Klimajahr vorher = KlimajahrVon(m, m.DBKlimaName);
  const auto T_ein = m.Segmente[1].T_ein;
  bool ok = true;
  for (const Klimajahr& k : o.Klimafolge) {
    if (k.Klima.size() != static_cast<size_t>(Stunden) + 1 || !k.Komplett) {
      ui.Fehler("Klimatabelle \"" + k.Name + "\":\r" + KlimaUnvollstaendig);
      ok = false;
      break;
    }
    SetzeKlimajahr(m, k);
    if (!PruefeEingaben(m, ui)) {
      ok = false;
      break;
    }
  }
  SetzeKlimajahr(m, vorher);
  m.Segmente[1].T_ein = T_ein;
  return ok;
}

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
  if (!PruefeJahre(m, ui, o)) return bericht;

  // The stem's set is ours for the whole run: its 2-D fields are written
  // during the run, the other files after it.
  std::string fehler;
  std::unique_ptr<Ergebnissatz> satz;
  if (o.Ergebnisdateien) {
    satz = Ergebnissatz::Oeffnen(arbeitsverzeichnis, o.Stammname, fehler);
    if (!satz) return ablehnen(fehler);
  }

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

  // The driver sets ErgebnisseVorhanden once its preparation has passed; a
  // fan schedule it refuses leaves it clear, and then there is nothing to write.
  const bool ergebnisseVorher = m.ErgebnisseVorhanden;
  m.ErgebnisseVorhanden = false;

  ui.LaufBeginnt();
  Jahreslauf lauf;
  lauf.Jahre = o.Jahre;
  lauf.Folge = o.Klimafolge;
  lauf.Vorrat = o.Vorrat;
  lauf.Vorlauf = o.Vorlauf;
  // A study's variants are shown in no window and draw no pictures.
  if (m.MarkSegment >= 1 && o.Vorrat == nullptr) lauf.Boden = &bericht.boden;
  RechneKanal(m, ui, lauf, Rechenweg::Gemeinsam, satz.get());

  // A stop before the new set has taken the place of the earlier one
  // leaves the earlier one: the set throws its working files away.
  auto gestoppt = [&] {
    satz.reset();
    ui.LaufEndet();
    ui.Warnung("Die Simulation wurde vom Anweder abgebrochen !");
    bericht.ergebnis = Laufergebnis::Abgebrochen;
    return bericht;
  };
  if (m.StopRequested) return gestoppt();
  if (!m.ErgebnisseVorhanden) {
    // CalcVolumenstrom has shown why.
    satz.reset();
    ui.LaufEndet();
    m.ErgebnisseVorhanden = ergebnisseVorher;
    return bericht;
  }
  bericht.jahre = std::move(lauf.Zeilen);
  // The fan's year is that of the last year computed, as are the other files.
  bericht.ventilator = BerechneVentilatorjahr(m);
  // With the small-flow exchange on, those hours do exchange: nothing to say.
  if (const std::string hinweis = Schwachlasthinweis(bericht.ventilator);
      !hinweis.empty() && !m.Luftseite.KleinerVolumenstrom)
    ui.Information(hinweis);

  if (!satz) {
    ui.LaufEndet();
    bericht.ergebnis = Laufergebnis::Fertig;
    return bericht;
  }

  // Between the writers the stop button is asked again.
  auto stopp = [&] {
    ui.procMsg();
    return m.StopRequested;
  };
  ui.DrawSegment(m.Anz_Segmente);
  if (m.TextAusgabe)
    WriteTextSegmentData(m, ui, *satz);
  else
    WriteDBSegmentData(m, ui, *satz);
  for (int tag : Referenztage) {
    if (stopp()) return gestoppt();
    WriteTextKanalData(m, ui, tag, *satz);
  }
  if (m.Luftseite.Kondensation) {
    if (stopp()) return gestoppt();
    WriteKondensat(m, ui, *satz);
  }
  if (o.Tagesgang)
    for (int tag : Referenztage) {
      if (stopp()) return gestoppt();
      WriteTagesgang(m, ui, tag, *satz);
    }
  if (stopp()) return gestoppt();
  WriteHydraulik(m, bericht.ventilator, ui, *satz);
  if (lauf.AnzahlJahre() > 1) {
    if (stopp()) return gestoppt();
    WriteTextJahre(bericht.jahre, ui, *satz);
  }
  if (o.Bilder != nullptr) {
    if (stopp()) return gestoppt();
    WriteBilder(m, bericht.boden, *o.Bilder, ui, *satz);
  }
  if (stopp()) return gestoppt();

  bericht.ergebnis = Laufergebnis::Fertig;
  if (satz->Uebernehmen(fehler)) {
    bericht.dateien = satz->Dateien();
  } else {
    bericht.nichtGeschrieben = satz->Dateien();
    ui.Fehler(fehler);
  }
  satz.reset();
  // The model-grid window and the stop button stay until the files are written.
  ui.LaufEndet();
  // Once the new set has replaced the earlier one a stop changes nothing.
  if (stopp())
    ui.Information("Der Abbruch kam zu spät: die Simulation war abgeschlossen und ihre Ergebnisdateien "
                   "sind geschrieben.");
  return bericht;
}

}  // namespace terval
