#include "core/Eingabepruefung.h"

#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "core/Kernhilfe.h"
#include "physics/getsoildata.h"
#include "physics/monteith.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Aufzeichner;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Unendlich = std::numeric_limits<float>::infinity();

// Three segments: a single pipe, a register of three beside a cellar, a
// single pipe under a building; PE pipes of 200 and 160 mm.
std::unique_ptr<Modell> Kanalmodell() {
  auto m = test::Kernmodell();
  test::FuelleKlima(*m, [](int h) { return 10.0f + static_cast<float>(h % 24) * 0.1f; });
  m->Anz_Segmente = 3;
  test::SetzeSegment(*m, 1, 1, 2.0f);
  test::SetzeSegment(*m, 2, 3, 2.0f, 0.3f);
  test::SetzeSegment(*m, 3, 1, 2.0f);
  m->Segmente[2].Abst_Geb_li = 4.0f;
  m->Segmente[3].Überbaut = 1;
  TRohrdaten& r = m->Rohrdaten;
  r.Rohr_Ra = {0.0f, 0.1f, 0.08f};
  r.Rohr_Dicke = {0.0f, 0.0119f, 0.0095f};
  r.Rohr_wlf = {0.0f, 0.4f, 0.4f};
  m->T_Keller = 8.0f;
  m->wlf_kellerwand = 0.9f;
  m->kellerwand_dicke = 0.4f;
  m->T_Fundament = 10.0f;
  return m;
}

struct Fall {
  const char* was;
  std::function<void(Modell&)> aendern;
  std::string meldung;  // empty: accepted
};

void Pruefe(const std::vector<Fall>& faelle) {
  for (const Fall& f : faelle) {
    auto m = Kanalmodell();
    f.aendern(*m);
    m->LAI = 1.25f;
    m->r_s = 7.5f;
    Aufzeichner ui;
    const bool gut = PruefeEingaben(*m, ui);
    if (f.meldung.empty()) {
      EXPECT_TRUE(gut) << f.was;
      EXPECT_TRUE(ui.nachrichten.empty()) << f.was << ": " << (ui.nachrichten.empty() ? "" : ui.nachrichten[0].text);
    } else {
      EXPECT_FALSE(gut) << f.was;
      ASSERT_EQ(ui.nachrichten.size(), 1u) << f.was;
      EXPECT_EQ(ui.nachrichten[0].art, "Fehler") << f.was;
      EXPECT_EQ(ui.nachrichten[0].text, f.meldung) << f.was;
    }
    // The check computes LAI on the way and must put the module state back.
    EXPECT_EQ(m->LAI, 1.25f) << f.was;
    EXPECT_EQ(m->r_s, 7.5f) << f.was;
  }
}

const std::string Rohrort = " unter \"Rohrdaten anzeigen/ bearbeiten...\" im Erdkanaleditor.";

TEST(Eingabepruefung, SegmentlaengeNurZwischenEinhalbUndFuenfMetern) {
  const std::string text =
      "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !\rDer Erdkanal hat die Segmentlänge ";
  const std::string ort = " m. Bitte ändern Sie die \"Länge eines Rohrsegments:\"" + Rohrort;
  Pruefe({
      {"0.5", [](Modell& m) { m.Rohrdaten.Seglaenge = 0.5f; }, ""},
      {"5", [](Modell& m) { m.Rohrdaten.Seglaenge = 5.0f; }, ""},
      {"0.49", [](Modell& m) { m.Rohrdaten.Seglaenge = 0.49f; }, text + "0.49" + ort},
      {"5.01", [](Modell& m) { m.Rohrdaten.Seglaenge = 5.01f; }, text + "5.01" + ort},
      {"0", [](Modell& m) { m.Rohrdaten.Seglaenge = 0.0f; }, text + "0" + ort},
      {"NaN", [](Modell& m) { m.Rohrdaten.Seglaenge = NaN; }, text + "nan" + ort},
  });
}

