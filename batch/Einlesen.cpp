#include "batch/Einlesen.h"

#include <filesystem>

#include "channel/URohrdaten.h"
#include "channel/UshowKanaldaten.h"
#include "climate/DBKlima.h"
#include "climate/Klimaerzeugung.h"
#include "core/Cor_mod.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "location/klimaprofil.h"
#include "physics/getsoildata.h"
#include "tables/Referenzdateien.h"

namespace terval {

bool Programmstart(Modell& m, Oberflaeche& ui) {
  SetzeStartzustand(m);
  m.Startverzeichnis = Programmverzeichnis();

  const std::string soils = FindeReferenzdatei("SOILS.DAT");
  if (soils.empty() || !GetSoilData(m, soils)) {
    ui.Fehler(
        "Die Datenbank SOILS.DAT konnte nicht geöffnet werden !\r"
        "Stellen Sie sicher, dass die Datei im aktuellen Verzeichnis steht und starten Sie das "
        "Programm neu !");
    return false;
  }
  const std::string rohre = FindeReferenzdatei(Rohrkatalogdatei);
  if (rohre.empty() ||
      !ReadRohrdatenDB(m, std::filesystem::path(rohre).parent_path().string())) {
    ui.Fehler("Konnte die Datenbank \"Rohre.DBF\" mit verschiedenen Rohrtypen \rnicht finden! ");
    return false;
  }
  return true;
}

bool LadeStandort(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  return LadeStandortdatei(m, ui, pfad);
}

bool LadeKanal(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  return LadeKanaldatei(m, ui, pfad);
}

bool LadeKlima(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  m.DBKlimaName = pfad;
  ReadKlimaDB(m, ui);
  if (!m.KlimaGueltig) {
    ui.Fehler("Klimadatenbank konnte nicht gelesen werden !");
    return false;
  }
  CalcMitteltemperaturen(m);
  m.ErgebnisseVorhanden = false;
  return true;
}

bool ErgaenzeKlima(Modell& m, Oberflaeche& ui, bool zurueckschreiben,
                   std::optional<unsigned> seed) {
  // Whether the year is complete afterwards is the run start's first check.
  FehlendeKlimadatenErzeugen(m, ui, zurueckschreiben, seed);
  return true;
}

bool LadeEingaben(Modell& m, Oberflaeche& ui, const Eingaben& e, std::vector<Klimajahr>& folge) {
  if (!Programmstart(m, ui)) return false;
  if (!e.standort.empty() && !LadeStandort(m, ui, e.standort)) return false;
  if (!LadeKanal(m, ui, e.kanal)) return false;
  for (const auto& [feld, wert] : e.luftweg) m.Hydraulik.*feld = wert;
  if (e.rauhigkeit) m.Hydraulik.Rauhigkeit[1] = m.Hydraulik.Rauhigkeit[2] = *e.rauhigkeit;
  if (e.boegen) m.Hydraulik.Boegen = *e.boegen;
  // Each table of a sequence is loaded, completed and kept as the only
  // table would be; the run checks each again.
  folge.clear();
  for (const std::string& klima : e.klima) {
    if (!LadeKlima(m, ui, klima)) return false;
    if (e.erzeugen && !ErgaenzeKlima(m, ui, e.zurueckschreiben, e.seed)) return false;
    if (e.klima.size() > 1) folge.push_back(KlimajahrVon(m, std::filesystem::path(klima).filename().string()));
  }
  return true;
}

}  // namespace terval
