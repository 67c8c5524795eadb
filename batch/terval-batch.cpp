// terval-batch: the road of "Simulation starten..." without a window, from
// the channel, climate and location files to the result files in the
// current directory. For scripted studies and the end-to-end tests.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/Einlesen.h"
#include "batch/StderrOberflaeche.h"
#include "batch/Studie.h"
#include "core/Laufstart.h"
#include "core/Ventilator.h"
#include "model/Systemgrund.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "physics/Hydraulik.h"
#ifdef TERVAL_BILDER
#include "ui/Bildwerk.h"
#endif

namespace terval {
namespace {

// Exit status of the program.
enum Status { Fertig = 0, Abgelehnt = 1, FalscheOptionen = 2, Gestoppt = 130 };

const char* const Hilfetext =
    "Aufruf:\n"
    "  terval-batch --kanal DATEI.ewt.db --klima DATEI [--klima DATEI ...] [--standort DATEI.loc.db]\n"
    "               [--stamm NAME] [--text] [--tagesgang] [--nur-stunde H] [--markseg N]\n"
    "               [--ohne-feuchte] [--feuchte-zeitschritt 3600|1800|600|60|1]\n"
    "               [--erzeugen | --erzeugen-zurueckschreiben] [--seed N] [--jahre N]\n"
    "               [--rauhigkeit MM] [--zeta-einlauf Z] [--boegen N] [--zeta-bogen Z]\n"
    "               [--zeta-register Z] [--zeta-auslauf Z] [--filter-pa PA] [--wirkungsgrad ETA]\n"
    "               [--kleiner-volumenstrom] [--energieerhaltend] [--kondensation]\n"
    "               [--bilder]\n"
    "               [--studie STUDIE.csv [--zeilen A-B] [--studie-dateien] [--kerne N]]\n"
    "  terval-batch --studie-zusammenfuehren [--stamm NAME] TEIL.csv ...\n"
    "  terval-batch --help | --version\n"
    "\n"
    "Rechnet einen Erdwärmetauscher (Erdkanal) Stunde für Stunde über ein Klimajahr,\n"
    "genau wie \"Simulation starten...\" im Hauptprogramm, und schreibt die\n"
    "Ergebnisdateien in das aktuelle Verzeichnis. SOILS.DAT und Rohre.DBF werden wie\n"
    "beim Programmstart im Programmverzeichnis (oder in ../share/terval) gesucht.\n"
    "\n"
    "Eingaben:\n"
    "  --kanal DATEI         Kanaldatei (*.ewt.db): Segmente, Rohrtypen und Betrieb\n"
    "                        des Ventilators. Pflichtangabe.\n"
    "  --klima DATEI         Klimatabelle mit 8760 Stundenwerten: dBASE (*.DBF),\n"
    "                        Paradox (*.DB), Text (*.txt), EnergyPlus (*.epw) oder\n"
    "                        Testreferenzjahr (*.dat). Pflichtangabe. Mehrmals\n"
    "                        angegeben: eine Folge echter Jahre, je Tabelle ein Jahr in\n"
    "                        der gegebenen Reihenfolge; Boden und Startprofil gehen von\n"
    "                        den Mitteltemperaturen der ganzen Folge aus.\n"
    "  --standort DATEI      Standortprofil (*.loc.db). Ohne diese Angabe gelten die\n"
    "                        Startwerte des Hauptprogramms.\n"
    "\n"
    "Ausgabe:\n"
    "  --stamm NAME          Stammname der Ergebnisdateien (Vorgabe: Terval).\n"
    "  --text                Hauptdatei als Text \"NAME Gesamtergebnis.TXT\" statt als\n"
    "                        dBASE-Tabelle \"NAME Gesamtergebnis.dbf\".\n"
    "  --tagesgang           zusätzlich die Tagesgangdateien \"NAME Verlauf Tag T.TXT\"\n"
    "                        der Referenztage 14, 74, 166, 225 und 258. Die\n"
    "                        Kanalprofile \"NAME Kanal Tag T.TXT\" entstehen immer.\n"
    "  --nur-stunde H        in der Hauptdatei nur die Stunde H (0 bis 23) jedes Tages\n"
    "                        statt des kompletten Tagesgangs.\n"
    "  --markseg N           das 2D-Feld (Temperatur und Feuchte) von Segment N an den\n"
    "                        Referenztagen ausgeben; -1 (Vorgabe): keines.\n"
    "\n"
    "Rechnung:\n"
    "  --ohne-feuchte        ohne dynamische Feuchtemodellierung des Bodens rechnen.\n"
    "  --feuchte-zeitschritt S\n"
    "                        Zeitschritt des Feuchtemodells in Sekunden: 3600 (grob,\n"
    "                        Vorgabe), 1800, 600, 60 oder 1 (exakt, sehr langsam).\n"
    "  --erzeugen            fehlende Klimadaten vor der Rechnung synthetisch aus dem\n"
    "                        Standortprofil ergänzen, nur im Speicher.\n"
    "  --erzeugen-zurueckschreiben\n"
    "                        wie --erzeugen, schreibt die ergänzten Daten aber in die\n"
    "                        Klimatabelle zurück (die Sicherheitsabfrage gilt als\n"
    "                        bejaht; legen Sie vorher eine Sicherungskopie an).\n"
    "  --seed N              fester Startwert des Zufallsgenerators für --erzeugen\n"
    "                        (sonst die Uhrzeit), damit sich eine Rechnung wiederholen läßt.\n"
    "  --jahre N             \"Anzahl Jahre\": das Klimajahr N-mal hintereinander rechnen\n"
    "                        (1 bis 50, Vorgabe 1); der Boden jedes Segments geht vom\n"
    "                        Ende eines Jahres in das nächste über. Nur mit einer\n"
    "                        Klimatabelle. Ab 2 Jahren (auch bei einer Folge) entsteht\n"
    "                        \"NAME Jahre.TXT\" mit einer Zeile je Jahr; die übrigen\n"
    "                        Ergebnisdateien zeigen das letzte Jahr.\n"
    "\n"
    "Luftweg (ersetzt die Angaben der Kanaldatei; Vorgaben: die der Kanaldatei,\n"
    "ohne solche Angaben ein glattes Kunststoffrohr):\n"
    "  --rauhigkeit MM       Rauhigkeit der Rohrwand in mm, beide Rohrtypen (0 bis 10;\n"
    "                        Vorgabe 0.007 für PE/PVC, Beton 0.3 bis 1).\n"
    "  --zeta-einlauf Z      Verlustbeiwert des Einlaufs (0 bis 50; Vorgabe 0.5).\n"
    "  --boegen N            Anzahl der 90°-Bögen im Hauptstrang (0 bis 100; Vorgabe 2).\n"
    "  --zeta-bogen Z        Verlustbeiwert eines Bogens (Vorgabe 0.15).\n"
    "  --zeta-register Z     Verlustbeiwert der Verteilung in ein Register und, noch\n"
    "                        einmal, der Sammlung aus ihm (Vorgabe 1).\n"
    "  --zeta-auslauf Z      Verlustbeiwert des Auslaufs ins Lüftungsgerät (Vorgabe 1).\n"
    "  --filter-pa PA        Druckverlust des Ansaugfilters beim Basis-Volumenstrom in\n"
    "                        Pa (0 bis 2000; Vorgabe 0, Grobfilter 30 bis 60, Feinfilter\n"
    "                        100 bis 180); er wächst mit dem Quadrat des Volumenstroms.\n"
    "  --wirkungsgrad ETA    Gesamtwirkungsgrad des Ventilators (0.01 bis 1; Vorgabe 0.35).\n"
    "\n"
    "Luftseite (über das beschriebene Modell hinaus; in der ersten Zeile der\n"
    "Textergebnisse genannt):\n"
    "  --kleiner-volumenstrom\n"
    "                        \"Wärmeübergang auch bei kleinem Volumenstrom\": unter\n"
    "                        100 m3/h je Rohr tauscht die Luft Wärme aus\n"
    "                        (Wirkungsgradform, laminarer Wärmeübergang), statt das\n"
    "                        Segment unverändert zu durchströmen.\n"
    "  --energieerhaltend    \"Energieerhaltende Rohrkopplung\": die Rohrzellen rechnen\n"
    "                        als Erdreich mit der Luft als Wärmesenke; was die Luft\n"
    "                        aufnimmt, gibt das Erdreich ab.\n"
    "  --kondensation        \"Kondensation berechnen\": Luftfeuchte im Kanal,\n"
    "                        Kondensat und Wasserfilm an der Rohrwand, latente Wärme\n"
    "                        ins Erdreich; schaltet --energieerhaltend ein. Schreibt\n"
    "                        \"NAME Kondensat.TXT\".\n"
    "\n"
    "Variantenstudie (viele Varianten eines Kanals, nebeneinander auf allen Kernen):\n"
    "  --studie DATEI        Studiendatei (CSV, ';' getrennt, UTF-8, eine Kopfzeile):\n"
    "                        je Zeile eine Variante mit der Spalte \"Name\" (ein\n"
    "                        einfacher Dateiname, eindeutig) und beliebigen dieser\n"
    "                        Spalten, die die Eingaben oben für die Variante ersetzen\n"
    "                        (ein leeres Feld läßt sie stehen): Kanal, Standort, Klima\n"
    "                        (Dateien, relativ zur Studiendatei), Segmente (Anzahl; die\n"
    "                        Segmentliste wird ab Segment 1 wiederholt oder gekürzt),\n"
    "                        Tiefe (m, alle Segmente), Rohrtyp (Name im Rohrkatalog),\n"
    "                        Innendurchmesser_mm, Wanddicke_mm (beide Rohrtypen),\n"
    "                        Anz_Rohre, Abst_Rohre (m), Volumenstrom (m3/h),\n"
    "                        Betriebsart (0 bis 3), Bodenart (Nummer in SOILS.DAT),\n"
    "                        StartBodenfeuchte (%), Feuchte (ja/nein), Rauhigkeit (mm),\n"
    "                        Zeta_Einlauf, Boegen, Zeta_Bogen, Zeta_Register,\n"
    "                        Zeta_Auslauf, Filter_Pa, Wirkungsgrad.\n"
    "                        Schreibt \"NAME Studie.csv\" und \"NAME Studie.dbf\": je\n"
    "                        Variante ihre Eingaben, Wärmegewinn und -abgabe der Luft,\n"
    "                        Austrittstemperatur (Mittel, Minimum, Maximum), Stunden\n"
    "                        unter 0 °C und über 26 °C, Druckverlust, Ventilatorenergie\n"
    "                        und Arbeitszahl; eine abgelehnte Variante mit \"Meldung\".\n"
    "  --zeilen A-B          nur die Varianten A bis B der Studie (1 = erste Zeile nach\n"
    "                        der Kopfzeile), etwa je Rechner oder Job eines Clusters.\n"
    "  --studie-dateien      zusätzlich die üblichen Ergebnisdateien jeder Variante in\n"
    "                        einen Ordner mit ihrem Namen.\n"
    "  --kerne N             höchstens N Varianten gleichzeitig (Vorgabe: alle Kerne).\n"
    "  --studie-zusammenfuehren TEIL.csv ...\n"
    "                        die Tabellen der Teile einer Studie zu \"NAME Studie.csv\"\n"
    "                        und \"NAME Studie.dbf\" zusammenführen; Teile verschiedener\n"
    "                        Studien und Lücken werden abgelehnt.\n"
    "\n"
    "Bilder:\n"
    "  --bilder              zusätzlich PNG-Bilder wie \"Als Bild speichern…\" im\n"
    "                        Hauptprogramm: \"NAME Bild Boden Tag T.png\" (das 2D-Feld\n"
    "                        des markierten Segments an den Referenztagen, nur mit\n"
    "                        --markseg), \"NAME Bild Monate.png\" und \"NAME Bild\n"
    "                        Dauerlinie.png\". Braucht keinen Bildschirm. Nur in einem\n"
    "                        Build mit dem Hauptprogramm (TERVAL_GUI=ON); sonst\n"
    "                        endet terval-batch mit Rückgabewert 2.\n"
    "\n"
    "  --help                diese Hilfe.\n"
    "  --version             Programmversion.\n"
    "\n"
    "Nachrichten und Fortschritt erscheinen auf der Standardfehlerausgabe (Ja/Nein-\n"
    "Fragen werden mit Nein beantwortet), die Zusammenfassung auf der Standardausgabe.\n"
    "Strg-C beendet eine Studie nach den laufenden Varianten und schreibt die fertigen.\n"
    "Strg-C beendet die Rechnung nach dem laufenden Segment; dann wird keine\n"
    "Ergebnisdatei geschrieben. Ein zweites Strg-C bricht sofort ab.\n"
    "\n"
    "Rückgabewert: 0 fertig, 1 Rechnung abgelehnt oder Eingabe nicht lesbar,\n"
    "2 falsche Optionen, 130 vom Anwender abgebrochen.\n";

// The command line as given.
struct Aufruf {
  Eingaben ein;
  bool jahreGesetzt = false;
  Laufoptionen lauf;
  bool nurSpeicher = false;  // --erzeugen itself, to tell it from --erzeugen-zurueckschreiben
  bool hilfe = false;
  bool version = false;
  // A variant study, a slice of it, or the join of slices.
  std::string studie;
  int von = 1, bis = 0;
  bool studieZeilen = false, studieDateien = false, zusammenfuehren = false;
  int kerne = 0;  // 0: all
  std::vector<std::string> teile;  // the tables to join
};

// One option: its name, whether it takes a value, and what it does with it.
// `setze` returns false after filling `fehler`. Values the main window would
// refuse with its own messages (the hour, the marked segment) are passed on
// as text so that both refuse them alike. A new option is one row here and
// its lines in the help text.
struct Option {
  const char* name;
  bool mitWert;
  bool (*setze)(Aufruf& a, const std::string& wert, std::string& fehler);
};

// A number of an air path option within its range.
std::optional<float> Luftwegzahl(const char* option, const std::string& w, const Wertebereich& b,
                                 std::string& fehler) {
  const std::optional<double> x = ParseZahl(w);
  if (x && b.Enthaelt(static_cast<float>(*x))) return static_cast<float>(*x);
  fehler = std::string(option) + " erwartet eine Zahl von " + b.Text() + ", nicht \"" + w + "\".";
  return std::nullopt;
}

bool Luftweg(Aufruf& a, const char* option, float THydraulik::*feld, const Wertebereich& b, const std::string& w,
             std::string& fehler) {
  const std::optional<float> x = Luftwegzahl(option, w, b, fehler);
  if (x) a.ein.luftweg.emplace_back(feld, *x);
  return x.has_value();
}

// --bilder: the desktop program's renderer, when this build has one.
bool MitBildern(Laufoptionen& lauf, std::string& fehler) {
#ifdef TERVAL_BILDER
  lauf.Bilder = &QtBildmaler::Batch();
  (void)fehler;
  return true;
#else
  (void)lauf;
  fehler = "--bilder gibt es nur in einem Build mit dem Hauptprogramm (TERVAL_GUI=ON); dieser Build zeichnet keine Bilder.";
  return false;
#endif
}

const Option Optionen[] = {
    {"--kanal", true, [](Aufruf& a, const std::string& w, std::string&) { a.ein.kanal = w; return true; }},
    {"--klima", true, [](Aufruf& a, const std::string& w, std::string&) { a.ein.klima.push_back(w); return true; }},
    {"--standort", true, [](Aufruf& a, const std::string& w, std::string&) { a.ein.standort = w; return true; }},
    {"--stamm", true, [](Aufruf& a, const std::string& w, std::string&) { a.lauf.Stammname = w; return true; }},
    {"--nur-stunde", true,
     [](Aufruf& a, const std::string& w, std::string&) {
       a.lauf.NurEinTermin = true;
       a.lauf.AusgabeStundeText = w;
       return true;
     }},
    {"--markseg", true, [](Aufruf& a, const std::string& w, std::string&) { a.lauf.MarkSegmentText = w; return true; }},
    {"--feuchte-zeitschritt", true,
     [](Aufruf& a, const std::string& w, std::string& fehler) {
       const std::optional<long long> s = ParseGanzzahl(w);
       if (!s || (*s != 3600 && *s != 1800 && *s != 600 && *s != 60 && *s != 1)) {
         fehler = "--feuchte-zeitschritt erlaubt nur 3600, 1800, 600, 60 oder 1, nicht \"" + w + "\".";
         return false;
       }
       a.lauf.FeuchteZeitschritt = static_cast<int>(*s);
       return true;
     }},
    {"--seed", true,
     [](Aufruf& a, const std::string& w, std::string& fehler) {
       const std::optional<long long> s = ParseGanzzahl(w);
       if (!s || *s < 0 || *s > 0xFFFFFFFFLL) {
         fehler = "--seed erwartet eine ganze Zahl von 0 bis 4294967295, nicht \"" + w + "\".";
         return false;
       }
       a.ein.seed = static_cast<unsigned>(*s);
       return true;
     }},
    {"--jahre", true,
     [](Aufruf& a, const std::string& w, std::string& fehler) {
       const std::optional<long long> n = ParseGanzzahl(w);
       if (!n || *n < 1 || *n > MaxJahre) {
         fehler = "--jahre erwartet eine ganze Zahl von 1 bis " + FormatInt(MaxJahre) + ", nicht \"" + w + "\".";
         return false;
       }
       a.lauf.Jahre = static_cast<int>(*n);
       a.jahreGesetzt = true;
       return true;
     }},
    {"--rauhigkeit", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return (a.ein.rauhigkeit = Luftwegzahl("--rauhigkeit", w, Rauhigkeitsbereich, f)).has_value();
     }},
    {"--zeta-einlauf", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return Luftweg(a, "--zeta-einlauf", &THydraulik::Zeta_Einlauf, Zetabereich, w, f);
     }},
    {"--boegen", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       const std::optional<long long> n = ParseGanzzahl(w);
       if (n && *n >= 0 && *n <= 100) return (a.ein.boegen = static_cast<int32_t>(*n)).has_value();
       f = "--boegen erwartet eine ganze Zahl von 0 bis 100, nicht \"" + w + "\".";
       return false;
     }},
    {"--zeta-bogen", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return Luftweg(a, "--zeta-bogen", &THydraulik::Zeta_Bogen, Zetabereich, w, f);
     }},
    {"--zeta-register", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return Luftweg(a, "--zeta-register", &THydraulik::Zeta_Register, Zetabereich, w, f);
     }},
    {"--zeta-auslauf", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return Luftweg(a, "--zeta-auslauf", &THydraulik::Zeta_Auslauf, Zetabereich, w, f);
     }},
    {"--filter-pa", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return Luftweg(a, "--filter-pa", &THydraulik::Filter_Pa, Filterbereich, w, f);
     }},
    {"--wirkungsgrad", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       return Luftweg(a, "--wirkungsgrad", &THydraulik::Wirkungsgrad, Wirkungsgradbereich, w, f);
     }},
    {"--text", false, [](Aufruf& a, const std::string&, std::string&) { a.lauf.TextAusgabe = true; return true; }},
    {"--tagesgang", false, [](Aufruf& a, const std::string&, std::string&) { a.lauf.Tagesgang = true; return true; }},
    {"--ohne-feuchte", false, [](Aufruf& a, const std::string&, std::string&) { a.lauf.MitFeuchte = false; return true; }},
    {"--erzeugen", false, [](Aufruf& a, const std::string&, std::string&) { a.ein.erzeugen = a.nurSpeicher = true; return true; }},
    {"--erzeugen-zurueckschreiben", false,
     [](Aufruf& a, const std::string&, std::string&) { a.ein.erzeugen = a.ein.zurueckschreiben = true; return true; }},
    {"--kleiner-volumenstrom", false, [](Aufruf& a, const std::string&, std::string&) { a.lauf.Luftseite.KleinerVolumenstrom = true; return true; }},
    {"--energieerhaltend", false, [](Aufruf& a, const std::string&, std::string&) { a.lauf.Luftseite.Energieerhaltend = true; return true; }},
    {"--studie", true, [](Aufruf& a, const std::string& w, std::string&) { a.studie = w; return true; }},
    {"--zeilen", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       const size_t strich = w.find('-');
       const std::optional<long long> von = ParseGanzzahl(w.substr(0, strich));
       const std::optional<long long> bis = strich == std::string::npos ? von : ParseGanzzahl(w.substr(strich + 1));
       if (!von || !bis || *von < 1 || *bis < *von || *bis > 1000000000) {
         f = "--zeilen erwartet zwei Zeilennummern A-B mit 1 <= A <= B, nicht \"" + w + "\".";
         return false;
       }
       a.von = static_cast<int>(*von), a.bis = static_cast<int>(*bis), a.studieZeilen = true;
       return true;
     }},
    {"--kerne", true,
     [](Aufruf& a, const std::string& w, std::string& f) {
       const std::optional<long long> n = ParseGanzzahl(w);
       if (n && *n >= 1 && *n <= 1024) return (a.kerne = static_cast<int>(*n)) > 0;
       f = "--kerne erwartet eine ganze Zahl von 1 bis 1024, nicht \"" + w + "\".";
       return false;
     }},
    {"--studie-dateien", false, [](Aufruf& a, const std::string&, std::string&) { return a.studieDateien = true; }},
    {"--studie-zusammenfuehren", false,
     [](Aufruf& a, const std::string&, std::string&) { return a.zusammenfuehren = true; }},
    {"--kondensation", false, [](Aufruf& a, const std::string&, std::string&) { a.lauf.Luftseite.Kondensation = true; return true; }},
    {"--bilder", false, [](Aufruf& a, const std::string&, std::string& f) { return MitBildern(a.lauf, f); }},
};

