// The xBase table layer: exact numbers in any locale, the bytes other
// programs expect, tables other programs wrote, Windows-1252, damaged
// headers, and saves that never lose the previous file.
#include "tables/DbfTabelle.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>
#include <random>

#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using namespace test;

void Lege(std::string& s, size_t pos, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[pos + i] = static_cast<char>(v >> (8 * i));
}
std::string LE(uint64_t v, int bytes) {
  std::string s(bytes, '\0');
  return Lege(s, 0, v, bytes), s;
}
std::string Rechts(const std::string& t, size_t breite) { return std::string(breite - t.size(), ' ') + t; }

// A table as another program writes it: fields (name, type, width,
// decimals) and record bodies without the deletion flag. FoxPro tables
// (0x30) carry the 263-byte backlink.
struct RohFeld {
  std::string name;
  char typ;
  int breite, dezimal = 0;
};
std::string BaueTabelle(uint8_t version, const std::vector<RohFeld>& felder, const std::vector<std::string>& saetze) {
  const size_t kopf = 33 + 32 * felder.size() + (version == 0x30 ? 263 : 0);
  std::string s(kopf, '\0');
  s[0] = static_cast<char>(version);
  Lege(s, 4, saetze.size(), 4);
  Lege(s, 8, kopf, 2);
  s[29] = version == 0x30 ? 0x03 : 0x57;
  unsigned versatz = 1;
  for (size_t i = 0; i < felder.size(); ++i) {
    s.replace(32 + 32 * i, felder[i].name.size(), felder[i].name);
    s[32 + 32 * i + 11] = felder[i].typ;
    Lege(s, 32 + 32 * i + 12, versatz, 4);
    s[32 + 32 * i + 16] = static_cast<char>(felder[i].breite);
    s[32 + 32 * i + 17] = static_cast<char>(felder[i].dezimal);
    versatz += felder[i].breite;
  }
  Lege(s, 10, versatz, 2);
  s[32 + 32 * felder.size()] = 0x0D;
  for (const std::string& satz : saetze) s += " " + satz;
  return s + "\x1A";
}

std::unique_ptr<DbfTabelle> Oeffne(const std::string& pfad) {
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  EXPECT_TRUE(t) << fehler;
  return t;
}

// Every float written comes back bit for bit, also where printf and strtod
// would use a decimal comma; the cells are right-aligned N(20,10), integers N(11,0).
TEST(DbfTabelle, ZahlenKommenBitgenauZurueckUndStehenWieUeblich) {
  std::mt19937 zufall(20240611);
  std::uniform_real_distribution<double> exponent(-10.0, 5.0);
  std::vector<float> werte = {0.0f, -0.0f, 1e5f, 1e-10f, 0.4f, 1.2345678e-8f, -999.0f, FLT_MIN, FLT_MAX, -FLT_MAX,
                              FLT_TRUE_MIN, 16777217.0f, 3.4028e38f};
  for (int i = 0; i < 3000; ++i) werte.push_back(static_cast<float>((i % 2 ? -1 : 1) * std::pow(10.0, exponent(zufall))));
  const std::string vorher = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* gebiet : {"C", "de_DE.UTF-8"}) {
    if (!std::setlocale(LC_NUMERIC, gebiet)) continue;
    SCOPED_TRACE(gebiet);
    Testverzeichnis v;
    std::string fehler;
    auto t = DbfTabelle::Erzeugen(v.Datei("z.dbf"), {{"Tag", Feldtyp::Ganzzahl}, {"T_ein"}}, fehler);
    for (float w : werte) EXPECT_TRUE(t->SchreibeZahl(t->Anhaengen(), 1, w));
    EXPECT_TRUE(t->SchreibeGanzzahl(0, 0, -2147483648LL));
    EXPECT_FALSE(t->SchreibeGanzzahl(1, 0, 100000000000LL)) << "12 Stellen passen nicht in 11";
    EXPECT_TRUE(t->SchreibeZahl(1, 1, std::nanf("")));
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
    const std::string b = Dateiinhalt(v.Datei("z.dbf"));
    EXPECT_EQ(b.substr(43, 1) + b.substr(48, 2) + b.substr(75, 1) + b.substr(80, 2), std::string("N\x0B\0N\x14\x0A", 6));
    EXPECT_EQ(b.substr(97, 32), " -2147483648" + Rechts("0.0", 20));
    EXPECT_NE(b.find(Rechts("0.4", 20) + " "), std::string::npos);
    EXPECT_EQ(b.find(','), std::string::npos);
    auto r = Oeffne(v.Datei("z.dbf"));
    ASSERT_EQ(r->Datensaetze(), static_cast<int>(werte.size()));
    EXPECT_TRUE(r->IstLeer(1, 1)) << "NaN bleibt leer";
    for (int i = 2; i < r->Datensaetze(); ++i) {
      const float zurueck = static_cast<float>(r->LiesZahl(i, 1).value_or(NAN));
      ASSERT_EQ(std::memcmp(&zurueck, &werte[i], 4), 0) << werte[i] << " kam als " << zurueck << " zurück";
    }
  }
  std::setlocale(LC_NUMERIC, vorher.c_str());
}

