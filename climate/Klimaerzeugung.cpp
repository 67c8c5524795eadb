#include "climate/Klimaerzeugung.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "climate/DBKlima.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Wertebereiche.h"
#include "model/Zahltext.h"
#include "physics/UgetRadiation.h"
#include "physics/maths.h"
#include "physics/monteith.h"
#include "physics/routinen.h"

namespace terval {

namespace {

constexpr char TextKeineTemperatur[] =
    "Zum Erzeugen fehlender Daten werden zumindest Angaben zur Lufttemperatur benötigt !\r"
    "Fehlen auch diese Daten, so können Sie im Programm eine Testdatenbank erzeugen lassen,\r"
    "und diese als Basisdatenbank für die Klimadaten verwenden !";
constexpr char TextWindVerhaeltnis[] =
    "Ungültiges Tag/Nachverhältnis für den Wind angegeben !\rDer Wert muss > 0.5 sein !";
constexpr char TextWindMittel[] =
    "Ungültiges Mittelwert für die Windgeschwindigkeit angegeben !\rDer Wert muss > 0.5 sein !";
constexpr char TextPosition[] =
    "Die Angaben über den Breiten-/ Längengrad sind ungültig !\r"
    "Eine Berechnung der Globalstrahlung kann nicht durchgeführt werden";
constexpr char TextVollstaendig[] =
    "Die aktuelle Datenbank ist vollständig.\rEs brauchen keine Daten erzeugt zu werden ! ";
constexpr char TextKeineDatenbank[] =
    "Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !";

unsigned UhrSaat() {
  return static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
}

// The location's parameters of the generators that will run, each in its
// range (Wertebereiche.h), before any of them changes the year: within them
// every generated value lies inside the range its table column accepts.
bool ErzeugungsparameterGueltig(const Modell& m, Oberflaeche& ui, bool feuchte, bool wind, bool strahlung,
                                bool niederschlag) {
  auto pruefe = [&](bool gebraucht, float wert, const Wertebereich& b) {
    if (!gebraucht || b.Enthaelt(wert)) return true;
    ui.Fehler("Fehlende Klimadaten können nicht erzeugt werden: Die " + std::string(b.name) +
              " des Standortprofils ist " + KuerzesterText(wert) + ", möglich sind " + b.Text() +
              " !\rBitte ändern Sie den Wert im Standortprofil.");
    return false;
  };
  if (!pruefe(!feuchte, m.Diff_Tdew, Diff_TdewBereich) ||
      // Below 0.5 (and NaN) CreateWind refuses with its own words.
      !pruefe(!wind && m.Wg_mittel >= 0.5f, m.Wg_mittel, Wg_mittelBereich) ||
      !pruefe(!wind && m.Wg_Tag_Nacht >= 0.5f, m.Wg_Tag_Nacht, Wg_Tag_NachtBereich))
    return false;
  // A negative or non-finite sum counts as 0 mm; a huge one would land in one hour.
  for (int k = 1; k <= 12; ++k)
    if (!pruefe(!niederschlag && m.Ns_[k] > 0, m.Ns_[k], NsBereich)) return false;
  // The radiation generator's own test, before anything is generated.
  const float breite = std::fabs(m.Breitengrad), laenge = std::fabs(m.Laengengrad);
  if (!strahlung && !(breite <= 90.0f && breite >= 10.0f && laenge <= 180.0f)) {
    ui.Fehler(TextPosition);
    return false;
  }
  return true;
}

}  // namespace

Zufall::Zufall(std::optional<unsigned> seed) : Generator(seed.value_or(UhrSaat())) {}

int Zufall::Ganzzahl0bis7() { return std::uniform_int_distribution<int>(0, 7)(Generator); }

double Zufall::Normal(double mittel, double streuung) {
  return std::normal_distribution<double>(mittel, streuung)(Generator);
}

Wetterklasse WetterTabelle(int w) {
  static constexpr std::array<Wetterklasse, 4> tabelle = {{
      {0, 0, 0},        // unused
      {0, 500, 200},    // fair
      {4, 300, 150},    // medium
      {6, 150, 150},    // poor
  }};
  return tabelle[std::clamp(w, 1, 3)];
}

void CreateFehlendeDaten(Modell& m, Oberflaeche& ui, bool Zurueckschreiben,
                         std::optional<unsigned> seed) {
  Zufall z(seed);
  CheckKlimaDaten(m, ui);
  if (!m.TLuftKomplett) {
    ui.Fehler(TextKeineTemperatur);
    return;
  }
  // The flags of this one check decide; generators do not recompute them.
  const bool feuchte = m.FeuchteKomplett, wind = m.WindKomplett, wolken = m.WolkenKomplett,
             strahlung = m.StrahlungKomplett, niederschlag = m.NiederschlagKomplett;
  if (!ErzeugungsparameterGueltig(m, ui, feuchte, wind, strahlung, niederschlag)) return;
  // Radiation needs humidity and cloud cover, precipitation needs cloud cover.
  if (!feuchte) CreateFeuchte(m, ui);
  if (!wind) CreateWind(m, ui);
  if (!wolken) CreateWolken(m, ui, z);
  if (!strahlung) CreateStrahlung(m, ui);
  if (!niederschlag) CreateNiederschlag(m, ui, z);
  if (Zurueckschreiben) WriteKlimaDB(m, ui);
  CheckKlimaDaten(m, ui);
  ui.Stat("");
}

void FehlendeKlimadatenErzeugen(Modell& m, Oberflaeche& ui, bool zurueckschreiben,
                                std::optional<unsigned> seed) {
  // Without an accepted table the year in memory may belong to an earlier
  // table while DBKlimaName already names a rejected one: generating into it,
  // let alone writing it back, would put one year into another's file.
  if (!m.KlimaGueltig) {
    ui.Fehler(TextKeineDatenbank);
    return;
  }
  if (m.KlimaKomplett) {
    ui.Information(TextVollstaendig);
    return;
  }
  if (zurueckschreiben && !ui.Frage(RueckschreibFrage)) return;
  CreateFehlendeDaten(m, ui, zurueckschreiben, seed);
}

void CreateFeuchte(Modell& m, Oberflaeche& ui) {
  ui.Stat("Feuchtedaten erzeugen...");
  for (int tag = 1; tag <= 365; ++tag) {
    float Tmin = 999.0f;
    for (int k = 0; k <= 23; ++k) Tmin = std::min(Tmin, m.Klima[StundenIndex(tag, k)].T_Luft);
    // The day's minimum less Diff_Tdew is taken as the dew point.
    const double ed = CalcEsat(static_cast<double>(Tmin) - static_cast<double>(m.Diff_Tdew));
    for (int k = 0; k <= 23; ++k) {
      TKlimaStunde& s = m.Klima[StundenIndex(tag, k)];
      if (s.rFeuchte == Fehlwert) s.rFeuchte = static_cast<float>(100.0 / (CalcEsat(s.T_Luft) / ed));
    }
  }
}

void CreateWind(Modell& m, Oberflaeche& ui) {
  // Written so that NaN and infinity are refused with the same message.
  if (!(m.Wg_Tag_Nacht >= 0.5f && std::isfinite(m.Wg_Tag_Nacht))) {
    ui.Fehler(TextWindVerhaeltnis);
    return;
  }
  if (!(m.Wg_mittel >= 0.5f && std::isfinite(m.Wg_mittel))) {
    ui.Fehler(TextWindMittel);
    return;
  }
  ui.Stat("Winddaten erzeugen...");
  // Night value n and day value d = Wg_Tag_Nacht * n with (n + d) / 2 = Wg_mittel.
  const float nacht = 2.0f * m.Wg_mittel / (1.0f + m.Wg_Tag_Nacht);
  const float tagsueber = 2.0f * m.Wg_mittel / (1.0f + 1.0f / m.Wg_Tag_Nacht);
  for (int tag = 1; tag <= 365; ++tag)
    for (int k = 0; k <= 23; ++k) {
      TKlimaStunde& s = m.Klima[StundenIndex(tag, k)];
      if (s.Wind == Fehlwert) s.Wind = (k < 6 || k > 19) ? nacht : tagsueber;
    }
}

void CreateWolken(Modell& m, Oberflaeche& ui, Zufall& z) {
  ui.Stat("Wolkendaten erzeugen...");
  for (int tag = 1; tag <= 365; ++tag)
    for (int k = 0; k <= 23; ++k)
      m.Klima[StundenIndex(tag, k)].Wolken = static_cast<float>(ZufallsWolken(m, z, tag));
}

int ZufallsWolken(const Modell& m, Zufall& z, int tag) {
  const int versatz = WetterTabelle(m.Wetter_[MonatVonTag(tag)]).Wolkenversatz;
  return std::clamp(z.Ganzzahl0bis7() + versatz - 4, 0, 8);
}

void CreateStrahlung(Modell& m, Oberflaeche& ui) {
  ui.Stat("Strahlungsdaten erzeugen...");
  m.AktDatum = "01.01.2000";
  m.AktZeit = "00:00";
  switch (m.Truebung) {
    case 0: m.Truebungskoeffizient = 0.04f; break;
    case 1: m.Truebungskoeffizient = 0.07f; break;
    case 2: m.Truebungskoeffizient = 0.10f; break;
    default: break;  // an unknown class keeps the previous coefficient
  }
  // The hours of the year are local mean time at the site.
  m.Bezugsmeridian = m.Laengengrad;

  const float breite = std::fabs(m.Breitengrad), laenge = std::fabs(m.Laengengrad);
  // Written so that NaN fails every comparison and is refused too.
  if (!(breite <= 90.0f && breite >= 10.0f && laenge <= 180.0f)) {
    ui.Fehler(TextPosition);
    return;
  }

  // G = sin h * direct + diffuse, with e in hPa = rFeuchte / 100 * 10 * Esat(T_Luft).
  for (int tag = 1; tag <= 365; ++tag)
    for (int k = 0; k <= 23; ++k) {
      TKlimaStunde& s = m.Klima[StundenIndex(tag, k)];
      if (s.Glob_Str == Fehlwert) {
        Sonnenstand(m, m.AktDatum, m.AktZeit);
        // nearbyint rounds an exact half to the even neighbour.
        m.Bedeckung = static_cast<int>(std::clamp(std::nearbyint(static_cast<double>(s.Wolken)), 0.0, 8.0));
        const double e = static_cast<double>(s.rFeuchte) / 100.0 * (10.0 * CalcEsat(s.T_Luft));
        if (m.SonnenHoehe > 0) {
          const Sonnenstrahlen r = Sonnenstrahlung(m, m.SonnenHoehe, m.Deklination,
                                                   m.Truebungskoeffizient, static_cast<float>(e));
          s.Glob_Str = static_cast<float>(static_cast<double>(sin_deg(m.SonnenHoehe)) * r.direkt +
                                          static_cast<double>(r.diffus));
        } else {
          s.Glob_Str = 0;
        }
      }
      // The clock advances every hour, so hour k of a day is always at k:00.
      ZeitPlus(m, 3600.0f);
    }
}

void CreateNiederschlag(Modell& m, Oberflaeche& ui, Zufall& z) {
  ui.Stat("Niederschlagsdaten erzeugen...");
  for (int h = 1; h <= Stunden; ++h) m.Klima[h].Nieders = 0;

  for (int monat = 1; monat <= 12; ++monat) {
    const Wetterklasse w = WetterTabelle(m.Wetter_[monat]);

    int n = 0;
    for (int tag = Monatsgrenzen[monat - 1] + 1; tag <= Monatsgrenzen[monat]; ++tag)
      for (int k = 0; k <= 23; ++k)
        m.Stundenliste[++n] = {m.Klima[StundenIndex(tag, k)].Wolken, tag, k};
    SortStunden(m, n);

    // p = R / c, the mean amount per cloudy hour (cover >= 3). Without such
    // hours the month's cloudiest hours (all sharing the largest cover) stand in.
    int c = 0;
    for (int i = 1; i <= n; ++i)
      if (m.Stundenliste[i].Wolken >= 3.0f) ++c;
    if (c == 0)
      for (int i = n; i >= 1 && m.Stundenliste[i].Wolken == m.Stundenliste[n].Wolken; --i) ++c;
    // A negative or non-finite sum cannot be handed out; it counts as 0 mm.
    double R = m.Ns_[monat];
    if (!std::isfinite(R) || R < 0) R = 0;
    const double p = R / c;

    auto stunde = [&](int i) -> float& {
      const TStundenEintrag& e = m.Stundenliste[i];
      return m.Klima[StundenIndex(e.Tag, e.Stunde)].Nieders;
    };
    // Events a = max(N(M, S) / 100, 0) * p from the cloudiest hour down; the
    // remainder R goes to the next hour in line, so the month sums to Ns_.
    int i = n;
    do {
      const double g = std::max(z.Normal(w.M, w.S) / 100.0, 0.0);
      double a = g * p;
      if (a > R) a = std::max(R - 0.1, 0.0);
      stunde(i) = static_cast<float>(a);
      --i;
      R -= a;
    } while (!(R < 1.0 || i <= 2));
    stunde(i) = static_cast<float>(R);
  }
}

void SortStunden(Modell& m, int n) {
  if (n < 2) return;
  auto& liste = m.Stundenliste;
  const int durchgaenge = static_cast<int>(std::log(static_cast<double>(n)) * 1.442695022 + 0.00001);
  int g = n;
  for (int d = 0; d < durchgaenge; ++d) {
    g /= 2;
    for (int j = 1; j <= n - g; ++j)
      for (int i = j; i >= 1 && liste[i + g].Wolken < liste[i].Wolken; i -= g)
        std::swap(liste[i], liste[i + g]);
  }
}

}  // namespace terval
