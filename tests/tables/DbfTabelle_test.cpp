#include "tables/DbfTabelle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>
#include <random>

#include <gtest/gtest.h>

#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using test::Dateigroessengrenze;
using test::Dateiinhalt;
using test::GesperrtesVerzeichnis;
using test::SchreibeDatei;
using test::Testverzeichnis;

// ---- Building tables byte by byte ------------------------------------------

struct RohFeld {
  std::string name;
  char typ;
  int breite;
  int dezimal = 0;
};

void Lege16(std::string& s, size_t pos, unsigned v) {
  s[pos] = static_cast<char>(v & 0xFF);
  s[pos + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Lege32(std::string& s, size_t pos, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A table as another program writes it; `saetze` are the record bodies
// without the deletion flag. FoxPro tables (0x30) carry the 263-byte backlink.
std::string BaueTabelle(uint8_t version, const std::vector<RohFeld>& felder,
                        const std::vector<std::string>& saetze) {
  const bool fox = version == 0x30;
  const unsigned kopfLaenge = 32 + 32 * static_cast<unsigned>(felder.size()) + 1 + (fox ? 263 : 0);
  unsigned satzLaenge = 1;
  for (const RohFeld& f : felder) satzLaenge += static_cast<unsigned>(f.breite);
  std::string s(kopfLaenge, '\0');
  s[0] = static_cast<char>(version);
  s[1] = 124, s[2] = 1, s[3] = 1;
  Lege32(s, 4, static_cast<uint32_t>(saetze.size()));
  Lege16(s, 8, kopfLaenge);
  Lege16(s, 10, satzLaenge);
  s[29] = fox ? 0x03 : 0x57;
  unsigned versatz = 1;
  for (size_t i = 0; i < felder.size(); ++i) {
    const size_t d = 32 + 32 * i;
    std::memcpy(&s[d], felder[i].name.data(), std::min<size_t>(felder[i].name.size(), 10));
    s[d + 11] = felder[i].typ;
    Lege32(s, d + 12, versatz);
    s[d + 16] = static_cast<char>(felder[i].breite);
    s[d + 17] = static_cast<char>(felder[i].dezimal);
    versatz += static_cast<unsigned>(felder[i].breite);
  }
  s[32 + 32 * felder.size()] = 0x0D;
  for (const std::string& satz : saetze) {
    s += ' ';
    s += satz;
  }
  s += '\x1A';
  return s;
}

std::string LE32(int32_t v) {
  std::string s(4, '\0');
  Lege32(s, 0, static_cast<uint32_t>(v));
  return s;
}

std::string LE64(double d) {
  uint64_t u;
  std::memcpy(&u, &d, 8);
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return s;
}

std::string Links(const std::string& t, size_t breite) { return t + std::string(breite - t.size(), ' '); }
std::string Rechts(const std::string& t, size_t breite) { return std::string(breite - t.size(), ' ') + t; }

// Writes a table of float columns through the program's table layer.
bool SchreibeFloats(const std::string& pfad, const std::vector<float>& werte, std::string& fehler) {
  auto t = DbfTabelle::Erzeugen(pfad, {{"Wert", Feldtyp::Gleitkomma, 0}}, fehler);
  if (!t) return false;
  for (float w : werte) {
    int s = t->Anhaengen();
    if (s < 0 || !t->SchreibeZahl(s, 0, w)) return false;
  }
  return t->Schliessen(fehler);
}

std::vector<float> Zufallsfloats(int anzahl) {
  std::mt19937 zufall(20240611);
  std::uniform_real_distribution<double> exponent(-10.0, 5.0);
  std::vector<float> werte;
  for (int i = 0; i < anzahl; ++i) {
    float w = static_cast<float>(std::pow(10.0, exponent(zufall)));
    werte.push_back(i % 2 == 0 ? w : -w);
  }
  // The extremes a float can hold, and values that look round in decimal.
  for (float w : {0.0f, -0.0f, 1e5f, -1e5f, 1e-10f, 0.4f, 0.1f, 1.2345678e-8f, 8760.0f, -999.0f,
                  FLT_MIN, FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, 16777217.0f, 3.4028e38f})
    werte.push_back(w);
  return werte;
}

void PruefeRundreise(const std::string& pfad) {
  const std::vector<float> werte = Zufallsfloats(10000);
  std::string fehler;
  ASSERT_TRUE(SchreibeFloats(pfad, werte, fehler)) << fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Datensaetze(), static_cast<int>(werte.size()));
  int abweichungen = 0;
  for (int i = 0; i < t->Datensaetze(); ++i) {
    auto v = t->LiesZahl(i, 0);
    ASSERT_TRUE(v.has_value()) << "Satz " << i;
    float zurueck = static_cast<float>(*v);
    if (std::memcmp(&zurueck, &werte[i], sizeof zurueck) != 0) {
      if (++abweichungen < 10) ADD_FAILURE() << werte[i] << " kam als " << zurueck << " zurück";
    }
  }
  EXPECT_EQ(abweichungen, 0);
}

// ---- Numbers -----------------------------------------------------------------

TEST(DbfTabelle, EinfacheGenauigkeitKommtBitgenauZurueck) {
  Testverzeichnis v;
  PruefeRundreise(v.Datei("zahlen.dbf"));
}

// Under a German locale printf writes "0,4" and atof stops at the '.'; the
// table must look and read the same as under "C".
TEST(DbfTabelle, DeutschesGebietsschemaAendertNichts) {
  const std::string vorher = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 fehlt";
  Testverzeichnis v;
  PruefeRundreise(v.Datei("zahlen.dbf"));

  std::string fehler;
  ASSERT_TRUE(SchreibeFloats(v.Datei("klein.dbf"), {0.4f, -2.5f}, fehler)) << fehler;
  const std::string bytes = Dateiinhalt(v.Datei("klein.dbf"));
  EXPECT_NE(bytes.find(Rechts("0.4", 20)), std::string::npos);
  EXPECT_NE(bytes.find(Rechts("-2.5", 20)), std::string::npos);
  EXPECT_EQ(bytes.find(','), std::string::npos);
  std::setlocale(LC_NUMERIC, vorher.c_str());
}

TEST(DbfTabelle, ZahlenStehenRechtsbuendigImStandardfeld) {
  Testverzeichnis v;
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(v.Datei("t.dbf"),
                                {{"Tag", Feldtyp::Ganzzahl, 0}, {"T_ein", Feldtyp::Gleitkomma, 0}}, fehler);
  ASSERT_TRUE(t) << fehler;
  int s = t->Anhaengen();
  ASSERT_EQ(s, 0);
  EXPECT_TRUE(t->SchreibeGanzzahl(s, 0, -2147483648LL));
  EXPECT_TRUE(t->SchreibeZahl(s, 1, 1.2345678e-8f));
  EXPECT_FALSE(t->SchreibeGanzzahl(s, 0, 100000000000LL)) << "12 Stellen passen nicht in 11";
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;

  const std::string bytes = Dateiinhalt(v.Datei("t.dbf"));
  // Header: N(11,0) and N(20,10), as every xBase reader knows them.
  EXPECT_EQ(bytes[32 + 11], 'N');
  EXPECT_EQ(bytes[32 + 16], 11);
  EXPECT_EQ(bytes[32 + 17], 0);
  EXPECT_EQ(bytes[64 + 11], 'N');
  EXPECT_EQ(bytes[64 + 16], 20);
  EXPECT_EQ(bytes[64 + 17], 10);
  const size_t satz = 32 + 64 + 1;
  EXPECT_EQ(bytes.substr(satz, 1 + 11 + 20), " -2147483648" + Rechts("0.000000012345678", 20));
}

TEST(DbfTabelle, NaNBleibtLeer) {
  Testverzeichnis v;
  std::string fehler;
  ASSERT_TRUE(SchreibeFloats(v.Datei("n.dbf"), {std::nanf(""), 1.0f}, fehler)) << fehler;
  auto t = DbfTabelle::Oeffnen(v.Datei("n.dbf"), fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_TRUE(t->IstLeer(0, 0));
  EXPECT_FALSE(t->LiesZahl(0, 0).has_value());
  EXPECT_FALSE(t->IstLeer(1, 0));
}

TEST(DbfTabelle, ZahlenAusFremdenTabellen) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("fremd.dbf");
  // N(8,2) with a decimal comma (written under a German locale), a blank,
  // text, a tie, and a number in a text field.
  SchreibeDatei(pfad, BaueTabelle(0x03, {{"WERT", 'N', 8, 2}, {"TEXT", 'C', 6}},
                                  {Rechts("0,40", 8) + Links("2.5", 6), Rechts("", 8) + Links("x", 6),
                                   Rechts("abc", 8) + Links("-3.5", 6), Rechts("12.75", 8) + Links("", 6)}));
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Datensaetze(), 4);
  EXPECT_EQ(t->LiesZahl(0, 0), 0.4);
  EXPECT_EQ(t->LiesZahl(0, 1), 2.5);
  EXPECT_EQ(t->LiesGanzzahl(0, 1), 2) << "halbe Werte zur geraden Zahl";
  EXPECT_TRUE(t->IstLeer(1, 0));
  EXPECT_FALSE(t->LiesZahl(1, 0).has_value());
  EXPECT_FALSE(t->LiesGanzzahl(1, 1).has_value());
  EXPECT_FALSE(t->LiesZahl(2, 0).has_value());
  EXPECT_EQ(t->LiesGanzzahl(2, 1), -4);
  EXPECT_EQ(t->LiesGanzzahl(3, 0), 13);
  EXPECT_TRUE(t->IstLeer(3, 1));
  // Outside the table: nothing, never a crash.
  EXPECT_FALSE(t->LiesZahl(4, 0).has_value());
  EXPECT_FALSE(t->LiesZahl(0, 2).has_value());
  EXPECT_EQ(t->LiesText(-1, 0), "");
  EXPECT_FALSE(t->SchreibeZahl(0, 0, 1.0f)) << "nur zum Lesen geöffnet";
}

// Too narrow for the exact text: rounded to the declared decimals, or refused.
TEST(DbfTabelle, SchmaleFelderRundenAufIhreDezimalen) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("schmal.dbf");
  SchreibeDatei(pfad, BaueTabelle(0x03, {{"WERT", 'N', 6, 2}}, {Rechts("1.00", 6)}));
  std::string fehler;
  auto t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_FALSE(t->SchreibeZahl(0, 0, 1234567.0f)) << "sieben Ziffern passen nicht in sechs";
  EXPECT_TRUE(t->SchreibeZahl(0, 0, 3.14159265f));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  auto r = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(r) << fehler;
  EXPECT_EQ(r->LiesZahl(0, 0), 3.14);
}

