// The table layers. xBase: exact numbers in any locale, the bytes other
// programs expect, tables other programs wrote, Windows-1252, saves that
// never lose the previous file. Paradox: values survive a save exactly,
// blank cells stay blank, changes go into the file only on Schliessen and
// never half. And where the program finds its reference files.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>
#include <numeric>
#include <random>
#include <tuple>

#include "support/TabellenTesthilfen.h"
#include "tables/ParadoxTabelle.h"
#include "tables/Referenzdateien.h"

namespace terval {
namespace {

using namespace test;

const std::string Daten = TERVAL_QUELLVERZEICHNIS "/tests/data/tables/";

template <typename Tabelle = DbfTabelle>
std::unique_ptr<Tabelle> Oeffne(const std::string& pfad) {
  std::string fehler;
  auto t = Tabelle::Oeffnen(pfad, fehler);
  EXPECT_TRUE(t) << fehler;
  return t;
}

// The example table: every kind of field, names cut to ten bytes and made
// unique, texts beyond Windows-1252 and beyond their field, numbers that need
// all their digits, NaN, the ends of 32 bits.
void SchreibeBeispiel(const std::string& pfad) {
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, {{"Tag", Feldtyp::Ganzzahl}, {"T_ein"}, {"Überbauter_Anteil", Feldtyp::Ganzzahl},
                                       {"Temperatur_aussen"}, {"Temperatur_innen"}, {"TEMPERATUR"}, {"tag"},
                                       {"Anmerkung", Feldtyp::Text, 12}, {"", Feldtyp::Text, 5}}, fehler);
  const std::tuple<long long, float, const char*> saetze[] = {
      {-2147483648LL, 1.2345678e-8f, "ä ü ß €"}, {2147483647LL, -0.4f, "Ελλάδα"}, {0, NAN, "  eingerückt"},
      {8760, 3.4028e38f, "Straße\xff"}, {-999, -999.0f, "zwölf Zeichen zu viel"}};
  for (const auto& [g, z, text] : saetze) {
    const int s = t->Anhaengen();
    EXPECT_TRUE(t->SchreibeGanzzahl(s, 0, g) && t->SchreibeZahl(s, 1, z) && t->SchreibeGanzzahl(s, 2, s) &&
                t->SchreibeZahl(s, 3, z / 3) && t->SchreibeZahl(s, 4, 0.1 * s) && t->SchreibeText(s, 7, text));
  }
  EXPECT_FALSE(t->SchreibeGanzzahl(0, 0, 100000000000LL)) << "12 Stellen passen nicht in 11";
  EXPECT_TRUE(t->Schliessen(fehler)) << fehler;
}

// Every byte as in the golden example, also where printf and strtod would
// use a decimal comma, and every float comes back bit for bit.
TEST(DbfTabelle, SchreibtWieDasBeispielUndZahlenKommenBitgenauZurueck) {
  std::mt19937 zufall(20240611);
  std::uniform_real_distribution<double> exponent(-10.0, 5.0);
  std::vector<float> werte = {0.0f, -0.0f, 1e5f, 1e-10f, 0.4f, FLT_MIN, FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, 16777217.0f};
  for (int i = 0; i < 3000; ++i) werte.push_back(static_cast<float>((i % 2 ? -1 : 1) * std::pow(10.0, exponent(zufall))));
  const std::string vorher = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* gebiet : {"C", "de_DE.UTF-8"}) {
    if (!std::setlocale(LC_NUMERIC, gebiet)) continue;
    SCOPED_TRACE(gebiet);
    Testverzeichnis v;
    SchreibeBeispiel(v.Datei("Beispiel.dbf"));
    EXPECT_EQ(UnterschiedZuGolden(v.Datei("Beispiel.dbf"), "tables/Beispiel.dbf"), "");
    std::string fehler;
    auto t = DbfTabelle::Erzeugen(v.Datei("z.dbf"), {{"Wert"}}, fehler);
    for (float w : werte) t->SchreibeZahl(t->Anhaengen(), 0, w);
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
    auto r = Oeffne(v.Datei("z.dbf"));
    ASSERT_EQ(r->Datensaetze(), static_cast<int>(werte.size()));
    for (int i = 0; i < r->Datensaetze(); ++i) {
      const float zurueck = static_cast<float>(r->LiesZahl(i, 0).value_or(NAN));
      ASSERT_EQ(std::memcmp(&zurueck, &werte[i], 4), 0) << werte[i] << " kam als " << zurueck << " zurück";
    }
  }
  std::setlocale(LC_NUMERIC, vorher.c_str());
  // The day of writing and the language driver in the header, the code page beside the table.
  Testverzeichnis v;
  SchreibeBeispiel(v.Datei("Erdkanal.ewt.db"));
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"Erdkanal.ewt.cpg", "Erdkanal.ewt.db"}));
  EXPECT_EQ(Dateiinhalt(v.Datei("Erdkanal.ewt.cpg")), "1252");
  const std::time_t jetzt = std::time(nullptr);
  std::tm heute{};
  localtime_r(&jetzt, &heute);
  const std::string datum = {3, static_cast<char>(heute.tm_year), static_cast<char>(heute.tm_mon + 1),
                             static_cast<char>(heute.tm_mday)};
  EXPECT_EQ(Dateiinhalt(v.Datei("Erdkanal.ewt.db")).substr(0, 4), datum);
  // Read back as an independent reader reads it: the names, the texts in
  // UTF-8 ("??????" for Greek, "Straße?" for the broken byte), NaN as blank.
  EXPECT_EQ(Oeffne(v.Datei("Erdkanal.ewt.db"))->Feldname(2), "Überbauter");
  EXPECT_EQ(UnterschiedZuDbfread(v.Datei("Erdkanal.ewt.db")).value_or(""), "");
}

