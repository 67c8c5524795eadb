// Channel files (.ewt.db): loaded into a model, then the checks of the run
// start. A channel the checks accept must give a finite hourly flow and,
// segment by segment, a grid, an air exchange and a heat step with finite
// temperatures.
#include <array>
#include <cmath>

#include "channel/UshowKanaldaten.h"
#include "core/Cor_mod.h"
#include "core/Eingabepruefung.h"
#include "fuzz/Fuzzhilfe.h"
#include "physics/getsoildata.h"

using namespace terval;

namespace {

// The channel part of the model that a load replaces and the checks repair.
struct Kanalstand {
  TKanalbetrieb betrieb;
  TRohrdaten rohre;
  int32_t segmente = 0;
  struct Segment {
    int32_t Anz_Rohre, Überbaut;
    float Abst_Rohre, Tiefe, Abst_Geb_li, Abst_Geb_re, Tief_Geb_li, Tief_Geb_re;
  };
  std::array<Segment, MaxSegmente + 1> seg{};

  void Von(const Modell& m) {
    betrieb = m.Kanalbetrieb;
    rohre = m.Rohrdaten;
    segmente = m.Anz_Segmente;
    for (int s = 1; s <= MaxSegmente; ++s) {
      const Kanalsegment& k = m.Segmente[s];
      seg[s] = {k.Anz_Rohre, k.Überbaut, k.Abst_Rohre, k.Tiefe, k.Abst_Geb_li, k.Abst_Geb_re,
                k.Tief_Geb_li, k.Tief_Geb_re};
    }
  }
  void Nach(Modell& m) const {
    m.Kanalbetrieb = betrieb;
    m.Rohrdaten = rohre;
    m.Anz_Segmente = segmente;
    for (int s = 1; s <= MaxSegmente; ++s) {
      Kanalsegment& k = m.Segmente[s];
      k.Anz_Rohre = seg[s].Anz_Rohre;
      k.Überbaut = seg[s].Überbaut;
      k.Abst_Rohre = seg[s].Abst_Rohre;
      k.Tiefe = seg[s].Tiefe;
      k.Abst_Geb_li = seg[s].Abst_Geb_li;
      k.Abst_Geb_re = seg[s].Abst_Geb_re;
      k.Tief_Geb_li = seg[s].Tief_Geb_li;
      k.Tief_Geb_re = seg[s].Tief_Geb_re;
    }
  }
};

Modell& M() {
  static std::unique_ptr<Modell> m = fuzz::Grundmodell();
  return *m;
}

const Kanalstand& Anfang() {
  static Kanalstand k = [] {
    Kanalstand s;
    s.Von(M());
    return s;
  }();
  return k;
}

bool Endlich(float x) { return std::isfinite(x); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  Modell& m = M();
  Anfang().Nach(m);
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "k.ewt.db");
  StilleOberflaeche ui;
  if (!LadeKanaldatei(m, ui, pfad)) return 0;
  if (m.Anz_Segmente < 0 || m.Anz_Segmente > MaxSegmente) fuzz::Befund("Segmentzahl außerhalb 0..150");
  if (m.Anz_Segmente < 1) return 0;  // the run start refuses fewer than 2 segments
  if (!PruefeKanal(m, ui) || !PruefeGitter(m, ui) || !PruefeEingaben(m, ui)) return 0;
  if (!(m.Rohrdaten.Rohr_Ra[1] > 0) || !(m.Rohrdaten.Rohr_Ra[2] > 0)) return 0;  // refused as well

  if (CalcVolumenstrom(m, ui)) {
    for (int h = 1; h <= Stunden; ++h)
      if (!Endlich(m.VolStromStunde[h]) || m.VolStromStunde[h] < 0) fuzz::Befund("Volumenstrom ungültig");
  } else {
    return 0;
  }

  for (int s = 1; s <= m.Anz_Segmente; ++s) {
    InitGrid(m, s);
    if (m.LetzteSpalte < 1 || m.LetzteSpalte >= MaxSpalten) fuzz::Befund("Gitter außerhalb des Speichers");
    InitFeuchteProfil(m, m.StartBodenfeuchte);
    UpdateBodenThermik(m);
    m.T_Profil.fill(10.0);
    InitTFeld(m);
    const Kanalsegment& seg = m.Segmente[s];
    const float V = m.VolStromStunde[4000] / static_cast<float>(seg.Anz_Rohre);
    const float alpha = CalcAlpha(m, s, V);
    float T_aus = 0, T_wand = 0;
    CalcLuftaustausch(m, s, m.Rohrdaten.Seglaenge, alpha, V, -5.0f, T_aus, T_wand);
    const float T_li = seg.Abst_Geb_li > 0 ? CalcKellerwand(m, 0) : 0.0f;
    const float T_re = seg.Abst_Geb_re > 0 ? CalcKellerwand(m, 1) : 0.0f;
    WaermeSchritt(m, T_re, T_li, T_wand, 10.0f, Oberflaechentemperatur(m, s, 4000), 3600.0f);
    if (!Endlich(alpha) || !Endlich(T_aus) || !Endlich(T_wand) || !Endlich(T_li) || !Endlich(T_re))
      fuzz::Befund("angenommener Kanal: Luft oder Wand nicht endlich");
    for (int c = 0; c <= m.LetzteSpalte; ++c)
      for (int r = 0; r < Zeilen; ++r)
        if (!Endlich(m.T_Neu[c][r])) fuzz::Befund("angenommener Kanal: Bodentemperatur nicht endlich");
  }
  return 0;
}
