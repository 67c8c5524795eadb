// Hostile channel files (.ewt.db): broken xBase structure, cells that hold
// no number, and values the model cannot compute with. A refused load leaves
// the channel in memory and every file as they were; a value that loads but
// cannot be simulated is refused at the run start, with the model and the
// files unchanged as well.
#include <functional>

#include "channel/UshowKanaldaten.h"
#include "hostile/Katalog.h"

namespace terval {
namespace {

using test::Abbild;
using test::Aufzeichner;
using test::Dateiinhalt;
using test::Dateien;
using test::ErsetzeZelle;
using test::ErwarteGleicheDateien;
using test::ErwarteUnveraendert;
using test::Lege16;
using test::Lege32;
using test::Nachricht;
using test::SchreibeDatei;
using test::Testverzeichnis;

// The channel of the runnable model as its file; cells are edited in
// place. Records: 0 operation, 1 pipes, 2.. segments; fields 0..9 by position.
class FeindlicheKanaldatei : public ::testing::Test {
 protected:
  void SetUp() override {
    m = test::Lauffaehig();
    Aufzeichner still;
    ASSERT_TRUE(SpeichereKanaldatei(*m, still, v.Datei("gut.ewt.db")));
    gut = Dateiinhalt(v.Datei("gut.ewt.db"));
    pfad = v.Datei("k.ewt.db");
  }

  // The load is refused with exactly `meldung`; nothing changes.
  void ErwarteAbgelehnt(const std::string& inhalt, const std::string& meldung) {
    SchreibeDatei(pfad, inhalt);
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    EXPECT_FALSE(LadeKanaldatei(*m, ui, pfad));
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", meldung}}));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  std::string TabelleKaputt(const std::string& grund) {
    return "Die Tabelle \"" + pfad + "\" kann nicht geöffnet werden: " + grund + ".";
  }

  std::string UngueltigeZelle(int zeile, int spalte, const std::string& name, const std::string& text) {
    return "Die Erdkanaldatei \"" + pfad + "\" enthält in Zeile " + std::to_string(zeile) + ", Spalte " +
           std::to_string(spalte) + " (" + name + ") den ungültigen Wert \"" + text +
           "\".\rDer Erdkanal wurde nicht geladen.";
  }