// ---- Names and texts in Windows-1252 -------------------------------------------

TEST(DbfTabelle, NamenUndTexteInWindows1252) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("kanal.ewt.db");
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, {{"Überbaut", Feldtyp::Ganzzahl, 0}, {"Anmerkung", Feldtyp::Text, 40}},
                                fehler);
  ASSERT_TRUE(t) << fehler;
  for (const char* text : {"ä ü ß €", "Ελλάδα", "  eingerückt", "Straße\xff"}) {
    int s = t->Anhaengen();
    ASSERT_TRUE(t->SchreibeText(s, 1, text));
    ASSERT_TRUE(t->SchreibeGanzzahl(s, 0, s));
  }
  int s = t->Anhaengen();
  ASSERT_TRUE(t->SchreibeText(s, 1, std::string(50, 'x')));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;

  const std::string bytes = Dateiinhalt(pfad);
  EXPECT_EQ(bytes.substr(32, 9), std::string("\xDC" "berbaut\0", 9)) << "8 Bytes, Ü als 0xDC";
  EXPECT_NE(bytes.find("\xE4 \xFC \xDF \x80"), std::string::npos);

  auto r = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(r) << fehler;
  EXPECT_EQ(r->Feldname(0), "Überbaut");
  EXPECT_EQ(r->Feldname(1), "Anmerkung");
  EXPECT_EQ(r->LiesText(0, 1), "ä ü ß €");
  EXPECT_EQ(r->LiesText(1, 1), "??????") << "kein Windows-1252-Zeichen: je ein ?";
  EXPECT_EQ(r->LiesText(2, 1), "  eingerückt");
  EXPECT_EQ(r->LiesText(3, 1), "Straße?") << "ungültiges UTF-8 wird zu ?";
  EXPECT_EQ(r->LiesText(4, 1), std::string(40, 'x')) << "auf die Feldbreite gekürzt";
  EXPECT_EQ(r->LiesGanzzahl(3, 0), 3);
}

