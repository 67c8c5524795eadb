// The one model in memory: every variable, record and array a run reads or
// writes. Loaders fill it, the core computes on it, writers and windows read it.
//
// Indexing follows the model's description: hours 1..8760, segments 1..150,
// pipe types 1..2, months 1..12 (index 0 unused); grid columns 0..39 and rows
// 0..16. Single precision where the description says single, double where it
// says double. The struct is about 22 MB: allocate it with NeuesModell(),
// never on the stack.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace terval {

// ---- Sizes and grid constants ---------------------------------------------

inline constexpr int MaxSegmente = 150;
inline constexpr int Stunden = 8760;        // hours of the (always 365-day) year
inline constexpr int MaxSpalten = 40;       // grid columns 0..39
inline constexpr int Zeilen = 17;           // grid rows 0..16, row 0 = surface
inline constexpr int UntersteZeile = 16;
inline constexpr int MaxBoeden = 50;
inline constexpr int MaxRohrtypen = 100;
inline constexpr int MaxStundenliste = 744;  // 31 days x 24 hours

inline constexpr float DZ = 0.5f;           // row height, m
inline constexpr float DX = 0.5f;           // column width, m
inline constexpr float RandAbstand = 2.5f;  // soil margin beside a register, m

// A climate value is missing exactly when it equals this (plain equality).
inline constexpr float Fehlwert = -999.0f;

// Days whose results are written as reference-day files and 2-D fields.
inline constexpr std::array<int, 5> Referenztage = {14, 74, 166, 225, 258};

// ---- Physical constants (single precision, as the model uses them) --------

inline constexpr float c_Wasser = 4.182e6f;  // volumetric heat capacity of water, J/(m3 K)
inline constexpr float rho_Wasser = 998.2f;  // density of water, kg/m3
inline constexpr float nu_Luft = 1.33e-5f;   // kinematic viscosity of air, m2/s
inline constexpr float wlf_Luft = 0.02f;     // thermal conductivity of air, W/(m K)
inline constexpr float Pr_Luft = 0.72f;      // Prandtl number of air
inline constexpr float Sigma = 5.67e-8f;     // Stefan-Boltzmann constant, W/(m2 K4)

inline constexpr char Versionsbanner[] = "Terval 1.00 h  v. 10.08.04";

// Hour index of day 1..365 and hour of day 0..23.
constexpr int StundenIndex(int tag, int stunde) { return (tag - 1) * 24 + stunde + 1; }

// Day number of the last day of each month of a 365-day year; month m holds
// the days Monatsgrenzen[m-1]+1 .. Monatsgrenzen[m].
inline constexpr std::array<int, 13> Monatsgrenzen = {0,   31,  59,  90,  120, 151, 181,
                                                      212, 243, 273, 304, 334, 365};

// Month 1..12 of day 1..365 (days outside the year count as the nearest month).
constexpr int MonatVonTag(int tag) {
  for (int monat = 1; monat <= 12; ++monat)
    if (tag <= Monatsgrenzen[monat]) return monat;
  return 12;
}

// ---- Channel ---------------------------------------------------------------

// One segment of the channel: its definition, then its hourly simulation state.
struct Kanalsegment {
  int32_t Anz_Rohre = 0;   // parallel pipes; 1 = main line, >1 = register
  float Abst_Rohre = 0;    // clear spacing between pipes of a register, m
  float Tiefe = 0;         // depth of the pipe axis, m
  float Abst_Geb_li = 0;   // distance to a cellar wall on the left, m; 0 = no building
  float Abst_Geb_re = 0;   // same on the right
  float Tief_Geb_li = 0;   // depth of the left building, m (kept, not simulated)
  float Tief_Geb_re = 0;   // same on the right
  int32_t Überbaut = 0;    // 0 open ground, 1 overbuilt, any other positive value sealed

  // Hourly state, index 1..8760 (0 unused).
  std::array<float, Stunden + 1> Alpha{};         // air-side heat transfer coefficient, W/(m2 K)
  std::array<float, Stunden + 1> VolStromRohr{};  // flow through one pipe, m3/s
  std::array<float, Stunden + 1> T_ein{};         // inlet air, degC
  std::array<float, Stunden + 1> T_aus{};         // outlet air, degC
};

// The two pipe types (1 main line "Hauptstrang", 2 register "Register").
struct TRohrdaten {
  std::array<std::string, 3> Rohrname{"", "Beton 100", "Beton 100"};
  std::array<float, 3> Rohr_Ra{0.0f, 0.4f, 0.4f};     // outer radius, m
  std::array<float, 3> Rohr_Dicke{0.0f, 0.1f, 0.1f};  // wall thickness, m
  std::array<float, 3> Rohr_wlf{0.0f, 1.0f, 1.0f};    // wall conductivity, W/(m K)
  float Seglaenge = 1.0f;                             // length of one segment, m (both types)
};

