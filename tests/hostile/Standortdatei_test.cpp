// Hostile location files (.loc.db): too few columns, a cut record, cells
// that hold no number, and site values the model cannot compute with. A
// refused load leaves the location values and every file unchanged; a value
// that loads but cannot be simulated is refused at the run start.
#include "hostile/Katalog.h"
#include "location/klimaprofil.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Abbild;
using test::Aufzeichner;
using test::Dateiinhalt;
using test::Dateien;
using test::ErsetzeZelle;
using test::ErwarteGleicheDateien;
using test::ErwarteUnveraendert;
using test::Nachricht;
using test::SchreibeDatei;
using test::Testverzeichnis;

// Columns of the location file by position.
enum Spalte {
  Bodenart = 1, StartBodenfeuchte = 2, Breitengrad = 4, Laengengrad = 5, Veg_Hoehe = 6, Veg_typ = 7,
  WG_Messhoehe = 12, kellerwand_dicke = 39,
};

class FeindlicheStandortdatei : public ::testing::Test {
 protected:
  void SetUp() override {
    m = test::Lauffaehig();
    Aufzeichner still;
    ASSERT_TRUE(SpeichereStandortdatei(*m, still, v.Datei("gut.loc.db")));
    gut = Dateiinhalt(v.Datei("gut.loc.db"));
    pfad = v.Datei("s.loc.db");
    m->Standortdatei = "vorher.loc.db";
  }

  void ErwarteAbgelehnt(const std::string& inhalt, const std::string& meldung) {
    SchreibeDatei(pfad, inhalt);
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    EXPECT_FALSE(LadeStandortdatei(*m, ui, pfad));
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", meldung}}));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  std::string UngueltigeZelle(int spalte, const std::string& name, const std::string& text) {
    return "Das Standortprofil \"" + pfad + "\" enthält in Spalte " + std::to_string(spalte + 1) + " (" + name +
           ") den ungültigen Wert \"" + text + "\".\rDas Standortprofil wurde nicht geladen.";
  }

