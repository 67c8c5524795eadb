#include "output/Studientabelle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <utility>

#include "model/Systemgrund.h"
#include "model/Zahltext.h"
#include "tables/Csv.h"
#include "tables/DbfTabelle.h"

namespace terval {

namespace {

namespace fs = std::filesystem;

// dBASE names are ten characters: the known columns get names a reader
// recognises; any other is cut by the table layer.
const std::pair<const char*, const char*> Kurznamen[] = {
    {"Varianten", "VARIANTEN"},          {"Innendurchmesser_mm", "DI_MM"},
    {"Wanddicke_mm", "WAND_MM"},         {"Volumenstrom", "VOLSTROM"},
    {"Betriebsart", "BETRIEB"},          {"StartBodenfeuchte", "STARTFEUCH"},
    {"Rauhigkeit", "RAUHIGKEIT"},        {"Zeta_Einlauf", "ZETA_EIN"},
    {"Zeta_Bogen", "ZETA_BOGEN"},        {"Zeta_Register", "ZETA_REG"},
    {"Zeta_Auslauf", "ZETA_AUS"},        {"Wirkungsgrad", "WIRKGRAD"},
    {"Waermegewinn_kWh", "GEWINN_KWH"},  {"Waermeabgabe_kWh", "ABGABE_KWH"},
    {"T_aus_Mittel_C", "TAUS_MITT"},     {"T_aus_Min_C", "TAUS_MIN"},
    {"T_aus_Max_C", "TAUS_MAX"},         {"Stunden_unter_0C", "STD_UNTER0"},
    {"Stunden_ueber_26C", "STD_UEB26"},  {"Druckverlust_Pa", "DRUCK_PA"},
    {"Ventilatorenergie_kWh", "VENT_KWH"}, {"Arbeitszahl", "ARBZAHL"},
};

std::string Kurzname(const std::string& name) {
  for (const auto& [lang, kurz] : Kurznamen)
    if (name == lang) return kurz;
  return name;
}

std::string Zitat(const std::string& pfad) {
  // Appended step by step: g++ 12 warns wrongly about "\"" + string.
  std::string z = "\"";
  z += fs::path(pfad).filename().string();
  z += '"';
  return z;
}

// The file under a hidden working name beside it, renamed when complete.
bool SchreibeText(const std::string& pfad, const std::string& inhalt, std::string& fehler) {
  const fs::path ziel(pfad);
  std::string name = ".";
  name += ziel.filename().string();
  name += ".~neu";
  const fs::path arbeit = ziel.parent_path() / name;
  std::FILE* f = std::fopen(arbeit.c_str(), "wb");
  if (f == nullptr) {
    fehler = "Die Datei " + Zitat(pfad) + " kann nicht geschrieben werden: " + Systemgrund(errno) + ".";
    return false;
  }
  const bool geschrieben = std::fwrite(inhalt.data(), 1, inhalt.size(), f) == inhalt.size();
  int nr = errno;
  const bool geschlossen = std::fclose(f) == 0;
  if (geschlossen && !geschrieben) nr = errno;
  if (!geschrieben || !geschlossen || std::rename(arbeit.c_str(), ziel.c_str()) != 0) {
    if (geschrieben && geschlossen) nr = errno;
    std::remove(arbeit.c_str());
    fehler = "Die Datei " + Zitat(pfad) + " kann nicht geschrieben werden: " + Systemgrund(nr) + ".";
    return false;
  }
  return true;
}

bool SchreibeDbf(const Studientabelle& t, const std::string& pfad, std::string& fehler) {
  std::vector<Felddefinition> felder;
  std::vector<bool> zahl;
  for (size_t c = 0; c < t.Spalten.size(); ++c) {
    bool nurZahlen = true;
    size_t laenge = 1;
    for (const auto& z : t.Zeilen) {
      if (!z[c].empty() && !Studienzahl(z[c])) nurZahlen = false;
      laenge = std::max(laenge, z[c].size());
    }
    zahl.push_back(nurZahlen);
    felder.push_back({Kurzname(t.Spalten[c]), nurZahlen ? Feldtyp::Gleitkomma : Feldtyp::Text,
                      nurZahlen ? 0 : static_cast<int>(std::min<size_t>(laenge, 254))});
  }
  std::unique_ptr<DbfTabelle> dbf = DbfTabelle::Erzeugen(pfad, felder, fehler);
  if (!dbf) return false;
  bool gut = true;
  for (const auto& z : t.Zeilen) {
    const int satz = dbf->Anhaengen();
    gut = gut && satz >= 0;
    for (size_t c = 0; gut && c < z.size(); ++c) {
      if (z[c].empty()) continue;
      const int feld = static_cast<int>(c);
      gut = zahl[c] ? dbf->SchreibeZahl(satz, feld, *Studienzahl(z[c])) : dbf->SchreibeText(satz, feld, z[c]);
    }
  }
  return dbf->SpeichernBeenden(gut, fehler);
}

}  // namespace

int Studientabelle::Spalte(const std::string& name) const {
  for (size_t i = 0; i < Spalten.size(); ++i)
    if (Spalten[i] == name) return static_cast<int>(i);
  return -1;
}

std::optional<double> Studienzahl(const std::string& zelle) {
  if (zelle.empty()) return std::nullopt;
  return ParseZahl(zelle);
}

bool SchreibeStudientabelle(const Studientabelle& t, const std::string& csvPfad, const std::string& dbfPfad,
                            std::string& fehler) {
  std::string text = CsvText(t.Spalten, ';');
  for (const auto& z : t.Zeilen) text += CsvText(z, ';');
  if (!SchreibeText(csvPfad, text, fehler)) return false;
  return dbfPfad.empty() || SchreibeDbf(t, dbfPfad, fehler);
}

bool LiesStudientabelle(const std::string& csvPfad, Studientabelle& t, std::string& fehler) {
  std::error_code ec;
  if (!fs::is_regular_file(csvPfad, ec)) {
    fehler = "Die Studientabelle " + Zitat(csvPfad) + " gibt es nicht oder sie ist keine Datei.";
    return false;
  }
  std::ifstream f(csvPfad, std::ios::binary);
  std::ostringstream inhalt;
  inhalt << f.rdbuf();
  if (!f) {
    fehler = "Die Studientabelle " + Zitat(csvPfad) + " ist nicht lesbar: " + Systemgrund(errno) + ".";
    return false;
  }
  std::vector<CsvZeile> zeilen;
  std::string grund;
  if (!ZerlegeCsv(inhalt.str(), ';', zeilen, grund)) {
    fehler = "Die Studientabelle " + Zitat(csvPfad) + " ist beschädigt: " + grund;
    return false;
  }
  if (zeilen.empty()) {
    fehler = "Die Studientabelle " + Zitat(csvPfad) + " ist leer.";
    return false;
  }
  t.Spalten = std::move(zeilen.front());
  t.Zeilen.assign(std::make_move_iterator(zeilen.begin() + 1), std::make_move_iterator(zeilen.end()));
  for (size_t i = 0; i < t.Zeilen.size(); ++i)
    if (t.Zeilen[i].size() != t.Spalten.size()) {
      fehler = "Die Studientabelle " + Zitat(csvPfad) + " ist beschädigt: die Datenzeile " +
               FormatInt(static_cast<long long>(i + 1)) + " hat " + FormatInt(static_cast<long long>(t.Zeilen[i].size())) +
               " statt " + FormatInt(static_cast<long long>(t.Spalten.size())) + " Felder.";
      return false;
    }
  return true;
}

}  // namespace terval
