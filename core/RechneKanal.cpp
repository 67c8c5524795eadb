// The run driver: one simulation of the whole channel over the climate year.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "core/Cor_mod.h"
#include "core/Feuchtebahn.h"
#include "core/Jahreslauf.h"
#include "core/Kondensation.h"
#include "core/Laufvorrat.h"
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

// The moisture column of a segment carries on from the year before only
// where the moisture model changes it; without it every year starts from
// the same start column.
bool FeuchteWeiter(const Modell& m, const Segmentstand* start) {
  return start != nullptr && m.MitFeuchte;
}

// One year of segment s on its own cross-section, from the start profile or,
// given `start`, from the end of the year before. Allocates nothing: every
// array is part of the model. The 2-D fields of the marked segment go into
// `felder` (none without a set), its field at the end of each day into
// `boden` (none without a store). False when a stop was requested: the
// segment is left after the day in progress.
bool RechneSegment(Modell& m, Oberflaeche& ui, int s, int segmente, const Segmentstand* start,
                   Ergebnissatz* felder, Bodenjahr* boden) {
  InitGrid(m, s);
  const bool energie = m.Luftseite.Energieerhaltend || m.Luftseite.Kondensation;
  Rohrknoten knoten;
  if (energie) knoten = OeffneRohrzellen(m, s);
  std::optional<Segmentwand> wand;
  if (m.Luftseite.Kondensation) wand.emplace(knoten.R, knoten.L, knoten.rohre);
  if (FeuchteWeiter(m, start)) {
    m.Theta = start->Feuchte.Theta;
    m.K_Hydr = start->Feuchte.K_Hydr;
    m.D_Hydr = start->Feuchte.D_Hydr;
    m.G_Schwer = start->Feuchte.G_Schwer;
    UpdateBodenThermik(m);
  } else {
    InitFeuchteProfil(m, m.StartBodenfeuchte);
    UpdateBodenThermik(m);
    UpdateBodenHydraulik(m);
  }
  if (start != nullptr)
    m.T_Feld = start->T_Feld;
  else
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
    if (felder != nullptr && m.MarkSegment == s && IstReferenztag(d)) WriteField(m, s, d, *felder);
    if (boden != nullptr && m.MarkSegment == s) boden->Aufnehmen(m, s, d, m.Theta);
    // Lets a window repaint and take a stop within a long segment: at a
    // moisture step of 1 s a segment takes half a minute, a day a tenth of a second.
    ui.Fortschritt(d, 365);
    if (m.StopRequested) {
      if (energie) SchliesseRohrzellen(m, knoten);
      return false;
    }
  }
  if (energie) SchliesseRohrzellen(m, knoten);
  return true;
}

// One year of segment s replaying the moisture trajectory of its kind of
// surface: the same calls as RechneSegment where they depend on the
// segment, the trajectory's values where they do not. Ends with the model
// as RechneSegment leaves it (apart from the heat step's scratch gradients).
// False when a stop was requested, as RechneSegment.
bool RechneSegmentGemeinsam(Modell& m, Oberflaeche& ui, int s, int segmente, Feuchtebahn& bahn,
                            Zellgeometrie& zellen, const Segmentstand* start, Ergebnissatz* felder,
                            Bodenjahr* boden) {
  InitGrid(m, s);
  const bool energie = m.Luftseite.Energieerhaltend || m.Luftseite.Kondensation;
  Rohrknoten knoten;
  if (energie) knoten = OeffneRohrzellen(m, s);
  std::optional<Segmentwand> wand;
  if (m.Luftseite.Kondensation) wand.emplace(knoten.R, knoten.L, knoten.rohre);
  if (!BereiteZellen(m, zellen)) {
    if (energie) SchliesseRohrzellen(m, knoten);
    // A grid whose distances the row step cannot reproduce exactly.
    return RechneSegment(m, ui, s, segmente, start, felder, boden);
  }
  if (start != nullptr)
    m.T_Feld = start->T_Feld;
  else
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
    if (felder != nullptr && m.MarkSegment == s && IstReferenztag(d)) {
      m.Theta = bahn.Stand(art, StundenIndex(d, 23)).Theta;
      WriteField(m, s, d, *felder);
    }
    if (boden != nullptr && m.MarkSegment == s) boden->Aufnehmen(m, s, d, bahn.Stand(art, StundenIndex(d, 23)).Theta);
    ui.Fortschritt(d, 365);
    if (m.StopRequested) {
      if (energie) SchliesseRohrzellen(m, knoten);
      return false;
    }
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
  return true;
}

}  // namespace

