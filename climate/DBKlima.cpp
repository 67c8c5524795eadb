// Decisions on reading a climate table where the plain procedure is open or
// would go wrong:
// - A failed open clears KlimaGueltig, as the record-count rejection does, so
//   the main window never takes a failed read for a success.
// - Every read starts Vol_Strom at -999 in all hours: a table without a
//   seventh column leaves the flow missing and clears VolStromAusKlima, and
//   an empty seventh cell reads as missing like every other empty cell.
//   Otherwise an earlier table's flows would silently drive the next run.
// - The year is read into a scratch copy and taken over only when the read
//   is accepted, so no refusal leaves a half-read year in memory.
// - A table with fewer than four data columns is refused: columns 1..4 are
//   read and written unconditionally.
// - A cell that holds no finite number reads as missing (-999); in the air
//   temperature column only a truly empty cell reads as 0. A data column
//   with text but not a single number refuses the table, as does a number
//   outside the range of its element (Wertebereiche.h): neither is a value
//   gone missing, and writing the year back would overwrite it.
// - Writing back changes only cells whose value differs; a table that already
//   holds the year is left untouched. Read-only formats are never written.
// - A cleared column is written alone: generated data kept in memory only
//   must not reach the file on the side.

#include "climate/DBKlima.h"

#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "climate/Klimatabelle.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Wertebereiche.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

using Klimajahr = std::array<TKlimaStunde, Stunden + 1>;

const char* Spaltenname(int spalte) { return spalte == 7 ? "Volumenstrom" : Klimabereiche[spalte].name; }

bool NurLesbar(Klimaformat f) { return f == Klimaformat::EnergyPlus || f == Klimaformat::Testreferenzjahr; }

// Opens the table named by DBKlimaName; KlimaDBOffen tells whether it is open.
Klimaoeffnung OpenKlimaDB(Modell& m, bool schreiben) {
  Klimaoeffnung o;
  if (m.DBKlimaName.empty()) return o;
  o = OeffneKlimatabelle(m.DBKlimaName, schreiben);
  m.KlimaDBOffen = o.tabelle != nullptr;
  return o;
}

// Closes the table (saving a table opened for writing).
bool CloseKlimaDB(Modell& m, std::unique_ptr<Klimatabelle>& t, std::string& fehler) {
  bool ok = true;
  if (t) ok = t->Schliessen(fehler);
  t.reset();
  m.KlimaDBOffen = false;
  return ok;
}

// Closes a table without saving anything.
void VerwirfKlimaDB(Modell& m, std::unique_ptr<Klimatabelle>& t) {
  t.reset();
  m.KlimaDBOffen = false;
}

void Schreibfehler(Oberflaeche& ui, const std::string& name, const std::string& grund) {
  // The table layer's own texts already say when the earlier file stays.
  const bool gesagt = grund.find("bisherige Datei bleibt unverändert") != std::string::npos;
  ui.Fehler("Die Klimadaten konnten nicht in die Datenbank " + name + " zurückgeschrieben werden !\r" + grund +
            (gesagt ? "" : "\rDie bisherige Datei bleibt unverändert."));
}

}  // namespace

bool KlimaformatSchreibbar(const std::string& name) {
  Klimaformat f = KlimaformatVonName(name);
  return f == Klimaformat::Dbase || f == Klimaformat::Paradox || f == Klimaformat::Text;
}