TEST(DbfTabelle, LangeNamenWerdenEindeutigGekuerzt) {
  Testverzeichnis v;
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(v.Datei("n.dbf"),
                                {{"StartBodenfeuchte", Feldtyp::Gleitkomma, 0},
                                 {"Temperatur_aussen", Feldtyp::Gleitkomma, 0},
                                 {"Temperatur_innen", Feldtyp::Gleitkomma, 0},
                                 {"TEMPERATUR", Feldtyp::Gleitkomma, 0},
                                 {"Tag", Feldtyp::Ganzzahl, 0},
                                 {"tag", Feldtyp::Ganzzahl, 0},
                                 {"Überbauter_Anteil", Feldtyp::Ganzzahl, 0},
                                 {"", Feldtyp::Text, 5}},
                                fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  auto r = DbfTabelle::Oeffnen(v.Datei("n.dbf"), fehler);
  ASSERT_TRUE(r) << fehler;
  ASSERT_EQ(r->Felder(), 8);
  EXPECT_EQ(r->Datensaetze(), 0);
  const std::vector<std::string> erwartet = {"StartBoden", "Temperatur", "Temperatu1", "TEMPERATU2",
                                             "Tag",        "tag1",       "Überbauter", "FELD8"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(r->Feldname(i), erwartet[i]) << i;
}

TEST(DbfTabelle, KopfDatumSprachtreiberUndCodeseite) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Erdkanal.ewt.db");
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, {{"Index", Feldtyp::Ganzzahl, 0}}, fehler);
  ASSERT_TRUE(t) << fehler;
  t->SchreibeGanzzahl(t->Anhaengen(), 0, 7);
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;

  // The name stays as given (no ".dbf" appended) and the code page file sits beside it.
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"Erdkanal.ewt.cpg", "Erdkanal.ewt.db"}));
  EXPECT_EQ(Dateiinhalt(v.Datei("Erdkanal.ewt.cpg")), "1252");
  const std::string bytes = Dateiinhalt(pfad);
  std::time_t jetzt = std::time(nullptr);
  std::tm heute{};
  localtime_r(&jetzt, &heute);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x03);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), heute.tm_year);
  EXPECT_EQ(static_cast<unsigned char>(bytes[2]), heute.tm_mon + 1);
  EXPECT_EQ(static_cast<unsigned char>(bytes[3]), heute.tm_mday);
  EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x57) << "Sprachtreiber Windows-1252";
  EXPECT_EQ(bytes.back(), '\x1A');
}