// Tables of other programs: decimal commas, blanks, numbers in text fields,
// halves to even, narrow fields, deleted records, FoxPro binary fields.
TEST(DbfTabelle, FremdeTabellenWerdenGelesenUndGeaendert) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("fremd.dbf");
  std::string fehler;
  std::string b = BaueTabelle(0x03, {{"WERT", 'N', 6, 2}, {"TEXT", 'C', 6}},
                              {"  0,402.5   ", "      x     ", "   abc-3.5  ", " 12.75      ", "  9.99weg   "});
  b[b.size() - 1 - 13] = '*';  // the last record is deleted
  SchreibeDatei(pfad, b);
  auto t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Datensaetze(), 4);
  EXPECT_EQ(t->LiesZahl(0, 0), 0.4);
  EXPECT_EQ(t->LiesZahl(0, 1), 2.5);
  EXPECT_EQ(t->LiesGanzzahl(0, 1), 2) << "halbe Werte zur geraden Zahl";
  EXPECT_TRUE(t->IstLeer(1, 0));
  EXPECT_FALSE(t->LiesZahl(1, 0) || t->LiesGanzzahl(1, 1) || t->LiesZahl(2, 0) || t->LiesZahl(4, 0) || t->LiesZahl(0, 2));
  EXPECT_EQ(t->LiesGanzzahl(2, 1), -4);
  EXPECT_EQ(t->LiesGanzzahl(3, 0), 13);
  EXPECT_EQ(t->LiesText(-1, 0), "");
  EXPECT_FALSE(t->SchreibeZahl(0, 0, 1234567.0f)) << "sieben Ziffern passen nicht in sechs";
  EXPECT_TRUE(t->SchreibeZahl(0, 0, 3.14159265f));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(Oeffne(pfad)->LiesZahl(0, 0), 3.14) << "auf die Dezimalen des Feldes gerundet";
  EXPECT_FALSE(Oeffne(pfad)->SchreibeZahl(0, 0, 1.0f)) << "nur zum Lesen geöffnet";

  // NAME C(6), ANZ I(4), WERT B(8, 2 decimals), GELD Y(8), and the hidden null flags.
  SchreibeDatei(pfad, BaueTabelle(0x30, {{"NAME", 'C', 6}, {"ANZ", 'I', 4}, {"WERT", 'B', 8, 2}, {"GELD", 'Y', 8}, {"_NullFlags", '0', 1}},
                                  {"Nord  " + LE(42, 4) + LE(0x3FD99999A0000000, 8) + LE(10000, 8) + '\0',
                                   "S\xFC" "d   " + LE(-3, 4) + LE(0x3E4A831BC0000000, 8) + LE(-10000, 8) + '\0'}));
  t = DbfTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Felder(), 4) << "die Null-Markierungen sind kein Datenfeld";
  EXPECT_EQ(t->LiesText(1, 0), "Süd");
  EXPECT_EQ(t->LiesGanzzahl(1, 1), -3);
  EXPECT_EQ(t->LiesText(0, 1), "42");
  EXPECT_EQ(static_cast<float>(*t->LiesZahl(0, 2)), 0.4f);
  EXPECT_EQ(t->LiesZahl(1, 2), 1.2345678257474901e-08);
  EXPECT_EQ(t->LiesZahl(0, 3), 1.0) << "Währung: 10000 Zehntausendstel";
  EXPECT_EQ(t->LiesZahl(1, 3), -1.0);
  EXPECT_TRUE(t->SchreibeGanzzahl(1, 1, 8760));
  EXPECT_TRUE(t->SchreibeZahl(1, 2, -999.0f));
  EXPECT_FALSE(t->SchreibeGanzzahl(1, 1, 1LL << 40)) << "passt nicht in 32 Bit";
  EXPECT_TRUE(t->SchreibeText(t->Anhaengen(), 0, "Ost"));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  auto r = Oeffne(pfad);
  EXPECT_EQ(r->LiesGanzzahl(1, 1), 8760);
  EXPECT_EQ(r->LiesZahl(1, 2), -999.0);
  EXPECT_EQ(r->LiesZahl(0, 2), 0.4000000059604645) << "der andere Satz bleibt";
  EXPECT_EQ(r->LiesGanzzahl(2, 1), 0) << "ein neuer Satz beginnt mit 0, nicht mit Leerzeichen";
}

