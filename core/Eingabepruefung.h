// The input check of the run start, after the channel and grid checks
// (PruefeKanal, PruefeGitter): values the model could hold but never compute
// with sensibly. Each of them would otherwise divide by zero, take the
// logarithm of a negative number, drive the explicit heat step beyond its
// stability bound or run on stale or missing flows, and the run would end in
// NaN or in silent nonsense.
#pragma once

#include "model/Vardef.h"

namespace terval {

class Oberflaeche;

// Refuses, at the first offending value and with one German error message
// naming the value and where to change it:
// - the channel: a segment length outside 0.5..5 m; a non-finite segment
//   value; of each pipe type a segment uses, a non-positive wall thickness
//   or wall conductivity, a wall at least as thick as the outer radius, or a
//   wall conductance wlf / thickness above 1e5 W/(m2 K) (a radius of 0 or
//   less is left to the run start's own message);
// - the operation: a Betriebsart outside 0..3, a negative Vol_Aus, switching
//   hours outside 0..23 in a timed mode, non-finite thresholds in a
//   temperature mode; with the flows from the climate table, an hour whose
//   flow is missing (-999), negative or not finite;
// - the location: a soil index outside 1..AnzBoeden; a soil with ThetaSat,
//   ThetaRef or b <= 0, PsiSat >= 0, KSat < 0, a non-finite parameter, or a
//   thermal diffusivity anywhere in 1e-5..ThetaSat above
//   MaxStabileDiffusivitaet; a
//   start moisture <= 0; a vegetation whose LAI (as CalcBestand computes it)
//   is not above 0; a wind measurement height not above the displacement
//   height d = 0.245 h + 0.091 LAI, or not above d + z0m (the aerodynamic
//   resistance would be negative); non-finite coordinates; a latitude
//   outside -90..90, a longitude outside -180..180, a vegetation above
//   150 m, a wind measured above 500 m, a start moisture above 100 %;
// - the buildings: with a cellar beside any segment, a non-positive wall
//   thickness or conductivity, a wall conductance above 1e5 W/(m2 K) or a
//   cellar temperature outside the air's -90..65 degC; with an overbuilt
//   segment, a foundation temperature outside it;
// - the climate year: a non-finite value of an element a run uses, or one
//   outside the range its table column accepts (Wertebereiche.h);
// - the air step: a segment whose exchange number k = 2 pi R L U / (1200 V)
//   exceeds 1 at some hourly flow per pipe that exchanges heat, with the
//   soil at its largest conductivity (the outlet would overshoot the soil);
//   not with `luft.Energieerhaltend` (the coupling follows the air
//   exponentially), and never for flows below the threshold, which pass
//   unchanged or, with `luft.KleinerVolumenstrom`, exchange in effectiveness
//   form.
// True when all is usable. Changes nothing in the model (LAI and r_s, which
// the check computes on the way, are restored).
bool PruefeEingaben(Modell& m, Oberflaeche& ui, const Luftoptionen& luft = {});

}  // namespace terval