TEST(Eingabepruefung, NichtEndlicheSegmentwerte) {
  Pruefe({
      {"Gebäudetiefe", [](Modell& m) { m.Segmente[3].Tief_Geb_re = -Unendlich; },
       "In Segment 3 ist der Wert \"Tiefe rechte Bebauung\" keine gültige Zahl (-inf) !\rBitte geben Sie im "
       "Erdkanaleditor eine Zahl ein."},
  });
}

TEST(Eingabepruefung, RohrwandDerBenutztenRohrtypen) {
  Pruefe({
      {"Wanddicke 0", [](Modell& m) { m.Rohrdaten.Rohr_Dicke[1] = 0.0f; },
       "Die Wanddicke des Rohrmaterials \"Hauptstrang\" muß größer als 0 sein (derzeit 0 m) !\rBitte ändern "
       "Sie die \"Dicke der Wandung in mm:\"" + Rohrort},
      {"Wanddicke negativ", [](Modell& m) { m.Rohrdaten.Rohr_Dicke[2] = -0.01f; },
       "Die Wanddicke des Rohrmaterials \"Register\" muß größer als 0 sein (derzeit -0.01 m) !\rBitte ändern "
       "Sie die \"Dicke der Wandung in mm:\"" + Rohrort},
      {"Wand so dick wie der Radius", [](Modell& m) { m.Rohrdaten.Rohr_Dicke[2] = 0.08f; },
       "Die Wanddicke des Rohrmaterials \"Register\" (0.08 m) ist nicht kleiner als sein Außenradius (0.08 "
       "m): Das Rohr hätte keinen Hohlraum !\rBitte ändern Sie \"Innendurchmesser in mm:\" oder \"Dicke der "
       "Wandung in mm:\"" + Rohrort},
      {"Leitfähigkeit 0", [](Modell& m) { m.Rohrdaten.Rohr_wlf[1] = 0.0f; },
       "Die Wärmeleitfähigkeit des Rohrmaterials \"Hauptstrang\" muß größer als 0 sein (derzeit 0 W/mK) !\r"
       "Bitte ändern Sie die \"Wärmeleitfähigkeit W/mK:\"" + Rohrort},
      // wlf / Dicke = 0.4 / 1e-6 = 4e5 W/(m2 K): the wall network no longer resolves.
      {"Wand von einem Mikrometer", [](Modell& m) { m.Rohrdaten.Rohr_Dicke[1] = 1e-6f; },
       "Die Wand des Rohrmaterials \"Hauptstrang\" ist für dieses Modell zu dünn oder leitet zu gut "
       "(Wärmeleitfähigkeit / Dicke = 400000 W/m²K, höchstens 100000 W/m²K sind möglich) !\rBitte ändern "
       "Sie \"Dicke der Wandung in mm:\" oder \"Wärmeleitfähigkeit W/mK:\"" + Rohrort},
      {"Stahlrohr 1 mm", [](Modell& m) {
         m.Rohrdaten.Rohr_Dicke[1] = 0.001f;
         m.Rohrdaten.Rohr_wlf[1] = 50.0f;
       }, ""},
      {"Außenradius unendlich", [](Modell& m) { m.Rohrdaten.Rohr_Ra[1] = Unendlich; },
       "Der Außenradius des Rohrmaterials \"Hauptstrang\" ist keine gültige Zahl (inf m) !\rBitte ändern Sie "
       "den \"Innendurchmesser in mm:\"" + Rohrort},
      // A type no segment uses is not examined.
      {"Register unbenutzt",
       [](Modell& m) {
         m.Segmente[2].Anz_Rohre = 1;
         m.Rohrdaten.Rohr_Dicke[2] = 0.0f;
         m.Rohrdaten.Rohr_wlf[2] = -1.0f;
       },
       ""},
      // A radius of 0 is left to the run start's "unvollständig oder ungültig".
      {"Radius 0", [](Modell& m) { m.Rohrdaten.Rohr_Ra[1] = 0.0f; }, ""},
  });
}