// ---- Visual FoxPro binary fields -------------------------------------------------

std::string FoxProTabelle() {
  // NAME C(6), ANZ I(4), WERT B(8, 2 decimals), GELD Y(8), and the hidden null flags.
  return BaueTabelle(0x30,
                     {{"NAME", 'C', 6}, {"ANZ", 'I', 4}, {"WERT", 'B', 8, 2}, {"GELD", 'Y', 8},
                      {"_NullFlags", '0', 1}},
                     {Links("Nord", 6) + LE32(42) + LE64(0.4000000059604645) + std::string("\x10\x27\0\0\0\0\0\0", 8) + '\0',
                      Links("S\xFC" "d", 6) + LE32(-3) + LE64(1.2345678257474901e-08) +
                          std::string("\xF0\xD8\xFF\xFF\xFF\xFF\xFF\xFF", 8) + '\0'});
}

TEST(DbfTabelle, FoxProBinaerfelderWerdenGelesen) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("fox.dbf");
  SchreibeDatei(pfad, FoxProTabelle());
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Felder(), 4) << "die Null-Markierungen sind kein Datenfeld";
  ASSERT_EQ(t->Datensaetze(), 2);
  EXPECT_EQ(t->LiesText(0, 0), "Nord");
  EXPECT_EQ(t->LiesText(1, 0), "Süd");
  EXPECT_EQ(t->LiesGanzzahl(0, 1), 42);
  EXPECT_EQ(t->LiesGanzzahl(1, 1), -3);
  EXPECT_EQ(t->LiesZahl(1, 1), -3.0);
  EXPECT_EQ(t->LiesZahl(0, 2), 0.4000000059604645);
  EXPECT_EQ(t->LiesZahl(1, 2), 1.2345678257474901e-08);
  EXPECT_EQ(static_cast<float>(*t->LiesZahl(0, 2)), 0.4f);
  EXPECT_EQ(t->LiesZahl(0, 3), 1.0) << "Währung: 10000 Zehntausendstel";
  EXPECT_EQ(t->LiesZahl(1, 3), -1.0);
  EXPECT_FALSE(t->IstLeer(0, 2));
  EXPECT_EQ(t->LiesText(0, 1), "42");
}

