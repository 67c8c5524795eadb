#include "output/DBErgout.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "model/Oberflaeche.h"
#include "model/Systemgrund.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/Ergebnissatz.h"
#include "physics/Hydraulik.h"
#include "tables/DbfTabelle.h"

namespace terval {

namespace {

// Our credits after "# Erdkanalmodell" in the first line of every text file.
const std::string Credits =
    std::string(" ") + Versionsbanner + " - Simulation eines Erdwärmetauschers";

const char* const KopfGesamt =
    "# N Tag Stunde T_ein T_aus T_delta Vol_Strom RFeuchte e Esat Wind Glob-str. Lw_Str "
    "Net_Boden G ra pot_Verd_mm real_Verd_mm pot_Verd_W Eta_kanal Eta_z1 Eta_z3 Eta_z5 Wolken "
    "Niederschl";
// Differs from KopfGesamt only in "Eta_Kanal"; users' scripts know both.
const char* const KopfVerlauf =
    "# N Tag Stunde T_ein T_aus T_delta Vol_Strom RFeuchte e Esat Wind Glob-str. Lw_Str "
    "Net_Boden G ra pot_Verd_mm real_Verd_mm pot_Verd_W Eta_Kanal Eta_z1 Eta_z3 Eta_z5 Wolken "
    "Niederschl";
const char* const KopfJahre =
    "# Jahr Klima T_ein T_aus T_aus_min T_aus_max Gewinn_kWh Abgabe_kWh Std_unter_0 "
    "T_Rohr_erstes T_Rohr_mitte T_Rohr_letztes";
const char* const KopfKanal = "# Seg m Rohre T_ein T_aus dT(imSeg) dT(imKanal) Vol_Strom ";

// UTF-8 to Windows-1252, the code page of the result files. Characters the
// code page lacks become '?'; the texts we write are plain German.
std::string NachCp1252(const std::string& utf8) {
  static const std::array<std::pair<char32_t, unsigned char>, 27> Sonder = {{
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
      {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
      {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
      {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
      {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
      {0x017E, 0x9E}, {0x0178, 0x9F},
  }};
  std::string aus;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    char32_t z = 0;
    size_t n = 1;
    if (c < 0x80) {
      z = c;
    } else if ((c & 0xE0) == 0xC0) {
      z = c & 0x1F, n = 2;
    } else if ((c & 0xF0) == 0xE0) {
      z = c & 0x0F, n = 3;
    } else if ((c & 0xF8) == 0xF0) {
      z = c & 0x07, n = 4;
    } else {
      aus += '?';
      ++i;
      continue;
    }
    if (i + n > utf8.size()) {
      aus += '?';
      break;
    }
    for (size_t k = 1; k < n; ++k) z = (z << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += n;
    if (z < 0x80 || (z >= 0xA0 && z <= 0xFF)) {
      aus += static_cast<char>(z);
      continue;
    }
    char ersatz = '?';
    for (const auto& [zeichen, byte] : Sonder)
      if (zeichen == z) ersatz = static_cast<char>(byte);
    aus += ersatz;
  }
  return aus;
}

// The first line names the air-side options a run used, so a file computed
// beyond the described model says so; without them it is as it always was.
std::string ErsteZeile(const Luftoptionen& o = {}) {
  std::string optionen;
  if (o.KleinerVolumenstrom) optionen += ", \"Wärmeübergang auch bei kleinem Volumenstrom\"";
  if (o.Energieerhaltend || o.Kondensation) optionen += ", \"Energieerhaltende Rohrkopplung\"";
  if (o.Kondensation) optionen += ", \"Kondensation berechnen\"";
  if (!optionen.empty()) optionen = " - Optionen: " + optionen.substr(2);
  return NachCp1252("# Erdkanalmodell" + Credits + optionen);
}

// A result text file of a set, written under its working name; the set
// gives it its name once the whole set is written.
class Ergebnisdatei {
 public:
  Ergebnisdatei(Ergebnissatz& satz, std::string endung) : satz_(satz), endung_(std::move(endung)) {
    datei_ = std::fopen(satz_.Arbeitspfad(endung_).c_str(), "wb");
    if (datei_ == nullptr) fehlerNr_ = errno;
  }
  ~Ergebnisdatei() {
    if (datei_ != nullptr) std::fclose(datei_);
    if (!gemeldet_) satz_.Geschrieben(endung_, false, Systemgrund(fehlerNr_ != 0 ? fehlerNr_ : EIO));
  }
  Ergebnisdatei(const Ergebnisdatei&) = delete;
  Ergebnisdatei& operator=(const Ergebnisdatei&) = delete;

  // One line plus CR LF, handed to the file in one call.
  void Zeile(std::string zeile) {
    zeile += "\r\n";
    Bytes(zeile);
  }
  void Bytes(const std::string& inhalt) {
    if (datei_ == nullptr || fehlerNr_ != 0) return;
    if (std::fwrite(inhalt.data(), 1, inhalt.size(), datei_) != inhalt.size()) fehlerNr_ = errno != 0 ? errno : EIO;
  }

  // True when every line reached the disk; tells the set either way.
  bool Abschliessen() {
    if (datei_ != nullptr) {
      if (fehlerNr_ == 0 && (std::fflush(datei_) != 0 || ::fsync(::fileno(datei_)) != 0)) fehlerNr_ = errno;
      if (std::fclose(datei_) != 0 && fehlerNr_ == 0) fehlerNr_ = errno != 0 ? errno : EIO;
      datei_ = nullptr;
    }
    const bool ok = fehlerNr_ == 0;
    satz_.Geschrieben(endung_, ok, ok ? "" : Systemgrund(fehlerNr_));
    gemeldet_ = true;
    return ok;
  }

 private:
  Ergebnissatz& satz_;
  std::string endung_;
  std::FILE* datei_ = nullptr;
  int fehlerNr_ = 0;
  bool gemeldet_ = false;
};

// Hourglass and writer window for the duration of one writer.
class Schreibfenster {
 public:
  Schreibfenster(Oberflaeche& ui, const std::string& name) : ui_(ui) {
    ui_.Sanduhr(true);
    ui_.SchreibfensterZeigen("Schreibe \"" + name + "\"");
  }
  ~Schreibfenster() {
    ui_.SchreibfensterVerbergen();
    ui_.Sanduhr(false);
  }
  Schreibfenster(const Schreibfenster&) = delete;
  Schreibfenster& operator=(const Schreibfenster&) = delete;

 private:
  Oberflaeche& ui_;
};

// The 22 values of one hour that both forms of the overall results share.
struct Stundenwerte {
  double T_ein = 0;      // degC, channel inlet
  double T_aus = 0;      // degC, channel outlet
  double Vol_Strom = 0;  // m3/h through one pipe of segment 1
  std::array<float, 18> klima{};
};

Stundenwerte WerteDerStunde(const Modell& m, int h) {
  Stundenwerte w;
  w.T_ein = m.Segmente[1].T_ein[h];
  w.T_aus = m.Segmente[m.Anz_Segmente].T_aus[h];
  w.Vol_Strom = static_cast<double>(m.Segmente[1].VolStromRohr[h]) * 60.0 * 60.0;
  const TKlimaStunde& k = m.Klima[h];
  w.klima = {k.rFeuchte,  k.e,         k.Esat,     k.Wind,      k.Glob_Str, k.Lw_Str,
             k.Net_Boden, k.G,         k.ra,       k.p_Verd_mm, k.r_Verd_mm, k.p_Verd_W,
             k.Eta_kanal, k.Eta_z1,    k.Eta_z3,   k.Eta_z5,    k.Wolken,   k.Nieders};
  return w;
}

// Columns the option Kondensation adds at the end of the overall text file:
// the outlet air's relative humidity (%) and humidity ratio (g/kg).
const char* const KopfKondensation = " RFeuchte_aus x_aus";

// One data line of the overall text file and of the day-course file;
// T_delta here is outlet minus inlet.
std::string Datenzeile(const Modell& m, int n, int tag, int stunde) {
  const Stundenwerte w = WerteDerStunde(m, StundenIndex(tag, stunde));
  std::string z;
  z.reserve(240);
  z += FormatInt(n, 3);
  z += ' ';
  z += FormatInt(tag, 3);
  z += ' ';
  z += FormatInt(stunde, 2);
  for (double v : {w.T_ein, w.T_aus, w.T_aus - w.T_ein, w.Vol_Strom}) {
    z += ' ';
    z += FormatReal(v, 2, 2);
  }
  for (float v : w.klima) {
    z += ' ';
    z += FormatReal(v, 3, 2);
  }
  return z;
}

bool AnzahlSegmenteGueltig(const Modell& m) {
  return m.Anz_Segmente >= 1 && m.Anz_Segmente <= MaxSegmente;
}

// A file the model gives nothing sound to write.
bool Misslungen(Ergebnissatz& satz, const std::string& endung, const std::string& grund) {
  satz.Arbeitspfad(endung);
  satz.Geschrieben(endung, false, grund);
  return false;
}

const char* const KeineSegmentzahl = "der Kanal hat keine gültige Segmentzahl";

}  // namespace

bool WriteTextSegmentData(const Modell& m, Oberflaeche& ui, Ergebnissatz& satz) {
  const std::string endung = " Gesamtergebnis.TXT";
  Schreibfenster fenster(ui, satz.Name(endung));
  const int von = m.NurEinTermin ? m.AusgabeStunde : 0;
  const int bis = m.NurEinTermin ? m.AusgabeStunde : 23;
  if (!AnzahlSegmenteGueltig(m)) return Misslungen(satz, endung, KeineSegmentzahl);
  if (von < 0 || bis > 23) return Misslungen(satz, endung, "die Ausgabestunde liegt nicht zwischen 0 und 23");
  Ergebnisdatei datei(satz, endung);
  datei.Zeile(ErsteZeile(m.Luftseite));
  datei.Zeile(m.Luftseite.Kondensation ? std::string(KopfGesamt) + KopfKondensation : std::string(KopfGesamt));

  int n = 0;
  for (int tag = 1; tag <= 365; ++tag) {
    ui.SchreibfensterFortschritt(tag);
    for (int stunde = von; stunde <= bis; ++stunde) {
      std::string z = Datenzeile(m, ++n, tag, stunde);
      if (m.Luftseite.Kondensation) {
        const int h = StundenIndex(tag, stunde);
        z += ' ' + FormatReal(m.RFeuchteAus[h], 3, 2) + ' ' + FormatReal(m.Gehalt[h] * 1000.0, 3, 2);  // g/kg
      }
      datei.Zeile(std::move(z));
    }
  }
  return datei.Abschliessen();
}

bool WriteDBSegmentData(const Modell& m, Oberflaeche& ui, Ergebnissatz& satz) {
  const std::string endung = " Gesamtergebnis.dbf", begleiter = " Gesamtergebnis.cpg";
  Schreibfenster fenster(ui, satz.Name(" Gesamtergebnis"));
  if (!AnzahlSegmenteGueltig(m)) return Misslungen(satz, endung, KeineSegmentzahl);
  const int von = m.NurEinTermin ? m.AusgabeStunde : 0;
  const int bis = m.NurEinTermin ? m.AusgabeStunde : 23;
  if (von < 0 || bis > 23) return Misslungen(satz, endung, "die Ausgabestunde liegt nicht zwischen 0 und 23");

  static const char* const Gleitkommafelder[] = {
      "T_ein",     "T_aus",     "T_delta",   "Vol_Strom", "rFeuchte", "e",      "Esat",
      "Wind",      "Glob_Str",  "Lw_Str",    "Net_Boden", "G",        "ra",     "p_Verd_mm",
      "r_Verd_mm", "p_Verd_W",  "Eta_kanal", "Eta_z1",    "Eta_z3",   "Eta_z5", "Wolken",
      "Nieders"};
  std::vector<Felddefinition> felder = {{"Tag", Feldtyp::Ganzzahl, 0},
                                        {"Stunde", Feldtyp::Ganzzahl, 0}};
  for (const char* name : Gleitkommafelder) felder.push_back({name, Feldtyp::Gleitkomma, 0});

  // The table layer writes the code-page file beside the table, which is
  // where the set keeps the working file of the companion.
  const std::string pfad = satz.Arbeitspfad(endung);
  satz.Arbeitspfad(begleiter);
  auto abbruch = [&](const std::string& grund) {
    satz.Geschrieben(begleiter, false, grund);
    satz.Geschrieben(endung, false, grund);
    return false;
  };
  std::string fehler;
  std::unique_ptr<DbfTabelle> t = DbfTabelle::Erzeugen(pfad, felder, fehler);
  if (!t) return abbruch(fehler);

  for (int tag = 1; tag <= 365; ++tag) {
    ui.SchreibfensterFortschritt(tag);
    for (int stunde = von; stunde <= bis; ++stunde) {
      const Stundenwerte w = WerteDerStunde(m, StundenIndex(tag, stunde));
      const int satznr = t->Anhaengen();
      bool ok = satznr >= 0 && t->SchreibeGanzzahl(satznr, 0, tag) &&
                t->SchreibeGanzzahl(satznr, 1, stunde);
      // Model values go in as the floats they are; the two computed columns
      // as the doubles they were computed in. The table's T_delta is inlet
      // minus outlet, the opposite of the text form.
      ok = ok && t->SchreibeZahl(satznr, 2, static_cast<float>(w.T_ein)) &&
           t->SchreibeZahl(satznr, 3, static_cast<float>(w.T_aus)) &&
           t->SchreibeZahl(satznr, 4, w.T_ein - w.T_aus) && t->SchreibeZahl(satznr, 5, w.Vol_Strom);
      for (int f = 0; ok && f < 18; ++f) ok = t->SchreibeZahl(satznr, 6 + f, w.klima[f]);
      if (!ok)
        return abbruch("der Datensatz für Tag " + std::to_string(tag) + ", Stunde " + std::to_string(stunde) +
                       " ließ sich nicht speichern");
    }
  }
  if (!t->Schliessen(fehler)) return abbruch(fehler);
  satz.Geschrieben(endung, true);
  satz.Geschrieben(begleiter, true);
  return true;
}

bool WriteKondensat(const Modell& m, Oberflaeche& ui, Ergebnissatz& satz) {
  const std::string endung = " Kondensat.TXT";
  Schreibfenster fenster(ui, satz.Name(endung));
  if (!AnzahlSegmenteGueltig(m)) return Misslungen(satz, endung, KeineSegmentzahl);
  const Kondensatjahr& k = m.Kondensat;
  Ergebnisdatei datei(satz, endung);
  datei.Zeile(ErsteZeile(m.Luftseite));
  datei.Zeile(NachCp1252("# Kondensat je Segment und Monat in kg, im Jahr, abgeflossen im Jahr in kg, "
                         "Stunden mit Kondensation"));
  datei.Zeile("# Seg Jan Feb Mrz Apr Mai Jun Jul Aug Sep Okt Nov Dez Jahr Abfluss Stunden");
  for (int s = 1; s <= m.Anz_Segmente; ++s) {
    std::string z = FormatInt(s, 3);
    double jahr = 0;
    int stunden = 0;
    for (int monat = 1; monat <= 12; ++monat) {
      z += ' ' + FormatReal(k.kg[s][monat], 3, 3);
      jahr += k.kg[s][monat];
      stunden += k.stunden[s][monat];
    }
    z += ' ' + FormatReal(jahr, 3, 3) + ' ' + FormatReal(k.abfluss[s], 3, 3) + ' ' + FormatInt(stunden, 4);
    datei.Zeile(std::move(z));
  }
  datei.Zeile(NachCp1252("# Kanal je Monat: Kondensat in kg, latente Wärme an der Rohrwand in kWh "
                         "(abzüglich Verdunstung), Stunden mit Kondensation in einem Segment"));
  datei.Zeile("# Monat Kondensat Latent Stunden");
  for (int monat = 1; monat <= 12; ++monat) {
    double kg = 0, latent = 0;
    for (int s = 1; s <= m.Anz_Segmente; ++s) kg += k.kg[s][monat], latent += k.latent[s][monat];
    datei.Zeile(FormatInt(monat, 2) + ' ' + FormatReal(kg, 3, 3) + ' ' + FormatReal(latent, 3, 3) + ' ' +
                FormatInt(k.kanalStunden[monat], 4));
  }
  return datei.Abschliessen();
}

bool WriteTextKanalData(const Modell& m, Oberflaeche& ui, int tag, Ergebnissatz& satz) {
  const std::string endung = " Kanal Tag " + std::to_string(tag) + ".TXT";
  Schreibfenster fenster(ui, satz.Name(endung));
  if (!AnzahlSegmenteGueltig(m)) return Misslungen(satz, endung, KeineSegmentzahl);
  if (tag < 1 || tag > 365) return false;
  Ergebnisdatei datei(satz, endung);
  datei.Zeile(ErsteZeile(m.Luftseite));
  datei.Zeile(KopfKanal);

  // All values at noon of the day.
  const int h = StundenIndex(tag, 12);
  const double t_kanal_ein = m.Segmente[1].T_ein[h];
  for (int k = 1; k <= m.Anz_Segmente; ++k) {
    const Kanalsegment& s = m.Segmente[k];
    const double t_ein = s.T_ein[h], t_aus = s.T_aus[h];
    std::string z;
    z.reserve(80);
    z += FormatInt(k, 3);
    z += ' ';
    z += FormatReal(k * static_cast<double>(m.Rohrdaten.Seglaenge), 3, 2);
    z += ' ';
    z += FormatInt(s.Anz_Rohre);
    for (double v : {t_ein, t_aus, t_aus - t_ein, t_aus - t_kanal_ein,
                     static_cast<double>(s.VolStromRohr[h]) * 60.0 * 60.0,
                     static_cast<double>(s.Alpha[h])}) {
      z += ' ';
      z += FormatReal(v, 2, 2);
    }
    datei.Zeile(std::move(z));
  }
  return datei.Abschliessen();
}

bool WriteTagesgang(const Modell& m, Oberflaeche& ui, int tag, Ergebnissatz& satz) {
  const std::string endung = " Verlauf Tag " + std::to_string(tag) + ".TXT";
  Schreibfenster fenster(ui, satz.Name(endung));
  if (!AnzahlSegmenteGueltig(m)) return Misslungen(satz, endung, KeineSegmentzahl);
  if (tag < 1 || tag > 365) return false;
  Ergebnisdatei datei(satz, endung);
  datei.Zeile(ErsteZeile(m.Luftseite));
  datei.Zeile(KopfVerlauf);
  ui.SchreibfensterFortschritt(tag);
  // Always the whole day, whatever the one-hour-per-day option says.
  for (int stunde = 0; stunde <= 23; ++stunde) datei.Zeile(Datenzeile(m, stunde + 1, tag, stunde));
  return datei.Abschliessen();
}

bool WriteTextJahre(const std::vector<Jahreszeile>& jahre, Oberflaeche& ui, Ergebnissatz& satz) {
  const std::string endung = " Jahre.TXT";
  Schreibfenster fenster(ui, satz.Name(endung));
  Ergebnisdatei datei(satz, endung);
  datei.Zeile(ErsteZeile());
  datei.Zeile(KopfJahre);
  for (const Jahreszeile& j : jahre) {
    // The table's name in quotes: file names may hold blanks.
    std::string z = FormatInt(j.Jahr, 3) + " \"" + NachCp1252(j.Klima) + "\"";
    for (double v : {j.T_ein_Mittel, j.T_aus_Mittel, j.T_aus_Min, j.T_aus_Max})
      z += ' ' + FormatReal(v, 2, 3);
    for (double v : {j.Gewinn_kWh, j.Abgabe_kWh}) z += ' ' + FormatReal(v, 2, 1);
    z += ' ' + FormatInt(j.StundenUnterNull, 4);
    for (float v : j.T_Rohrtiefe) z += ' ' + FormatReal(v, 2, 3);
    datei.Zeile(std::move(z));
  }
  return datei.Abschliessen();
}

bool WriteHydraulik(const Modell& m, const Ventilatorjahr& j, Oberflaeche& ui, Ergebnissatz& satz) {
  const std::string endung = " Hydraulik.TXT";
  Schreibfenster fenster(ui, satz.Name(endung));
  if (!AnzahlSegmenteGueltig(m)) return Misslungen(satz, endung, KeineSegmentzahl);
  Ergebnisdatei datei(satz, endung);
  datei.Zeile(ErsteZeile());
  const Druckverlust& d = j.basis;
  datei.Zeile("# Druckverlust bei Basis-Volumenstrom " + FormatReal(j.V_basis * 3600.0, 0, 0) + " m3/h, Luft " +
              FormatReal(Bezugstemperatur, 0, 0) + " Grad C: rho " + FormatReal(j.luft.rho, 0, 3) + " kg/m3, nu " +
              FormatReal(j.luft.nu * 1e6, 0, 2) + "e-6 m2/s");
  datei.Zeile("# Seg Rohrtyp Rohre V_Rohr(m3/h) w(m/s) Re f dp(Pa) Rohr");
  for (size_t k = 0; k < d.segmente.size(); ++k) {
    const Segmenthydraulik& s = d.segmente[k];
    datei.Zeile(NachCp1252(FormatInt(static_cast<long long>(k) + 1, 3) + ' ' + FormatInt(s.Rohrtyp) + ' ' +
                           FormatInt(s.Anz_Rohre, 2) + ' ' + FormatReal(s.V_Rohr * 3600.0, 7, 1) + ' ' +
                           FormatReal(s.w, 5, 2) + ' ' + FormatReal(s.Re, 7, 0) + ' ' + FormatReal(s.f, 6, 4) +
                           ' ' + FormatReal(s.dp, 7, 3) + ' ' + m.Rohrdaten.Rohrname[s.Rohrtyp]));
  }
  const std::pair<const char*, double> summen[] = {
      {"Reibung (Pa):", d.reibung},     {"Einlauf (Pa):", d.einlauf},  {"Boegen (Pa):", d.boegen},
      {"Register (Pa):", d.register_}, {"Auslauf (Pa):", d.auslauf},  {"Filter (Pa):", d.filter},
      {"Gesamt (Pa):", d.gesamt},
  };
  for (const auto& [text, wert] : summen) datei.Zeile(std::string("# ") + text + ' ' + FormatReal(wert, 0, 2));
  datei.Zeile("# Ventilatorenergie (kWh): " + FormatReal(j.energie, 0, 1) + " in " + FormatInt(j.betriebsstunden) +
              " Betriebsstunden, Wirkungsgrad " + FormatReal(m.Hydraulik.Wirkungsgrad, 0, 2));
  datei.Zeile("# Waermegewinn der Luft (kWh): " + FormatReal(j.gewinn, 0, 1));
  datei.Zeile("# Waermeabgabe der Luft (kWh): " + FormatReal(j.abgabe, 0, 1));
  datei.Zeile("# Arbeitszahl: " + (j.energie > 0 ? FormatReal(j.arbeitszahl, 0, 1) : std::string("-")));
  return datei.Abschliessen();
}

std::string FeldDateiname(const std::string& stamm, int segment, int tag) {
  return stamm + "2D Feld Seg " + FormatInt(segment, 3) + " Tag " + FormatInt(tag, 3) + ".DAT";
}

bool WriteField(const Modell& m, int segment, int tag, Ergebnissatz& satz) {
  const std::string endung = FeldDateiname("", segment, tag);
  if (m.LetzteSpalte < 0 || m.LetzteSpalte >= MaxSpalten)
    return Misslungen(satz, endung, "das Rechengitter ist nicht angelegt");
  Ergebnisdatei datei(satz, endung);
  datei.Zeile("X Z T eta");
  // Rows outermost, from the surface (row 0) down; Z negative downwards.
  // The depth is computed from the negated row number so that row 0 gives
  // 0.00, not -0.00.
  for (int r = 0; r < Zeilen; ++r) {
    const double z_tiefe = static_cast<double>(-r) * static_cast<double>(DZ);
    const std::string eta = FormatReal(m.Theta[r], 3, 2);
    for (int c = 0; c <= m.LetzteSpalte; ++c) {
      std::string z;
      z.reserve(40);
      z += FormatReal(c * static_cast<double>(DX), 2, 2);
      z += ' ';
      z += FormatReal(z_tiefe, 2, 2);
      z += ' ';
      z += FormatReal(m.T_Feld[c][r], 3, 2);
      z += ' ';
      z += eta;
      datei.Zeile(std::move(z));
    }
  }
  return datei.Abschliessen();
}

bool WriteDatei(Ergebnissatz& satz, const std::string& endung, const std::string& inhalt) {
  Ergebnisdatei datei(satz, endung);
  datei.Bytes(inhalt);
  return datei.Abschliessen();
}

}  // namespace terval