// Tables of other programs. fremd.dbf, as written under a German locale:
// WERT N(6,2), TEXT C(6); "0,40" "2.5", blank "x", "abc" "-3.5", "12.75"
// blank, and a deleted record. foxpro.dbf: NAME C(6), ANZ I(4), WERT B(8, 2
// decimals), GELD Y(8) and the hidden null flags; "Nord" 42 0.4f 1.00 and
// "Süd" -3 1.2345678e-8f -1.00.
TEST(DbfTabelle, FremdeTabellenWerdenGelesenUndGeaendert) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("fremd.dbf");
  std::string fehler;
  std::filesystem::copy_file(Daten + "fremd.dbf", pfad);
  auto t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Datensaetze(), 4);
  // 2.5 and -3.5 as integers: half values go to the even number.
  EXPECT_EQ(std::tuple(*t->LiesZahl(0, 0), *t->LiesZahl(0, 1), *t->LiesGanzzahl(0, 1), *t->LiesGanzzahl(2, 1),
                       *t->LiesGanzzahl(3, 0), t->LiesText(-1, 0)), std::tuple(0.4, 2.5, 2LL, -4LL, 13LL, ""));
  EXPECT_TRUE(t->IstLeer(1, 0));
  EXPECT_FALSE(t->LiesZahl(1, 0) || t->LiesGanzzahl(1, 1) || t->LiesZahl(2, 0) || t->LiesZahl(4, 0) || t->LiesZahl(0, 2));
  EXPECT_FALSE(t->SchreibeZahl(0, 0, 1234567.0f)) << "sieben Ziffern passen nicht in sechs";
  EXPECT_TRUE(t->SchreibeZahl(0, 0, 3.14159265f));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(Oeffne(pfad)->LiesZahl(0, 0), 3.14) << "auf die Dezimalen des Feldes gerundet";
  EXPECT_FALSE(Oeffne(pfad)->SchreibeZahl(0, 0, 1.0f)) << "nur zum Lesen geöffnet";

  std::filesystem::copy_file(Daten + "foxpro.dbf", pfad, std::filesystem::copy_options::overwrite_existing);
  t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Felder(), 4) << "die Null-Markierungen sind kein Datenfeld";
  // Currency is counted in ten-thousandths: 10000 is 1.00.
  EXPECT_EQ(std::tuple(t->LiesText(1, 0), *t->LiesGanzzahl(1, 1), t->LiesText(0, 1), static_cast<float>(*t->LiesZahl(0, 2)),
                       *t->LiesZahl(1, 2), *t->LiesZahl(0, 3), *t->LiesZahl(1, 3)),
            std::tuple("Süd", -3LL, "42", 0.4f, 1.2345678257474901e-08, 1.0, -1.0));
  EXPECT_TRUE(t->SchreibeGanzzahl(1, 1, 8760));
  EXPECT_TRUE(t->SchreibeZahl(1, 2, -999.0f));
  EXPECT_FALSE(t->SchreibeGanzzahl(1, 1, 1LL << 40)) << "passt nicht in 32 Bit";
  EXPECT_TRUE(t->SchreibeText(t->Anhaengen(), 0, "Ost"));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  // The other record stays; a new one starts with 0, not blanks.
  auto r = Oeffne(pfad);
  EXPECT_EQ(std::tuple(*r->LiesGanzzahl(1, 1), *r->LiesZahl(1, 2), *r->LiesZahl(0, 2), r->LiesGanzzahl(2, 1)),
            std::tuple(8760LL, -999.0, 0.4000000059604645, std::optional<long long>(0)));
}