int FeuchteTeilschritte(int feuchteZeitschritt) {
  if (feuchteZeitschritt <= 0) return 0;
  return static_cast<int>(std::nearbyint(3600.0 / feuchteZeitschritt));
}

void RechneKanal(Modell& m, Oberflaeche& ui, Rechenweg weg, Ergebnissatz* felder) {
  Jahreslauf lauf;
  RechneKanal(m, ui, lauf, weg, felder);
}

Klimajahr KlimajahrVon(const Modell& m, const std::string& name) {
  return {name, std::vector<TKlimaStunde>(m.Klima.begin(), m.Klima.end()),
          m.Kanalbetrieb.VolStromAusKlima, m.KlimaKomplett};
}

void SetzeKlimajahr(Modell& m, const Klimajahr& k) {
  std::copy_n(k.Klima.begin(), std::min<size_t>(k.Klima.size(), m.Klima.size()), m.Klima.begin());
  for (int h = 1; h <= Stunden; ++h) m.Segmente[1].T_ein[h] = m.Klima[h].T_Luft;
  m.Kanalbetrieb.VolStromAusKlima = k.VolStromAusKlima;
}

namespace {

// The hourly inputs of the climate year the model holds, each a pass of its
// own. False when CalcVolumenstrom refuses the fan schedule (after its message).
bool BereiteKlimaVor(Modell& m, Oberflaeche& ui) {
  BerechneDampfdruck(m);
  BerechneLangwelligeStrahlung(m);
  BerechneNettostrahlung(m);

  // Segment 1's grid first: the soil property update below fills the grid.
  InitGrid(m, 1);
  if (!CalcVolumenstrom(m, ui)) return false;

  CalcRohrVolumenstrom(m);
  CalcAlphaJahr(m);
  CalcBestand(m);
  BerechneBodenwaermestromUndRa(m);
  CalcVerdunstung(m);
  return true;
}

// The mean temperatures over every table of a sequence: the deep soil
// follows no single year. Leaves the first table in the model.
void FolgenMittel(Modell& m, const std::vector<Klimajahr>& folge) {
  double jahr = 0, sommer = 0;
  for (const Klimajahr& k : folge) {
    SetzeKlimajahr(m, k);
    CalcMitteltemperaturen(m);
    jahr += m.T_Jahresmittel;
    sommer += m.T_Sommermittel;
  }
  SetzeKlimajahr(m, folge.front());
  m.T_Jahresmittel = static_cast<float>(jahr / static_cast<double>(folge.size()));
  m.T_Sommermittel = static_cast<float>(sommer / static_cast<double>(folge.size()));
}

// The trajectories of the year, carrying on from the columns of `stand`
// (the first segment of each kind) when `weiter`. Null where the run goes
// segment by segment.
std::shared_ptr<Feuchtebahn> NeueFeuchtebahn(const Modell& m, Rechenweg weg, int segmente,
                                             const std::vector<Segmentstand>& stand, bool weiter) {
  if (weg != Rechenweg::Gemeinsam || segmente < 1 || !FeuchtebahnMoeglich(m)) return nullptr;
  bool gebraucht[2] = {false, false};
  std::array<const Feuchtezustand*, 2> fortsetzung{};
  for (int s = 1; s <= segmente; ++s) {
    const int art = static_cast<int>(OberflaecheVon(m, s));
    if (weiter && m.MitFeuchte && !gebraucht[art]) fortsetzung[art] = &stand[s].Feuchte;
    gebraucht[art] = true;
  }
  try {
    return std::make_unique<Feuchtebahn>(m, gebraucht[0], gebraucht[1], true, fortsetzung);
  } catch (const std::bad_alloc&) {
    return nullptr;  // segment by segment, which needs no memory of its own
  }
}

}  // namespace