TEST(DbfTabelle, FoxProBinaerfelderWerdenGeschrieben) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("fox.dbf");
  SchreibeDatei(pfad, FoxProTabelle());
  std::string fehler;
  auto t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_TRUE(t->SchreibeGanzzahl(1, 1, 8760));
  EXPECT_TRUE(t->SchreibeZahl(1, 2, -999.0f));
  EXPECT_FALSE(t->SchreibeGanzzahl(1, 1, 1LL << 40)) << "passt nicht in 32 Bit";
  int neu = t->Anhaengen();
  ASSERT_EQ(neu, 2);
  EXPECT_TRUE(t->SchreibeText(neu, 0, "Ost"));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;

  auto r = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(r) << fehler;
  ASSERT_EQ(r->Datensaetze(), 3);
  EXPECT_EQ(r->LiesGanzzahl(1, 1), 8760);
  EXPECT_EQ(r->LiesZahl(1, 2), -999.0);
  EXPECT_EQ(r->LiesZahl(0, 2), 0.4000000059604645) << "der andere Satz bleibt";
  EXPECT_EQ(r->LiesText(1, 0), "Süd");
  EXPECT_EQ(r->LiesGanzzahl(2, 1), 0) << "ein neuer Satz beginnt mit 0, nicht mit Leerzeichen";
  EXPECT_EQ(r->LiesText(2, 0), "Ost");
}

TEST(DbfTabelle, UnlesbareFeldtypenWerdenAbgelehnt) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("memo.dbf");
  SchreibeDatei(pfad, BaueTabelle(0x83, {{"WERT", 'N', 5}, {"NOTIZ", 'M', 10}},
                                  {Rechts("1", 5) + Rechts("1", 10)}));
  std::string fehler;
  EXPECT_FALSE(DbfTabelle::Oeffnen(pfad, fehler));
  EXPECT_EQ(fehler, "Die Tabelle \"" + pfad +
                        "\" kann nicht geöffnet werden: das Feld \"NOTIZ\" hat den Typ Memo (M), den "
                        "dieses Programm nicht lesen kann.");
  // dBASE 7 stores 'I' big-endian: not the FoxPro layout we decode.
  SchreibeDatei(pfad, BaueTabelle(0x04, {{"ANZ", 'I', 4}}, {LE32(1)}));
  EXPECT_FALSE(DbfTabelle::Oeffnen(pfad, fehler));
  EXPECT_NE(fehler.find("das Feld \"ANZ\" hat den Typ Binärzahl (I)"), std::string::npos) << fehler;
}

// ---- Hostile files -------------------------------------------------------------------