TEST(Eingabepruefung, BetriebsartSchaltzeitenUndAusVolumenstrom) {
  const std::string art =
      " des Erdkanals ist ungültig: Erlaubt sind 0 (konstanter Betrieb), 1 (Betrieb nach Uhrzeit), 2 "
      "(Betrieb nach Temperatur) und 3 (Zeit UND Temperatursteuerung) !\rBitte wählen Sie die Betriebsart "
      "im Erdkanaleditor neu aus.";
  Pruefe({
      {"Betriebsart 4", [](Modell& m) { m.Kanalbetrieb.Betriebsart = 4; }, "Die Betriebsart 4" + art},
      {"Betriebsart -1", [](Modell& m) { m.Kanalbetrieb.Betriebsart = -1; }, "Die Betriebsart -1" + art},
      {"Vol_Aus negativ", [](Modell& m) { m.Kanalbetrieb.Vol_Aus = -50; },
       "Der Volumenstrom im \"Aus\"-Zustand darf nicht negativ sein (derzeit -50 m3/h) !\rBitte ändern Sie "
       "im Erdkanaleditor den \"Volumenstrom im \"Aus\"-Zustand:\"."},
      {"Ein 24 nach Uhrzeit",
       [](Modell& m) {
         m.Kanalbetrieb.Betriebsart = 1;
         m.Kanalbetrieb.Ein_Zeit = 24;
       },
       "Die Einschaltzeit 24 Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr !\rBitte ändern "
       "Sie im Erdkanaleditor die \"Zeitsteuerung Ein:\"."},
      {"Aus -1 nach Zeit und Temperatur",
       [](Modell& m) {
         m.Kanalbetrieb.Betriebsart = 3;
         m.Kanalbetrieb.Ein_Zeit = 0;
         m.Kanalbetrieb.Aus_Zeit = -1;
       },
       "Die Ausschaltzeit -1 Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr !\rBitte ändern "
       "Sie im Erdkanaleditor unter \"Zeitsteuerung\" die Zeit \"Aus:\"."},
      {"0 und 23 nach Uhrzeit",
       [](Modell& m) {
         m.Kanalbetrieb.Betriebsart = 1;
         m.Kanalbetrieb.Ein_Zeit = 0;
         m.Kanalbetrieb.Aus_Zeit = 23;
       },
       ""},
      // Hours of a mode that does not switch by time are not used.
      {"Stunde 99 nach Temperatur",
       [](Modell& m) {
         m.Kanalbetrieb.Betriebsart = 2;
         m.Kanalbetrieb.Ein_Zeit = 99;
       },
       ""},
      {"Schwelle NaN nach Temperatur",
       [](Modell& m) {
         m.Kanalbetrieb.Betriebsart = 2;
         m.Kanalbetrieb.Kuehl_T = NaN;
       },
       "Die Schalttemperatur \"bis\" ist keine gültige Zahl (nan °C) !\rBitte ändern Sie sie im "
       "Erdkanaleditor."},
  });
}

TEST(Eingabepruefung, VolumenstromAusDerKlimatabelle) {
  const std::string anfang = "Die Volumenstromdaten werden aus der Klimatabelle entnommen, doch in ";
  const std::string ende =
      " !\rBitte ergänzen Sie das Feld 7 der Klimatabelle oder entfernen Sie es, damit die Einstellungen "
      "des Erdkanals gelten.";
  auto ausKlima = [](float wert, int stunde) {
    return [=](Modell& m) {
      m.Kanalbetrieb.VolStromAusKlima = true;
      for (int h = 1; h <= Stunden; ++h) m.Klima[h].Vol_Strom = 250.0f;
      m.Klima[stunde].Vol_Strom = wert;
    };
  };
  Pruefe({
      {"alle Stunden", ausKlima(0.0f, 1), ""},
      // Hour 5000 is day 209, 7 o'clock: (209 - 1) * 24 + 7 + 1.
      {"fehlt", ausKlima(Fehlwert, 5000),
       anfang + "Stunde 5000 (Tag 209, 7 Uhr) fehlt der Volumenstrom (-999)" + ende},
      {"negativ", ausKlima(-0.5f, 8760),
       anfang + "Stunde 8760 (Tag 365, 23 Uhr) ist der Volumenstrom negativ (-0.5 m3/h)" + ende},
      {"NaN", ausKlima(NaN, 1), anfang + "Stunde 1 (Tag 1, 0 Uhr) ist der Volumenstrom keine gültige Zahl (nan)" + ende},
      // The table's flows do not matter while the schedule drives the run.
      {"nicht benutzt",
       [](Modell& m) {
         m.Kanalbetrieb.VolStromAusKlima = false;
         m.Klima[10].Vol_Strom = Fehlwert;
       },
       ""},
  });
}