void RechneKanal(Modell& m, Oberflaeche& ui, Jahreslauf& lauf, Rechenweg weg, Ergebnissatz* felder) {
  ui.Stat("Initialisierung...");

  const bool folge = lauf.Folge.size() >= 2;
  const int jahre = std::clamp(lauf.AnzahlJahre(), 1, MaxJahre);
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  // A single table of a "sequence" is simply the year's table.
  const bool eigeneTabellen = !lauf.Folge.empty();
  if (eigeneTabellen) FolgenMittel(m, lauf.Folge);
  // The sequence's means stand; the year's own would replace them.
  const float T_Jahresmittel = m.T_Jahresmittel, T_Sommermittel = m.T_Sommermittel;
  if (!BereiteKlimaVor(m, ui)) return;

  // The moisture trajectories need the climate preparation only; they start
  // here, beside the spin-up.
  const bool vonStand = segmente >= 1 && lauf.Stand.size() == static_cast<size_t>(segmente) + 1;
  std::shared_ptr<Feuchtebahn> bahn;
  if (lauf.Vorrat != nullptr && weg == Rechenweg::Gemeinsam && segmente >= 1 && !vonStand)
    bahn = lauf.Vorrat->Bahn(m);
  if (!bahn) bahn = NeueFeuchtebahn(m, weg, segmente, lauf.Stand, vonStand);
  std::unique_ptr<Zellgeometrie> zellen;
  if (bahn) {
    try {
      zellen = std::make_unique<Zellgeometrie>();
    } catch (const std::bad_alloc&) {
      bahn.reset();
    }
  }

  if (eigeneTabellen) {
    m.T_Jahresmittel = T_Jahresmittel;
    m.T_Sommermittel = T_Sommermittel;
  } else {
    CalcMitteltemperaturen(m);
  }
  InitFeuchteProfil(m, m.StartBodenfeuchte);
  UpdateBodenThermik(m);
  if (lauf.Vorrat != nullptr)
    lauf.Vorrat->StartProfil(m);
  else
    InitTProfil(m);

  m.ErgebnisseVorhanden = true;
  ui.Stat("Hauptmodul...");

  // Kept per segment from one year to the next: the channel's size, not the years'.
  lauf.Stand.resize(static_cast<size_t>(std::max(segmente, 0)) + 1);
  lauf.Zeilen.clear();
  const int mitte = (segmente + 1) / 2;
  // Segments a run of the same channel computed before, where their outlet
  // air is all they leave behind: one year from the start profile, no marked
  // segment, no condensate. The last segment is always computed, since its
  // field is the one the run leaves in the model.
  const bool vorlauf = lauf.Vorrat != nullptr && !lauf.Vorlauf.empty() && jahre == 1 && !eigeneTabellen &&
                       !vonStand && !m.Luftseite.Kondensation && !(m.MarkSegment >= 1 && m.MarkSegment <= segmente);
  const std::shared_ptr<const Kanalvorlauf> vor = vorlauf ? lauf.Vorrat->Vorlauf(lauf.Vorlauf) : nullptr;
  const int uebernommen = vor ? std::min(static_cast<int>(vor->T_aus.size()), segmente - 1) : 0;
  std::vector<float> tiefen;  // RohrtiefenMittel of every segment, for the store
  for (int j = 1; j <= jahre; ++j) {
    const bool weiter = j > 1 || vonStand;
    if (j > 1) {
      if (folge) {
        SetzeKlimajahr(m, lauf.Folge[j - 1]);
        if (!BereiteKlimaVor(m, ui)) {
          m.ErgebnisseVorhanden = false;
          return;
        }
      }
      if (bahn) {
        // The old store goes first: never two years' trajectories at once.
        bahn.reset();
        bahn = NeueFeuchtebahn(m, weg, segmente, lauf.Stand, true);
      }
    }
    if (m.Luftseite.Kondensation) {
      // The outdoor air's humidity enters segment 1; the water sums are the
      // year's, like every other result of a run over several years.
      for (int h = 1; h <= Stunden; ++h)
        m.Gehalt[h] = static_cast<float>(Feuchtegehalt(m.Klima[h].T_Luft, m.Klima[h].rFeuchte, Luftdruck));
      m.Kondensat = {};
    }
    std::array<float, 3> rohrtiefe{};
    for (int s = 1; s <= segmente; ++s) {
      float tiefe = 0;
      if (s <= uebernommen) {
        const auto& T_aus = vor->T_aus[static_cast<size_t>(s - 1)];
        m.Segmente[s].T_aus = T_aus;
        if (s < segmente) m.Segmente[s + 1].T_ein = T_aus;
        tiefe = vor->Rohrtiefe[static_cast<size_t>(s - 1)];
      } else {
        const Segmentstand* start = weiter ? &lauf.Stand[s] : nullptr;
        // The fields are the last year's; a stopped segment is neither drawn nor reported.
        Ergebnissatz* feld = j == jahre ? felder : nullptr;
        Bodenjahr* boden = j == jahre ? lauf.Boden : nullptr;
        if (!(bahn ? RechneSegmentGemeinsam(m, ui, s, segmente, *bahn, *zellen, start, feld, boden)
                   : RechneSegment(m, ui, s, segmente, start, feld, boden)))
          return;
        Segmentstand& ende = lauf.Stand[s];
        ende.T_Feld = m.T_Feld;
        ende.Feuchte = Feuchtezustand{m.Theta, m.K_Hydr, m.D_Hydr, m.G_Schwer, {}};
        if (vorlauf || s == 1 || s == mitte || s == segmente) tiefe = RohrtiefenMittel(m);
      }
      if (vorlauf) tiefen.push_back(tiefe);
      if (s == 1) rohrtiefe[0] = tiefe;
      if (s == mitte) rohrtiefe[1] = tiefe;
      if (s == segmente) rohrtiefe[2] = tiefe;

      ui.DrawSegment(s);
      ui.ZeigeModellGrid();
      ui.Stat(jahre > 1 ? "Jahr " + FormatInt(j) + " von " + FormatInt(jahre) + ": Rechne Segment " +
                              FormatInt(s)
                        : "Rechne Segment " + FormatInt(s));
      ui.procMsg();
      // A stopped run keeps its status text: the window reports the stop.
      if (m.StopRequested) return;
    }
    Jahreszeile zeile = Jahresbilanz(m);
    zeile.Jahr = j;
    zeile.Klima = folge ? lauf.Folge[j - 1].Name
                        : (lauf.Folge.size() == 1
                               ? lauf.Folge[0].Name
                               : std::filesystem::path(m.DBKlimaName).filename().string());
    zeile.T_Rohrtiefe = rohrtiefe;
    lauf.Zeilen.push_back(std::move(zeile));
  }
  if (lauf.Vorrat != nullptr) lauf.Vorrat->ZaehleSegmente(segmente - uebernommen, uebernommen);
  if (vorlauf && (!vor || static_cast<int>(vor->T_aus.size()) < segmente)) {
    try {
      auto neu = std::make_shared<Kanalvorlauf>();
      for (int s = 1; s <= segmente; ++s) neu->T_aus.push_back(m.Segmente[s].T_aus);
      neu->Rohrtiefe = std::move(tiefen);
      lauf.Vorrat->Behalte(lauf.Vorlauf, std::move(neu));
    } catch (const std::bad_alloc&) {
      // Not kept: the next run of this channel computes its segments itself.
    }
  }
  if (m.Luftseite.Kondensation)
    for (int h = 1; h <= Stunden; ++h)
      m.RFeuchteAus[h] = static_cast<float>(RelativeFeuchte(m.Segmente[segmente].T_aus[h], m.Gehalt[h], Luftdruck));
  ui.Stat("");
}

}  // namespace terval