// Operation settings of the fan, stored with the channel.
struct TKanalbetrieb {
  int32_t Volstrom = 2400;   // channel flow when running, m3/h
  int32_t Vol_Aus = 0;       // channel flow when off, m3/h
  int32_t Ein_Zeit = 7;      // hour of day timed operation starts
  int32_t Aus_Zeit = 18;     // hour of day timed operation ends
  float Heiz_T = 4.0f;       // lower air temperature threshold, degC
  float Kuehl_T = 18.0f;     // upper air temperature threshold, degC
  int32_t Betriebsart = 0;   // 0 constant, 1 by time, 2 by temperature, 3 both
  bool Fuenftagebetrieb = false;
  bool VolStromAusKlima = false;  // flows come from the climate table's 7th field
};

// The channel's air path as the fan sees it: wall roughness and loss
// coefficients, stored with the channel. The start values describe a common
// residential duct of smooth plastic pipe.
struct THydraulik {
  std::array<float, 3> Rauhigkeit{0.0f, 0.007f, 0.007f};  // wall roughness per pipe type, mm
  float Zeta_Einlauf = 0.5f;   // intake, flush entry; at segment 1's speed
  int32_t Boegen = 2;          // 90 degree bends of the main line
  float Zeta_Bogen = 0.15f;    // per bend (R/D 1.5); at segment 1's speed
  float Zeta_Register = 1.0f;  // split into and, again, join out of each register
  float Zeta_Auslauf = 1.0f;   // outlet into the unit; at the last segment's speed
  float Filter_Pa = 0.0f;      // intake filter at the base flow, Pa
  float Wirkungsgrad = 0.35f;  // overall fan efficiency, 0 < eta <= 1
  bool operator==(const THydraulik&) const = default;
};

// One entry of the pipe catalogue "Rohre.DBF".
struct TRohrtyp {
  std::string Name;
  float Aussenmass = 0;  // outer size, m
  float Dicke = 0;       // wall thickness, m
  double wlf = 0;        // wall conductivity, W/(m K)
};

// ---- Soil table ------------------------------------------------------------

// One soil of SOILS.DAT: retention curve, conductivity and heat capacity.
struct TBodenDaten {
  std::string Kuerzel;     // code, at most 2 characters
  int8_t Klasse = 0;       // read, used nowhere
  double ThetaSat = 0;     // saturated water content, m3/m3
  double ThetaRef = 0;     // reference water content of the evaporation reduction
  double Wert3 = 0;        // read, used nowhere
  double PsiSat = 0;       // air-entry potential, m (negative)
  double KSat = 0;         // saturated hydraulic conductivity, m/s
  double CBoden = 0;       // heat capacity of the solids, J/(m3 K)
  double B_Exponent = 0;   // pore-size exponent b
  double Wert8 = 0;        // read, used nowhere
  std::string BodenName;   // at most 20 characters
};

// ---- Climate year ----------------------------------------------------------

// One hour of the climate year; the field order is the table's (0..19).
struct TKlimaStunde {
  float T_Luft = 0;      // air temperature, degC
  float rFeuchte = 0;    // relative humidity, %
  float e = 0;           // vapour pressure, kPa
  float Esat = 0;        // saturation vapour pressure, kPa
  float Wind = 0;        // wind speed, m/s
  float Glob_Str = 0;    // global radiation, W/m2
  float Lw_Str = 0;      // long-wave sky radiation, W/m2
  float Net_Boden = 0;   // net radiation at the ground, W/m2
  float Wolken = 0;      // cloud cover, octas
  float G = 0;           // ground heat flux, W/m2
  float ra = 0;          // aerodynamic resistance, s/m
  float Nieders = 0;     // precipitation, mm per hour
  float p_Verd_mm = 0;   // potential evaporation, mm per hour
  float r_Verd_mm = 0;   // actual evaporation, mm per hour
  float p_Verd_W = 0;    // potential evaporation as energy flux, W/m2
  float Eta_z1 = 0;      // volumetric moisture of layer 1
  float Eta_z3 = 0;      // volumetric moisture of layer 3
  float Eta_z5 = 0;      // volumetric moisture of layer 5
  float Eta_kanal = 0;   // volumetric moisture of the pipe-axis layer
  float Vol_Strom = 0;   // channel flow from the table's 7th field, m3/h
};