// Parses the options; on a mistake returns nothing and sets `fehler`.
std::optional<Aufruf> LiesAufruf(const std::vector<std::string>& args, std::string& fehler) {
  Aufruf a;
  a.lauf.Stammname = "Terval";
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> wert;
    if (name.rfind("--", 0) == 0) {
      const size_t gleich = name.find('=');
      if (gleich != std::string::npos) {
        wert = name.substr(gleich + 1);
        name.resize(gleich);
      }
    } else {
      // The tables of --studie-zusammenfuehren; anywhere else a mistake.
      a.teile.push_back(name);
      continue;
    }
    if (name == "--help" || name == "--version") {
      (name == "--version" ? a.version : a.hilfe) = true;
      continue;
    }
    const Option* o = std::find_if(std::begin(Optionen), std::end(Optionen),
                                   [&](const Option& k) { return name == k.name; });
    if (o == std::end(Optionen)) {
      fehler = "Unbekannte Option \"" + name + "\".";
      return std::nullopt;
    }
    if (o->mitWert && !wert) {
      if (i + 1 >= args.size()) {
        fehler = "Die Option " + name + " braucht einen Wert.";
        return std::nullopt;
      }
      wert = args[++i];
    } else if (!o->mitWert && wert) {
      fehler = "Die Option " + name + " hat keinen Wert.";
      return std::nullopt;
    }
    if (!o->setze(a, wert.value_or(""), fehler)) return std::nullopt;
  }
  if (a.hilfe || a.version) return a;
  if (!a.teile.empty() && !a.zusammenfuehren) {
    fehler = "Unerwartetes Argument \"" + a.teile.front() + "\".";
    return std::nullopt;
  }
  if (a.zusammenfuehren) {
    if (!a.studie.empty()) {
      fehler = "--studie und --studie-zusammenfuehren schließen einander aus.";
      return std::nullopt;
    }
    if (a.teile.empty()) {
      fehler = "--studie-zusammenfuehren braucht die Tabellen der Teile (\"NAME Studie.csv\").";
      return std::nullopt;
    }
    return a;
  }
  if (!a.studie.empty() && a.ein.zurueckschreiben) {
    fehler = "--erzeugen-zurueckschreiben gilt nicht für eine Studie; ergänzen Sie die Klimadaten mit --erzeugen.";
    return std::nullopt;
  }
  if (!a.studie.empty() && a.lauf.Bilder != nullptr) {
    fehler = "--bilder gilt nicht für eine Studie; die Bilder einer Variante zeichnet ein Lauf ihrer Eingaben.";
    return std::nullopt;
  }
  if (a.studie.empty() && (a.studieZeilen || a.studieDateien || a.kerne > 0)) {
    fehler = std::string(a.studieZeilen ? "--zeilen" : a.studieDateien ? "--studie-dateien" : "--kerne") +
             " gilt nur zusammen mit --studie.";
    return std::nullopt;
  }
  if (a.nurSpeicher && a.ein.zurueckschreiben) {
    fehler = "--erzeugen und --erzeugen-zurueckschreiben schließen einander aus.";
    return std::nullopt;
  }
  if (a.ein.seed && !a.ein.erzeugen) {
    fehler = "--seed gilt nur zusammen mit --erzeugen oder --erzeugen-zurueckschreiben.";
    return std::nullopt;
  }
  if (a.ein.kanal.empty()) {
    fehler = "Die Kanaldatei fehlt (--kanal DATEI.ewt.db).";
    return std::nullopt;
  }
  if (a.ein.klima.empty()) {
    fehler = "Die Klimatabelle fehlt (--klima DATEI).";
    return std::nullopt;
  }
  if (a.jahreGesetzt && a.ein.klima.size() > 1) {
    fehler = "--jahre gilt nur mit einer Klimatabelle; eine Folge (--klima mehrmals) rechnet je Tabelle ein Jahr.";
    return std::nullopt;
  }
  if (a.ein.klima.size() > static_cast<size_t>(MaxJahre)) {
    fehler = "Höchstens " + FormatInt(MaxJahre) + " Klimatabellen (--klima) sind möglich.";
    return std::nullopt;
  }
  return a;
}