std::string GueltigeTabelle() {
  return BaueTabelle(0x03, {{"A", 'N', 5}, {"B", 'C', 3}},
                     {Rechts("1", 5) + "abc", Rechts("2", 5) + "def", Rechts("3", 5) + "ghi"});
}

TEST(DbfTabelle, KaputteKoepfeWerdenMitGrundAbgelehnt) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("kaputt.dbf");
  struct Fall {
    std::string inhalt;
    std::string grund;
  };
  std::string zuVieleSaetze = GueltigeTabelle();
  Lege32(zuVieleSaetze, 4, 1000);
  std::string falscheSatzlaenge = GueltigeTabelle();
  Lege16(falscheSatzlaenge, 10, 7);
  std::string ohneFelder = GueltigeTabelle();
  Lege16(ohneFelder, 8, 33);
  std::string abgeschnittenerKopf = GueltigeTabelle().substr(0, 50);
  std::string halberDeskriptor = GueltigeTabelle();
  Lege16(halberDeskriptor, 8, 80);  // second descriptor runs past the header
  halberDeskriptor[64] = 'X';
  std::string breiteNull = GueltigeTabelle();
  breiteNull[32 + 16] = 0;
  const std::vector<Fall> faelle = {
      {zuVieleSaetze, "der Tabellenkopf nennt 1000 Datensätze, die Datei enthält aber nur 3"},
      {falscheSatzlaenge, "die Satzlänge im Tabellenkopf (7) passt nicht zu den Feldern (9)"},
      {ohneFelder, "die Tabelle enthält keine Felder"},
      {abgeschnittenerKopf, "der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten)"},
      {halberDeskriptor, "die Feldbeschreibungen im Tabellenkopf sind unvollständig"},
      {breiteNull, "das Feld Nr. 1 hat die Breite 0"},
      {"abc", "die Datei ist zu kurz für eine dBASE-Tabelle"},
      {"Tag;T_Luft;rFeuchte\n1;2;3\n" + std::string(40, ' '), "die Datei ist keine dBASE-Tabelle"},
  };
  for (const Fall& f : faelle) {
    SchreibeDatei(pfad, f.inhalt);
    std::string fehler;
    EXPECT_FALSE(DbfTabelle::Oeffnen(pfad, fehler)) << f.grund;
    EXPECT_EQ(fehler, "Die Tabelle \"" + pfad + "\" kann nicht geöffnet werden: " + f.grund + ".");
    EXPECT_FALSE(DbfTabelle::Aendern(pfad, fehler)) << f.grund;
  }
  std::string fehler;
  EXPECT_FALSE(DbfTabelle::Oeffnen(v.Datei("fehlt.dbf"), fehler));
  EXPECT_EQ(fehler, "Die Tabelle \"" + v.Datei("fehlt.dbf") +
                        "\" kann nicht geöffnet werden: Datei oder Verzeichnis nicht vorhanden.");
  EXPECT_FALSE(DbfTabelle::Oeffnen(v.Pfad(), fehler));
  EXPECT_NE(fehler.find("der Pfad ist ein Verzeichnis"), std::string::npos);
  // A refused update leaves no temporary file behind.
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"kaputt.dbf"});
}

// Every single-byte corruption of the header is either refused with a
// message or read without harm.
TEST(DbfTabelle, VerstuemmelteKoepfeStuerzenNieAb) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("x.dbf");
  const std::string gut = GueltigeTabelle();
  const size_t kopf = 32 + 2 * 32 + 1;
  int abgelehnt = 0;
  for (size_t pos = 0; pos < kopf; ++pos) {
    for (int wert : {0x00, 0x01, 0x0D, 0x20, 0x7F, 0xFF}) {
      std::string b = gut;
      b[pos] = static_cast<char>(wert);
      SchreibeDatei(pfad, b);
      std::string fehler;
      auto t = DbfTabelle::Oeffnen(pfad, fehler);
      if (!t) {
        ++abgelehnt;
        EXPECT_EQ(fehler.rfind("Die Tabelle \"" + pfad + "\" kann nicht geöffnet werden: ", 0), 0u) << fehler;
        continue;
      }
      for (int s = 0; s < t->Datensaetze(); ++s)
        for (int f = 0; f < t->Felder(); ++f) {
          (void)t->LiesZahl(s, f);
          (void)t->LiesText(s, f);
          (void)t->LiesGanzzahl(s, f);
          (void)t->IstLeer(s, f);
        }
      EXPECT_TRUE(t->Schliessen(fehler));
    }
  }
  EXPECT_GT(abgelehnt, 0);
}