// Names and texts in Windows-1252, names cut to ten bytes and made unique,
// the header's date and language driver, the code page file beside the table.
TEST(DbfTabelle, NamenTexteUndKopf) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Erdkanal.ewt.db");
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, {{"Überbauter_Anteil", Feldtyp::Ganzzahl}, {"Anmerkung", Feldtyp::Text, 12}, {"Temperatur_aussen"},
                                       {"Temperatur_innen"}, {"TEMPERATUR"}, {"tag"}, {"Tag"}, {"", Feldtyp::Text, 5}},
                                fehler);
  ASSERT_TRUE(t) << fehler;
  for (const char* text : {"ä ü ß €", "Ελλάδα", "  eingerückt", "Straße\xff", "zwölf Zeichen zu viel"}) {
    const int s = t->Anhaengen();
    EXPECT_TRUE(t->SchreibeText(s, 1, text) && t->SchreibeGanzzahl(s, 0, s));
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"Erdkanal.ewt.cpg", "Erdkanal.ewt.db"}));
  EXPECT_EQ(Dateiinhalt(v.Datei("Erdkanal.ewt.cpg")), "1252");
  const std::string b = Dateiinhalt(pfad);
  const std::time_t jetzt = std::time(nullptr);
  std::tm heute{};
  localtime_r(&jetzt, &heute);
  const std::string datum = {3, static_cast<char>(heute.tm_year), static_cast<char>(heute.tm_mon + 1),
                             static_cast<char>(heute.tm_mday)};
  EXPECT_EQ(b.substr(0, 4), datum);
  EXPECT_EQ(b[29], 0x57) << "Sprachtreiber Windows-1252";
  EXPECT_EQ(b.substr(32, 11), std::string("\xDC" "berbauter\0", 11));
  EXPECT_NE(b.find("\xE4 \xFC \xDF \x80"), std::string::npos);
  auto r = Oeffne(pfad);
  const std::vector<std::string> namen = {"Überbauter", "Anmerkung", "Temperatur", "Temperatu1", "TEMPERATU2", "tag", "Tag1", "FELD8"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(r->Feldname(i), namen[i]);
  const std::vector<std::string> texte = {"ä ü ß €", "??????", "  eingerückt", "Straße?", "zwölf Zeiche"};
  for (int s = 0; s < 5; ++s) EXPECT_EQ(r->LiesText(s, 1), texte[s]);
  EXPECT_EQ(r->LiesGanzzahl(3, 0), 3);
  EXPECT_EQ(UnterschiedZuDbfread(pfad).value_or(""), "");
}