void ReadKlimaDB(Modell& m, Oberflaeche& ui) {
  const std::string& name = m.DBKlimaName;
  Klimaoeffnung o = OpenKlimaDB(m, false);
  if (!o.tabelle) {
    if (name.empty()) {
      ui.Fehler("Sie haben keine Datenbank mit Klimadaten ausgewählt !\r"
                "Bitte ergänzen Sie die Angaben und starten das Berechnungsmodul neu !");
    } else if (o.inhaltsfehler) {
      ui.Fehler(o.fehler);
    } else {
      ui.Fehler("Die angebene Datenbank mit Klimadaten \"" + name + " kann nicht geöffnet werden !\r"
                "Bitte überprüfen Sie die Angaben und starten das Berechnungsmodul neu !");
    }
    m.KlimaGueltig = false;
    return;
  }
  std::unique_ptr<Klimatabelle> t = std::move(o.tabelle);

  int n = t->Datensaetze();
  if (n > Stunden) {
    ui.Meldung("Datenbank " + name + "enthält mehr Daten als ein Jahr !\r"
               "Datei wird akzeptiert, bitte Ergebnisse prüfen !");
  }
  if (n < Stunden) {
    ui.Meldung("Datenbank " + name + "enthält weniger Daten als ein Jahr !\r"
               "Datei muß als Dantengrundlage abgeleht werden !");
    m.KlimaGueltig = false;
    VerwirfKlimaDB(m, t);
    return;
  }
  int feldzahl = t->Spalten() - 1;
  if (feldzahl < 4) {
    ui.Fehler("Die Datenbank " + name + " enthält nur " + std::to_string(feldzahl < 0 ? 0 : feldzahl) +
              " Datenfelder !\rBenötigt werden mindestens 4: Lufttemperatur, relative Feuchte, "
              "Windgeschwindigkeit und Globalstrahlung.");
    m.KlimaGueltig = false;
    VerwirfKlimaDB(m, t);
    return;
  }

  // The measured elements and Vol_Strom start missing; what the table holds
  // replaces them. Derived fields other than e and Esat keep their values.
  auto neu = std::make_unique<Klimajahr>(m.Klima);
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = (*neu)[h];
    k.T_Luft = k.rFeuchte = k.e = k.Esat = k.Wind = k.Glob_Str = k.Nieders = k.Wolken = Fehlwert;
    k.Vol_Strom = Fehlwert;
  }
  // Columns 2..7: an empty cell leaves the missing marker; a cell that is no
  // number is missing too. Per column the cells that hold a number and the
  // first that holds none.
  int zahlen[8] = {}, texte[8] = {}, ersterText[8] = {};
  auto zelle = [&](int satz, int spalte, float& feld) {
    if (t->IstLeer(satz, spalte)) return;
    const std::optional<float> z = t->Zahl(satz, spalte);
    if (z) ++zahlen[spalte];
    else if (texte[spalte]++ == 0) ersterText[spalte] = satz;
    feld = z.value_or(Fehlwert);
  };
  for (int tag = 1; tag <= 365; ++tag) {
    for (int stunde = 0; stunde <= 23; ++stunde) {
      int h = StundenIndex(tag, stunde);
      int satz = h - 1;
      TKlimaStunde& k = (*neu)[h];
      k.T_Luft = 0.0f;
      zelle(satz, 1, k.T_Luft);
      zelle(satz, 2, k.rFeuchte);
      zelle(satz, 3, k.Wind);
      zelle(satz, 4, k.Glob_Str);
      if (feldzahl >= 5) zelle(satz, 5, k.Nieders);
      if (feldzahl >= 6) zelle(satz, 6, k.Wolken);
      if (feldzahl >= 7) zelle(satz, 7, k.Vol_Strom);
    }
  }
  auto ablehnen = [&](const std::string& grund) {
    VerwirfKlimaDB(m, t);
    ui.Fehler("Die Klimatabelle " + name + " kann nicht übernommen werden:\r" + grund +
              "\rBitte korrigieren Sie die Tabelle.");
    m.KlimaGueltig = false;
  };
  // A column of text alone is no climate element gone missing but a table
  // this program misreads (a wrong separator, an encoding): writing the year
  // back would put -999 over every cell of it.
  for (int spalte = 1; spalte <= std::min(feldzahl, 7); ++spalte) {
    if (zahlen[spalte] > 0 || texte[spalte] == 0) continue;
    return ablehnen("Spalte " + std::to_string(spalte) + " (" + Spaltenname(spalte) +
                    ") enthält keine einzige Zahl, nur Text (" + t->Zeilenangabe(ersterText[spalte]) + ": \"" +
                    t->Text(ersterText[spalte], spalte) + "\").");
  }
  // A value outside its range is shown, not taken for a missing one.
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = (*neu)[h];
    const float werte[] = {0, k.T_Luft, k.rFeuchte, k.Wind, k.Glob_Str, k.Nieders, k.Wolken};
    for (int spalte = 1; spalte <= std::min(feldzahl, 6); ++spalte) {
      const Wertebereich& b = Klimabereiche[spalte];
      if (werte[spalte] == Fehlwert || b.Enthaelt(werte[spalte])) continue;
      return ablehnen(t->Zeilenangabe(h - 1) + ", Spalte " + std::to_string(spalte) + " (" + b.name +
                      ") enthält den Wert " + KuerzesterText(werte[spalte]) + "; möglich sind " + b.Text() + ".");
    }
  }
  VerwirfKlimaDB(m, t);

  m.Klima = *neu;
  for (int h = 1; h <= Stunden; ++h) m.Segmente[1].T_ein[h] = m.Klima[h].T_Luft;
  m.KlimaGueltig = true;
  m.KlimaFeldzahl = feldzahl;
  if (!o.hinweis.empty()) ui.Information(o.hinweis);

  CheckKlimaDaten(m, ui);
  // The year goes back into the table, so every empty cell of the written
  // columns now holds what was read for it. Files that cannot be written
  // are imports; there is nothing to put back.
  if (!NurLesbar(KlimaformatVonName(name))) WriteKlimaDB(m, ui);

  if (m.KlimaFeldzahl > 6) {
    ui.Information("Die Datenbank enthält 7 Datenfelder.\rFeld 7 wird als Volumenstrom angesehen und "
                   "überschreibt\r die Einstellungen im Programm. [Entfernen im Release]");
    m.Kanalbetrieb.VolStromAusKlima = true;
  } else {
    m.Kanalbetrieb.VolStromAusKlima = false;
  }
}