TEST(DbfTabelle, GeloeschteSaetzeZaehlenNicht) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("g.dbf");
  std::string b = GueltigeTabelle();
  b[32 + 64 + 1 + 9] = '*';  // deletion flag of the second record
  SchreibeDatei(pfad, b);
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Datensaetze(), 2);
  EXPECT_EQ(t->LiesText(0, 1), "abc");
  EXPECT_EQ(t->LiesText(1, 1), "ghi");
}

// ---- Saving never loses the previous file ---------------------------------------------

std::string AlteTabelleAnlegen(const Testverzeichnis& v, const std::string& name) {
  std::string fehler;
  EXPECT_TRUE(SchreibeFloats(v.Datei(name), {1.0f, 2.0f, 3.0f}, fehler)) << fehler;
  return Dateiinhalt(v.Datei(name));
}

TEST(DbfTabelle, AendernWirktErstBeimSchliessen) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("a.dbf");
  const std::string alt = AlteTabelleAnlegen(v, "a.dbf");
  ASSERT_EQ(::chmod(pfad.c_str(), 0640), 0);
  std::string fehler;
  auto t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_TRUE(t->SchreibeZahl(1, 0, -999.0f));
  EXPECT_EQ(Dateiinhalt(pfad), alt) << "noch nicht geschlossen";
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;

  auto r = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(r) << fehler;
  EXPECT_EQ(r->LiesZahl(0, 0), 1.0);
  EXPECT_EQ(r->LiesZahl(1, 0), -999.0);
  EXPECT_EQ(r->LiesZahl(2, 0), 3.0);
  struct stat st;
  ASSERT_EQ(::stat(pfad.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "die Rechte der alten Datei bleiben";
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"a.cpg", "a.dbf"}));
}

TEST(DbfTabelle, OhneSchliessenBleibtDieAlteDatei) {
  Testverzeichnis v;
  const std::string alt = AlteTabelleAnlegen(v, "a.dbf");
  std::string fehler;
  {
    auto t = DbfTabelle::Erzeugen(v.Datei("a.dbf"), {{"Neu", Feldtyp::Text, 10}}, fehler);
    ASSERT_TRUE(t) << fehler;
    t->SchreibeText(t->Anhaengen(), 0, "verworfen");
  }
  {
    auto t = DbfTabelle::Aendern(v.Datei("a.dbf"), fehler);
    ASSERT_TRUE(t) << fehler;
    t->SchreibeZahl(0, 0, 5.0f);
  }
  EXPECT_EQ(Dateiinhalt(v.Datei("a.dbf")), alt);
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"a.cpg", "a.dbf"}));
}

TEST(DbfTabelle, FehlerMittendrinLaesstDieAlteDateiUnveraendert) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("a.dbf");
  const std::string alt = AlteTabelleAnlegen(v, "a.dbf");
  const std::string erwartet = "Die Datei \"" + pfad +
                               "\" konnte nicht gespeichert werden: die Datei wird zu groß; die "
                               "bisherige Datei bleibt unverändert.";
  std::string fehler;
  {
    Dateigroessengrenze grenze(4096);
    auto t = DbfTabelle::Erzeugen(pfad, {{"Wert", Feldtyp::Gleitkomma, 0}}, fehler);
    ASSERT_TRUE(t) << fehler;
    for (int i = 0; i < 1000; ++i) t->SchreibeZahl(t->Anhaengen(), 0, static_cast<float>(i));
    EXPECT_FALSE(t->Schliessen(fehler));
  }
  EXPECT_EQ(fehler, erwartet);
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"a.cpg", "a.dbf"}));

  fehler.clear();
  {
    Dateigroessengrenze grenze(4096);
    auto t = DbfTabelle::Aendern(pfad, fehler);
    ASSERT_TRUE(t) << fehler;
    for (int i = 0; i < 1000; ++i) t->SchreibeZahl(t->Anhaengen(), 0, static_cast<float>(i));
    EXPECT_FALSE(t->Schliessen(fehler));
  }
  EXPECT_EQ(fehler, erwartet);
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"a.cpg", "a.dbf"}));
}