// Every single-byte corruption of the header is either refused with a
// message or read without harm.
TEST(DbfTabelle, VerstuemmelteKoepfeStuerzenNieAb) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("x.dbf");
  const std::string gut = BaueTabelle(0x03, {{"A", 'N', 5}, {"B", 'C', 3}}, {"    1abc", "    2def", "    3ghi"});
  int abgelehnt = 0;
  for (size_t pos = 0; pos < 97; ++pos)
    for (char wert : {'\x00', '\x01', '\x0D', '\x20', '\x7F', '\xFF'}) {
      std::string b = gut;
      b[pos] = wert;
      SchreibeDatei(pfad, b);
      std::string fehler;
      auto t = DbfTabelle::Oeffnen(pfad, fehler);
      if (!t) {
        ++abgelehnt;
        EXPECT_EQ(fehler.rfind("Die Tabelle \"" + pfad + "\" kann nicht geöffnet werden: ", 0), 0u) << fehler;
        EXPECT_FALSE(DbfTabelle::Aendern(pfad, fehler));
        continue;
      }
      for (int s = 0; s < t->Datensaetze(); ++s)
        for (int f = 0; f < t->Felder(); ++f) (void)t->LiesZahl(s, f), (void)t->LiesText(s, f), (void)t->LiesGanzzahl(s, f);
      EXPECT_TRUE(t->Schliessen(fehler));
    }
  EXPECT_GE(abgelehnt, 78) << "so viele lehnen die Prüfungen heute ab; weniger heißt, eine fehlt";
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"x.dbf"}) << "kein Rest einer abgelehnten Änderung";
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
  {
    GesperrtesVerzeichnis sperre(v.Pfad());
    if (sperre.Gesperrt()) {
      EXPECT_FALSE(DbfTabelle::Aendern(pfad, fehler));
      pruefe("keine Zugriffsberechtigung; die bisherige Datei bleibt unverändert.");
    }
  }
  t = DbfTabelle::Aendern(pfad, fehler);
  EXPECT_TRUE(t->SchreibeZahl(1, 0, -999.0f));
  EXPECT_EQ(Dateiinhalt(pfad), alt) << "noch nicht geschlossen";
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(Oeffne(pfad)->LiesZahl(1, 0), -999.0);
  EXPECT_EQ(Oeffne(pfad)->LiesZahl(2, 0), 3.0);
  struct stat st {};
  EXPECT_TRUE(::stat(pfad.c_str(), &st) == 0 && (st.st_mode & 0777) == 0640) << "die Rechte der alten Datei bleiben";
  EXPECT_FALSE(DbfTabelle::Erzeugen(v.Datei("fehlt/a.dbf"), {{"Wert"}}, fehler));
  EXPECT_NE(fehler.find("konnte nicht gespeichert werden: Datei oder Verzeichnis nicht vorhanden."), std::string::npos);
  EXPECT_FALSE(DbfTabelle::Erzeugen(pfad, {}, fehler));
  EXPECT_NE(fehler.find("konnte nicht gespeichert werden: die Tabelle hat keine Felder"), std::string::npos) << fehler;
}

// A table shaped like the overall results, read by an independent reader.
TEST(DbfTabelle, DbfreadLiestGenauSo) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Terval Gesamtergebnis.dbf");
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, {{"Tag", Feldtyp::Ganzzahl}, {"T_ein"}, {"Überbaut", Feldtyp::Ganzzahl},
                                       {"Ort", Feldtyp::Text, 20}, {"Nieders"}}, fehler);
  std::mt19937 zufall(99);
  std::uniform_real_distribution<float> temperatur(-20.0f, 40.0f);
  for (int i = 0; i < 48; ++i) {
    const int s = t->Anhaengen();
    t->SchreibeGanzzahl(s, 0, i / 24 + 1);
    t->SchreibeZahl(s, 1, i ? temperatur(zufall) : 1.2345678e-8f);
    t->SchreibeGanzzahl(s, 2, i % 3);
    t->SchreibeText(s, 3, i % 2 ? "Gießen ä ü ß €" : "Aachen-Orsbach");
    if (i % 5) t->SchreibeZahl(s, 4, -999.0f);
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  const auto unterschied = UnterschiedZuDbfread(pfad);
  if (!unterschied) GTEST_SKIP() << "/usr/bin/python3 ohne dbfread";
  EXPECT_EQ(*unterschied, "");
}

}  // namespace
}  // namespace terval
