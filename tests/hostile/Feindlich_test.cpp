// Hostile inputs and interrupted work.
//
// The catalogue has one row per case: the file, how its bytes are spoilt, a
// piece of the one message the user must see, and what state follows. The
// file name tells the reader: *.ewt.db channel, *.loc.db location, SOILS.DAT
// soil table, *.px a Paradox table opened by the table layer itself,
// anything else a climate table of the format its extension names. Each row
// starts from a sound file of its kind; the fuzz findings
// (tests/data/hostile) replace it whole. A refused load leaves the model and
// every file as they were; a file that loads but cannot be simulated is
// refused at the run start, again changing neither; a repaired or accepted
// input runs to finite results. A new case is one more row.
//
// Interrupted work never costs a file: a run stopped after any segment and
// a save that fails midway (the disk "full" through a file-size limit) leave
// every existing file byte for byte as it was, and the next save works.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <map>

#include "channel/UshowKanaldaten.h"
#include "climate/DBKlima.h"
#include "core/Laufstart.h"
#include "location/klimaprofil.h"
#include "model/Vardef.h"
#include "output/DBErgout.h"
#include "output/Ergebnissatz.h"
#include "physics/getsoildata.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"
#include "tables/ParadoxTabelle.h"

namespace terval::test {

void PrintTo(const Nachricht& n, std::ostream* os) { *os << n.art << ": " << n.text; }

namespace {

std::string Quelle(const std::string& datei) { return std::string(TERVAL_QUELLVERZEICHNIS) + "/" + datei; }

// A model that passes every check of the run start: the shipped soil table,
// three segments of 1 m (a single pipe, a register of three beside a cellar,
// a single pipe under a building) and a mild climate year (annual wave) with
// a little rain.
std::unique_ptr<Modell> Lauffaehig() {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  EXPECT_TRUE(GetSoilData(*m, Quelle("data/SOILS.DAT")));
  m->Anz_Segmente = 3;
  for (int s = 1; s <= 3; ++s) m->Segmente[s] = Kanalsegment{.Anz_Rohre = 1, .Tiefe = 2.0f};
  m->Segmente[2] = Kanalsegment{.Anz_Rohre = 3, .Abst_Rohre = 0.3f, .Tiefe = 2.0f, .Abst_Geb_li = 4.0f, .Tief_Geb_li = 3.0f};
  m->Segmente[3].Überbaut = 1;
  m->Rohrdaten = {{"", "PE-HD d 200", "PE-HD d 160"}, {0, 0.1f, 0.08f}, {0, 0.0119f, 0.0095f}, {0, 0.4f, 0.4f}, 1.0f};
  m->Kanalbetrieb.Volstrom = 300;
  for (int h = 1; h <= Stunden; ++h) {
    m->Klima[h] = {.T_Luft = 9 - 8 * std::cos(h / 1400.0f), .rFeuchte = 80, .Wind = 2.5f, .Glob_Str = h % 24 > 8 ? 220.0f : 0,
                   .Wolken = 5, .Nieders = h % 40 ? 0 : 2.0f};
    m->Segmente[1].T_ein[h] = m->Klima[h].T_Luft;
  }
  m->KlimaGueltig = m->KlimaKomplett = m->TLuftKomplett = m->FeuchteKomplett = m->WindKomplett = true;
  m->StrahlungKomplett = m->NiederschlagKomplett = m->WolkenKomplett = true;
  return m;
}

// 64-bit FNV-1a over the bytes of values; a text counts with its end.
struct Summe {
  uint64_t h = 0xcbf29ce484222325ULL;
  void Roh(const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 0x100000001b3ULL;
  }
  void Teil(const std::string& s) { Roh(s.c_str(), s.size() + 1); }
  void Teil(const auto& v) { Roh(&v, sizeof v); }
  Summe& operator()(const auto&... v) { return (Teil(v), ...), *this; }
};

// One checksum per part of the model a loader may touch, so a difference
// names the part (no loader here reaches the pipe catalogue). What a refused
// run leaves is the core's to check.
std::map<std::string, uint64_t> Abbild(const Modell& m) {
  Summe kanal, boden;
  const TKanalbetrieb& b = m.Kanalbetrieb;
  kanal(m.Anz_Segmente, m.Kanaldatei, m.Rohrdaten.Seglaenge, b.Volstrom, b.Vol_Aus, b.Ein_Zeit, b.Aus_Zeit, b.Heiz_T,
        b.Kuehl_T, b.Betriebsart, b.Fuenftagebetrieb, b.VolStromAusKlima);
  for (const Kanalsegment& k : m.Segmente)
    kanal(k.Anz_Rohre, k.Abst_Rohre, k.Tiefe, k.Abst_Geb_li, k.Abst_Geb_re, k.Tief_Geb_li, k.Tief_Geb_re, k.Überbaut);
  for (int t = 1; t <= 2; ++t)
    kanal(m.Rohrdaten.Rohrname[t], m.Rohrdaten.Rohr_Ra[t], m.Rohrdaten.Rohr_Dicke[t], m.Rohrdaten.Rohr_wlf[t]);
  for (const TBodenDaten& d : m.Boeden)
    boden(d.Kuerzel, d.Klasse, d.ThetaSat, d.ThetaRef, d.Wert3, d.PsiSat, d.KSat, d.CBoden, d.B_Exponent, d.Wert8,
          d.BodenName);
  return {
      {"Kanal", kanal.h},
      {"Standort", Summe()(m.Bodenart, m.StartBodenfeuchte, m.Ortsname, m.Breitengrad, m.Laengengrad, m.Veg_Hoehe,
                           m.Veg_typ, m.Diff_Tdew, m.Truebung, m.Wg_mittel, m.Wg_Tag_Nacht, m.WG_Messhoehe, m.Wetter_,
                           m.Ns_, m.T_Keller, m.wlf_kellerwand, m.kellerwand_dicke, m.T_Fundament, m.Standortdatei,
                           m.Startverzeichnis).h},
      {"Boeden", boden(m.AnzBoeden).h},
      {"Klimajahr", Summe()(m.Klima, m.Segmente[1].T_ein, m.KlimaFeldzahl, m.TLuftKomplett, m.FeuchteKomplett,
                            m.WindKomplett, m.StrahlungKomplett, m.NiederschlagKomplett, m.KlimaKomplett).h},
      // A climate load sets the name first; a refused read clears KlimaGueltig.
      {"Klimatabelle", Summe()(m.DBKlimaName, m.KlimaDBOffen, m.KlimaGueltig).h},
  };
}

// Every part of the model except `ausser` is as before.
void ErwarteUnveraendert(const std::map<std::string, uint64_t>& vorher, const Modell& m, const std::string& ausser = "") {
  for (const auto& [teil, summe] : Abbild(m))
    EXPECT_TRUE(teil == ausser || summe == vorher.at(teil)) << "Modellteil \"" << teil << "\" wurde verändert";
}

// Name and checksum of every file directly in `verzeichnis` (0 for a directory).
std::map<std::string, uint64_t> Dateien(const std::string& verzeichnis) {
  std::map<std::string, uint64_t> d;
  for (const auto& e : std::filesystem::directory_iterator(verzeichnis))
    d[e.path().filename().string()] = e.is_regular_file() ? Summe()(Dateiinhalt(e.path().string())).h : 0;
  return d;
}

// No text file a run wrote holds NaN or infinity.
void ErwarteEndlicheErgebnisse(const std::string& verzeichnis) {
  for (const auto& e : std::filesystem::directory_iterator(verzeichnis)) {
    const std::string inhalt = e.is_regular_file() && e.path().extension() == ".TXT" ? Dateiinhalt(e.path()) : "";
    EXPECT_TRUE(inhalt.find("nan") == inhalt.npos && inhalt.find("inf") == inhalt.npos) << e.path();
  }
}

// ---- Ways to spoil a file: each takes the sound bytes and gives the hostile ones --------

using Aenderung = std::function<std::string(std::string)>;
const std::string Verzeichnis = "<ein Verzeichnis>", Fehlt = "<keine Datei>";

unsigned Lies16(const std::string& b, size_t pos) {
  return static_cast<unsigned char>(b[pos]) | static_cast<unsigned char>(b[pos + 1]) << 8;
}
// `v` little-endian in `bytes` bytes at `pos`.
Aenderung Wort(size_t pos, uint32_t v, int bytes = 2) {
  return [=](std::string b) {
    for (int i = 0; i < bytes; ++i) b[pos + i] = static_cast<char>(v >> (8 * i));
    return b;
  };
}
Aenderung Byte(size_t pos, char c) { return [=](std::string b) { return b[pos] = c, b; }; }
Aenderung Und(Aenderung a, Aenderung b) { return [=](std::string s) { return b(a(s)); }; }
Aenderung Inhalt(const std::string& neu) { return [=](std::string) { return neu; }; }
Aenderung Fund(const std::string& name) { return Inhalt(Dateiinhalt(Quelle("tests/data/hostile/" + name))); }
Aenderung Kuerze(size_t n) { return [=](std::string b) { return b.substr(0, n); }; }
Aenderung Ersetze(const std::string& alt, const std::string& neu) {
  return [=](std::string b) {
    for (size_t p = b.find(alt); p != b.npos; p = b.find(alt, p + neu.size())) b.replace(p, alt.size(), neu);
    return b;
  };
}

// Text files by line (0-based): a line replaced, a line put before line
// `nr`, the first `n` lines kept.
size_t Zeilenanfang(const std::string& b, int nr) {
  size_t p = 0;
  for (int i = 0; i < nr; ++i) p = b.find('\n', p) + 1;
  return p;
}
Aenderung Zeile(int nr, const std::string& t) {
  return [=](std::string b) { const size_t a = Zeilenanfang(b, nr); return b.replace(a, b.find('\n', a) - a, t); };
}
Aenderung Einfuegen(int nr, const std::string& t) { return [=](std::string b) { return b.insert(Zeilenanfang(b, nr), t + "\n"); }; }
Aenderung Zeilen(int n) { return [=](std::string b) { return b.substr(0, Zeilenanfang(b, n)); }; }

// xBase tables: header length at 8, record length at 10, count at 4, then
// 32-byte field descriptors (width at 16).
// Record `satz`, field `feld` (both 0-based) holds `text`, right-aligned.
Aenderung Zelle(int satz, int feld, const std::string& text) {
  return [=](std::string b) {
    size_t versatz = Lies16(b, 8) + satz * Lies16(b, 10) + 1;
    for (int f = 0; f < feld; ++f) versatz += static_cast<unsigned char>(b[32 + 32 * f + 16]);
    const size_t breite = static_cast<unsigned char>(b[32 + 32 * feld + 16]);
    return b.replace(versatz, breite, std::string(breite - text.size(), ' ') + text);
  };
}
// The file ends `rest` bytes into record `satz`; the header is unchanged, or
// says there are `satz` records.
Aenderung Schnitt(int satz, int rest) { return [=](std::string b) { return b.substr(0, Lies16(b, 8) + satz * Lies16(b, 10) + rest); }; }
Aenderung Saetze(int n) { return Und(Wort(4, n, 4), [=](std::string b) { return Schnitt(n, 0)(b) + "\x1A"; }); }
// Paradox: a 16-bit value `versatz` bytes into the first data block, or the
// file cut `n` bytes after the header.
Aenderung ImBlock(size_t versatz, uint32_t v) { return [=](std::string b) { return Wort(Lies16(b, 2) + versatz, v)(b); }; }
Aenderung NachDemKopf(size_t n) { return [=](std::string b) { return b.substr(0, Lies16(b, 2) + n); }; }

// ---- The sound files --------------------------------------------------------------------

// A climate year of the same hour over and over: air temperature, humidity,
// wind, radiation, precipitation, cloud.
const float Stundenwerte[] = {8.5f, 60, 2.5f, 180, 0, 4};
std::string TextJahr() {
  std::string s = "Nr;T_Luft;rFeuchte;Wind;Glob_Str;Nieders;Wolken\n";
  for (int i = 1; i <= Stunden; ++i) s += std::to_string(i) + ";8.5;60;2.5;180;0;4\n";
  return s;
}
// The 2011 layout of the test reference year: legend, name line, "***", hours.
std::string TryJahr() {
  std::string s = "Art des TRY       : mittleres Jahr\nRG TRY-Region      {1..15}\n\n"
                  "RG IS MM DD HH  N  WR   WG     t    p    x  RF    B    D    A    E IL\n***\n";
  for (int i = 0; i < Stunden; ++i)
    s += " 5  1  1  1  1 " + std::to_string(i % 9) + " 220  3.5 " + std::to_string(i % 20 - 5) +
         ".5 1013  4.5  70 100   50  300 -350  9\n";
  return s;
}
const std::string Bodenkopf = "Bodenarten zum Test\nKz  K ThSat  ThpF25 ThpF42 PsiS m KS 1e-6 C MJ   b      Ton    Name\n";
const std::string Lehm = "L   2  0.451  0.318  0.154 -0.478   6.950  2.000   5.39   0.18 Lehm\n";

// A table written by the table layer into a scratch directory, as bytes.
template <typename Tabelle>
std::string Geschrieben(const std::vector<Felddefinition>& felder, int saetze,
                        const std::function<void(Tabelle&, int)>& fuellen) {
  Testverzeichnis v;
  std::string fehler;
  auto t = Tabelle::Erzeugen(v.Datei("t"), felder, fehler);
  for (int s = 0; s < saetze; ++s) fuellen(*t, t->Anhaengen());
  EXPECT_TRUE(t->Schliessen(fehler)) << fehler;
  return Dateiinhalt(v.Datei("t"));
}

std::string Grundlage(const std::string& datei) {
  Testverzeichnis v;
  Aufzeichner still;
  // "luftweg.ewt.db": a channel with its air path columns (a filter of 40 Pa).
  if (datei == "luftweg.ewt.db") {
    auto m = Lauffaehig();
    m->Hydraulik.Filter_Pa = 40;
    return SpeichereKanaldatei(*m, still, v.Datei("k")), Dateiinhalt(v.Datei("k"));
  }
  if (datei.ends_with(".ewt.db")) return SpeichereKanaldatei(*Lauffaehig(), still, v.Datei("k")), Dateiinhalt(v.Datei("k"));
  if (datei.ends_with(".loc.db")) return SpeichereStandortdatei(*Lauffaehig(), still, v.Datei("s")), Dateiinhalt(v.Datei("s"));
  if (datei == "SOILS.DAT") return Bodenkopf + Lehm;
  if (datei.ends_with(".px"))
    return Geschrieben<ParadoxTabelle>({{"A", Feldtyp::Ganzzahl}}, 3, [](auto& t, int s) { t.SchreibeGanzzahl(s, 0, s); });
  if (datei.ends_with(".txt")) return TextJahr();
  if (datei.ends_with(".dat")) return TryJahr();
  if (datei.ends_with(".epw")) return Dateiinhalt(Quelle("data/15000_20220101_20230101_Aachen-Orsbach.epw"));
  return Geschrieben<DbfTabelle>({{"Nr"}, {"T"}, {"rF"}, {"W"}, {"G"}, {"N"}, {"B"}}, Stunden, [](auto& t, int s) {
    t.SchreibeGanzzahl(s, 0, s + 1);
    for (int k = 0; k < 6; ++k) t.SchreibeZahl(s, k + 1, Stundenwerte[k]);
  });
}

// Text as UTF-16 (Little Endian) with its byte-order mark.
Aenderung Utf16() { return [](std::string b) { std::string u = "\xFF\xFE"; for (char c : b) u += c, u += '\0'; return u; }; }
// EPW: the data lines turned so the year starts `tage` days later; line 9 (the first hour) twice.
Aenderung EpwAb(int tage) {
  return [=](std::string b) { const size_t a = Zeilenanfang(b, 8), m = Zeilenanfang(b, 8 + 24 * tage); return b.substr(0, a) + b.substr(m) + b.substr(a, m - a); };
}
Aenderung EpwErsteStundeDoppelt() { return [](std::string b) { const size_t a = Zeilenanfang(b, 8); return Einfuegen(9, b.substr(a, b.find('\n', a) - a))(b); }; }
// A climate dBASE table with the flow (300 m3/h) in column 7 and a memo field after it.
Aenderung MitMemoNachVolumenstrom() {
  return [](std::string) {
    std::vector<Felddefinition> felder = {{"Nr"}, {"T"}, {"rF"}, {"W"}, {"G"}, {"N"}, {"B"}, {"V"}, {"Notiz"}};
    std::string b = Geschrieben<DbfTabelle>(felder, Stunden, [](auto& t, int s) {
      for (int k = 0; k < 6; ++k) t.SchreibeZahl(s, k + 1, Stundenwerte[k]);
      t.SchreibeGanzzahl(s, 7, 300), t.SchreibeGanzzahl(s, 8, 0);
    });
    return b[32 + 32 * 8 + 11] = 'M', b;
  };
}

// ---- The catalogue ----------------------------------------------------------------------

enum Zustand {
  Abgelehnt,      // the load refuses the file: model and files unchanged
  LaufAbgelehnt,  // the load takes it silently; the run start refuses: model and files unchanged
  Gerechnet,      // taken (a notice allowed), the run completes with finite values, the file unchanged
  Geladen,        // taken with the one notice, not run; the file unchanged
};

// What stands at the file's path: the file itself, a FIFO (the bytes go
// nowhere), a symbolic link to the file beside it, or the file without
// write permission.
enum Pfadart { Gewoehnlich, Fifo, Verknuepfung, Schreibgeschuetzt };

struct Fall {
  const char* name;
  const char* datei;
  Aenderung eingabe;
  std::string meldung;  // a piece of the one message, as "Art: Text"; "" = no message at all
  Zustand zustand;
  int bodenart = 1;
  Pfadart art = Gewoehnlich;
};

const std::string NichtZuOeffnen = "Fehler: Die angebene Datenbank mit Klimadaten";
const std::string WenigerAlsEinJahr = "enthält weniger Daten als ein Jahr !\rDatei muß als Dantengrundlage abgeleht werden !";
const std::string Kennwort = "die Tabelle ist mit einem Kennwort verschlüsselt; bitte speichern Sie sie ohne Kennwort";

const std::vector<Fall>& Katalog() {
  static const std::vector<Fall> faelle = {
      // Broken xBase structure (channel file: records 0 operation, 1 pipes, 2.. segments; 10 fields).
      {"Kanal zu kurz", "k.ewt.db", Kuerze(20), "die Datei ist zu kurz für eine dBASE-Tabelle.", Abgelehnt},
      {"Kanalkopf abgeschnitten", "k.ewt.db", Kuerze(167), "der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten).", Abgelehnt},
      {"Kanal ohne Kopfende", "k.ewt.db", Byte(352, 'X'), "die Feldbeschreibungen im Tabellenkopf sind unvollständig.", Abgelehnt},
      {"Kanal im Satz abgeschnitten", "k.ewt.db", Schnitt(2, 50), "der Tabellenkopf nennt 5 Datensätze, die Datei enthält aber nur 2.", Abgelehnt},
      {"Kanal mit Million Sätzen", "k.ewt.db", Wort(4, 1000000, 4), "nennt 1000000 Datensätze, die Datei enthält aber nur 5.", Abgelehnt},
      {"Kanal mit falscher Satzlänge", "k.ewt.db", Wort(10, 174), "die Satzlänge im Tabellenkopf (174) passt nicht zu den Feldern (194).", Abgelehnt},
      {"Kanal ohne Felder", "k.ewt.db", Wort(8, 33), "die Tabelle enthält keine Felder.", Abgelehnt},
      {"Kanalfeld der Breite 0", "k.ewt.db", Byte(32 + 32 * 3 + 16, 0), "das Feld Nr. 4 hat die Breite 0.", Abgelehnt},
      // A dBASE 7 integer is a big-endian binary field: refused, not misread.
      {"Kanal mit dBASE-7-Ganzzahl", "k.ewt.db", Und(Byte(0, 4), Byte(43, 'I')), "das Feld \"Index\" hat den Typ Binärzahl (I), den dieses Programm nicht lesen kann.", Abgelehnt},
      {"Kanal mit Memofeld", "k.ewt.db", Byte(32 + 32 * 9 + 11, 'M'), "das Feld \"Anmerkung\" hat den Typ Memo (M)", Abgelehnt},
      {"Kanal als Text", "k.ewt.db", Inhalt("Index;Tiefe;Anz_Rohre\r\n1;2.0;1\r\n" + std::string(40, ' ')), "die Datei ist keine dBASE-Tabelle.", Abgelehnt},
      {"Kanal ist Verzeichnis", "k.ewt.db", Inhalt(Verzeichnis), "kann nicht geöffnet werden: der Pfad ist ein Verzeichnis.", Abgelehnt},
      {"Kanal fehlt", "k.ewt.db", Inhalt(Fehlt), "kann nicht geöffnet werden: Datei oder Verzeichnis nicht vorhanden.", Abgelehnt},
      // Cells that hold no number of their type refuse the load (they once read as 0).
      {"Kanal: Tiefe Sternchen", "k.ewt.db", Zelle(3, 1, std::string(20, '*')), "in Zeile 4, Spalte 2 (Tiefe) den ungültigen Wert \"********************\".\rDer Erdkanal wurde nicht geladen.", Abgelehnt},
      {"Kanal: Gebäudeabstand nan", "k.ewt.db", Zelle(3, 4, "nan"), "in Zeile 4, Spalte 5 (Abst_Geb_li) den ungültigen Wert \"nan\"", Abgelehnt},
      {"Kanal: Rohrradius inf", "k.ewt.db", Zelle(1, 1, "inf"), "in Zeile 2, Spalte 2 (Tiefe) den ungültigen Wert \"inf\"", Abgelehnt},
      {"Kanal: Segmentlänge 1e+39", "k.ewt.db", Zelle(0, 1, "1e+39"), "in Zeile 1, Spalte 2 (Tiefe) den ungültigen Wert \"1e+39\"", Abgelehnt},
      {"Kanal: Rohrzahl über 32 Bit", "k.ewt.db", Zelle(2, 2, "99999999999"), "in Zeile 3, Spalte 3 (Anz_Rohre) den ungültigen Wert \"99999999999\"", Abgelehnt},
      {"Kanal: Wirkungsgrad 0", "luftweg.ewt.db", Zelle(0, 17, "0"), "ungültige Angaben zum Luftweg: Der Wert 0 für \"Wirkungsgrad des Ventilators\" liegt nicht im Bereich 0.01 bis 1.", Abgelehnt},
      {"Kanal: Bögen kein Wert", "luftweg.ewt.db", Zelle(0, 12, "zwei"), "in Zeile 1, Spalte 13 (Boegen) den ungültigen Wert \"zwei\"", Abgelehnt},
      {"Kanal: Register-Rauhigkeit negativ", "luftweg.ewt.db", Zelle(1, 10, "-1"), "Rauhigkeit der Rohrwand (Register)\" liegt nicht im Bereich 0 bis 10 mm.", Abgelehnt},
      {"Kanal mit einer Zeile", "k.ewt.db", Saetze(1), "\" ist unvollständig: Sie braucht mindestens 2 Zeilen (Betriebsdaten und Rohrdaten), hat aber 1.", Abgelehnt},
      // Values the run start refuses, reached through the file (the rules themselves are the core's).
      {"Ausschaltzeit 25 Uhr", "k.ewt.db", Und(Zelle(0, 8, "1"), Zelle(0, 3, "25.0")), "Fehler: Die Ausschaltzeit 25 Uhr ist ungültig: Schaltzeiten liegen zwischen 0 und 23 Uhr !\rBitte ändern Sie im Erdkanaleditor unter \"Zeitsteuerung\" die Zeit \"Aus:\".", LaufAbgelehnt},
      // A blank cell is the table engine's 0: a segment at depth 0 loads and the grid check refuses it.
      {"Tiefe leer", "k.ewt.db", Zelle(2, 1, ""), "Die Rohre in Segment 1 liegen zu flach für dieses Modell !\rÜber den Rohren muss mindestens eine Bodenschicht bleiben. Vergrößern Sie die Tiefe der Rohrachse (derzeit 0.00 m).", LaufAbgelehnt},
      {"Segmentlänge 0", "k.ewt.db", Zelle(0, 1, "0"), "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !\rDer Erdkanal hat die Segmentlänge 0 m. Bitte ändern Sie die \"Länge eines Rohrsegments:\" unter \"Rohrdaten anzeigen/ bearbeiten...\" im Erdkanaleditor.", LaufAbgelehnt},
      {"Volumenstrom aus negativ", "k.ewt.db", Zelle(0, 4, "-100.0"), "Der Volumenstrom im \"Aus\"-Zustand darf nicht negativ sein (derzeit -100 m3/h) !\rBitte ändern Sie im Erdkanaleditor den \"Volumenstrom im \"Aus\"-Zustand:\".", LaufAbgelehnt},
      {"Wand dicker als Radius", "k.ewt.db", Zelle(1, 3, "0.2"), "Die Wanddicke des Rohrmaterials \"Hauptstrang\" (0.2 m) ist nicht kleiner als sein Außenradius (0.1 m): Das Rohr hätte keinen Hohlraum !\rBitte ändern Sie \"Innendurchmesser in mm:\" oder \"Dicke der Wandung in mm:\" unter \"Rohrdaten anzeigen/ bearbeiten...\" im Erdkanaleditor.", LaufAbgelehnt},
      // Zero pipes is the one input the run start repairs, in memory only.
      {"Null Rohre", "k.ewt.db", Zelle(4, 2, "0"), "Fehler: In Segment 3 wurde als Rohrzahl \"0\" eingegeben. Korrigiere auf \"1\"", Gerechnet},

      // Location files (one record of 41 fields: 1 Bodenart, 4/5 latitude/longitude,
      // 6 Veg_Hoehe, 7 Veg_typ, 12 WG_Messhoehe).
      {"Standort abgeschnitten", "s.loc.db", Schnitt(0, 60), "der Tabellenkopf nennt 1 Datensätze, die Datei enthält aber nur 0.", Abgelehnt},
      {"Standort ohne Datensatz", "s.loc.db", Saetze(0), "\" enthält keinen Datensatz.", Abgelehnt},
      {"Standort: Breite Sternchen", "s.loc.db", Zelle(0, 4, std::string(20, '*')), "(Breitengrad) den ungültigen Wert \"********************\"", Abgelehnt},
      {"Standort: Breite nan", "s.loc.db", Zelle(0, 4, "nan"), "enthält in Spalte 5 (Breitengrad) den ungültigen Wert \"nan\".\rDas Standortprofil wurde nicht geladen.", Abgelehnt},
      {"Standort: Länge -inf", "s.loc.db", Zelle(0, 5, "-inf"), "in Spalte 6 (Laengengrad) den ungültigen Wert \"-inf\"", Abgelehnt},
      {"Standort: Messhöhe 3.5e+38000", "s.loc.db", Zelle(0, 12, "3.5e+38000"), "in Spalte 13 (WG_Messhoehe) den ungültigen Wert \"3.5e+38000\"", Abgelehnt},
      {"Standort: Bodenart Text", "s.loc.db", Zelle(0, 1, "Lehm"), "in Spalte 2 (Bodenart) den ungültigen Wert \"Lehm\"", Abgelehnt},
      {"Standort: Bodenart über 32 Bit", "s.loc.db", Zelle(0, 1, "99999999999"), "in Spalte 2 (Bodenart) den ungültigen Wert \"99999999999\"", Abgelehnt},
      {"Bodenart 0", "s.loc.db", Zelle(0, 1, "0"), "Die Bodenart Nr. 0 des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 11 Bodenarten !\rBitte wählen Sie im Standortprofil unter \"Bodenart vor Ort:\" eine Bodenart aus.", LaufAbgelehnt},
      // Cut grass of 1 m displaces the wind profile above the 2 m of the measurement.
      {"Messhöhe unter der Vegetation", "s.loc.db", Und(Zelle(0, 6, "1.0"), Zelle(0, 7, "1")), "Die Messhöhe des Windes (2 m) liegt zu niedrig für die Vegetation des Standortes: Sie muß über der Verdrängungshöhe d = 2.43 m plus der Rauhigkeitslänge z0 = 0.98 m liegen, also über 3.41 m !\rBitte ändern Sie im Standortprofil die \"Messhöhe:\", die \"Mittlere Höhe Vegetation (m):\" oder den \"Vegetationstyp:\".", LaufAbgelehnt},
      // Dense tall grass of 1 cm: LAI = 1.5 ln 0.01 + 5.5 = -1.40776.
      {"Blattflächenindex negativ", "s.loc.db", Und(Zelle(0, 6, "0.01"), Zelle(0, 7, "3")), "Die Vegetation des Standortprofils ergibt keinen positiven Blattflächenindex (LAI = -1.4077553) !\rBei diesem Vegetationstyp muß die Höhe über 0.0256 m liegen.", LaufAbgelehnt},
      // Fuzz finding: a cellar wall of 1.7e13 W/(m2 K) made the wall network divide by zero (its absurd monthly rain put right).
      {"Fund: Kellerwand leitet unendlich", "s.loc.db", [](std::string b) { b = Fund("standort_kellerwand_leitet_unendlich.loc.db")(b); for (int k = 25; k <= 36; ++k) b = Zelle(0, k, "65")(b); return b; }, "Neben Segment 2 steht ein Gebäude, doch die Kellerwand ist für dieses Modell zu dünn oder leitet zu gut", LaufAbgelehnt},

      // Soil tables: what they cannot give is refused at the run start, naming the soil.
      {"Böden: kurze Zeile", "SOILS.DAT", Inhalt(Bodenkopf + Lehm + Lehm.substr(0, 20) + "\n"), "Die Bodenart \"L\" (Nr. 2 in SOILS.DAT) hat einen ungültigen Wert für PsiSat (Lufteintrittspotential): 0 (er muß kleiner als 0 sein) !\rBitte korrigieren Sie SOILS.DAT oder wählen Sie im Standortprofil eine andere Bodenart.", LaufAbgelehnt, 2},
      {"Böden ohne Datenzeile", "SOILS.DAT", Inhalt(Bodenkopf), "Die Bodenart Nr. 1 in SOILS.DAT hat einen ungültigen Wert für ThetaSat (Wassergehalt bei Sättigung): 0 (er muß größer als 0 sein) !", LaufAbgelehnt},
      {"Böden: 60 Zeilen, die 51. gewählt", "SOILS.DAT", [](std::string b) { for (int i = 1; i < 60; ++i) b += Lehm; return b; }, "Die Bodenart Nr. 51 des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 50 Bodenarten !", LaufAbgelehnt, 51},
      // Air-entry potential of -1 cm: lambda = 28.159 W/(m K), C = 2.8619e6 J/(m3 K), a = 9.84e-6 m2/s.
      {"Böden: instabiler Sand", "SOILS.DAT", Einfuegen(3, "S   1  0.395  0.176  0.067 -0.010 176.000  2.000   4.05   0.03 Sand"), "Die Bodenart \"Sand\" (Nr. 2 in SOILS.DAT) leitet die Wärme zu schnell für dieses Modell !\rIhre Temperaturleitfähigkeit erreicht 9.84 *10-6 m²/s, stabil rechnet das Modell nur bis 8.68 *10-6 m²/s.", LaufAbgelehnt, 2},
      {"Böden: Text als Porenanteil", "SOILS.DAT", Ersetze(" 0.451", "nasser"), "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für ThetaSat", LaufAbgelehnt},
      {"Böden sind Verzeichnis", "SOILS.DAT", Inhalt(Verzeichnis), "", Abgelehnt},
      // Fuzz finding: PsiSat 0 and b = -69 raised the water content to the power -135.
      {"Fund: Boden mit negativem b", "SOILS.DAT", Fund("SOILS_negatives_b.DAT"), "hat einen ungültigen Wert für PsiSat", LaufAbgelehnt},
      {"Fund: Boden mit negativem b, PsiSat gültig", "SOILS.DAT", Und(Fund("SOILS_negatives_b.DAT"), Ersetze("-0.0y0", "-0.100")), "hat einen ungültigen Wert für b (Porengrößenexponent): -69", LaufAbgelehnt},

      // Paradox tables: the fuzz findings hung or crashed the library; the block checks stop them.
      {"Fund: Datenblock hinter dem Dateiende", "t.px", Fund("paradox_block_hinter_dateiende.db"), "kann nicht geöffnet werden: der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten).", Abgelehnt},
      {"Fund: verdorbener Schlüssel", "t.px", Fund("paradox_falscher_schluessel.db"), Kennwort, Abgelehnt},
      {"Fund: mit Kennwort", "t.px", Fund("paradox_kennwort.db"), Kennwort, Abgelehnt},
      {"Fund: Zahlenfeld der Breite 0", "t.px", Fund("paradox_feldlaenge_null.db"), "das Feld Nr. 1 hat für seinen Typ die ungültige Länge 0.", Abgelehnt},
      {"Paradox: Kette zurück", "t.px", ImBlock(0, 1), "die Kette der Datenblöcke ist fehlerhaft.", Abgelehnt},
      {"Paradox: Block jenseits der Datei", "t.px", Wort(14, 7), "die Kette der Datenblöcke ist fehlerhaft.", Abgelehnt},
      {"Paradox: Blockversatz", "t.px", ImBlock(4, 5), "ein Datenblock ist fehlerhaft.", Abgelehnt},
      {"Paradox: Satzzahl", "t.px", Wort(6, 4, 4), "der Tabellenkopf nennt 4 Datensätze, die Datenblöcke enthalten aber 3.", Abgelehnt},
      {"Paradox: Kopf", "t.px", Byte(5, 0), "der Tabellenkopf ist fehlerhaft.", Abgelehnt},
      {"Paradox: Text statt Tabelle", "t.px", Inhalt(std::string(3000, 'x')), "der Tabellenkopf ist fehlerhaft.", Abgelehnt},
      {"Paradox fehlt", "t.px", Inhalt(Fehlt), "t.px kann nicht geöffnet werden: ", Abgelehnt},
      {"Paradox: Block abgeschnitten", "t.px", NachDemKopf(100), "ein Datenblock liegt hinter dem Dateiende (die Datei ist abgeschnitten).", Abgelehnt},

      // Climate tables. A refused table leaves the year in memory.
      {"Klima: dBASE halb", "klima.DBF", Schnitt(4380, 7), NichtZuOeffnen, Abgelehnt},
      {"Klima: dBASE mit 100 von 8760 Sätzen", "klima.DBF", Schnitt(100, 0), NichtZuOeffnen, Abgelehnt},
      // A cell that is no finite number is a missing value, which refuses the run.
      {"Klima: Feuchte Sternchen", "klima.DBF", Zelle(99, 2, std::string(20, '*')), "Fehler: Der aktuelle Klimadatensatz enthält noch fehlende Daten !", LaufAbgelehnt},
      {"Klima: Wind nan", "klima.DBF", Zelle(4999, 3, "nan"), "enthält noch fehlende Daten", LaufAbgelehnt},
      {"Klima: Strahlung -inf", "klima.DBF", Zelle(11, 4, "-inf"), "enthält noch fehlende Daten", LaufAbgelehnt},
      {"Klima: Temperatur 1e+39", "klima.DBF", Zelle(8759, 1, "1e+39"), "enthält noch fehlende Daten", LaufAbgelehnt},
      // An empty air temperature is 0 degC, as the table engine gives it.
      {"Klima: Temperatur leer", "klima.DBF", Zelle(2999, 1, ""), "", Gerechnet},
      {"Klima: Paradox mit Kennwort", "klima.DB", Fund("paradox_kennwort.db"), NichtZuOeffnen, Abgelehnt},
      {"Klima: Textzeile zu kurz", "klima.txt", Zeile(4, "4;8.75;63;2.5;0;0"), "kann nicht gelesen werden:\rZeile 5 hat 6 Spalten, die Kopfzeile hat 7.", Abgelehnt},
      {"Klima: Textzeile zu lang", "klima.txt", Zeile(8000, "8000;1;1;1;1;1;1;17"), "Zeile 8001 hat 8 Spalten, die Kopfzeile hat 7.", Abgelehnt},
      {"Klima: Dezimalkomma", "klima.txt", Zeile(2, "2;8,25;61;2.5;0;0;1"), "Zeile 3, Spalte 1 (Lufttemperatur) enthält \"8,25\".\rBitte verwenden Sie den Punkt als Dezimaltrennzeichen.", Abgelehnt},
      {"Klima: Feuchte mit Komma", "klima.txt", Zeile(3, "3;8.5;80,5;2.5;0;0;1"), "Zeile 4, Spalte 2 (relative Feuchte) enthält \"80,5\".", Abgelehnt},
      // A byte order mark and CR LF are read; writing back finds every value in place.
      {"Klima: BOM und CR LF", "klima.txt", Und(Ersetze("\n", "\r\n"), Ersetze("Nr;", "\xEF\xBB\xBFNr;")), "", Gerechnet},
      // Old Macintosh line ends make one line, so there is no hour at all; nor in bytes without a line end.
      {"Klima: nur CR", "klima.txt", Ersetze("\n", "\r"), WenigerAlsEinJahr, Abgelehnt},
      {"Klima: Text leer", "klima.txt", Inhalt(""), "Meldung: Datenbank ", Abgelehnt},
      {"Klima: 8759 Stunden", "klima.txt", Zeilen(Stunden), WenigerAlsEinJahr, Abgelehnt},
      {"Klima: Binärdaten", "klima.txt", Inhalt(std::string(4096, '\xA7')), WenigerAlsEinJahr, Abgelehnt},
      {"Klima: Verzeichnis", "klima.txt", Inhalt(Verzeichnis), NichtZuOeffnen, Abgelehnt},
      {"Klima: unbekannte Endung", "klima.csv", Inhalt(TextJahr()), NichtZuOeffnen, Abgelehnt},
      {"Klima: 8761 Stunden", "klima.txt", Einfuegen(Stunden + 1, "8761;1;80;2;0;0;1"), "enthält mehr Daten als ein Jahr !\rDatei wird akzeptiert, bitte Ergebnisse prüfen !", Gerechnet},
      {"Klima: drei Datenspalten", "klima.txt", [](std::string) {
         std::string s = "Nr T_Luft rFeuchte Wind\n";
         for (int i = 0; i < Stunden; ++i) s += std::to_string(i) + " 5.5 80 2\n";
         return s;
       }, "enthält nur 3 Datenfelder !\rBenötigt werden mindestens 4: Lufttemperatur, relative Feuchte, Windgeschwindigkeit und Globalstrahlung.", Abgelehnt},
      {"EPW: 100 Stunden", "klima.epw", Zeilen(108), WenigerAlsEinJahr, Abgelehnt},
      {"EPW: in der Zeile abgeschnitten", "klima.epw", Und(Zeilen(4008), Zeile(4007, "2022,6,16,8,0,?,17.7")), "Zeile 4008 hat 7 Felder; eine Datenzeile hat 35.", Abgelehnt},
      {"EPW: Müllzeile", "klima.epw", Einfuegen(2008, "Hier stand ein Kommentar"), "kann nicht gelesen werden:\rZeile 2009 hat 1 Felder; eine Datenzeile hat 35.", Abgelehnt},
      {"EPW: Temperatur nan", "klima.epw", Ersetze(",11.9,10.1,88.4,", ",nan,10.1,88.4,"), "kann nicht gelesen werden:\rZeile 9, Feld 7 enthält \"nan\", keine Zahl.", Abgelehnt},
      {"EPW ohne LOCATION", "klima.epw", Ersetze("LOCATION,", ""), "kann nicht gelesen werden:\rDie erste Zeile beginnt nicht mit LOCATION.", Abgelehnt},
      {"EPW mit Viertelstunden", "klima.epw", Ersetze("DATA PERIODS,1,1,", "DATA PERIODS,1,4,"), "Die Datei hat 4 Werte je Stunde; gelesen werden nur Stundenwerte.", Abgelehnt},
      {"TRY: 5000 Stunden", "klima.dat", Zeilen(5005), WenigerAlsEinJahr, Abgelehnt},
      {"TRY: Müllzeile", "klima.dat", Einfuegen(105, "Fortsetzung auf Seite 2"), "kann nicht gelesen werden:\rZeile 106 hat 4 Werte, die Namenszeile nennt 17.", Abgelehnt},
      {"TRY ohne Namenszeile", "klima.dat", Ersetze("RG IS", "XX IS"), "kann nicht gelesen werden:\rDie Zeile mit den Spaltennamen (sie beginnt mit RG oder RW und nennt t, RF, WG, N, B und D) fehlt.", Abgelehnt},

      // Regressions: NaN with exit 0, absurd values written into the user's table, files that are no files.
      // A pipe of 1 m radius in 5 m segments at 101 m3/h: k = 5.3, the outlet swung from segment to segment and grew.
      {"Luftschritt divergiert", "k.ewt.db", Und(Und(Zelle(1, 1, "1.0"), Zelle(0, 1, "5.0")), Zelle(0, 0, "101")), "Fehler: In Segment 1 tauscht die Luft bei einem Volumenstrom von 101.0 m3/h je Rohr mehr Wärme", LaufAbgelehnt},
      {"Klima: Wind 1e30 in dBASE", "klima.DBF", Zelle(99, 3, "1e30"), "Datensatz 100, Spalte 3 (Windgeschwindigkeit) enthält den Wert 1e+30; möglich sind 0 bis 100 m/s.", Abgelehnt},
      {"Klima: Temperatur -240", "klima.txt", Zeile(5, "5;-240;60;2.5;180;0;4"), "Zeile 6, Spalte 1 (Lufttemperatur) enthält den Wert -240; möglich sind -90 bis 65 °C.", Abgelehnt},
      {"Klima: Feuchte 103 %, Strahlung -3", "klima.txt", Zeile(5, "5;8.5;103;2.5;-3;0;4"), "", Gerechnet},
      {"Standort: Fundament 3e38", "s.loc.db", Zelle(0, 40, "3e38"), "(3e+38 °C) liegt nicht im Bereich -90 bis 65 °C", LaufAbgelehnt},
      {"Standort: Diff_Tdew -20", "s.loc.db", Zelle(0, 8, "-20"), "enthält in Spalte 9 (Diff_Tdew) den Wert -20; möglich sind 0 bis 50 K.", Abgelehnt},
      {"Klima: UTF-16", "klima.txt", Utf16(), "Die Datei ist in UTF-16 (Little Endian) kodiert; gelesen werden Texttabellen", Abgelehnt},
      {"Klima: UTF-16 ohne Marke", "klima.txt", [](std::string b) { return Utf16()(b).substr(2); }, "UTF-16 (Little Endian) ohne Byte-Order-Mark", Abgelehnt},
      {"EPW: UTF-16", "klima.epw", Utf16(), "in UTF-16 (Little Endian) kodiert; gelesen werden nur UTF-8 und Windows-1252.", Abgelehnt},
      {"Klima: Zahlen in Anführungszeichen", "klima.txt", Ersetze(";8.5;", ";\"8.5\";"), "", Gerechnet},
      {"Klima: Text statt Wind", "klima.txt", Ersetze(";2.5;", ";windig;"), "Spalte 3 (Windgeschwindigkeit) enthält keine einzige Zahl, nur Text (Zeile 2: \"windig\").", Abgelehnt},
      {"Klima: dBASE mit Memo nach dem Volumenstrom", "klima.DBF", MitMemoNachVolumenstrom(), "Information: Die Datenbank enthält 7 Datenfelder.", Geladen},
      {"EPW ab 1. Juli", "klima.epw", EpwAb(181), " beginnt am 1.7. um 0 Uhr.\rIhre Stunden wurden in die Reihenfolge des Kalenderjahres gebracht", Geladen},
      {"EPW mit zwei Werten je Stunde", "klima.epw", EpwErsteStundeDoppelt(), "Zeile 10 betrifft dieselbe Stunde wie Zeile 9 (1.1, Stunde 1): Die Datei hat mehrere Werte je Stunde", Abgelehnt},
      {"Kanal ist FIFO", "k.ewt.db", Inhalt(""), "der Pfad ist keine Datei, sondern eine benannte Pipe (FIFO).", Abgelehnt, 1, Fifo},
      {"Klima ist FIFO", "klima.txt", Inhalt(""), "Der Pfad ist keine Datei, sondern eine benannte Pipe (FIFO).", Abgelehnt, 1, Fifo},
      {"Klima über Verknüpfung", "klima.txt", Zeile(5, "5;8.5;60;2.5;180;0;"), "", Gerechnet, 1, Verknuepfung},
      {"Klima schreibgeschützt", "klima.DBF", Zelle(5, 6, ""), " ist schreibgeschützt.\rDie Daten bleiben im Speicher und werden nicht in die Datei geschrieben.", Gerechnet, 1, Schreibgeschuetzt},
  };
  return faelle;
}

// Loads the file as the program does; every message goes to `ui`.
bool Lade(const Fall& f, Modell& m, Aufzeichner& ui, const std::string& pfad) {
  const std::string datei = f.datei;
  if (datei.ends_with(".ewt.db")) return LadeKanaldatei(m, ui, pfad);
  if (datei.ends_with(".loc.db")) return LadeStandortdatei(m, ui, pfad);
  if (datei == "SOILS.DAT") {
    m.Bodenart = f.bodenart;
    return GetSoilData(m, pfad);
  }
  if (datei.ends_with(".px")) {
    std::string fehler, aendern;
    if (ParadoxTabelle::Oeffnen(pfad, fehler)) return true;
    EXPECT_FALSE(ParadoxTabelle::Aendern(pfad, aendern));
    EXPECT_EQ(aendern, fehler);
    return ui.Fehler(fehler), false;
  }
  m.DBKlimaName = pfad;
  ReadKlimaDB(m, ui);
  return m.KlimaGueltig;
}

// The recorded messages are exactly the one `meldung` names, or none.
void ErwarteMeldung(const Aufzeichner& ui, const std::string& meldung) {
  std::string alle;
  for (const Nachricht& n : ui.nachrichten) alle += n.art + ": " + n.text + "\n";
  if (meldung.empty()) EXPECT_EQ(alle, "");
  else EXPECT_TRUE(ui.nachrichten.size() == 1 && alle.find(meldung) != alle.npos) << alle << "erwartet: " << meldung;
}

TEST(Feindlich, JederFallDesKatalogs) {
  for (const Fall& f : Katalog()) {
    SCOPED_TRACE(f.name);
    Testverzeichnis v;
    auto m = Lauffaehig();
    const std::string pfad = v.Datei(f.datei), inhalt = f.eingabe(Grundlage(f.datei));
    if (inhalt == Verzeichnis) {
      std::filesystem::create_directory(pfad);
    } else if (f.art == Fifo) {
      ASSERT_EQ(::mkfifo(pfad.c_str(), 0644), 0);
    } else if (f.art == Verknuepfung) {
      SchreibeDatei(v.Datei(std::string("ziel-") + f.datei), inhalt);
      std::filesystem::create_symlink(std::string("ziel-") + f.datei, pfad);
    } else if (inhalt != Fehlt) {
      SchreibeDatei(pfad, inhalt);
    }
    if (f.art == Schreibgeschuetzt) std::filesystem::permissions(pfad, std::filesystem::perms(0444));
    auto modell = Abbild(*m);
    auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    const bool geladen = Lade(f, *m, ui, pfad);
    if (f.zustand == Abgelehnt) {
      EXPECT_FALSE(geladen);
      ErwarteMeldung(ui, f.meldung);
      EXPECT_TRUE(ui.nachrichten.empty() || ui.nachrichten[0].text.find(f.datei) != std::string::npos);
      ErwarteUnveraendert(modell, *m, "Klimatabelle");
      EXPECT_EQ(Dateien(v.Pfad()), dateien);
      continue;
    }
    ASSERT_TRUE(geladen) << (ui.nachrichten.empty() ? "" : ui.nachrichten[0].text);
    const std::string datei = Dateiinhalt(pfad);
    // A write-back goes through the link into its file; a table without write permission keeps its bytes.
    EXPECT_TRUE(f.art != Verknuepfung || (std::filesystem::is_symlink(pfad) && datei != inhalt));
    EXPECT_TRUE(f.art != Schreibgeschuetzt || datei == inhalt);
    if (f.zustand == Geladen) {
      ErwarteMeldung(ui, f.meldung);
      EXPECT_EQ(datei, inhalt);
      continue;
    }
    if (f.zustand != Gerechnet) {
      EXPECT_EQ(ui.nachrichten, std::vector<Nachricht>{});
      ui.nachrichten.clear();
      modell = Abbild(*m);
      dateien = Dateien(v.Pfad());
      EXPECT_EQ(EKModellFDVerfahren(*m, ui, {}, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
      ErwarteMeldung(ui, f.meldung);
      ErwarteUnveraendert(modell, *m);
      EXPECT_EQ(Dateien(v.Pfad()), dateien);
      continue;
    }
    Laufoptionen o;
    o.TextAusgabe = true;
    EXPECT_EQ(EKModellFDVerfahren(*m, ui, o, v.Pfad()).ergebnis, Laufergebnis::Fertig);
    ErwarteMeldung(ui, f.meldung);
    EXPECT_EQ(Dateiinhalt(pfad), datei) << "die Eingabedatei bleibt, wie sie war";
    ErwarteEndlicheErgebnisse(v.Pfad());
  }
}

// ---- Interrupted work -------------------------------------------------------------------

// A working directory as a user has it after complete runs: channel and
// location files, the result files and the 2-D fields of segment 1.
class Unterbrochen : public ::testing::Test {
 protected:
  void SetUp() override {
    Aufzeichner still;
    ASSERT_TRUE(SpeichereKanaldatei(*m, still, v.Datei("Erdkanal.ewt.db")));
    ASSERT_TRUE(SpeichereStandortdatei(*m, still, v.Datei("Bochum.loc.db")));
    o.Tagesgang = true;
    o.MarkSegmentText = "1";
    ASSERT_EQ(EKModellFDVerfahren(*m, still, o, v.Pfad()).ergebnis, Laufergebnis::Fertig);  // the results as a table,
    o.TextAusgabe = true;
    ASSERT_EQ(EKModellFDVerfahren(*m, still, o, v.Pfad()).ergebnis, Laufergebnis::Fertig);  // and as text
    m->Kanalbetrieb.Volstrom = 450;  // the next run differs, so a file it wrote would show
    m->AusgabeVerzeichnis = v.Pfad();
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m = Lauffaehig();
  Laufoptionen o;
};

// Every save of the program, with the disk full early and just before the
// end of the file it replaces.
TEST_F(Unterbrochen, SpeichernMitVollerPlatte) {
  m->Anz_Segmente = 150;
  for (int s = 4; s <= 150; ++s) m->Segmente[s] = m->Segmente[1 + s % 3];
  m->Ortsname = "Anderswo";
  // A result file on its own: a set of one file.
  auto allein = [&](const std::string& d, const std::function<bool(Ergebnissatz&)>& schreiben) {
    std::string fehler;
    auto satz = Ergebnissatz::Oeffnen(d, "Terval", fehler);
    return satz && schreiben(*satz) && satz->Uebernehmen(fehler);
  };
  const std::vector<std::pair<const char*, std::function<bool(Aufzeichner&, const std::string&)>>> alle = {
      {"Erdkanal.ewt.db", [&](auto& ui, auto& d) { return SpeichereKanaldatei(*m, ui, d + "/Erdkanal.ewt.db"); }},
      {"Bochum.loc.db", [&](auto& ui, auto& d) { return SpeichereStandortdatei(*m, ui, d + "/Bochum.loc.db"); }},
      {"Terval Gesamtergebnis.dbf", [&](auto& ui, auto& d) { return allein(d, [&](auto& s) { return WriteDBSegmentData(*m, ui, s); }); }},
      {"Terval Gesamtergebnis.TXT", [&](auto& ui, auto& d) { return allein(d, [&](auto& s) { return WriteTextSegmentData(*m, ui, s); }); }},
      {"Terval Kanal Tag 14.TXT", [&](auto& ui, auto& d) { return allein(d, [&](auto& s) { return WriteTextKanalData(*m, ui, 14, s); }); }},
      {"Terval Verlauf Tag 14.TXT", [&](auto& ui, auto& d) { return allein(d, [&](auto& s) { return WriteTagesgang(*m, ui, 14, s); }); }},
  };
  for (const auto& [datei, speichern] : alle) {
    Testverzeichnis probe;  // the size of the new file, from a save elsewhere
    Aufzeichner still;
    ASSERT_TRUE(speichern(still, probe.Pfad())) << datei;
    for (rlim_t grenze : {rlim_t{500}, Dateiinhalt(probe.Datei(datei)).size() - 100}) {
      SCOPED_TRACE(std::string(datei) + " bei " + std::to_string(grenze) + " Bytes");
      const auto dateien = Dateien(v.Pfad());
      Dateigroessengrenze voll(grenze);
      EXPECT_FALSE(speichern(still, v.Pfad()));
      EXPECT_EQ(Dateien(v.Pfad()), dateien);
    }
    EXPECT_TRUE(speichern(still, v.Pfad())) << datei << ": mit Platz geht es wieder";
  }
}

// A directory where the overall results should go: the run completes, says
// why its files could not replace the earlier ones, and leaves the folder as it was.
TEST_F(Unterbrochen, ErgebnisdateiIstEinVerzeichnis) {
  std::filesystem::remove(v.Datei("Terval Gesamtergebnis.TXT"));
  std::filesystem::create_directory(v.Datei("Terval Gesamtergebnis.TXT"));
  SchreibeDatei(v.Datei("Terval Gesamtergebnis.TXT/drin.txt"), "bleibt");
  const auto dateien = Dateien(v.Pfad());
  Aufzeichner ui;
  Laufbericht b = EKModellFDVerfahren(*m, ui, o, v.Pfad());
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_TRUE(b.dateien.empty() && b.nichtGeschrieben.size() == 17u);
  EXPECT_EQ(ui.Texte("Fehler"), std::vector<std::string>{"Die Ergebnisdateien \"Terval …\" wurden nicht geschrieben:\r"
            "\"Terval Gesamtergebnis.TXT\": der Pfad ist ein Verzeichnis.\rDie bisherigen Ergebnisdateien bleiben unverändert."});
  EXPECT_EQ(Dateiinhalt(v.Datei("Terval Gesamtergebnis.TXT/drin.txt")), "bleibt");
  EXPECT_EQ(Dateien(v.Pfad()), dateien);
}

// ---- Result sets: stems, folders and causes the user must be told in German ----------------
//
// Each row prepares the run's folder (what it returns is held for the length of the run), runs with its
// stem (text output, the fields of segment 1) and names the one message; the folder stays as it was.
struct Ergebnisfall {
  const char* name;
  std::string stamm;
  std::function<std::shared_ptr<void>(const std::string& ordner)> vorbereiten;
  std::string meldung;  // a piece of the one message, as "Art: Text"
  Laufergebnis ergebnis;
  rlim_t grenze = RLIM_INFINITY;  // file-size limit during the run
};

TEST(Feindlich, JederFallDerErgebnisdateien) {
  std::string fehler;
  const std::vector<Ergebnisfall> faelle = {
      {"Stamm mit 230 Zeichen", std::string(230, 'x'), {}, "Fehler: Der Stammname \"" + std::string(230, 'x') + "\" ist zu lang: sein letzter Teil hat 230 Byte, höchstens", Laufergebnis::Abgelehnt},
      {"Stamm in fehlendem Ordner", "fehlt/x", {}, "geschrieben werden: Datei oder Verzeichnis nicht vorhanden.", Laufergebnis::Abgelehnt},
      {"Stamm wird gerade geschrieben", "Terval", [&](auto& o) { return std::shared_ptr<void>(Ergebnissatz::Oeffnen(o, "Terval", fehler)); }, "Fehler: Unter dem Stammnamen \"Terval\" schreibt gerade ein anderer Lauf seine Ergebnisdateien.", Laufergebnis::Abgelehnt},
      {"Datenträger voll", "Terval", {}, "Fehler: Die Ergebnisdateien \"Terval …\" wurden nicht geschrieben:\r\"Terval Gesamtergebnis.TXT\": die Datei wird zu groß.\rDie bisherigen Ergebnisdateien bleiben unverändert.", Laufergebnis::Fertig, 20000},
      {"Ordner namens .cpg bei Textausgabe", "Terval", [](auto& o) { return std::filesystem::create_directory(o + "/Terval Gesamtergebnis.cpg"), nullptr; }, "", Laufergebnis::Fertig},
  };
  for (const Ergebnisfall& f : faelle) {
    SCOPED_TRACE(f.name);
    Testverzeichnis v;
    auto m = Lauffaehig();
    const auto halt = f.vorbereiten ? f.vorbereiten(v.Pfad()) : nullptr;
    const auto dateien = Dateien(v.Pfad());
    Laufoptionen o;
    o.Stammname = f.stamm, o.TextAusgabe = true, o.MarkSegmentText = "1";
    Aufzeichner ui;
    const Laufbericht b = [&] { Dateigroessengrenze grenze(f.grenze); return EKModellFDVerfahren(*m, ui, o, v.Pfad()); }();
    EXPECT_EQ(b.ergebnis, f.ergebnis);
    ErwarteMeldung(ui, f.meldung);
    EXPECT_TRUE(f.meldung.empty() || Dateien(v.Pfad()) == dateien);
  }
}

// A stop after any segment (the marked one's 2-D fields are written during the run) or while the
// results are written: until the new set has replaced the earlier one it stops the run (exit 130 in
// the batch program) and puts the earlier files back; after that it comes too late and is said to.
TEST_F(Unterbrochen, StoppNachJedemSegmentUndWaehrendDieErgebnisseGeschriebenWerden) {
  const auto dateien = Dateien(v.Pfad());
  // procMsg is asked after each of the 3 segments, before each of the 10 profiles and day courses after
  // the overall results, before the hydraulics file, before the set replaces the earlier one, and once it has.
  for (int aufruf = 1; aufruf <= 3 + 10 + 1 + 1; ++aufruf) {
    SCOPED_TRACE(aufruf);
    Aufzeichner ui;
    ui.beiProcMsg = [&](int aufrufe) { m->StopRequested = m->StopRequested || aufrufe == aufruf; };
    EXPECT_EQ(EKModellFDVerfahren(*m, ui, o, v.Pfad()).ergebnis, Laufergebnis::Abgebrochen);
    EXPECT_EQ(ui.Texte("Warnung"), std::vector<std::string>{"Die Simulation wurde vom Anweder abgebrochen !"});
    EXPECT_EQ(Dateien(v.Pfad()), dateien);
  }
  Aufzeichner ui;
  ui.beiProcMsg = [&](int aufrufe) { m->StopRequested = m->StopRequested || aufrufe == 16; };
  EXPECT_EQ(EKModellFDVerfahren(*m, ui, o, v.Pfad()).ergebnis, Laufergebnis::Fertig);
  ErwarteMeldung(ui, "Information: Der Abbruch kam zu spät: die Simulation war abgeschlossen und ihre Ergebnisdateien sind geschrieben.");
  EXPECT_NE(Dateien(v.Pfad()), dateien);
}

}  // namespace
}  // namespace terval::test