void CheckKlimaDaten(Modell& m, Oberflaeche& ui) {
  bool tLuft = true, feuchte = true, wind = true, strahlung = true, niederschlag = true, wolken = true;
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = m.Klima[h];
    if (k.T_Luft == Fehlwert) tLuft = false;
    if (k.rFeuchte == Fehlwert) feuchte = false;
    if (k.Wind == Fehlwert) wind = false;
    if (k.Glob_Str == Fehlwert) strahlung = false;
    if (k.Nieders == Fehlwert) niederschlag = false;
    if (k.Wolken == Fehlwert) wolken = false;
  }
  m.TLuftKomplett = tLuft;
  m.FeuchteKomplett = feuchte;
  m.WindKomplett = wind;
  m.StrahlungKomplett = strahlung;
  m.NiederschlagKomplett = niederschlag;
  m.WolkenKomplett = wolken;

  ui.KlimaLabel(Klimaelement::Lufttemperatur, tLuft);
  ui.KlimaLabel(Klimaelement::Feuchte, feuchte);
  ui.KlimaLabel(Klimaelement::Wind, wind);
  ui.KlimaLabel(Klimaelement::Strahlung, strahlung);
  ui.KlimaLabel(Klimaelement::Niederschlag, niederschlag);

  // Cloud cover is not needed for a run.
  m.KlimaKomplett = tLuft && feuchte && wind && strahlung && niederschlag;
}

bool WriteKlimaDB(Modell& m, Oberflaeche& ui) { return WriteKlimaSpalte(m, ui, 0); }

bool WriteKlimaSpalte(Modell& m, Oberflaeche& ui, int nurSpalte) {
  const std::string& name = m.DBKlimaName;
  Klimaformat format = KlimaformatVonName(name);
  if (!name.empty() && NurLesbar(format)) {
    ui.Information("Die Klimadaten stammen aus einer Datei, die nur gelesen werden kann (" +
                   KlimaformatBezeichnung(format) +
                   ").\rDie Daten bleiben im Speicher und werden nicht in die Datei geschrieben.");
    return false;
  }
  if (name.empty()) {
    Schreibfehler(ui, name, "Es ist keine Datenbank mit Klimadaten ausgewählt.");
    return false;
  }

  Klimaoeffnung o = OpenKlimaDB(m, true);
  if (!o.tabelle) {
    Schreibfehler(ui, name, o.fehler);
    return false;
  }
  std::unique_ptr<Klimatabelle> t = std::move(o.tabelle);

  int spalten = 4 + (m.KlimaFeldzahl > 4 ? 1 : 0) + (m.KlimaFeldzahl > 5 ? 1 : 0);
  // One column: the others hold what the user chose to keep in memory only.
  const int erste = nurSpalte > 0 ? std::min(nurSpalte, spalten + 1) : 1;
  if (nurSpalte > 0) spalten = std::min(nurSpalte, spalten);
  if (t->Datensaetze() < Stunden || t->Spalten() - 1 < spalten) {
    VerwirfKlimaDB(m, t);
    Schreibfehler(ui, name, "Die Tabelle hat nicht mehr die " + std::to_string(Stunden) + " Datensätze mit " +
                                std::to_string(spalten) + " Datenfeldern, die gelesen wurden.");
    return false;
  }

  // Nothing goes into the table that its load would refuse.
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = m.Klima[h];
    const float werte[] = {0, k.T_Luft, k.rFeuchte, k.Wind, k.Glob_Str, k.Nieders, k.Wolken};
    for (int spalte = 1; spalte <= spalten; ++spalte) {
      const Wertebereich& b = Klimabereiche[spalte];
      if (werte[spalte] == Fehlwert || b.Enthaelt(werte[spalte])) continue;
      VerwirfKlimaDB(m, t);
      Schreibfehler(ui, name, "Stunde " + std::to_string(h) + " hätte bei \"" + b.name + "\" den Wert " +
                                  KuerzesterText(werte[spalte]) + "; möglich sind " + b.Text() + ".");
      return false;
    }
  }

  // Column 7 is never written; records beyond the 8760th stay as they are.
  for (int tag = 1; tag <= 365; ++tag) {
    for (int stunde = 0; stunde <= 23; ++stunde) {
      int h = StundenIndex(tag, stunde);
      const TKlimaStunde& k = m.Klima[h];
      const float werte[] = {k.T_Luft, k.rFeuchte, k.Wind, k.Glob_Str, k.Nieders, k.Wolken};
      for (int spalte = erste; spalte <= spalten; ++spalte) {
        if (!t->Setze(h - 1, spalte, werte[spalte - 1])) {
          VerwirfKlimaDB(m, t);
          Schreibfehler(ui, name, "Datensatz " + std::to_string(h) + ", Feld " + std::to_string(spalte) +
                                      " nimmt den Wert nicht auf.");
          return false;
        }
      }
    }
  }
  // A table without any write permission is the user's "do not touch"; the
  // mode bits tell it, as access() would not for root.
  struct stat st {};
  if (t->Geaendert() && ::stat(name.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    VerwirfKlimaDB(m, t);
    ui.Information("Die Klimatabelle " + name +
                   " ist schreibgeschützt.\rDie Daten bleiben im Speicher und werden nicht in die Datei geschrieben.");
    return false;
  }
  std::string fehler;
  if (!CloseKlimaDB(m, t, fehler)) {
    Schreibfehler(ui, name, fehler);
    return false;
  }
  return true;
}

}  // namespace terval