TEST(Eingabepruefung, BodenartUndBodenwerte) {
  const std::string andere =
      "\rBitte korrigieren Sie SOILS.DAT oder wählen Sie im Standortprofil eine andere Bodenart.";
  const std::string gibtEsNicht =
      " des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 1 Bodenarten !\rBitte wählen "
      "Sie im Standortprofil unter \"Bodenart vor Ort:\" eine Bodenart aus.";
  Pruefe({
      {"Bodenart 0", [](Modell& m) { m.Bodenart = 0; }, "Die Bodenart Nr. 0" + gibtEsNicht},
      {"Bodenart 2 von 1", [](Modell& m) { m.Bodenart = 2; }, "Die Bodenart Nr. 2" + gibtEsNicht},
      {"ThetaSat 0", [](Modell& m) { m.Boeden[1].ThetaSat = 0; },
       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für ThetaSat (Wassergehalt bei "
       "Sättigung): 0 (er muß größer als 0 sein) !" + andere},
      {"ThetaRef negativ", [](Modell& m) { m.Boeden[1].ThetaRef = -0.1; },
       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für ThetaRef "
       "(Bezugswassergehalt der Verdunstung): -0.1 (er muß größer als 0 sein) !" + andere},
      {"CBoden unendlich, ohne Namen",
       [](Modell& m) {
         m.Boeden[1].CBoden = std::numeric_limits<double>::infinity();
         m.Boeden[1].BodenName.clear();
         m.Boeden[1].Kuerzel.clear();
       },
       "Die Bodenart Nr. 1 in SOILS.DAT hat einen ungültigen Wert für CBoden (Wärmekapazität): inf !" + andere},
      {"PsiSat 0", [](Modell& m) { m.Boeden[1].PsiSat = 0; },
       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für PsiSat "
       "(Lufteintrittspotential): 0 (er muß kleiner als 0 sein) !" + andere},
      {"b negativ", [](Modell& m) { m.Boeden[1].B_Exponent = -69; },
       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für b (Porengrößenexponent): -69 "
       "(er muß größer als 0 sein) !" + andere},
      {"KSat negativ", [](Modell& m) { m.Boeden[1].KSat = -1e-6; },
       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für KSat (gesättigte "
       "Leitfähigkeit): -1e-06 (er darf nicht negativ sein) !" + andere},
      {"KSat 0", [](Modell& m) { m.Boeden[1].KSat = 0; }, ""},
      {"Startfeuchte 0", [](Modell& m) { m.StartBodenfeuchte = 0.0f; },
       "Die Startfeuchte des Bodens muß größer als 0 % sein (derzeit 0 %) !\rBitte ändern Sie im "
       "Standortprofil die \"Relative Feuchte (Startwert %):\"."},
  });
}

// A sand with an air-entry potential of -1 cm: pF 0 at saturation, so
// lambda = 419 e^-2.7 = 28.159 W/(m K); C = 0.55 * 2e6 + 0.45 * 4.182e6 =
// 2.9819e6 J/(m3 K); a = 9.443e-6 m2/s, above the 3600-s bound
// 1 / (3600 (4/0.25 + 4/0.25)) = 8.68e-6 m2/s.
TEST(Eingabepruefung, EinBodenJenseitsDerStabilitaetsgrenzeWirdMitNamenAbgelehnt) {
  Pruefe({
      {"Sand", [](Modell& m) { m.Boeden[1].PsiSat = -0.01; m.Boeden[1].BodenName = "Grobsand"; },
       "Die Bodenart \"Grobsand\" (Nr. 1 in SOILS.DAT) leitet die Wärme zu schnell für dieses Modell !\rIhre "
       "Temperaturleitfähigkeit erreicht 9.44 *10-6 m²/s, stabil rechnet das Modell nur bis 8.68 *10-6 "
       "m²/s.\rBitte korrigieren Sie SOILS.DAT oder wählen Sie im Standortprofil eine andere Bodenart."},
      // More pore volume than soil: the heat capacity turns negative when dry.
      {"ThetaSat 2", [](Modell& m) { m.Boeden[1].ThetaSat = 2.0; },
       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) ergibt nicht bei jeder Bodenfeuchte eine gültige "
       "Temperaturleitfähigkeit !\rBitte korrigieren Sie SOILS.DAT oder wählen Sie im Standortprofil eine "
       "andere Bodenart."},
  });
}

TEST(Eingabepruefung, VegetationUndWindmesshoehe) {
  const std::string wind = " m) liegt zu niedrig für die Vegetation des Standortes: Sie muß über der "
                           "Verdrängungshöhe d = ";
  const std::string felder =
      " m !\rBitte ändern Sie im Standortprofil die \"Messhöhe:\", die \"Mittlere Höhe Vegetation (m):\" oder "
      "den \"Vegetationstyp:\".";
  auto gras = [](float hoehe, float messhoehe) {
    return [=](Modell& m) {
      m.Veg_typ = 1;
      m.Veg_Hoehe = hoehe;
      m.WG_Messhoehe = messhoehe;
    };
  };
  Pruefe({
      // Cut grass of 1 m: LAI = 24, d = 0.245 + 0.091 * 24 = 2.429 m above the
      // 2 m default; z0m = 0.281 + 0.0275 + 0.028 * 24 = 0.9805 m.
      {"Gras 1 m, Messhöhe 2 m", gras(1.0f, 2.0f),
       "Die Messhöhe des Windes (2" + wind + "2.43 m plus der Rauhigkeitslänge z0 = 0.98 m liegen, also über 3.41" +
           felder},
      {"Gras 1 m, Messhöhe 3 m", gras(1.0f, 3.0f),
       "Die Messhöhe des Windes (3" + wind + "2.43 m plus der Rauhigkeitslänge z0 = 0.98 m liegen, also über 3.41" +
           felder},
      {"Gras 1 m, Messhöhe 3.41 m", gras(1.0f, 3.41f), ""},
      {"Standardwerte: Gras 0.5 m, 2 m", gras(0.5f, 2.0f), ""},
      // Tall grass below exp(-11/3) m has 1.5 ln h + 5.5 < 0: 1.5 ln 0.02 + 5.5 = -0.368035.
      {"hohes Gras 2 cm",
       [](Modell& m) {
         m.Veg_typ = 2;
         m.Veg_Hoehe = 0.02f;
       },
       "Die Vegetation des Standortprofils ergibt keinen positiven Blattflächenindex (LAI = -0.36803454) !\rBei "
       "diesem Vegetationstyp muß die Höhe über 0.0256 m liegen. Bitte ändern Sie im Standortprofil die "
       "\"Mittlere Höhe Vegetation (m):\" oder den \"Vegetationstyp:\"."},
      {"Gras 0 m", gras(0.0f, 2.0f),
       "Die Vegetation des Standortprofils ergibt keinen positiven Blattflächenindex (LAI = 0) !\rBei "
       "geschnittenem Gras muß die Höhe größer als 0 m sein. Bitte ändern Sie im Standortprofil die "
       "\"Mittlere Höhe Vegetation (m):\" oder den \"Vegetationstyp:\"."},
      {"Breitengrad NaN", [](Modell& m) { m.Breitengrad = NaN; },
       "Der Breitengrad des Standortes ist keine gültige Zahl (nan) !\rBitte ändern Sie im Standortprofil den "
       "\"Breitengrad:\"."},
      {"Messhöhe unendlich", [](Modell& m) { m.WG_Messhoehe = Unendlich; },
       "Die Messhöhe des Windes ist keine gültige Zahl (inf) !\rBitte ändern Sie im Standortprofil die "
       "\"Messhöhe:\"."},
  });
}

// Between d and d + z0m the two logarithms of the resistance have opposite
// signs: the run would evaporate with a negative aerodynamic resistance.
TEST(Eingabepruefung, UnterDerRauhigkeitWaereDerWiderstandNegativ) {
  auto m = Kanalmodell();
  m->Veg_typ = 1;
  m->Veg_Hoehe = 1.0f;
  m->WG_Messhoehe = 3.0f;
  CalcBestand(*m);
  EXPECT_LT(CalcRa(*m, 2.0f), 0.0);
  m->WG_Messhoehe = 3.41f;
  EXPECT_GT(CalcRa(*m, 2.0f), 0.0);
}

TEST(Eingabepruefung, KellerUndFundamentNurWennEsSieGibt) {
  const std::string ort = " !\rBitte ändern Sie im Standortprofil unter \"Gebäudedaten\" ";
  Pruefe({
      {"Wanddicke 0", [](Modell& m) { m.kellerwand_dicke = 0.0f; },
       "Neben Segment 2 steht ein Gebäude, doch die Dicke der Kellerwand muß größer als 0 sein (derzeit 0 m)" +
           ort + "die \"Dicke Kellerwand (m):\"."},
      {"Leitfähigkeit negativ", [](Modell& m) { m.wlf_kellerwand = -0.9f; },
       "Neben Segment 2 steht ein Gebäude, doch die Wärmeleitfähigkeit der Kellerwand muß größer als 0 sein "
       "(derzeit -0.9 W/mK)" + ort + "die \"Wärmeleitfähigkeit Kellerwand (W/mK):\"."},
      {"Kellerwand leitet zu gut", [](Modell& m) { m.wlf_kellerwand = 1.0e6f; },
       "Neben Segment 2 steht ein Gebäude, doch die Kellerwand ist für dieses Modell zu dünn oder leitet zu "
       "gut (Wärmeleitfähigkeit / Dicke = 2500000 W/m²K, höchstens 100000 W/m²K sind möglich)" + ort +
           "die \"Dicke Kellerwand (m):\" oder die \"Wärmeleitfähigkeit Kellerwand (W/mK):\"."},
      {"Kellertemperatur NaN", [](Modell& m) { m.T_Keller = NaN; },
       "Neben Segment 2 steht ein Gebäude, doch die Innentemperatur des Kellers ist keine gültige Zahl (nan)" +
           ort + "die \"Innentemperatur Keller (°C):\"."},
      {"ohne Keller", [](Modell& m) {
         m.Segmente[2].Abst_Geb_li = 0.0f;
         m.kellerwand_dicke = 0.0f;
         m.wlf_kellerwand = 0.0f;
       }, ""},
      {"Fundament unendlich", [](Modell& m) { m.T_Fundament = Unendlich; },
       "Segment 3 ist überbaut, doch die Basistemperatur für überbaute Flächen ist keine gültige Zahl (inf)" +
           ort + "die \"Basis- Temperatur für überbaute Flächen (°C):\"."},
      {"versiegelt statt überbaut", [](Modell& m) {
         m.Segmente[3].Überbaut = 2;
         m.T_Fundament = NaN;
       }, ""},
  });
}

TEST(Eingabepruefung, NichtEndlicheKlimawerte) {
  Pruefe({
      {"Wind", [](Modell& m) { m.Klima[100].Wind = NaN; },
       "Die Klimadaten enthalten in Stunde 100 (Tag 5, 3 Uhr) bei \"Wind\" keine gültige Zahl (nan) !\rBitte "
       "korrigieren Sie die Klimatabelle und laden Sie sie neu."},
      {"Eintritt", [](Modell& m) { m.Segmente[1].T_ein[24] = -Unendlich; },
       "Die Klimadaten enthalten in Stunde 24 (Tag 1, 23 Uhr) bei \"Lufttemperatur\" keine gültige Zahl (-inf) "
       "!\rBitte korrigieren Sie die Klimatabelle und laden Sie sie neu."},
      {"fehlende Bewölkung ist endlich", [](Modell& m) { m.Klima[7].Wolken = Fehlwert; }, ""},
  });
}

}  // namespace
}  // namespace terval
