// The input check of the run start: values that pass the channel and grid
// checks but that the model cannot compute with.
#include "core/Eingabepruefung.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/Cor_mod.h"
#include "model/Oberflaeche.h"
#include "model/Wertebereiche.h"
#include "model/Zahltext.h"
#include "physics/getsoildata.h"
#include "physics/monteith.h"

namespace terval {

namespace {

std::string Z(float x) { return KuerzesterText(x); }
std::string Z(double x) { return KuerzesterText(static_cast<float>(x)); }

bool Positiv(float x) { return std::isfinite(x) && x > 0; }

const char* const Rohrdatenort = " unter \"Rohrdaten anzeigen/ bearbeiten...\" im Erdkanaleditor.";

// Largest wall conductance wlf / thickness, W/(m2 K). The wall temperature of
// the steady network air - wall - soil divides by 1 - U^2 / ((U + U_s)(U + h)),
// which single precision no longer resolves above ~1e7 (it becomes 0 and
// the run infinite) and resolves to within 1 % up to 1e5. Real walls stay
// far below: 50 W/(m K) steel 1 mm thick is 5e4.
constexpr float MaxWandleitwert = 1.0e5f;

std::string Wandleitwert(float wlf, float dicke) {
  const float U = wlf / dicke;
  return "Wärmeleitfähigkeit / Dicke = " + (std::isfinite(U) ? FormatReal(U, 0, 0) : Z(U)) +
         " W/m²K, höchstens 100000 W/m²K sind möglich";
}
const char* const AndererBoden =
    "\rBitte korrigieren Sie SOILS.DAT oder wählen Sie im Standortprofil eine andere Bodenart.";

constexpr const Wertebereich& Lufttemperatur = Klimabereiche[1];

// "Tag 3, 7 Uhr" of hour index h (1..8760).
std::string Stundenangabe(int h) {
  return "Stunde " + FormatInt(h) + " (Tag " + FormatInt((h - 1) / 24 + 1) + ", " +
         FormatInt((h - 1) % 24) + " Uhr)";
}

// ---- Channel and pipes ---------------------------------------------------------

bool PruefeSegmente(const Modell& m, Oberflaeche& ui) {
  const float L = m.Rohrdaten.Seglaenge;
  if (!(std::isfinite(L) && L >= 0.5f && L <= 5.0f)) {
    ui.Fehler("Die Segmentlänge muß zwischen 0.5 und 5 m liegen !\rDer Erdkanal hat die Segmentlänge " +
              Z(L) + " m. Bitte ändern Sie die \"Länge eines Rohrsegments:\"" + Rohrdatenort);
    return false;
  }
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  for (int s = 1; s <= segmente; ++s) {
    const Kanalsegment& seg = m.Segmente[s];
    const struct {
      float wert;
      const char* name;  // as the editor's tool list names it
    } werte[] = {{seg.Tiefe, "Kanaltiefe"},
                 {seg.Abst_Rohre, "Rohrabstand"},
                 {seg.Abst_Geb_li, "Abstand linke Bebauung"},
                 {seg.Abst_Geb_re, "Abstand rechte Bebauung"},
                 {seg.Tief_Geb_li, "Tiefe linke Bebauung"},
                 {seg.Tief_Geb_re, "Tiefe rechte Bebauung"}};
    for (const auto& w : werte) {
      if (std::isfinite(w.wert)) continue;
      ui.Fehler("In Segment " + FormatInt(s) + " ist der Wert \"" + w.name + "\" keine gültige Zahl (" +
                Z(w.wert) + ") !\rBitte geben Sie im Erdkanaleditor eine Zahl ein.");
      return false;
    }
  }
  return true;
}

bool PruefeRohrtyp(const Modell& m, Oberflaeche& ui, int t) {
  const TRohrdaten& r = m.Rohrdaten;
  const std::string name = t == 1 ? "\"Hauptstrang\"" : "\"Register\"";
  const float Ra = r.Rohr_Ra[t], dicke = r.Rohr_Dicke[t], wlf = r.Rohr_wlf[t];
  // A radius of 0 or less (or NaN) gets the run start's own message next.
  if (!(Ra > 0)) return true;
  if (!std::isfinite(Ra)) {
    ui.Fehler("Der Außenradius des Rohrmaterials " + name + " ist keine gültige Zahl (" + Z(Ra) +
              " m) !\rBitte ändern Sie den \"Innendurchmesser in mm:\"" + Rohrdatenort);
    return false;
  }
  // The wall conductance wlf / Dicke of the air-soil network divides by both.
  if (!Positiv(dicke)) {
    ui.Fehler("Die Wanddicke des Rohrmaterials " + name + " muß größer als 0 sein (derzeit " + Z(dicke) +
              " m) !\rBitte ändern Sie die \"Dicke der Wandung in mm:\"" + Rohrdatenort);
    return false;
  }
  if (dicke >= Ra) {
    ui.Fehler("Die Wanddicke des Rohrmaterials " + name + " (" + Z(dicke) +
              " m) ist nicht kleiner als sein Außenradius (" + Z(Ra) +
              " m): Das Rohr hätte keinen Hohlraum !\rBitte ändern Sie \"Innendurchmesser in mm:\" oder "
              "\"Dicke der Wandung in mm:\"" +
              Rohrdatenort);
    return false;
  }
  if (!Positiv(wlf)) {
    ui.Fehler("Die Wärmeleitfähigkeit des Rohrmaterials " + name + " muß größer als 0 sein (derzeit " +
              Z(wlf) + " W/mK) !\rBitte ändern Sie die \"Wärmeleitfähigkeit W/mK:\"" + Rohrdatenort);
    return false;
  }
  if (!(wlf / dicke <= MaxWandleitwert)) {
    ui.Fehler("Die Wand des Rohrmaterials " + name + " ist für dieses Modell zu dünn oder leitet zu gut (" +
              Wandleitwert(wlf, dicke) + ") !\rBitte ändern Sie \"Dicke der Wandung in mm:\" oder "
              "\"Wärmeleitfähigkeit W/mK:\"" + Rohrdatenort);
    return false;
  }
  return true;
}

bool PruefeRohre(const Modell& m, Oberflaeche& ui) {
  // Only the types a segment uses: 1 for a single pipe, 2 for a register.
  bool hauptstrang = false, register_ = false;
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  for (int s = 1; s <= segmente; ++s) (m.Segmente[s].Anz_Rohre == 1 ? hauptstrang : register_) = true;
  return (!hauptstrang || PruefeRohrtyp(m, ui, 1)) && (!register_ || PruefeRohrtyp(m, ui, 2));
}

// ---- Operation and flows ---------------------------------------------------------

bool PruefeBetrieb(const Modell& m, Oberflaeche& ui) {
  const TKanalbetrieb& b = m.Kanalbetrieb;
  // Any other mode would leave the flows of an earlier run in place.
  if (b.Betriebsart < 0 || b.Betriebsart > 3) {
    ui.Fehler("Die Betriebsart " + FormatInt(b.Betriebsart) +
              " des Erdkanals ist ungültig: Erlaubt sind 0 (konstanter Betrieb), 1 (Betrieb nach Uhrzeit), "
              "2 (Betrieb nach Temperatur) und 3 (Zeit UND Temperatursteuerung) !\rBitte wählen Sie die "
              "Betriebsart im Erdkanaleditor neu aus.");
    return false;
  }
  if (b.Vol_Aus < 0) {
    ui.Fehler("Der Volumenstrom im \"Aus\"-Zustand darf nicht negativ sein (derzeit " + FormatInt(b.Vol_Aus) +
              " m3/h) !\rBitte ändern Sie im Erdkanaleditor den \"Volumenstrom im \"Aus\"-Zustand:\".");
    return false;
  }
  if (b.VolStromAusKlima) return true;  // the schedule is not used then

  if (b.Betriebsart == 1 || b.Betriebsart == 3) {
    if (b.Ein_Zeit < 0 || b.Ein_Zeit > 23) {
      ui.Fehler("Die Einschaltzeit " + FormatInt(b.Ein_Zeit) +
                " Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr !\rBitte ändern Sie im "
                "Erdkanaleditor die \"Zeitsteuerung Ein:\".");
      return false;
    }
    if (b.Aus_Zeit < 0 || b.Aus_Zeit > 23) {
      ui.Fehler("Die Ausschaltzeit " + FormatInt(b.Aus_Zeit) +
                " Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr !\rBitte ändern Sie im "
                "Erdkanaleditor unter \"Zeitsteuerung\" die Zeit \"Aus:\".");
      return false;
    }
  }
  if (b.Betriebsart == 2 || b.Betriebsart == 3) {
    if (!std::isfinite(b.Heiz_T) || !std::isfinite(b.Kuehl_T)) {
      const bool heiz = !std::isfinite(b.Heiz_T);
      ui.Fehler(std::string("Die Schalttemperatur ") + (heiz ? "\"Kein Betrieb von:\"" : "\"bis\"") +
                " ist keine gültige Zahl (" + Z(heiz ? b.Heiz_T : b.Kuehl_T) +
                " °C) !\rBitte ändern Sie sie im Erdkanaleditor.");
      return false;
    }
  }
  return true;
}

bool PruefeKlimavolumenstrom(const Modell& m, Oberflaeche& ui) {
  if (!m.Kanalbetrieb.VolStromAusKlima) return true;
  for (int h = 1; h <= Stunden; ++h) {
    const float v = m.Klima[h].Vol_Strom;
    std::string was;
    if (v == Fehlwert)
      was = "fehlt der Volumenstrom (-999)";
    else if (!std::isfinite(v))
      was = "ist der Volumenstrom keine gültige Zahl (" + Z(v) + ")";
    else if (v < 0)
      was = "ist der Volumenstrom negativ (" + Z(v) + " m3/h)";
    else
      continue;
    ui.Fehler("Die Volumenstromdaten werden aus der Klimatabelle entnommen, doch in " + Stundenangabe(h) +
              " " + was +
              " !\rBitte ergänzen Sie das Feld 7 der Klimatabelle oder entfernen Sie es, damit die "
              "Einstellungen des Erdkanals gelten.");
    return false;
  }
  return true;
}

// ---- Soil ---------------------------------------------------------------------------

std::string BodenBezeichnung(const TBodenDaten& b, int nr) {
  const std::string& name = !b.BodenName.empty() ? b.BodenName : b.Kuerzel;
  const std::string nummer = "Nr. " + FormatInt(nr) + " in SOILS.DAT";
  return name.empty() ? nummer : "\"" + name + "\" (" + nummer + ")";
}

bool PruefeBoden(const Modell& m, Oberflaeche& ui) {
  const int nr = m.Bodenart;
  const int anzahl = std::min<int>(m.AnzBoeden, MaxBoeden);
  if (nr < 1 || nr > anzahl) {
    ui.Fehler("Die Bodenart Nr. " + FormatInt(nr) +
              " des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält " + FormatInt(anzahl) +
              " Bodenarten !\rBitte wählen Sie im Standortprofil unter \"Bodenart vor Ort:\" eine Bodenart "
              "aus.");
    return false;
  }
  const TBodenDaten& b = m.Boeden[nr];
  const std::string bez = BodenBezeichnung(b, nr);
  // Both water contents divide: the retention curve by ThetaSat / theta, the
  // evaporation reduction by ThetaRef. The air-entry potential is a suction:
  // at 0 the potential and its logarithm vanish, above 0 the water would
  // diffuse against its gradient, as with a negative conductivity. A
  // negative exponent b turns K = KSat (theta / ThetaSat)^(2b + 3) infinite
  // when the soil dries.
  enum class Bedingung { Endlich, Positiv, Negativ, NichtNegativ };
  const struct {
    double wert;
    const char* name;
    Bedingung bedingung;
  } werte[] = {{b.ThetaSat, "ThetaSat (Wassergehalt bei Sättigung)", Bedingung::Positiv},
               {b.ThetaRef, "ThetaRef (Bezugswassergehalt der Verdunstung)", Bedingung::Positiv},
               {b.PsiSat, "PsiSat (Lufteintrittspotential)", Bedingung::Negativ},
               {b.KSat, "KSat (gesättigte Leitfähigkeit)", Bedingung::NichtNegativ},
               {b.CBoden, "CBoden (Wärmekapazität)", Bedingung::Endlich},
               {b.B_Exponent, "b (Porengrößenexponent)", Bedingung::Positiv}};
  for (const auto& w : werte) {
    const bool endlich = std::isfinite(w.wert);
    const char* regel = "";
    bool gut = endlich;
    switch (w.bedingung) {
      case Bedingung::Endlich: break;
      case Bedingung::Positiv: gut = endlich && w.wert > 0, regel = " (er muß größer als 0 sein)"; break;
      case Bedingung::Negativ: gut = endlich && w.wert < 0, regel = " (er muß kleiner als 0 sein)"; break;
      case Bedingung::NichtNegativ: gut = endlich && w.wert >= 0, regel = " (er darf nicht negativ sein)"; break;
    }
    if (gut) continue;
    ui.Fehler("Die Bodenart " + bez + " hat einen ungültigen Wert für " + w.name + ": " + Z(w.wert) + regel +
              " !" + AndererBoden);
    return false;
  }

  // The explicit heat step of 3600 s diverges above this diffusivity.
  const double a = MaxDiffusivitaet(b);
  if (!std::isfinite(a)) {
    ui.Fehler("Die Bodenart " + bez +
              " ergibt nicht bei jeder Bodenfeuchte eine gültige Temperaturleitfähigkeit !" + AndererBoden);
    return false;
  }
  if (a > MaxStabileDiffusivitaet) {
    ui.Fehler("Die Bodenart " + bez + " leitet die Wärme zu schnell für dieses Modell !\rIhre "
              "Temperaturleitfähigkeit erreicht " + FormatReal(a * 1e6, 0, 2) +
              " *10-6 m²/s, stabil rechnet das Modell nur bis " +
              FormatReal(MaxStabileDiffusivitaet * 1e6, 0, 2) + " *10-6 m²/s." + AndererBoden);
    return false;
  }

  // In % of saturation: above 100 the soil would hold more water than its pores.
  if (!Positiv(m.StartBodenfeuchte) || m.StartBodenfeuchte > 100) {
    ui.Fehler("Die Startfeuchte des Bodens muß größer als 0 % sein und darf 100 % nicht übersteigen (derzeit " +
              Z(m.StartBodenfeuchte) +
              " %) !\rBitte ändern Sie im Standortprofil die \"Relative Feuchte (Startwert %):\".");
    return false;
  }
  return true;
}

// ---- Site and vegetation -------------------------------------------------------------

bool PruefeStandort(Modell& m, Oberflaeche& ui) {
  const struct {
    float wert;
    const char* name;
    const char* feld;
  } werte[] = {{m.Breitengrad, "Der Breitengrad des Standortes", "den \"Breitengrad:\""},
               {m.Laengengrad, "Der Längengrad des Standortes", "den \"Längengrad:\""},
               {m.Veg_Hoehe, "Die mittlere Höhe der Vegetation", "die \"Mittlere Höhe Vegetation (m):\""},
               {m.WG_Messhoehe, "Die Messhöhe des Windes", "die \"Messhöhe:\""}};
  for (const auto& w : werte) {
    if (std::isfinite(w.wert)) continue;
    ui.Fehler(std::string(w.name) + " ist keine gültige Zahl (" + Z(w.wert) +
              ") !\rBitte ändern Sie im Standortprofil " + w.feld + ".");
    return false;
  }
  // The globe; the vegetation and the mast of the wind measurement as tall
  // as they come.
  const Wertebereich bereiche[] = {BreitengradBereich, LaengengradBereich, {"", " m", 0, 150}, {"", " m", 0, 500}};
  for (int i = 0; i < 4; ++i) {
    if (bereiche[i].Enthaelt(werte[i].wert)) continue;
    ui.Fehler(std::string(werte[i].name) + " (" + Z(werte[i].wert) + bereiche[i].einheit +
              ") liegt nicht im Bereich " + bereiche[i].Text() + " !\rBitte ändern Sie im Standortprofil " +
              werte[i].feld + ".");
    return false;
  }

  // LAI exactly as the run computes it; the module state is put back.
  const float laiVorher = m.LAI, rsVorher = m.r_s;
  CalcBestand(m);
  const float lai = m.LAI;
  m.LAI = laiVorher;
  m.r_s = rsVorher;
  if (!Positiv(lai)) {
    // 1.5 ln h + 5.5 > 0 needs h > exp(-11/3) = 0.0256 m.
    const std::string hinweis = m.Veg_typ == 1 ? "Bei geschnittenem Gras muß die Höhe größer als 0 m sein."
                                               : "Bei diesem Vegetationstyp muß die Höhe über 0.0256 m liegen.";
    ui.Fehler("Die Vegetation des Standortprofils ergibt keinen positiven Blattflächenindex (LAI = " + Z(lai) +
              ") !\r" + hinweis +
              " Bitte ändern Sie im Standortprofil die \"Mittlere Höhe Vegetation (m):\" oder den "
              "\"Vegetationstyp:\".");
    return false;
  }

  // ra = ln((z - d) / z0m) ln((z - d) / z0h) / (k^2 u) needs z - d > z0m:
  // at or below d the logarithm is undefined, below d + z0m ra turns negative.
  const double h = m.Veg_Hoehe;
  const float z0m = static_cast<float>(0.281 * h + 0.0275 + 0.028 * lai);
  const float d = static_cast<float>(0.245 * h + 0.091 * lai);
  const float z = m.WG_Messhoehe;
  if (!(z0m > 0 && z - d > z0m)) {
    const double grenze = std::ceil((static_cast<double>(d) + z0m) * 100.0) / 100.0;
    ui.Fehler("Die Messhöhe des Windes (" + Z(z) +
              " m) liegt zu niedrig für die Vegetation des Standortes: Sie muß über der Verdrängungshöhe d = " +
              FormatReal(d, 0, 2) + " m plus der Rauhigkeitslänge z0 = " + FormatReal(z0m, 0, 2) +
              " m liegen, also über " + FormatReal(grenze, 0, 2) +
              " m !\rBitte ändern Sie im Standortprofil die \"Messhöhe:\", die \"Mittlere Höhe Vegetation "
              "(m):\" oder den \"Vegetationstyp:\".");
    return false;
  }
  return true;
}

// ---- Buildings -------------------------------------------------------------------------

bool PruefeGebaeude(const Modell& m, Oberflaeche& ui) {
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  int keller = 0, ueberbaut = 0;  // first segment with a cellar beside it / built over
  for (int s = 1; s <= segmente; ++s) {
    const Kanalsegment& seg = m.Segmente[s];
    if (keller == 0 && (seg.Abst_Geb_li > 0 || seg.Abst_Geb_re > 0)) keller = s;
    if (ueberbaut == 0 && seg.Überbaut == 1) ueberbaut = s;
  }
  const std::string ort = " !\rBitte ändern Sie im Standortprofil unter \"Gebäudedaten\" ";
  if (keller > 0) {
    const std::string neben = "Neben Segment " + FormatInt(keller) + " steht ein Gebäude, doch ";
    // The cellar wall's conductance wlf / thickness divides by both.
    if (!Positiv(m.kellerwand_dicke)) {
      ui.Fehler(neben + "die Dicke der Kellerwand muß größer als 0 sein (derzeit " + Z(m.kellerwand_dicke) +
                " m)" + ort + "die \"Dicke Kellerwand (m):\".");
      return false;
    }
    if (!Positiv(m.wlf_kellerwand)) {
      ui.Fehler(neben + "die Wärmeleitfähigkeit der Kellerwand muß größer als 0 sein (derzeit " +
                Z(m.wlf_kellerwand) + " W/mK)" + ort + "die \"Wärmeleitfähigkeit Kellerwand (W/mK):\".");
      return false;
    }
    if (!(m.wlf_kellerwand / m.kellerwand_dicke <= MaxWandleitwert)) {
      ui.Fehler(neben + "die Kellerwand ist für dieses Modell zu dünn oder leitet zu gut (" +
                Wandleitwert(m.wlf_kellerwand, m.kellerwand_dicke) + ")" + ort +
                "die \"Dicke Kellerwand (m):\" oder die \"Wärmeleitfähigkeit Kellerwand (W/mK):\".");
      return false;
    }
    if (!std::isfinite(m.T_Keller)) {
      ui.Fehler(neben + "die Innentemperatur des Kellers ist keine gültige Zahl (" + Z(m.T_Keller) + ")" +
                ort + "die \"Innentemperatur Keller (°C):\".");
      return false;
    }
    if (!Lufttemperatur.Enthaelt(m.T_Keller)) {
      ui.Fehler(neben + "die Innentemperatur des Kellers (" + Z(m.T_Keller) + " °C) liegt nicht im Bereich " +
                Lufttemperatur.Text() + ort + "die \"Innentemperatur Keller (°C):\".");
      return false;
    }
  }
  if (ueberbaut > 0 && !std::isfinite(m.T_Fundament)) {
    ui.Fehler("Segment " + FormatInt(ueberbaut) +
              " ist überbaut, doch die Basistemperatur für überbaute Flächen ist keine gültige Zahl (" +
              Z(m.T_Fundament) + ")" + ort + "die \"Basis- Temperatur für überbaute Flächen (°C):\".");
    return false;
  }
  if (ueberbaut > 0 && !Lufttemperatur.Enthaelt(m.T_Fundament)) {
    ui.Fehler("Segment " + FormatInt(ueberbaut) + " ist überbaut, doch die Basistemperatur für überbaute Flächen (" +
              Z(m.T_Fundament) + " °C) liegt nicht im Bereich " + Lufttemperatur.Text() + ort +
              "die \"Basis- Temperatur für überbaute Flächen (°C):\".");
    return false;
  }
  return true;
}

// ---- Climate year ------------------------------------------------------------------------

bool PruefeKlima(const Modell& m, Oberflaeche& ui) {
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = m.Klima[h];
    const struct {
      float wert;
      const char* name;
    } werte[] = {{k.T_Luft, "Lufttemperatur"},    {m.Segmente[1].T_ein[h], "Lufttemperatur"},
                 {k.rFeuchte, "relative Feuchte"}, {k.Wind, "Wind"},
                 {k.Glob_Str, "Globalstrahlung"},  {k.Nieders, "Niederschlag"},
                 {k.Wolken, "Bedeckungsgrad"}};
    for (const auto& w : werte) {
      if (std::isfinite(w.wert)) continue;
      ui.Fehler("Die Klimadaten enthalten in " + Stundenangabe(h) + " bei \"" + w.name +
                "\" keine gültige Zahl (" + Z(w.wert) +
                ") !\rBitte korrigieren Sie die Klimatabelle und laden Sie sie neu.");
      return false;
    }
    // What the table's load refuses, also for a year changed in memory. A
    // run needs no cloud cover, so that may be missing.
    const float bereichswerte[] = {0, k.T_Luft, k.rFeuchte, k.Wind, k.Glob_Str, k.Nieders, k.Wolken};
    for (int e = 1; e <= 6; ++e) {
      const Wertebereich& b = Klimabereiche[e];
      if (b.Enthaelt(bereichswerte[e]) || (e == 6 && bereichswerte[e] == Fehlwert)) continue;
      ui.Fehler("Die Klimadaten enthalten in " + Stundenangabe(h) + " bei \"" + b.name + "\" den Wert " +
                Z(bereichswerte[e]) + "; möglich sind " + b.Text() +
                " !\rBitte korrigieren Sie die Klimatabelle und laden Sie sie neu.");
      return false;
    }
  }
  return true;
}

// ---- Air step ---------------------------------------------------------------------------

// The air step (Rohraustausch) is the steady series network air - wall -
// soil between the inlet air and the soil ring at T_ring:
//   Q = 2 pi R L U (T_ring - T_in),   U = (1/alpha + 1/U_w + 1/U_s)^-1,
// and the outlet T_aus = T_in + Q / (1200 V). Together
//   T_aus - T_ring = (1 - k)(T_in - T_ring),   k = 2 pi R L U / (1200 V).
// For k <= 1 the outlet lies between inlet and soil. Above 1 it overshoots
// the soil, which no real pipe does; above 2, |1 - k| > 1 and the next
// segment, lying in soil of about the same temperature, takes an inlet
// farther from the soil than the last one had: the deviation grows by the
// factor k - 1 per segment, to +-1e24 degC over 150 segments and then NaN.
// k grows as the flow shrinks, and as U grows with the soil's conductivity,
// so it is taken at every flow that exchanges heat and at the wettest soil.
// alpha, U_w and U_s are computed exactly as the air step does.
bool PruefeLuftschritt(const Modell& m, Oberflaeche& ui) {
  Stundenfeld V{};
  if (!Stundenvolumenstroeme(m, V)) return true;  // the run refuses the schedule with its own words
  const TBodenDaten* boden = AktuellerBoden(m);
  if (boden == nullptr) return true;
  const float U_s = static_cast<float>(MaxWaermeleitfaehigkeit(*boden) / (0.5 * DX));
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  // Segments with the same pipe count share pipe, flows and k.
  int gesehen[MaxSegmente + 1] = {};
  for (int s = 1; s <= segmente; ++s) {
    const int n = m.Segmente[s].Anz_Rohre;
    if (n < 1 || std::find(gesehen, gesehen + s, n) != gesehen + s) continue;
    gesehen[s] = n;
    const Rohrwerte rohr = RohrwerteVon(m, s, m.Rohrdaten.Seglaenge);
    float kGroesst = 0, VGroesst = 0;
    for (int h = 1; h <= Stunden; ++h) {
      // The flow per pipe as CalcRohrVolumenstrom divides it.
      const float v = n == 1 ? V[h] : V[h] / static_cast<float>(n);
      // Standing air exchanges nothing; with the option KleinerVolumenstrom
      // these flows take the effectiveness form, which cannot overshoot.
      if (v < LuftstromGrenze) continue;
      const float U = 1.0f / (1.0f / CalcAlpha(m, s, v) + 1.0f / rohr.U_w + 1.0f / U_s);
      const float k = rohr.UmfangMalL * U / (1200.0f * v);
      if (k > kGroesst) kGroesst = k, VGroesst = v;
    }
    if (kGroesst <= 1.0f) continue;
    ui.Fehler("In Segment " + FormatInt(s) + " tauscht die Luft bei einem Volumenstrom von " +
              FormatReal(VGroesst * 3600.0f, 0, 1) +
              " m3/h je Rohr mehr Wärme mit dem Erdreich aus, als dieses Modell in einem Segment abbilden "
              "kann: Die Austrittstemperatur schösse über die Temperatur des Erdreichs hinaus (k = " +
              FormatReal(kGroesst, 0, 2) +
              ", höchstens 1 ist möglich) !\rBitte verkürzen Sie die Segmente (\"Länge eines Rohrsegments:\"), "
              "wählen Sie ein kleineres Rohr oder erhöhen Sie den Volumenstrom im Erdkanaleditor.");
    return false;
  }
  return true;
}

}  // namespace

bool PruefeEingaben(Modell& m, Oberflaeche& ui, const Luftoptionen& luft) {
  // The energy-conserving coupling has no overshooting step to refuse.
  const bool luftschritt = luft.Energieerhaltend || luft.Kondensation;
  return PruefeSegmente(m, ui) && PruefeRohre(m, ui) && PruefeBetrieb(m, ui) &&
         PruefeKlimavolumenstrom(m, ui) && PruefeBoden(m, ui) && PruefeStandort(m, ui) &&
         PruefeGebaeude(m, ui) && PruefeKlima(m, ui) && (luftschritt || PruefeLuftschritt(m, ui));
}

}  // namespace terval
