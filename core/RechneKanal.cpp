// The run driver: one simulation of the whole channel over the climate year.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/Cor_mod.h"
#include "core/Oberflaeche.h"
#include "core/Zahltext.h"
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

// One year of segment s on its own cross-section. Allocates nothing: every
// array is part of the model.
void RechneSegment(Modell& m, Oberflaeche& ui, int s, int segmente) {
  InitGrid(m, s);
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
      CalcLuftaustausch(m, s, m.Rohrdaten.Seglaenge, seg.Alpha[h], seg.VolStromRohr[h],
                        seg.T_ein[h], T_aus, T_wand);
      seg.T_aus[h] = T_aus;
      if (s < segmente) m.Segmente[s + 1].T_ein[h] = T_aus;

      const float T_oben = Oberflaechentemperatur(m, s, h);
      const float T_li = mitBauten_li ? CalcKellerwand(m, 0) : 0.0f;
      const float T_re = mitBauten_re ? CalcKellerwand(m, 1) : 0.0f;
      WaermeSchritt(m, T_re, T_li, T_wand, m.T_Jahresmittel, T_oben, Zeitschritt);

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
}

}  // namespace

int FeuchteTeilschritte(int feuchteZeitschritt) {
  if (feuchteZeitschritt <= 0) return 0;
  return static_cast<int>(std::nearbyint(3600.0 / feuchteZeitschritt));
}

void RechneKanal(Modell& m, Oberflaeche& ui) {
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
  CalcMitteltemperaturen(m);
  InitFeuchteProfil(m, m.StartBodenfeuchte);
  UpdateBodenThermik(m);
  InitTProfil(m);

  m.ErgebnisseVorhanden = true;
  ui.Stat("Hauptmodul...");

  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  for (int s = 1; s <= segmente; ++s) {
    RechneSegment(m, ui, s, segmente);
    ui.DrawSegment(s);
    ui.ZeigeModellGrid();
    ui.Stat("Rechne Segment " + FormatInt(s));
    ui.procMsg();
    // A stopped run keeps its status text: the window reports the stop.
    if (m.StopRequested) return;
  }
  ui.Stat("");
}

}  // namespace terval
