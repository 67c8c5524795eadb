// The run driver: one simulation of the whole channel over the climate year.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "climate/Klimaerzeugung.h"
#include "core/Cor_mod.h"
#include "core/Feuchtebahn.h"
#include "core/Kondensation.h"
#include "core/Rohrkopplung.h"
#include "model/Oberflaeche.h"
#include "model/Zahltext.h"
#include "output/DBErgout.h"
#include "physics/Bodenfeuchte.h"
#include "physics/UgetRadiation.h"
#include "physics/getsoildata.h"
#include "physics/monteith.h"

namespace terval {

namespace {

// The heat step of the soil field, s.
constexpr float Zeitschritt = 3600.0f;

bool IstReferenztag(int d) {
  return std::find(Referenztage.begin(), Referenztage.end(), d) != Referenztage.end();
}

// One hour of hour h of a segment with the energy-conserving coupling: the
// air of the hour, the heat step `schritt` and the air's sink in the pipe
// cells; leaves T_Feld at the end of the hour. Flows below the threshold
// pass unchanged unless the option KleinerVolumenstrom lets them exchange.
// With a wall (option Kondensation) the air's humidity goes with it: in
// m.Gehalt[h], inlet before, outlet after, and the water into the year's sums.
template <class Schritt>
float KoppelStunde(Modell& m, const Rohrknoten& knoten, const Kanalsegment& seg, int s, int h,
                   const std::array<float, Zeilen>& lambda, const Zeilendiffusivitaet& z,
                   Segmentwand* wand, Schritt&& schritt) {
  const float V = seg.VolStromRohr[h];
  const float V_tausch = V >= LuftstromGrenze || m.Luftseite.KleinerVolumenstrom ? V : 0.0f;
  const double UA = RohrLeitwert(knoten, seg.Alpha[h], lambda[knoten.zeile]);
  const Rohrboden boden{lambda.data(), &z};
  if (wand == nullptr)
    return KoppelStunde(m, knoten, boden, UA, V_tausch, seg.T_ein[h], Zeitschritt, schritt).T_aus;

  wand->Stunde(V_tausch, m.Gehalt[h], seg.Alpha[h], UA);
  const float T_aus =
      KoppelStunde(m, knoten, boden, UA, V_tausch, seg.T_ein[h], Zeitschritt, schritt, *wand).T_aus;
  m.Gehalt[h] = static_cast<float>(wand->W_aus());
  const int monat = MonatVonTag((h - 1) / 24 + 1);
  Kondensatjahr& k = m.Kondensat;
  k.kg[s][monat] += wand->kondensat;
  k.latent[s][monat] += wand->latent / 3.6e6;
  if (wand->kondensat > 0) {
    ++k.stunden[s][monat];
    if (k.imKanal[h] == 0) ++k.kanalStunden[monat];
    k.imKanal[h] = 1;
  }
  k.abfluss[s] += wand->abfluss;
  return T_aus;
}

// One year of segment s on its own cross-section. Allocates nothing: every
// array is part of the model.
void RechneSegment(Modell& m, Oberflaeche& ui, int s, int segmente) {
  InitGrid(m, s);
  const bool energie = m.Luftseite.Energieerhaltend || m.Luftseite.Kondensation;
  Rohrknoten knoten;
  if (energie) knoten = OeffneRohrzellen(m, s);
  std::optional<Segmentwand> wand;
  if (m.Luftseite.Kondensation) wand.emplace(knoten.R, knoten.L, knoten.rohre);
  InitFeuchteProfil(m, m.StartBodenfeuchte);
  UpdateBodenThermik(m);
  UpdateBodenHydraulik(m);
  InitTFeld(m);

  Kanalsegment& seg = m.Segmente[s];
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  const bool mitBauten_li = seg.Abst_Geb_li > 0;
  const bool mitBauten_re = seg.Abst_Geb_re > 0;
  const float g = Wasserfaktor(m, s);
  const int teilschritte = m.MitFeuchte ? FeuchteTeilschritte(m.FeuchteZeitschritt) : 0;

  for (int d = 1; d <= 365; ++d) {
    for (int k = 0; k < 24; ++k) {
      const int h = StundenIndex(d, k);
      float T_aus = 0, T_wand = 0;
      if (energie) {
        const float T_oben = Oberflaechentemperatur(m, s, h);
        const float T_li = mitBauten_li ? CalcKellerwand(m, 0) : 0.0f;
        const float T_re = mitBauten_re ? CalcKellerwand(m, 1) : 0.0f;
        std::array<float, Zeilen> lambda;
        for (int r = 0; r < Zeilen; ++r) lambda[r] = static_cast<float>(m.Lambda[r]);
        auto schritt = [&](float dt) { WaermeSchritt(m, T_re, T_li, 0.0f, m.T_Jahresmittel, T_oben, dt); };
        T_aus = KoppelStunde(m, knoten, seg, s, h, lambda, ZeilenDiffusivitaeten(m.K_Schicht),
                             wand ? &*wand : nullptr, schritt);
        MarkiereRing(m);
      } else {
        CalcLuftaustausch(m, s, m.Rohrdaten.Seglaenge, seg.Alpha[h], seg.VolStromRohr[h],
                          seg.T_ein[h], T_aus, T_wand);
      }
      seg.T_aus[h] = T_aus;
      if (s < segmente) m.Segmente[s + 1].T_ein[h] = T_aus;

      if (!energie) {
        const float T_oben = Oberflaechentemperatur(m, s, h);
        const float T_li = mitBauten_li ? CalcKellerwand(m, 0) : 0.0f;
        const float T_re = mitBauten_re ? CalcKellerwand(m, 1) : 0.0f;
        WaermeSchritt(m, T_re, T_li, T_wand, m.T_Jahresmittel, T_oben, Zeitschritt);
      }

      if (m.MitFeuchte) {
        const float N = g * m.Klima[h].Nieders;
        const float E = g * m.Klima[h].p_Verd_mm;
        for (int i = 0; i < teilschritte; ++i) {
          UpdateBodenHydraulik(m);
          FeuchteSchritt(m, d, k, 1.0, N, E);
        }
      }

      for (int c = 0; c <= n; ++c) m.T_Feld[c] = m.T_Neu[c];

      // The new moisture sets conductivity and diffusivity of the next hour.
      if (m.MitFeuchte) UpdateBodenThermik(m);
    }
    if (m.MarkSegment == s && IstReferenztag(d))
      WriteField(m, s, d, m.AusgabeVerzeichnis, m.AusgabeStamm);
    // Lets a window repaint within a long segment; a stop is still only
    // honoured after the whole segment.
    ui.Fortschritt(d, 365);
  }
  if (energie) SchliesseRohrzellen(m, knoten);
}

// One year of segment s replaying the moisture trajectory of its kind of
// surface: the same calls as RechneSegment where they depend on the
// segment, the trajectory's values where they do not. Ends with the model
// as RechneSegment leaves it (apart from the heat step's scratch gradients).
void RechneSegmentGemeinsam(Modell& m, Oberflaeche& ui, int s, int segmente, Feuchtebahn& bahn,
                            Zellgeometrie& zellen) {
  InitGrid(m, s);
  const bool energie = m.Luftseite.Energieerhaltend || m.Luftseite.Kondensation;
  Rohrknoten knoten;
  if (energie) knoten = OeffneRohrzellen(m, s);
  std::optional<Segmentwand> wand;
  if (m.Luftseite.Kondensation) wand.emplace(knoten.R, knoten.L, knoten.rohre);
  if (!BereiteZellen(m, zellen)) {
    if (energie) SchliesseRohrzellen(m, knoten);
    // A grid whose distances the row step cannot reproduce exactly.
    RechneSegment(m, ui, s, segmente);
    return;
  }
  InitTFeld(m);
  // The ring around the pipe block stays where it is all year.
  MarkiereRing(m);

  Kanalsegment& seg = m.Segmente[s];
  const Oberflaechenart art = OberflaecheVon(m, s);
  const bool mitBauten_li = seg.Abst_Geb_li > 0;
  const bool mitBauten_re = seg.Abst_Geb_re > 0;
  const Rohrwerte rohr = RohrwerteVon(m, s, m.Rohrdaten.Seglaenge);
  const int zeile = std::clamp(m.RohrZeile, 0, static_cast<int>(UntersteZeile));
  const size_t feldBytes = static_cast<size_t>(zellen.n + 1) * sizeof(m.T_Feld[0]);

  for (int d = 1; d <= 365; ++d) {
    bahn.BisTag(art, d);
    for (int k = 0; k < 24; ++k) {
      const int h = StundenIndex(d, k);
      // Soil properties of this hour: those after the previous hour's moisture.
      const Feuchtestand& vorher = bahn.Stand(art, h - 1);
      const float T_in = seg.T_ein[h];
      if (energie) {
        const float T_oben = Oberflaechentemperatur(m, s, h);
        const double lambda_unten = vorher.Lambda[UntersteZeile];
        const float T_li = mitBauten_li ? Kellerwandtemperatur(m, 0, lambda_unten) : 0.0f;
        const float T_re = mitBauten_re ? Kellerwandtemperatur(m, 1, lambda_unten) : 0.0f;
        auto schritt = [&](float dt) {
          WaermeSchrittZeilen(m, zellen, vorher.Zeilenwerte, T_re, T_li, 0.0f, m.T_Jahresmittel, T_oben, dt);
        };
        seg.T_aus[h] = KoppelStunde(m, knoten, seg, s, h, vorher.Lambda, vorher.Zeilenwerte,
                                    wand ? &*wand : nullptr, schritt);
        if (s < segmente) m.Segmente[s + 1].T_ein[h] = seg.T_aus[h];
        continue;
      }
      float T_aus = 0, T_wand = 0;
      Rohraustausch(rohr, seg.Alpha[h], seg.VolStromRohr[h], T_in, Ringtemperatur(m, T_in),
                    vorher.Lambda[zeile], T_aus, T_wand, m.Luftseite.KleinerVolumenstrom);
      seg.T_aus[h] = T_aus;
      if (s < segmente) m.Segmente[s + 1].T_ein[h] = T_aus;

      const float T_oben = Oberflaechentemperatur(m, s, h);
      const double lambda_unten = vorher.Lambda[UntersteZeile];
      const float T_li = mitBauten_li ? Kellerwandtemperatur(m, 0, lambda_unten) : 0.0f;
      const float T_re = mitBauten_re ? Kellerwandtemperatur(m, 1, lambda_unten) : 0.0f;
      WaermeSchrittZeilen(m, zellen, vorher.Zeilenwerte, T_re, T_li, T_wand, m.T_Jahresmittel,
                          T_oben, Zeitschritt);
      std::memcpy(m.T_Feld.data(), m.T_Neu.data(), feldBytes);
    }
    if (m.MarkSegment == s && IstReferenztag(d)) {
      m.Theta = bahn.Stand(art, StundenIndex(d, 23)).Theta;
      WriteField(m, s, d, m.AusgabeVerzeichnis, m.AusgabeStamm);
    }
    ui.Fortschritt(d, 365);
  }

  // The moisture column and soil properties as the segment's own year
  // leaves them, and the climate fields its moisture steps write.
  const Feuchtezustand& ende = bahn.Ende(art);
  m.Theta = ende.Theta;
  m.K_Hydr = ende.K_Hydr;
  m.D_Hydr = ende.D_Hydr;
  m.G_Schwer = ende.G_Schwer;
  UpdateBodenThermik(m);
  if (energie) SchliesseRohrzellen(m, knoten);
  if (bahn.SchreibtKlima()) {
    for (int h = 1; h <= Stunden; ++h) {
      const Feuchtestand& st = bahn.Stand(art, h);
      TKlimaStunde& kl = m.Klima[h];
      kl.r_Verd_mm = st.r_Verd_mm;
      kl.Eta_z1 = static_cast<float>(st.Theta[1]);
      kl.Eta_z3 = static_cast<float>(st.Theta[3]);
      kl.Eta_z5 = static_cast<float>(st.Theta[5]);
      kl.Eta_kanal = static_cast<float>(st.Theta[zeile]);
    }
  }
}

}  // namespace

int FeuchteTeilschritte(int feuchteZeitschritt) {
  if (feuchteZeitschritt <= 0) return 0;
  return static_cast<int>(std::nearbyint(3600.0 / feuchteZeitschritt));
}

void RechneKanal(Modell& m, Oberflaeche& ui, Rechenweg weg) {
  ui.Stat("Initialisierung...");

  // Hourly inputs of the climate year, each a pass of its own.
  BerechneDampfdruck(m);
  BerechneLangwelligeStrahlung(m);
  BerechneNettostrahlung(m);

  // Segment 1's grid first: the soil property update below fills the grid.
  InitGrid(m, 1);
  if (!CalcVolumenstrom(m, ui)) return;

  CalcRohrVolumenstrom(m);
  CalcAlphaJahr(m);
  CalcBestand(m);
  BerechneBodenwaermestromUndRa(m);
  CalcVerdunstung(m);

  // The moisture trajectories need the climate preparation only; they start
  // here, beside the spin-up.
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  std::unique_ptr<Feuchtebahn> bahn;
  std::unique_ptr<Zellgeometrie> zellen;
  if (weg == Rechenweg::Gemeinsam && segmente >= 1 && FeuchtebahnMoeglich(m)) {
    bool offen = false, dicht = false;
    for (int s = 1; s <= segmente; ++s)
      (OberflaecheVon(m, s) == Oberflaechenart::Offen ? offen : dicht) = true;
    try {
      zellen = std::make_unique<Zellgeometrie>();
      bahn = std::make_unique<Feuchtebahn>(m, offen, dicht);
    } catch (const std::bad_alloc&) {
      bahn.reset();  // segment by segment, which needs no memory of its own
    }
  }

  if (m.Luftseite.Kondensation) {
    // The outdoor air's humidity enters segment 1.
    for (int h = 1; h <= Stunden; ++h)
      m.Gehalt[h] = static_cast<float>(Feuchtegehalt(m.Klima[h].T_Luft, m.Klima[h].rFeuchte, Luftdruck));
    m.Kondensat = {};
  }

  CalcMitteltemperaturen(m);
  InitFeuchteProfil(m, m.StartBodenfeuchte);
  UpdateBodenThermik(m);
  InitTProfil(m);

  m.ErgebnisseVorhanden = true;
  ui.Stat("Hauptmodul...");

  for (int s = 1; s <= segmente; ++s) {
    if (bahn)
      RechneSegmentGemeinsam(m, ui, s, segmente, *bahn, *zellen);
    else
      RechneSegment(m, ui, s, segmente);
    ui.DrawSegment(s);
    ui.ZeigeModellGrid();
    ui.Stat("Rechne Segment " + FormatInt(s));
    ui.procMsg();
    // A stopped run keeps its status text: the window reports the stop.
    if (m.StopRequested) return;
  }
  if (m.Luftseite.Kondensation)
    for (int h = 1; h <= Stunden; ++h)
      m.RFeuchteAus[h] = static_cast<float>(RelativeFeuchte(m.Segmente[segmente].T_aus[h], m.Gehalt[h], Luftdruck));
  ui.Stat("");
}

}  // namespace terval