  // The file loads; the run start refuses it with exactly `meldung` and
  // changes neither the model nor a file.
  void ErwarteLaufAbgelehnt(const std::string& inhalt, const std::string& meldung) {
    SchreibeDatei(pfad, inhalt);
    Aufzeichner laden;
    ASSERT_TRUE(LadeKanaldatei(*m, laden, pfad));
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    EXPECT_EQ(test::Starte(*m, ui, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", meldung}}));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  std::string Mit(int satz, int feld, const std::string& text) {
    std::string b = gut;
    ErsetzeZelle(b, satz, feld, text);
    return b;
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m;
  std::string gut, pfad;
};

// ---- Broken xBase structure ----------------------------------------------------------

TEST_F(FeindlicheKanaldatei, KaputteTabellenstruktur) {
  const auto k = test::LiesKopf(gut);
  // Returns `gut` with one change made by `aendern`.
  auto mit = [&](const std::function<void(std::string&)>& aendern) {
    std::string b = gut;
    aendern(b);
    return b;
  };
  const std::pair<std::string, std::string> faelle[] = {
      {gut.substr(0, 20), "die Datei ist zu kurz für eine dBASE-Tabelle"},
      {gut.substr(0, 32 + 32 * 4 + 7), "der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten)"},
      // The 0x0D that ends the descriptors overwritten.
      {mit([](std::string& b) { b[32 + 32 * 10] = 'X'; }),
       "die Feldbeschreibungen im Tabellenkopf sind unvollständig"},
      // Cut inside the third record: two whole records remain of five.
      {gut.substr(0, k.kopf + 2 * k.satz + 50), "der Tabellenkopf nennt 5 Datensätze, die Datei enthält aber nur 2"},
      {mit([](std::string& b) { Lege32(b, 4, 1000000); }),
       "der Tabellenkopf nennt 1000000 Datensätze, die Datei enthält aber nur 5"},
      {mit([](std::string& b) { Lege16(b, 10, test::Lies16(b, 10) - 20); }),
       "die Satzlänge im Tabellenkopf (174) passt nicht zu den Feldern (194)"},
      {mit([](std::string& b) { Lege16(b, 8, 33); }), "die Tabelle enthält keine Felder"},
      {mit([](std::string& b) { b[32 + 32 * 3 + 16] = 0; }), "das Feld Nr. 4 hat die Breite 0"},
      // A dBASE 7 integer is a big-endian binary field: refused, not misread.
      {mit([](std::string& b) {
         b[0] = 0x04;
         b[32 + 32 * 0 + 11] = 'I';
       }),
       "das Feld \"Index\" hat den Typ Binärzahl (I), den dieses Programm nicht lesen kann"},
      {mit([](std::string& b) { b[32 + 32 * 9 + 11] = 'M'; }),
       "das Feld \"Anmerkung\" hat den Typ Memo (M), den dieses Programm nicht lesen kann"},
      {"Index;Tiefe;Anz_Rohre\r\n1;2.0;1\r\n" + std::string(40, ' '), "die Datei ist keine dBASE-Tabelle"},
  };
  for (const auto& [inhalt, grund] : faelle) {
    SCOPED_TRACE(grund);
    ErwarteAbgelehnt(inhalt, TabelleKaputt(grund));
  }
}

TEST_F(FeindlicheKanaldatei, VerzeichnisStattDatei) {
  std::filesystem::create_directory(v.Datei("ordner.ewt.db"));
  pfad = v.Datei("ordner.ewt.db");
  const auto modell = Abbild(*m);
  Aufzeichner ui;
  EXPECT_FALSE(LadeKanaldatei(*m, ui, pfad));
  EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", TabelleKaputt("der Pfad ist ein Verzeichnis")}}));
  ErwarteUnveraendert(modell, *m);
}

// ---- Cells that hold no number ---------------------------------------------------------

// Row and column of the message count from 1, record and field from 0.
TEST_F(FeindlicheKanaldatei, ZellenOhneZahl) {
  struct Fall {
    int satz, feld;
    const char* text;
    const char* name;
  };
  const Fall faelle[] = {{3, 1, "********************", "Tiefe"},  // overflow stars
                         {3, 4, "nan", "Abst_Geb_li"},
                         {1, 1, "inf", "Tiefe"},                     // pipe radius
                         {0, 1, "1e+39", "Tiefe"},                   // segment length
                         {2, 2, "99999999999", "Anz_Rohre"}};        // beyond 32 bits
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.text);
    ErwarteAbgelehnt(Mit(f.satz, f.feld, f.text), UngueltigeZelle(f.satz + 1, f.feld + 1, f.name, f.text));
  }
}

// ---- Channel contents ------------------------------------------------------------------

TEST_F(FeindlicheKanaldatei, WenigerAlsZweiZeilen) {
  std::string b = gut;
  Lege32(b, 4, 1);
  const auto k = test::LiesKopf(b);
  ErwarteAbgelehnt(b.substr(0, k.kopf + k.satz) + "\x1A",
                   "Die Erdkanaldatei \"" + pfad +
                       "\" ist unvollständig: Sie braucht mindestens 2 Zeilen (Betriebsdaten und Rohrdaten), hat "
                       "aber 1.");
}

TEST_F(FeindlicheKanaldatei, HunderteinundfuenfzigSegmente) {
  m->Anz_Segmente = 150;
  for (int s = 4; s <= 150; ++s) m->Segmente[s] = m->Segmente[1];
  Aufzeichner still;
  ASSERT_TRUE(SpeichereKanaldatei(*m, still, v.Datei("voll.ewt.db")));
  std::string b = Dateiinhalt(v.Datei("voll.ewt.db"));
  std::filesystem::remove(v.Datei("voll.ewt.db"));
  std::filesystem::remove(v.Datei("voll.ewt.cpg"));
  // One record more: the last one again.
  const auto k = test::LiesKopf(b);
  b.insert(b.size() - 1, b.substr(b.size() - 1 - k.satz, k.satz));
  Lege32(b, 4, 153);
  ErwarteAbgelehnt(b, "Die Erdkanaldatei \"" + pfad +
                          "\" enthält 151 Segmente; dieses Programm kann höchstens 150 Segmente berechnen.");
}

TEST_F(FeindlicheKanaldatei, AusschaltzeitFuenfundzwanzigUhr) {
  std::string b = Mit(0, 8, "1");
  ErsetzeZelle(b, 0, 3, "25.0");
  ErwarteLaufAbgelehnt(b, "Die Ausschaltzeit 25 Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr "
                          "!\rBitte ändern Sie im Erdkanaleditor unter \"Zeitsteuerung\" die Zeit \"Aus:\".");
}

TEST_F(FeindlicheKanaldatei, EinschaltzeitNegativ) {
  std::string b = Mit(0, 8, "3");
  ErsetzeZelle(b, 0, 2, "-7");
  ErwarteLaufAbgelehnt(b, "Die Einschaltzeit -7 Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr "
                          "!\rBitte ändern Sie im Erdkanaleditor die \"Zeitsteuerung Ein:\".");
}

TEST_F(FeindlicheKanaldatei, NegativerVolumenstrom) {
  // Refused by the fan schedule when the run prepares its inputs.
  SchreibeDatei(pfad, Mit(0, 0, "-300"));
  Aufzeichner laden;
  ASSERT_TRUE(LadeKanaldatei(*m, laden, pfad));
  const auto dateien = Dateien(v.Pfad());
  Aufzeichner ui;
  const Laufbericht b = test::Starte(*m, ui, v.Pfad());
  EXPECT_EQ(b.ergebnis, Laufergebnis::Abgelehnt);
  EXPECT_EQ(ui.Texte("Fehler"), std::vector<std::string>{"Der Wert für den Volumenstrom ist ungültig !"});
  EXPECT_FALSE(m->ErgebnisseVorhanden);
  ErwarteGleicheDateien(dateien, v.Pfad());
}

// One cell edited: the file loads and the run start refuses it. A blank
// cell is the table engine's 0, so a segment at depth 0 loads and the grid
// check refuses it.
TEST_F(FeindlicheKanaldatei, EinzelwerteDieDerLaufstartAblehnt) {
  struct Fall {
    int satz, feld;
    const char* text;
    const char* meldung;
  };
  const Fall faelle[] = {
      {2, 1, "",
       "Die Rohre in Segment 1 liegen zu flach für dieses Modell !\rÜber den Rohren muss "
       "mindestens eine Bodenschicht bleiben. Vergrößern Sie die Tiefe der Rohrachse (derzeit "
       "0.00 m)."},
      {4, 1, "-2.0",
       "Die Rohre in Segment 3 liegen zu flach für dieses Modell !\rÜber den Rohren muss "
       "mindestens eine Bodenschicht bleiben. Vergrößern Sie die Tiefe der Rohrachse (derzeit "
       "-2.00 m)."},
      {3, 3, "-0.3",
       "Das Rohrregister in Segment 2 hat einen negativen Rohrabstand !\rGeben Sie einen "
       "Rohrabstand größer als 0 ein."},
      {0, 8, "7",
       "Die Betriebsart 7 des Erdkanals ist ungültig: Erlaubt sind 0 (konstanter Betrieb), 1 "
       "(Betrieb nach Uhrzeit), 2 (Betrieb nach Temperatur) und 3 (Zeit UND "
       "Temperatursteuerung) !\rBitte wählen Sie die Betriebsart im Erdkanaleditor neu aus."},
      {0, 8, "-1",
       "Die Betriebsart -1 des Erdkanals ist ungültig: Erlaubt sind 0 (konstanter Betrieb), 1 "
       "(Betrieb nach Uhrzeit), 2 (Betrieb nach Temperatur) und 3 (Zeit UND "
       "Temperatursteuerung) !\rBitte wählen Sie die Betriebsart im Erdkanaleditor neu aus."},
      {0, 1, "0",
       "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !\rDer Erdkanal hat die Segmentlänge 0 "
       "m. Bitte ändern Sie die \"Länge eines Rohrsegments:\" unter \"Rohrdaten anzeigen/ "
       "bearbeiten...\" im Erdkanaleditor."},
      {0, 1, "12.0",
       "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !\rDer Erdkanal hat die Segmentlänge 12 "
       "m. Bitte ändern Sie die \"Länge eines Rohrsegments:\" unter \"Rohrdaten anzeigen/ "
       "bearbeiten...\" im Erdkanaleditor."},
      {0, 4, "-100.0",
       "Der Volumenstrom im \"Aus\"-Zustand darf nicht negativ sein (derzeit -100 m3/h) !\rBitte "
       "ändern Sie im Erdkanaleditor den \"Volumenstrom im \"Aus\"-Zustand:\"."},
      {1, 3, "0.2",
       "Die Wanddicke des Rohrmaterials \"Hauptstrang\" (0.2 m) ist nicht kleiner als sein "
       "Außenradius (0.1 m): Das Rohr hätte keinen Hohlraum !\rBitte ändern Sie "
       "\"Innendurchmesser in mm:\" oder \"Dicke der Wandung in mm:\" unter \"Rohrdaten anzeigen/ "
       "bearbeiten...\" im Erdkanaleditor."},
      {1, 6, "0.0",
       "Die Wanddicke des Rohrmaterials \"Register\" muß größer als 0 sein (derzeit 0 m) !\rBitte "
       "ändern Sie die \"Dicke der Wandung in mm:\" unter \"Rohrdaten anzeigen/ bearbeiten...\" im "
       "Erdkanaleditor."},
      {1, 4, "-0.4",
       "Die Wärmeleitfähigkeit des Rohrmaterials \"Hauptstrang\" muß größer als 0 sein (derzeit "
       "-0.4 W/mK) !\rBitte ändern Sie die \"Wärmeleitfähigkeit W/mK:\" unter \"Rohrdaten "
       "anzeigen/ bearbeiten...\" im Erdkanaleditor."},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.meldung);
    ErwarteLaufAbgelehnt(Mit(f.satz, f.feld, f.text), f.meldung);
  }
}

// Zero pipes is the one input the run start repairs: corrected to a single
// pipe with a message, and the run goes on to finite results.
TEST_F(FeindlicheKanaldatei, NullRohreWirdAufEinsKorrigiertUndGerechnet) {
  SchreibeDatei(pfad, Mit(4, 2, "0"));
  Aufzeichner laden;
  ASSERT_TRUE(LadeKanaldatei(*m, laden, pfad));
  const std::string kanaldatei = Dateiinhalt(pfad);
  Aufzeichner ui;
  Laufoptionen o;
  o.TextAusgabe = true;
  const Laufbericht b = test::Starte(*m, ui, v.Pfad(), o);
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_EQ(ui.Texte("Fehler"),
            std::vector<std::string>{"In Segment 3 wurde als Rohrzahl \"0\" eingegeben. Korrigiere auf \"1\""});
  EXPECT_EQ(m->Segmente[3].Anz_Rohre, 1);
  EXPECT_EQ(Dateiinhalt(pfad), kanaldatei) << "die Reparatur ändert nur den Speicher";
  test::ErwarteEndlicheErgebnisse(*m, v.Pfad());
}

}  // namespace
}  // namespace terval
