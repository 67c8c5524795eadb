#include "model/Vardef.h"

namespace terval {

std::unique_ptr<Modell> NeuesModell() { return std::make_unique<Modell>(); }

void SetzeStandardwerte(Modell& m) {
  TRohrdaten& r = m.Rohrdaten;
  for (int t = 1; t <= 2; ++t) {
    r.Rohrname[t] = "Beton 100";
    r.Rohr_Ra[t] = 0.4f;
    r.Rohr_Dicke[t] = 0.1f;
    r.Rohr_wlf[t] = 1.0f;
  }
  r.Seglaenge = 1.0f;

  TKanalbetrieb& b = m.Kanalbetrieb;
  b.Volstrom = 2400;
  b.Vol_Aus = 0;
  b.Ein_Zeit = 7;
  b.Aus_Zeit = 18;
  b.Heiz_T = 4.0f;
  b.Kuehl_T = 18.0f;

  m.T_Keller = 8.0f;
  m.wlf_kellerwand = 0.9f;
  m.kellerwand_dicke = 0.4f;
  m.T_Fundament = 10.0f;
  m.GebTiefeLinks = 8.0f;
  m.GebTiefeRechts = 8.0f;
}

void SetzeStartzustand(Modell& m) {
  SetzeStandardwerte(m);

  Kanalsegment& s1 = m.Segmente[1];
  s1.Tiefe = 6.0f;
  s1.Anz_Rohre = 1;
  s1.Abst_Geb_li = s1.Abst_Geb_re = 0;
  s1.Tief_Geb_li = s1.Tief_Geb_re = 0;
  s1.Überbaut = 0;
  m.AusgabeStamm = "Terval";
  m.MarkSegment = -1;
  m.DBKlimaName.clear();
  m.Kanaldatei = "Erdkanal.ewt.db";
  m.NurEinTermin = false;
  m.AusgabeStunde = 12;
  m.TextAusgabe = false;

  m.Breitengrad = 51.26f;
  m.Laengengrad = 7.15f;
  m.Truebung = 1;
  m.Diff_Tdew = 0;
  m.Wg_mittel = 2.0f;
  m.Wg_Tag_Nacht = 2.0f;
  m.WG_Messhoehe = 2.0f;
  for (int k = 1; k <= 12; ++k) m.Wetter_[k] = 2;

  m.MitFeuchte = true;
  m.FeuchteZeitschritt = 3600;

  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    k.T_Luft = k.rFeuchte = k.Wind = k.Glob_Str = k.Wolken = k.Nieders = Fehlwert;
  }
}

}  // namespace terval