TEST(DbfTabelle, UnbeschreibbaresVerzeichnisLaesstDieAlteDateiUnveraendert) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("a.dbf");
  const std::string alt = AlteTabelleAnlegen(v, "a.dbf");
  std::string fehlerErzeugen, fehlerAendern;
  {
    GesperrtesVerzeichnis sperre(v.Pfad());
    if (!sperre.Gesperrt()) GTEST_SKIP() << "Verzeichnis lässt sich hier nicht sperren";
    EXPECT_FALSE(DbfTabelle::Erzeugen(pfad, {{"Wert", Feldtyp::Gleitkomma, 0}}, fehlerErzeugen));
    EXPECT_FALSE(DbfTabelle::Aendern(pfad, fehlerAendern));
  }
  const std::string erwartet = "Die Datei \"" + pfad +
                               "\" konnte nicht gespeichert werden: keine Zugriffsberechtigung; die "
                               "bisherige Datei bleibt unverändert.";
  EXPECT_EQ(fehlerErzeugen, erwartet);
  EXPECT_EQ(fehlerAendern, erwartet);
  EXPECT_EQ(Dateiinhalt(pfad), alt);
}

TEST(DbfTabelle, VerwerfenNenntDenErstenFehlerUndBehaeltDieAlteDatei) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("a.dbf");
  std::string fehler;
  auto neu = DbfTabelle::Erzeugen(v.Datei("neu.dbf"), {{"Tag", Feldtyp::Ganzzahl, 0}}, fehler);
  ASSERT_TRUE(neu) << fehler;
  const int s = neu->Anhaengen();
  EXPECT_FALSE(neu->SchreibeGanzzahl(s, 0, 100000000000LL));
  EXPECT_FALSE(neu->SchreibeText(s, 0, "zwölf"));
  EXPECT_EQ(neu->Verwerfen(), "Die Datei \"" + v.Datei("neu.dbf") +
                                  "\" konnte nicht gespeichert werden: der Wert 100000000000 passt nicht in das "
                                  "Feld \"Tag\".");

  const std::string alt = AlteTabelleAnlegen(v, "a.dbf");
  auto t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_TRUE(t->SchreibeZahl(0, 0, 7.0f));
  EXPECT_FALSE(t->SchreibeZahl(3, 0, 7.0f));
  EXPECT_EQ(t->Verwerfen(), "Die Datei \"" + pfad +
                                "\" konnte nicht gespeichert werden: Datensatz 4, Feld 1 gibt es nicht; die "
                                "bisherige Datei bleibt unverändert.");
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"a.cpg", "a.dbf"}));
}

TEST(DbfTabelle, SpeichernInFehlendesVerzeichnis) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("fehlt/a.dbf");
  std::string fehler;
  EXPECT_FALSE(DbfTabelle::Erzeugen(pfad, {{"Wert", Feldtyp::Gleitkomma, 0}}, fehler));
  EXPECT_EQ(fehler, "Die Datei \"" + pfad +
                        "\" konnte nicht gespeichert werden: Datei oder Verzeichnis nicht vorhanden.");
  EXPECT_FALSE(DbfTabelle::Erzeugen(v.Datei("b.dbf"), {}, fehler));
  EXPECT_EQ(fehler, "Die Datei \"" + v.Datei("b.dbf") +
                        "\" konnte nicht gespeichert werden: die Tabelle hat keine Felder.");
}

}  // namespace
}  // namespace terval