// One entry of the generator's month list of hours.
struct TStundenEintrag {
  float Wolken = 0;
  int32_t Tag = 0;     // 1..365
  int32_t Stunde = 0;  // 0..23
};

// Air-side options beyond the described model, for the run. All off by
// default; off, every result is the described model's bit for bit.
struct Luftoptionen {
  bool KleinerVolumenstrom = false;  // exchange below LuftstromGrenze in effectiveness form
  bool Energieerhaltend = false;     // pipe cells are soil cells, the air their sink
  bool Kondensation = false;         // humidity, condensate and film; implies Energieerhaltend
};

// The water of a run with the option Kondensation, per segment 1..150 and
// month 1..12.
struct Kondensatjahr {
  std::array<std::array<double, 13>, MaxSegmente + 1> kg{};      // condensed, kg
  std::array<std::array<double, 13>, MaxSegmente + 1> latent{};  // heat released at the wall, kWh (net of evaporation)
  std::array<std::array<int32_t, 13>, MaxSegmente + 1> stunden{};  // hours with condensation
  std::array<double, MaxSegmente + 1> abfluss{};                 // drained over the year, kg
  std::array<uint8_t, Stunden + 1> imKanal{};  // 1 for an hour in which some segment condensed
  std::array<int32_t, 13> kanalStunden{};      // hours per month in which some segment condensed
};

// Gives segment `z` the definition of `q` (pipes, depth, buildings, surface),
// leaving its hourly state as it is. `q` is a segment or anything holding
// the same definition fields (a segment read from a channel file).
template <typename Definition>
void KopiereDefinition(const Definition& q, Kanalsegment& z) {
  z.Anz_Rohre = q.Anz_Rohre;
  z.Abst_Rohre = q.Abst_Rohre;
  z.Tiefe = q.Tiefe;
  z.Abst_Geb_li = q.Abst_Geb_li;
  z.Abst_Geb_re = q.Abst_Geb_re;
  z.Tief_Geb_li = q.Tief_Geb_li;
  z.Tief_Geb_re = q.Tief_Geb_re;
  z.Überbaut = q.Überbaut;
}

// Grid arrays are indexed [column][row].
template <typename T>
using Gitter = std::array<std::array<T, Zeilen>, MaxSpalten>;
using Schichten = std::array<double, Zeilen>;

// ---- The model ----------------------------------------------------------------

struct Modell {
  // Channel.
  std::array<Kanalsegment, MaxSegmente + 1> Segmente{};  // 1..150, no segment 0
  int32_t Anz_Segmente = 1;
  TRohrdaten Rohrdaten;
  TKanalbetrieb Kanalbetrieb;
  THydraulik Hydraulik;
  std::array<float, Stunden + 1> VolStromStunde{};  // channel flow per hour, m3/s
  float GebTiefeLinks = 0;   // building depths of the grid, m; 8.0 after SetzeStandardwerte
  float GebTiefeRechts = 0;
  std::string Kanaldatei = "Erdkanal.ewt.db";
  std::string Startverzeichnis;  // initial directory of the open dialogs; program directory at start-up

  // Pipe catalogue, 1..Anz_Rohrtypen.
  std::array<TRohrtyp, MaxRohrtypen + 1> Rohrtypen{};
  int32_t Anz_Rohrtypen = 0;

  // Location profile (start values; the main window installs others at start-up).
  int32_t Bodenart = 1;              // 1-based soil index
  float StartBodenfeuchte = 50.0f;   // % of saturation
  std::string Ortsname = "Testort (Bochum,D)";
  float Breitengrad = 53.0f;
  float Laengengrad = 7.5f;
  float Veg_Hoehe = 0.5f;
  int32_t Veg_typ = 1;
  float Diff_Tdew = 0;
  int32_t Truebung = 0;
  float Wg_mittel = 0;
  float Wg_Tag_Nacht = 0;
  float WG_Messhoehe = 0;
  std::array<int32_t, 13> Wetter_{};  // 1..12
  std::array<float, 13> Ns_{0.0f, 66.3f, 54.7f, 56.3f, 54.7f, 63.3f, 78.8f,
                            85.9f, 80.7f, 67.2f, 66.2f, 65.0f, 69.5f};  // 1..12, mm
  float T_Keller = 0;
  float wlf_kellerwand = 0;
  float kellerwand_dicke = 0;
  float T_Fundament = 0;
  std::string Standortdatei = "Bochum.loc.db";