// How the channel moved from the first to the last year of the run.
std::string Drifttext(const std::vector<Jahreszeile>& jahre) {
  const Jahreszeile &a = jahre.front(), &e = jahre.back();
  auto diff = [](double v) { return (v >= 0 ? "+" : "") + FormatReal(v, 1, 3) + " K"; };
  std::string s = "Drift Jahr " + FormatInt(a.Jahr) + " -> Jahr " + FormatInt(e.Jahr) + ":\n";
  s += "  Austrittstemperatur, Mittel: " + FormatReal(a.T_aus_Mittel, 1, 3) + " -> " +
       FormatReal(e.T_aus_Mittel, 1, 3) + " °C (" + diff(e.T_aus_Mittel - a.T_aus_Mittel) + ")\n";
  s += "  Wärmegewinn der Luft:        " + FormatReal(a.Gewinn_kWh, 1, 1) + " -> " +
       FormatReal(e.Gewinn_kWh, 1, 1) + " kWh\n";
  s += "  Wärmeabgabe der Luft:        " + FormatReal(a.Abgabe_kWh, 1, 1) + " -> " +
       FormatReal(e.Abgabe_kWh, 1, 1) + " kWh\n";
  s += "  Boden in Rohrtiefe, letztes Segment: " + FormatReal(a.T_Rohrtiefe[2], 1, 3) + " -> " +
       FormatReal(e.T_Rohrtiefe[2], 1, 3) + " °C (" + diff(e.T_Rohrtiefe[2] - a.T_Rohrtiefe[2]) + ")\n";
  return s;
}