// A change reaches the file only on Schliessen, keeping its mode; a save that
// fails or is dropped leaves the old file and no temporary file.
TEST(DbfTabelle, SpeichernVerliertNieDieAlteDatei) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("a.dbf");
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, {{"Wert"}}, fehler);
  for (float w : {1.0f, 2.0f, 3.0f}) t->SchreibeZahl(t->Anhaengen(), 0, w);
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  ASSERT_EQ(::chmod(pfad.c_str(), 0640), 0);
  const std::string alt = Dateiinhalt(pfad);
  auto pruefe = [&](const std::string& meldung) {
    EXPECT_EQ(fehler, meldung.empty() ? "" : "Die Datei \"" + pfad + "\" konnte nicht gespeichert werden: " + meldung);
    EXPECT_EQ(Dateiinhalt(pfad), alt);
    EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"a.cpg", "a.dbf"}));
    fehler.clear();
  };
  DbfTabelle::Erzeugen(pfad, {{"Neu", Feldtyp::Text, 10}}, fehler)->SchreibeText(0, 0, "verworfen");
  DbfTabelle::Aendern(pfad, fehler)->SchreibeZahl(0, 0, 5.0f);
  pruefe("");
  for (bool neu : {true, false}) {
    Dateigroessengrenze grenze(4096);
    t = neu ? DbfTabelle::Erzeugen(pfad, {{"Wert"}}, fehler) : DbfTabelle::Aendern(pfad, fehler);
    for (int i = 0; i < 1000; ++i) t->SchreibeZahl(t->Anhaengen(), 0, static_cast<float>(i));
    EXPECT_FALSE(t->Schliessen(fehler));
    pruefe("die Datei wird zu groß; die bisherige Datei bleibt unverändert.");
  }
  t = DbfTabelle::Aendern(pfad, fehler);
  EXPECT_FALSE(t->SchreibeZahl(3, 0, 7.0f));
  EXPECT_FALSE(t->SchreibeZahl(4, 0, 7.0f));
  fehler = t->Verwerfen();
  pruefe("Datensatz 4, Feld 1 gibt es nicht; die bisherige Datei bleibt unverändert.");
  t = DbfTabelle::Aendern(pfad, fehler);
  EXPECT_TRUE(t->SchreibeZahl(1, 0, -999.0f));
  EXPECT_EQ(Dateiinhalt(pfad), alt) << "noch nicht geschlossen";
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(std::tuple(Oeffne(pfad)->LiesZahl(1, 0), Oeffne(pfad)->LiesZahl(2, 0)), std::tuple(-999.0, 3.0));
  struct stat st {};
  EXPECT_TRUE(::stat(pfad.c_str(), &st) == 0 && (st.st_mode & 0777) == 0640) << "die Rechte der alten Datei bleiben";
  EXPECT_FALSE(DbfTabelle::Erzeugen(v.Datei("fehlt/a.dbf"), {{"Wert"}}, fehler));
  EXPECT_NE(fehler.find("konnte nicht gespeichert werden: Datei oder Verzeichnis nicht vorhanden."), std::string::npos);
  EXPECT_FALSE(DbfTabelle::Erzeugen(pfad, {}, fehler));
  EXPECT_NE(fehler.find("konnte nicht gespeichert werden: die Tabelle hat keine Felder"), std::string::npos) << fehler;
}

// ---- Paradox ----------------------------------------------------------------------------

const std::vector<Felddefinition> Felder = {{"Nr", Feldtyp::Ganzzahl}, {"T_Luft"}, {"Bemerkung", Feldtyp::Text, 12}};