  // Climate year, 1..8760, and its bookkeeping.
  std::array<TKlimaStunde, Stunden + 1> Klima{};
  float T_Jahresmittel = 7.0f;
  float T_Sommermittel = 18.0f;
  std::string DBKlimaName;
  bool KlimaDBOffen = false;
  bool KlimaGueltig = false;
  int32_t KlimaFeldzahl = 0;
  bool TLuftKomplett = false;
  bool FeuchteKomplett = false;
  bool WindKomplett = false;
  bool StrahlungKomplett = false;
  bool NiederschlagKomplett = false;
  bool WolkenKomplett = false;
  bool KlimaKomplett = false;

  // Run options.
  bool MitFeuchte = true;
  int32_t FeuchteZeitschritt = 3600;  // s: 3600, 1800, 600, 60 or 1
  int32_t MarkSegment = -1;           // segment whose 2-D field is written; -1 = none
  bool StopRequested = false;
  bool ErgebnisseVorhanden = false;
  std::string AusgabeVerzeichnis;     // working directory at the start of the run
  std::string AusgabeStamm = "Terval";
  bool NurEinTermin = false;
  int32_t AusgabeStunde = 12;
  bool TextAusgabe = false;
  Luftoptionen Luftseite;
  // Option Kondensation: humidity ratio of the air (kg/kg) per hour, the
  // channel inlet's before the run, each segment's outlet after it, so it
  // ends as the channel outlet's; the outlet's relative humidity; and the
  // water of the year.
  std::array<float, Stunden + 1> Gehalt{};
  std::array<float, Stunden + 1> RFeuchteAus{};  // relative humidity at the channel outlet, %
  Kondensatjahr Kondensat;

  // Soil grid of the segment being computed.
  Gitter<int32_t> ZellTyp{};  // 0 soil, 1 solid (pipe or wall)
  Gitter<float> T_Feld{}, T_Neu{};
  Gitter<float> K_Zelle{};
  Gitter<float> K_W{}, K_O{}, K_N{}, K_S{};
  Gitter<float> D_W{}, D_O{}, D_N{}, D_S{};
  Gitter<float> Grad_W{}, Grad_O{}, Grad_N{}, Grad_S{};
  Gitter<float> RingMarke{};  // 1.0 on the ring around the pipe block (display only)
  int32_t LetzteSpalte = 0;
  int32_t RohrZeile = 0;
  int32_t RohrZellRadius = 0;
  // First column, last column, first row, last row of the pipe cells;
  // (90, 0, 90, 0) when the grid holds no pipe cell.
  std::array<int32_t, 4> RegisterBox{};
  Schichten Theta{};       // volumetric moisture per row
  Schichten Lambda{};      // conductivity per row, W/(m K)
  Schichten K_Schicht{};   // diffusivity per row, m2/s
  Schichten T_Profil{}, T_ProfilHilf{};  // 1-D start profile and its scratch copy

  // Moisture model coefficients (per sub-step length).
  Schichten K_Hydr{};    // hydraulic conductivity x dt, m per step; [0] stays 0
  Schichten D_Hydr{};    // water diffusivity x dt, m2 per step
  Schichten G_Schwer{};  // gravity drainage per step, [1..16]; [16] = 0

  // Soil table, 1..AnzBoeden.
  std::array<TBodenDaten, MaxBoeden + 1> Boeden{};
  uint8_t AnzBoeden = 0;

  // Module state of the evaporation formulas.
  float LAI = 0;   // leaf area index
  float r_s = 0;   // canopy surface resistance, s/m

  // Module state of the solar routines.
  float Bezugsmeridian = 7.5f;      // meridian of the clock time, degrees
  float Truebungskoeffizient = 0;   // aerosol turbidity beta
  int32_t Bedeckung = 0;            // cloud cover, octas 0..8
  float Deklination = 0;
  float SonnenHoehe = 0;
  float SonnenAzimut = 0;

  // Running date and time texts of the climate generator.
  std::string AktDatum = "01.01.2000";
  std::string AktZeit = "00:00";

  // Scratch list of the precipitation generator, 1..744.
  std::array<TStundenEintrag, MaxStundenliste + 1> Stundenliste{};
};

// A fresh model with every start value, on the heap.
std::unique_ptr<Modell> NeuesModell();

// Installs the default pipe types, operation settings, cellar values and
// building depths (called once when the main window is created).
void SetzeStandardwerte(Modell& m);

// The rest of the main window's start-up state that is model state, so the
// batch program starts exactly where the window does: SetzeStandardwerte,
// segment 1 preset, the location's start-up values, moisture model on at
// 3600 s, the six measured climate elements missing.
void SetzeStartzustand(Modell& m);

}  // namespace terval