// The run in numbers, for the summary on stdout.
void Zusammenfassung(const Modell& m, const Laufbericht& b) {
  // The year the model holds: the last one of a run over several years.
  const Jahreszeile j = Jahresbilanz(m);
  const Ventilatorjahr& v = b.ventilator;
  const double laenge = m.Anz_Segmente * static_cast<double>(m.Rohrdaten.Seglaenge);
  std::string s;
  s += "Simulation abgeschlossen.\n";
  s += "Kanal:                        " + FormatInt(m.Anz_Segmente) + " Segmente, " +
       FormatReal(laenge, 1, 2) + " m\n";
  s += "Eintrittstemperatur, Mittel:  " + FormatReal(j.T_ein_Mittel, 1, 2) + " °C\n";
  s += "Austrittstemperatur, Mittel:  " + FormatReal(j.T_aus_Mittel, 1, 2) + " °C\n";
  s += "Austrittstemperatur, Minimum: " + FormatReal(j.T_aus_Min, 1, 2) + " °C\n";
  s += "Austrittstemperatur, Maximum: " + FormatReal(j.T_aus_Max, 1, 2) + " °C\n";
  s += "Wärmegewinn der Luft:         " + FormatReal(j.Gewinn_kWh, 1, 1) +
       " kWh (Stunden, in denen die Luft erwärmt wurde)\n";
  s += "Wärmeabgabe der Luft:         " + FormatReal(j.Abgabe_kWh, 1, 1) +
       " kWh (Stunden, in denen die Luft gekühlt wurde)\n";
  s += "                              (1200 J/(m³K) × Kanalvolumenstrom × (T_aus − T_ein))\n";
  for (const std::string& zeile : Ventilatorzeilen(v)) s += zeile + "\n";
  if (b.jahre.size() > 1) s += Drifttext(b.jahre);
  if (m.Luftseite.Kondensation) {
    double summe = 0, groesste = -1;
    int nass = 1;
    for (int seg = 1; seg <= m.Anz_Segmente; ++seg) {
      double kg = 0;
      for (int monat = 1; monat <= 12; ++monat) kg += m.Kondensat.kg[seg][monat];
      summe += kg;
      if (kg > groesste) groesste = kg, nass = seg;
    }
    s += "Kondensat im Jahr: " + FormatReal(summe, 1, 1) + " kg, davon " + FormatReal(groesste, 1, 1) +
         " kg in Segment " + FormatInt(nass) + "\n";
  }
  s += "Geschriebene Dateien:\n";
  for (const std::string& d : b.dateien) s += "  " + d + "\n";
  std::fputs(s.c_str(), stdout);
  std::fflush(stdout);
}