  void ErwarteLaufAbgelehnt(const std::string& inhalt, const std::string& meldung) {
    SchreibeDatei(pfad, inhalt);
    Aufzeichner laden;
    ASSERT_TRUE(LadeStandortdatei(*m, laden, pfad));
    EXPECT_TRUE(laden.nachrichten.empty());
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    EXPECT_EQ(test::Starte(*m, ui, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", meldung}}));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  std::string Mit(int spalte, const std::string& text) {
    std::string b = gut;
    ErsetzeZelle(b, 0, spalte, text);
    return b;
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m;
  std::string gut, pfad;
};

TEST_F(FeindlicheStandortdatei, VierzigStattEinundvierzigSpalten) {
  std::string fehler;
  {
    std::vector<Felddefinition> vierzig(40, {"Wert", Feldtyp::Gleitkomma, 0});
    auto t = DbfTabelle::Erzeugen(v.Datei("kurz.loc.db"), vierzig, fehler);
    ASSERT_TRUE(t) << fehler;
    t->Anhaengen();
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  }
  const std::string b = Dateiinhalt(v.Datei("kurz.loc.db"));
  std::filesystem::remove(v.Datei("kurz.loc.db"));
  std::filesystem::remove(v.Datei("kurz.loc.cpg"));
  ErwarteAbgelehnt(b, "Die Datei \"" + pfad + "\" ist kein Standortprofil: Sie hat 40 Spalten, ein Standortprofil "
                                             "hat 41.");
}

TEST_F(FeindlicheStandortdatei, DatensatzAbgeschnitten) {
  ErwarteAbgelehnt(gut.substr(0, gut.size() - 100),
                   "Die Tabelle \"" + pfad +
                       "\" kann nicht geöffnet werden: der Tabellenkopf nennt 1 Datensätze, die Datei enthält aber "
                       "nur 0.");
}

TEST_F(FeindlicheStandortdatei, OhneDatensatz) {
  std::string b = gut;
  test::Lege32(b, 4, 0);
  ErwarteAbgelehnt(b.substr(0, test::LiesKopf(b).kopf) + "\x1A",
                   "Das Standortprofil \"" + pfad + "\" enthält keinen Datensatz.");
}

TEST_F(FeindlicheStandortdatei, ZellenOhneZahl) {
  struct Fall {
    Spalte spalte;
    const char* name;
    const char* text;
  };
  const Fall faelle[] = {{Breitengrad, "Breitengrad", "********************"},  // overflow stars
                         {Breitengrad, "Breitengrad", "nan"},
                         {Laengengrad, "Laengengrad", "-inf"},
                         {WG_Messhoehe, "WG_Messhoehe", "3.5e+38000"},
                         {Bodenart, "Bodenart", "Lehm"}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.text);
    ErwarteAbgelehnt(Mit(f.spalte, f.text), UngueltigeZelle(f.spalte, f.name, f.text));
  }
}

// The file loads; the run start refuses the site values.
TEST_F(FeindlicheStandortdatei, WerteDieDerLaufstartAblehnt) {
  struct Fall {
    Spalte spalte;
    const char* text;
    const char* vegTyp;  // nullptr: Veg_typ as saved
    const char* meldung;
  };
  const Fall faelle[] = {
      {Bodenart, "0", nullptr,
       "Die Bodenart Nr. 0 des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 11 "
       "Bodenarten !\rBitte wählen Sie im Standortprofil unter \"Bodenart vor Ort:\" eine Bodenart "
       "aus."},
      {Bodenart, "12", nullptr,
       "Die Bodenart Nr. 12 des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 11 "
       "Bodenarten !\rBitte wählen Sie im Standortprofil unter \"Bodenart vor Ort:\" eine Bodenart "
       "aus."},
      {StartBodenfeuchte, "0.0", nullptr,
       "Die Startfeuchte des Bodens muß größer als 0 % sein (derzeit 0 %) !\rBitte ändern Sie im "
       "Standortprofil die \"Relative Feuchte (Startwert %):\"."},
      // Cut grass of 1 m displaces the wind profile to 2.43 m, above the 2 m
      // of the measurement: the aerodynamic resistance would be NaN all year.
      {Veg_Hoehe, "1.0", "1",
       "Die Messhöhe des Windes (2 m) liegt zu niedrig für die Vegetation des Standortes: Sie muß über "
       "der Verdrängungshöhe d = 2.43 m plus der Rauhigkeitslänge z0 = 0.98 m liegen, also über 3.41 m "
       "!\rBitte ändern Sie im Standortprofil die \"Messhöhe:\", die \"Mittlere Höhe Vegetation "
       "(m):\" oder den \"Vegetationstyp:\"."},
      // Dense tall grass of 1 cm: LAI = 1.5 ln 0.01 + 5.5 = -1.40776.
      {Veg_Hoehe, "0.01", "3",
       "Die Vegetation des Standortprofils ergibt keinen positiven Blattflächenindex (LAI = "
       "-1.4077553) !\rBei diesem Vegetationstyp muß die Höhe über 0.0256 m liegen. Bitte ändern Sie "
       "im Standortprofil die \"Mittlere Höhe Vegetation (m):\" oder den \"Vegetationstyp:\"."},
      {kellerwand_dicke, "0", nullptr,
       "Neben Segment 2 steht ein Gebäude, doch die Dicke der Kellerwand muß größer als 0 sein "
       "(derzeit 0 m) !\rBitte ändern Sie im Standortprofil unter \"Gebäudedaten\" die \"Dicke "
       "Kellerwand (m):\"."},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.meldung);
    std::string b = Mit(f.spalte, f.text);
    if (f.vegTyp) ErsetzeZelle(b, 0, Veg_typ, f.vegTyp);
    ErwarteLaufAbgelehnt(b, f.meldung);
  }
}

// A latitude beyond the pole is a finite number; the run must still give
// finite results or be refused.
TEST_F(FeindlicheStandortdatei, BreitengradJenseitsDesPols) {
  SchreibeDatei(pfad, Mit(Breitengrad, "95.0"));
  Aufzeichner laden;
  ASSERT_TRUE(LadeStandortdatei(*m, laden, pfad));
  Aufzeichner ui;
  const Laufbericht b = test::Starte(*m, ui, v.Pfad());
  if (b.ergebnis == Laufergebnis::Fertig) test::ErwarteEndlicheErgebnisse(*m, v.Pfad());
  else EXPECT_EQ(ui.Texte("Fehler").size(), 1u);
}

}  // namespace
}  // namespace terval