// Values over many magnitudes come back exactly, a blank cell is no number
// but a stored zero is; what a field cannot take is refused. A changed table
// gets only the changed bytes, and only on Schliessen; one whose cells kept
// their bytes stays the same file, one dropped stays as it was.
TEST(ParadoxTabelle, WerteUeberstehenDasSpeichernUndAendernTrifftNurDieGeaendertenBytes) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("werte.DB");
  std::string fehler;
  auto t = ParadoxTabelle::Erzeugen(pfad, Felder, fehler);
  ASSERT_TRUE(t) << fehler;
  std::mt19937 zufall(7);
  std::uniform_real_distribution<double> exponent(-10, 5);
  std::vector<float> werte;
  for (int i = 0; i < 1500; ++i) {
    werte.push_back(static_cast<float>((i % 2 ? -1 : 1) * std::pow(10.0, exponent(zufall))));
    ASSERT_EQ(t->Anhaengen(), i);
    ASSERT_TRUE(t->SchreibeGanzzahl(i, 0, i - 700) && t->SchreibeZahl(i, 1, werte[i]) &&
                t->SchreibeText(i, 2, "Zeile " + std::to_string(i)));
  }
  const int leer = t->Anhaengen(), null = t->Anhaengen();
  EXPECT_TRUE(t->SchreibeZahl(null, 1, 0.0f) && t->SchreibeGanzzahl(null, 0, 0) && t->SchreibeText(0, 2, "Grüße, 20 €"));
  EXPECT_FALSE(t->SchreibeText(1, 2, "viel zu lang für das Feld"));
  EXPECT_TRUE(t->SchreibeZahl(2, 0, -999.4f)) << "gerundet ins Ganzzahlfeld";
  EXPECT_TRUE(t->SchreibeZahl(4, 2, -999.0f)) << "ein Zahltext im Textfeld";
  EXPECT_FALSE(t->SchreibeZahl(3, 0, 3.0e9f) || t->SchreibeZahl(3, 1, NAN) || t->SchreibeZahl(null + 1, 1, 1.0f) ||
               t->SchreibeZahl(0, 3, 1.0f));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"werte.DB"});
  auto g = Oeffne<ParadoxTabelle>(pfad);
  ASSERT_EQ(g->Datensaetze(), 1502);
  EXPECT_EQ(g->Feldname(1), "T_Luft");
  for (int i = 0; i < 1500; ++i) ASSERT_EQ(static_cast<float>(*g->LiesZahl(i, 1)), werte[i]) << i;
  EXPECT_EQ((std::tuple(*g->LiesGanzzahl(1499, 0), *g->LiesGanzzahl(2, 0), g->LiesText(0, 2), g->LiesText(1, 2),
                        g->LiesText(4, 2), *g->LiesZahl(4, 2), g->LiesText(1234, 2))),
            (std::tuple(799LL, -999LL, "Grüße, 20 €", "Zeile 1", "-999", -999.0, "Zeile 1234")));
  EXPECT_TRUE(g->IstLeer(leer, 0) && g->IstLeer(leer, 1) && !g->LiesZahl(leer, 1) && !g->LiesZahl(leer, 0));
  EXPECT_FALSE(g->IstLeer(null, 1));
  EXPECT_EQ((std::tuple(*g->LiesZahl(null, 1), *g->LiesGanzzahl(null, 0), g->LiesText(null, 1))), (std::tuple(0.0, 0LL, "0")));
  EXPECT_FALSE(g->SchreibeZahl(0, 1, 1.0f)) << "nur zum Lesen geöffnet";
  g.reset();

  const std::string alt = Dateiinhalt(pfad);
  struct stat vorher {}, nachher {};
  ::stat(pfad.c_str(), &vorher);
  t = ParadoxTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t->SchreibeZahl(5, 1, werte[5]) && t->Schliessen(fehler)) << fehler;
  ::stat(pfad.c_str(), &nachher);
  EXPECT_EQ(nachher.st_ino, vorher.st_ino) << "nicht ersetzt";
  ParadoxTabelle::Aendern(pfad, fehler)->SchreibeZahl(0, 1, 4.0f);  // dropped without Schliessen
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  t = ParadoxTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t->SchreibeZahl(leer, 1, -999.0f) && t->SchreibeZahl(1499, 1, 17.25f));
  EXPECT_EQ(Dateiinhalt(pfad), alt) << "noch nicht geschlossen";
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"werte.DB"});
  const std::string neu = Dateiinhalt(pfad);
  ASSERT_EQ(neu.size(), alt.size());
  const auto unterschiede = std::inner_product(alt.begin(), alt.end(), neu.begin(), 0, std::plus<>(), std::not_equal_to<>());
  EXPECT_TRUE(unterschiede > 0 && unterschiede <= 16) << unterschiede << " Bytes geändert, zwei Zahlen haben 16";
  g = Oeffne<ParadoxTabelle>(pfad);
  EXPECT_EQ((std::tuple(*g->LiesZahl(leer, 1), *g->LiesZahl(1499, 1), *g->LiesZahl(1498, 1))), (std::tuple(-999.0, 17.25, static_cast<double>(werte[1498]))));

}

// Beside the executable first, then ../share/terval as installed.
TEST(Referenzdateien, NebenDemProgrammDannShare) {
  EXPECT_EQ(std::filesystem::path(Programmverzeichnis()), std::filesystem::path(TERVAL_BINVERZEICHNIS));
  const std::string name = "terval-referenz-" + std::to_string(getpid()) + ".txt";
  const std::string daneben = Programmverzeichnis() + "/" + name, share = Programmverzeichnis() + "/../share/terval/" + name;
  std::filesystem::create_directories(Programmverzeichnis() + "/../share/terval");
  EXPECT_EQ(FindeReferenzdatei(name), "");
  SchreibeDatei(share, "x");
  EXPECT_EQ(FindeReferenzdatei(name), std::filesystem::path(share).lexically_normal().string());
  SchreibeDatei(daneben, "x");
  EXPECT_EQ(FindeReferenzdatei(name), daneben);
  std::filesystem::remove(daneben);
  std::filesystem::remove(share);
  EXPECT_EQ(FindeReferenzdatei("share"), "") << "ein Verzeichnis ist keine Referenzdatei";
}

}  // namespace
}  // namespace terval