// The current directory, where every result goes; empty after the message.
std::string Arbeitsverzeichnis(Oberflaeche& ui) {
  std::error_code ec;
  const std::string hier = std::filesystem::current_path(ec).string();
  if (ec) ui.Fehler("Das aktuelle Verzeichnis ist nicht lesbar: " + Systemgrund(ec.value()) + ".");
  return hier;
}

// A variant study or the join of its slices.
int Studienprogramm(const Aufruf& a, StderrOberflaeche& ui) {
  const std::string hier = Arbeitsverzeichnis(ui);
  if (hier.empty()) return Abgelehnt;
  Studienbericht b;
  if (a.zusammenfuehren) {
    if (!FuehreStudienZusammen(a.teile, hier, a.lauf.Stammname, ui, b)) return Abgelehnt;
    std::printf("Studie zusammengeführt: %d Varianten aus %zu Teilen.\nGeschriebene Dateien:\n  %s\n  %s\n",
                b.varianten, a.teile.size(), b.csv.c_str(), b.dbf.c_str());
    return Fertig;
  }
  Studienauftrag auftrag;
  auftrag.datei = a.studie;
  auftrag.basis = a.ein;
  auftrag.lauf = a.lauf;
  auftrag.von = a.von;
  auftrag.bis = a.bis;
  auftrag.variantendateien = a.studieDateien;
  auftrag.threads = a.kerne;
  auftrag.verzeichnis = hier;
  const auto beginn = std::chrono::steady_clock::now();
  b = FuehreStudieAus(
      auftrag, ui, [] { return StopSignal == 0; },
      [&](int fertig, int gesamt) { ui.Variantenfortschritt(fertig, gesamt); });
  if (b.ausgang == Studienausgang::Abgelehnt) return Abgelehnt;
  if (b.ausgang == Studienausgang::Schreibfehler) return Abgelehnt;
  const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn).count();
  const int gerechnet = static_cast<int>(b.tabelle.Zeilen.size());
  std::string text = b.ausgang == Studienausgang::Abgebrochen ? "Studie vom Anwender abgebrochen: " : "Studie abgeschlossen: ";
  text += FormatInt(gerechnet) + " von " + FormatInt(b.varianten) + " Varianten in " + FormatReal(sekunden, 1, 1) +
          " s";
  if (b.ohneErgebnis > 0) text += ", davon " + FormatInt(b.ohneErgebnis) + " ohne Ergebnis (siehe Spalte \"Meldung\")";
  text += ".\nSegmentjahre: " + FormatInt(b.segmenteGerechnet) + " gerechnet, " + FormatInt(b.segmenteUebernommen) +
          " von Varianten übernommen, die sich nur in der Länge unterscheiden.";
  text += "\nGeschriebene Dateien:\n  " + b.csv + "\n  " + b.dbf + "\n";
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
  return b.ausgang == Studienausgang::Abgebrochen ? Gestoppt : Fertig;
}

