// The numerical model of one channel segment and the run driver: the grid of
// a segment's soil cross-section, heat conduction in it, the air in the
// pipes, the boundary values, the fan schedule and the checks before a run.
//
// Everything works on the one model (core/Vardef.h); functions that show a
// message or a status text take the user interface as well. Values follow
// the model's precision: grid, climate and air values are single precision,
// the 1-D start profile and the per-layer soil arrays double precision.
#pragma once

#include "model/Vardef.h"

namespace terval {

class Oberflaeche;
class Ergebnissatz;

// ---- Run driver ---------------------------------------------------------------

// How RechneKanal goes through the segments. Both ways give the same results
// bit for bit; they differ in time only.
enum class Rechenweg {
  // Every segment on its own, call by call: its own moisture column from the
  // start profile, its soil properties recomputed every hour.
  Segmentweise,
  // The moisture column depends on nothing but the climate and whether the
  // surface lets water in, so it is followed once per kind of surface (open,
  // or overbuilt/sealed), on a second core where there is one, and replayed
  // in every segment; the heat step uses per-row diffusivities. Falls back to
  // Segmentweise where that would not give the same results.
  Gemeinsam,
};

// One simulation of the whole channel over the climate year: prepares the
// hourly inputs once, then computes segment after segment (each one a full
// year on its own cross-section), the outlet air of a segment feeding the
// next. Honours StopRequested after each day of a segment: the segment in
// progress is left unfinished and not drawn. The 2-D fields of the marked
// segment go into `felder` (none without a set).
void RechneKanal(Modell& m, Oberflaeche& ui, Rechenweg weg = Rechenweg::Gemeinsam,
                 Ergebnissatz* felder = nullptr);

// Moisture sub-steps per hour for a moisture step of `feuchteZeitschritt` s:
// 3600 / step rounded half to even; 0 for a step <= 0 (no moisture step then).
int FeuchteTeilschritte(int feuchteZeitschritt);

// ---- Segment grid -------------------------------------------------------------

// Where InitGrid puts the columns and pipes of a segment. Computed in single
// precision like the model itself; the roundings are halves to even.
struct GitterAufbau {
  int Rohre = 0;           // Anz_Rohre as it stands (may be < 1 on bad input)
  float R = 0;             // outer pipe radius of the segment's pipe type, m
  float W = 0;             // width of the pipe block, m
  float L_li = 0;          // left grid edge to block centre, m
  float L_re = 0;          // block centre to right grid edge, m
  float Teilung = 0;       // centre-to-centre pipe distance 2R + Abst_Rohre, m
  float x0 = 0;            // centre of the first pipe from the left edge, m
  int n_li = 0;            // columns left of the block centre
  int n_re = 0;            // columns right of it; the grid has n_li + n_re columns
  int RohrZellRadius = 0;  // pipe radius in cells; < 1 marks a single cell
  int RohrZeile = 0;       // row of the pipe axis (not limited to the grid here)
};

// The grid layout of segment s (1..MaxSegmente) without touching the grid.
GitterAufbau BerechneGitterAufbau(const Modell& m, int s);

// Column of the centre of pipe i (1-based) of a layout.
int RohrSpalte(const GitterAufbau& g, int i);

// Builds the grid of segment s: cell types, LetzteSpalte, RohrZeile,
// RohrZellRadius, RegisterBox and the neighbour distances. Never writes
// outside the arrays: an unchecked segment that would not fit is squeezed
// into the 40 x 17 store (PruefeGitter refuses such segments before a run).
void InitGrid(Modell& m, int s);

// Marks one pipe as solid: the 2nr x 2nr square of columns c-nr..c+nr-1 and
// rows r-nr..r+nr-1, or the single cell (c, r) when nr < 1. Cells outside the
// store are skipped.
void MarkiereRohr(Modell& m, int c, int r, int nr);

// ---- Soil heat transport ------------------------------------------------------

// T_Jahresmittel (mean of the 8760 inlet temperatures of segment 1) and
// T_Sommermittel (mean over days 166..225), both summed in single precision.
void CalcMitteltemperaturen(Modell& m);

// Surface temperature of the spin-up on day d: an annual cosine between
// 2 T_Jahresmittel - T_Sommermittel and T_Sommermittel, warmest at day 182.5.
float T_Jahresgang(const Modell& m, int d);

// One explicit step of dt seconds of the 1-D start profile (nodes 0..16,
// diffusivity K_Zelle of grid column 0), surface T_oben, bottom T_unten.
void ProfilSchritt(Modell& m, double dt, double T_unten, double T_oben);

// The spin-up: from T_Jahresmittel everywhere, each day of the annual cosine
// held for 24 x 61 steps of one hour; leaves the start profile in T_Profil.
void InitTProfil(Modell& m);

// Every column 0..LetzteSpalte of T_Feld := T_Profil.
void InitTFeld(Modell& m);

// One explicit step of dt seconds of the 2-D field from T_Feld into T_Neu.
// Places the fixed values first: surface row T_oben, bottom row T_unten,
// cellar wall cells T_li / T_re, pipe cells T_wand (all degC).
void WaermeSchritt(Modell& m, float T_re, float T_li, float T_wand, float T_unten, float T_oben,
                   float dt);

// The face diffusivities of each row (m2/s) when every cell of a row has its
// layer's diffusivity, as UpdateBodenThermik makes it: then K_W = K_O, K_N
// and K_S are the same in every soil cell of a row, next to pipes and walls
// too (their cells carry the layer value as well).
struct Zeilendiffusivitaet {
  std::array<float, Zeilen> W{};  // west and east faces of row r, = K_W = K_O
  std::array<float, Zeilen> N{};  // upper face of row r (r >= 1), = K_N
  std::array<float, Zeilen> S{};  // lower face of row r (r <= 15), = K_S
};

// The row diffusivities from the per-layer K_Schicht, with UpdateBodenThermik's
// own expressions, so they equal its face arrays bit for bit.
Zeilendiffusivitaet ZeilenDiffusivitaeten(const Schichten& K_Schicht);

// What the explicit step needs of a segment's grid that stays the same all
// year: the reciprocal neighbour distances of the soil cells and the solid
// cells. Filled by BereiteZellen after InitGrid.
struct Zellgeometrie {
  int n = 0;  // LetzteSpalte
  // 1/D_W, 1/D_O, 1/D_N, 1/D_S on soil cells of columns 1..n-1, rows 1..15;
  // 0 on solid cells (their result is replaced by the pipe wall anyway).
  Gitter<float> kehrW{}, kehrO{}, kehrN{}, kehrS{};
  // Solid cells of columns 1..n-1, rows 1..15 (pipes), as column, row.
  std::array<std::array<int8_t, 2>, MaxSpalten * Zeilen> rohrzellen{};
  int anzRohrzellen = 0;
  // Wall cells of the edge columns, rows 0..15.
  std::array<int8_t, Zeilen> wandLinks{}, wandRechts{};
  int anzWandLinks = 0, anzWandRechts = 0;
};

// Fills `g` from the current grid. False when some soil cell's neighbour
// distance is not a power of two: only then would x * (1/D) differ from x / D,
// and the segment must go through WaermeSchritt instead.
bool BereiteZellen(const Modell& m, Zellgeometrie& g);

// WaermeSchritt with row diffusivities `k` and the reciprocal distances of
// `g`: the same values in T_Feld and T_Neu bit for bit, for a grid whose face
// arrays UpdateBodenThermik would fill with `k`. Leaves Grad_W..Grad_S alone
// (nothing reads them).
void WaermeSchrittZeilen(Modell& m, const Zellgeometrie& g, const Zeilendiffusivitaet& k,
                         float T_re, float T_li, float T_wand, float T_unten, float T_oben,
                         float dt);

// ---- Duct air -----------------------------------------------------------------

// VolStromRohr of every segment and hour: the channel flow split over the
// segment's pipes. A pipe count below 1 leaves the entries as they are.
void CalcRohrVolumenstrom(Modell& m);

// Air-side heat transfer coefficient (W/(m2 K)) of segment s for a flow of V
// m3/s through one pipe: Gnielinski-type correlation with a floor of 10;
// 1e-8 for no flow at all.
float CalcAlpha(const Modell& m, int s, float V);

// Coefficient (W/(m2 K)) for a flow V (m3/s per pipe) below LuftstromGrenze,
// for the option KleinerVolumenstrom: laminar below Re 2300 (Nu = 3.66 with
// Hausen's thermal entrance correction over the segment length), then a
// smoothstep blend in Re that reaches CalcAlpha(LuftstromGrenze), floor
// included, at the threshold. 1e-8 for no flow, as CalcAlpha.
float AlphaKleinerStrom(const Modell& m, int s, float V);

// Alpha of every segment and hour from VolStromRohr; with the option
// KleinerVolumenstrom AlphaKleinerStrom below the threshold.
void CalcAlphaJahr(Modell& m);

// One hour of segment s: air entering at T_in (degC) with flow V (m3/s per
// pipe) and coefficient alpha exchanges heat over length L (m) with the soil
// ring around the pipe block. Gives the outlet air T_aus and the pipe wall
// temperature T_wand; marks the ring in RingMarke. Below 100 m3/h per pipe the
// air passes unchanged and the wall takes the ring temperature.
void CalcLuftaustausch(Modell& m, int s, float L, float alpha, float V, float T_in, float& T_aus,
                       float& T_wand);
// Re = w 2R / nu with w = V / (pi R^2 + 1e-6), as CalcAlpha takes it, for the
// pipe of segment s.
float Reynoldszahl(const Modell& m, int s, float V);

// The parts of CalcLuftaustausch, for a segment computed hour by hour without
// recomputing what stays the same all year:
// Mean soil temperature of the ring around the pipe block (T_in when the
// grid has no ring at all).
float Ringtemperatur(const Modell& m, float T_in);
// RingMarke: 1.0 on the ring, 0 elsewhere in columns 0..LetzteSpalte.
void MarkiereRing(Modell& m);
// The pipe values of segment s that do not change during the year.
struct Rohrwerte {
  float U_w = 0;        // wall conductance Rohr_wlf / Rohr_Dicke, W/(m2 K)
  float U_w2 = 0;       // U_w * U_w
  float UmfangMalL = 0; // 2 pi R L, m2
};
Rohrwerte RohrwerteVon(const Modell& m, int s, float L);
// Below this flow per pipe (m3/s, 100 m3/h) the air counts as standing.
inline constexpr float LuftstromGrenze = 1.0f / 36.0f;
// Outlet air and pipe wall temperature of one hour for ring temperature
// T_ring and the conductivity lambda_Rohr (W/(m K)) of the pipe axis layer.
// `kleinerStrom` (option KleinerVolumenstrom): a flow between 0 and the
// threshold exchanges in effectiveness form
// T_aus = T_ring + (T_in - T_ring) exp(-2 pi R L U / (1200 V)), U the series
// of alpha, wall and soil; it cannot overshoot. A flow of 0 still passes.
void Rohraustausch(const Rohrwerte& rohr, float alpha, float V, float T_in, float T_ring,
                   double lambda_Rohr, float& T_aus, float& T_wand, bool kleinerStrom = false);

// ---- Boundaries ---------------------------------------------------------------

// Temperature of the cellar wall cells, degC: Seite 0 the left wall (column
// 0), any other value the right wall (column LetzteSpalte). Steady series
// network cellar air (T_Keller) - wall - soil beside the wall.
float CalcKellerwand(const Modell& m, int Seite);
// The same with the bottom layer's conductivity lambda_unten (W/(m K)) given.
float Kellerwandtemperatur(const Modell& m, int Seite, double lambda_unten);

// Surface temperature of segment s in hour h: T_Fundament under a building
// (Überbaut = 1), else the outdoor air (inlet of segment 1).
float Oberflaechentemperatur(const Modell& m, int s, int h);

// Factor of the water input at the surface: 0 when overbuilt or sealed
// (Überbaut > 0), 1 for open ground.
float Wasserfaktor(const Modell& m, int s);

// ---- Operation ----------------------------------------------------------------

// Builds VolStromStunde (m3/s) from the fan schedule or the climate table.
// False after an error message; VolStromStunde is then unchanged. A flow of
// 0 m3/h in constant operation draws the warning KeinVolumenstrom and the
// run goes on (a question would refuse it wherever no one answers Yes).
bool CalcVolumenstrom(Modell& m, Oberflaeche& ui);
inline constexpr char KeinVolumenstrom[] =
    "Der Basis-Volumenstrom ist 0 m3/h: im Dauerbetrieb strömt keine Luft durch den Kanal,\r"
    "jeder Auslass zeigt die Temperatur seines Einlasses. Bitte prüfen Sie die Betriebsdaten des Erdkanals.";

// One value per hour of the year, index 0 unused.
using Stundenfeld = std::array<float, Stunden + 1>;
// The channel flow of every hour (m3/s) as CalcVolumenstrom sets it, without
// a word: false, and `V` unchanged, where CalcVolumenstrom refuses the
// schedule or leaves the flows alone (an unknown mode).
bool Stundenvolumenstroeme(const Modell& m, Stundenfeld& V);

// ---- Checks before a run ------------------------------------------------------

// The channel check of the run start: refuses segments the model cannot
// represent (first one wins, after its message) and repairs a pipe count of 0
// and a cellar wall cutting into the register, with a message each.
bool PruefeKanal(Modell& m, Oberflaeche& ui);

// Whether every segment's grid fits the 40 x 17 store with the pipe block
// inside rows 1..15 and columns 1..LetzteSpalte-1 (one soil ring around it).
// Run right after PruefeKanal; false after a message naming the first
// segment that does not fit and what to change.
bool PruefeGitter(const Modell& m, Oberflaeche& ui);

}  // namespace terval