int Hauptprogramm(const std::vector<std::string>& args) {
  std::string fehler;
  std::optional<Aufruf> a = LiesAufruf(args, fehler);
  if (!a) {
    std::fprintf(stderr, "Fehler: %s\nterval-batch --help zeigt die Optionen.\n", fehler.c_str());
    return FalscheOptionen;
  }
  if (a->hilfe) {
    std::fputs(Hilfetext, stdout);
    return Fertig;
  }
  if (a->version) {
    std::printf("terval-batch (%s)\n", Versionsbanner);
    return Fertig;
  }

  StopSignalEinrichten();
  std::unique_ptr<Modell> m = NeuesModell();
  StderrOberflaeche ui(*m, ::isatty(STDERR_FILENO) != 0);
  if (a->zusammenfuehren || !a->studie.empty()) return Studienprogramm(*a, ui);

  // As the main window starts: defaults, then the reference tables.
  ui.rueckschreibenBestaetigen = a->ein.zurueckschreiben;
  const bool geladen = LadeEingaben(*m, ui, a->ein, a->lauf.Klimafolge);
  ui.rueckschreibenBestaetigen = false;
  if (!geladen) return Abgelehnt;
  if (StopSignal != 0) {
    ui.Warnung("Die Simulation wurde vom Anweder abgebrochen !");
    return Gestoppt;
  }

  const std::string hier = Arbeitsverzeichnis(ui);
  if (hier.empty()) return Abgelehnt;
  const Laufbericht b = EKModellFDVerfahren(*m, ui, a->lauf, hier);
  switch (b.ergebnis) {
    case Laufergebnis::Abgelehnt:
      return Abgelehnt;
    case Laufergebnis::Abgebrochen:
      return Gestoppt;
    case Laufergebnis::Fertig:
      break;
  }
  Zusammenfassung(*m, b);
  return b.nichtGeschrieben.empty() ? Fertig : Abgelehnt;
}

}  // namespace
}  // namespace terval

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return terval::Hauptprogramm(args);
}
