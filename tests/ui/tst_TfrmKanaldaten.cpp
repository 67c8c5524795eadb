// The channel editor as a user works with it: the table shown and taken
// over, the picture edited with every tool, segments deleted and added, a
// new channel, the operation modes, opening and saving, rounded numbers
// that keep their exact value, the painting; and the pipe dialog behind it.
#include "Fensterhilfen.h"
#include "channel/UshowKanaldaten.h"
#include "physics/Hydraulik.h"
#include "ui/TdlgLuftweg.h"
#include "ui/TfrmKanaldaten.h"
#include "ui/TfrmRohrdaten.h"

namespace {

// A channel of n segments at depths 1, 2, 3, ... m (single pipes, open ground) and the editor showing it.
struct Kanalaufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<MitDateiwahl<TfrmKanaldaten>> w;

  explicit Kanalaufbau(int n) {
    SetzeStartzustand(*m);
    m->Rohrdaten.Rohrname = {"", "Hauptrohr", "Registerrohr"};
    m->Anz_Segmente = n;
    for (int k = 1; k <= n; ++k) m->Segmente[k].Anz_Rohre = 1, m->Segmente[k].Tiefe = float(k), m->Segmente[k].Überbaut = 0;
    w = std::make_unique<MitDateiwahl<TfrmKanaldaten>>(*m, ui);
  }
  QTableWidget* Tabelle() { return Kind<QTableWidget>(*w, "sgKanal"); }
  QStringList Spalte(int s) {
    QStringList r;
    for (int z = 0; z < Tabelle()->rowCount(); ++z) r << Tabelle()->item(z, s)->text();
    return r;
  }
  void Tippe(int z, int s, const QString& t) { Tabelle()->item(z, s)->setText(t); }
  void Maus(int werkzeug, const QString& wert, int x) {
    Kind<QComboBox>(*w, "cb_toollist")->setCurrentIndex(werkzeug);
    Setze(*w, "E_toolvalue", wert);
    QTest::mouseClick(Kind(*w, "kanalimg"), Qt::LeftButton, {}, QPoint(x, 75));
  }
};

// Depth, pipes, spacing, left and right building distance and depth, surface of a segment.
QString Werte(const Kanalsegment& s) {
  return QString("%1 %2 %3 %4 %5 %6 %7 %8").arg(s.Tiefe).arg(s.Anz_Rohre).arg(s.Abst_Rohre).arg(s.Abst_Geb_li)
      .arg(s.Abst_Geb_re).arg(s.Tief_Geb_li).arg(s.Tief_Geb_re).arg(s.Überbaut);
}

// Every real number of the channel description.
std::vector<float> Kanalzahlen(const Modell& m) {
  const TRohrdaten& p = m.Rohrdaten;
  std::vector<float> r = {p.Rohr_Ra[1], p.Rohr_Dicke[1], p.Rohr_wlf[1], p.Rohr_Ra[2], p.Rohr_Dicke[2], p.Rohr_wlf[2],
                          p.Seglaenge, m.Kanalbetrieb.Heiz_T, m.Kanalbetrieb.Kuehl_T};
  for (const Kanalsegment* s = &m.Segmente[1]; s <= &m.Segmente[m.Anz_Segmente]; ++s)
    r.insert(r.end(), {s->Tiefe, s->Abst_Rohre, s->Abst_Geb_li, s->Tief_Geb_li, s->Abst_Geb_re, s->Tief_Geb_re});
  return r;
}

}  // namespace

class tst_TfrmKanaldaten : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }
  void tabelleZeigenUndUebernehmen();
  void mausUndWerkzeuge();
  void betriebUndDateien();
  void gerundeteZahlenBleibenBitgenau();
  void rohrdaten();
  void luftwegLive();
};

void tst_TfrmKanaldaten::tabelleZeigenUndUebernehmen() {
  Kanalaufbau a(8);
  Modell& m = *a.m;
  m.Rohrdaten.Seglaenge = 2.5f;
  Kanalsegment& s = m.Segmente[2];
  s.Anz_Rohre = 3, s.Abst_Rohre = 0.75f, s.Tiefe = 1.25f, s.Überbaut = 2;
  s.Abst_Geb_li = 12.34f, s.Tief_Geb_li = 3, s.Abst_Geb_re = -1, s.Tief_Geb_re = 0.05f;
  m.Segmente[1].Überbaut = 1;
  a.w->Mem2Grid();
  // A depth "tief" and a flow "dreihundert" are no numbers: red, and the table is not taken over (before,
  // both became 0 and the run went through without a word).
  const QStringList zahlen = {"2.5", "  -3.5", "4.25 m", "2,5", "tief", "", "1.5e1 m", "2-3"};
  const QStringList flaechen = {"v", "V", "Ü", "ü", "-", " V", "", "x"};
  for (int z = 0; z < 8; ++z) a.Tippe(z, 1, zahlen[z]), a.Tippe(z, 2, zahlen[z]), a.Tippe(z, 8, flaechen[z]);
  a.Tippe(0, 0, "999"), a.Tippe(0, 5, "2.5"), a.Tippe(0, 6, "4.5");
  Setze(*a.w, "eVolstrom", "dreihundert"), Setze(*a.w, "evol_kuehlT", "4.25");
  Klick(*a.w, "bt_aktdatafromTab"), a.w->show(), Klick(*a.w, "btClose");
  QVERIFY(m.Segmente[1].Tiefe == 1 && m.Kanalbetrieb.Volstrom == 2400 && a.w->isVisible() &&
          a.Tabelle()->item(4, 1)->background().color() != a.Tabelle()->item(3, 1)->background().color());
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>(2, KeineZahl));
  // Mended and taken over: the number at the start of each text, the surface letter (Ü, V in either case, else
  // none); column 0 is not read back, an untouched cell keeps the model's value, not its rounded text.
  a.ui.nachrichten.clear(), a.w->hide();
  a.Tippe(4, 1, ""), a.Tippe(4, 2, ""), Setze(*a.w, "eVolstrom", "4");
  Klick(*a.w, "bt_aktdatafromTab");
  QStringList gelesen;
  for (int k = 1; k <= 8; ++k) gelesen << Werte(m.Segmente[k]).section(' ', 0, 1) + " " + QString::number(m.Segmente[k].Überbaut);
  QCOMPARE(gelesen, (QStringList{"2.5 2 2", "-3.5 -3 2", "4.25 4 1", "2 2 0", "0 0 0", "0 0 0", "15 1 0", "2 2 0"}));
  QVERIFY(m.Segmente[1].Tief_Geb_li == 2.5f && m.Kanalbetrieb.Volstrom == 4 && m.Kanalbetrieb.Kuehl_T == 4.25f);
  QVERIFY(ErsteAbweichung({m.Segmente[2].Abst_Geb_li}, {12.34f}) == -1 && a.ui.nachrichten.empty());
}

void tst_TfrmKanaldaten::mausUndWerkzeuge() {
  // A click selects the whole row of the segment under the mouse, 30 pixels each.
  Kanalaufbau a(3);
  QList<int> zeilen;
  for (int x : {0, 29, 30, 89}) a.Maus(0, "9", x), zeilen << a.Tabelle()->selectedItems().size() * 10 + a.Tabelle()->currentRow();
  QCOMPARE(zeilen, QList<int>({100, 100, 101, 102}));
  // Every tool on segment 2 (depth 2, one pipe, spacing 0.5, overbuilt); its neighbours stay as they are.
  Kanalsegment& s = a.m->Segmente[2];
  s.Abst_Rohre = 0.5f, s.Überbaut = 1;
  const Kanalsegment basis = s;
  for (const auto& [werkzeug, wert, danach] : std::vector<std::tuple<int, QString, QString>>{
           {1, "2.5", "2.5 1 0.5 0 0 0 0 1"}, {2, "3.5", "2 4 0.5 0 0 0 0 1"}, {3, "0", "2 1 0.5 0 0 0 0 1"},
           {7, "-1", "2 1 0.5 0 0 0 -1 1"},   {9, "0.1", "2 1 0.5 0 0 0 0 2"}, {1, "tief", "2 1 0.5 0 0 0 0 1"}}) {
    s = basis;
    a.Maus(werkzeug, wert, 45);
    QCOMPARE(QString::number(werkzeug) + wert + ": " + Werte(a.m->Segmente[1]) + " | " + Werte(s) + " | " + Werte(a.m->Segmente[3]),
             QString::number(werkzeug) + wert + ": 1 1 0 0 0 0 0 0 | " + danach + " | 3 1 0 0 0 0 0 0");
  }
  // Deleting moves the whole records up; a click right of the last segment does nothing; one segment stays.
  a.m->Segmente[3].T_aus[100] = 7.5f;
  for (int x : {45, 65}) a.Maus(10, "1", x);
  QCOMPARE(a.Spalte(0) + a.Spalte(1), (QStringList{"1", "2", "1.0", "3.0"}));
  QVERIFY(a.m->Segmente[2].T_aus[100] == 7.5f);
  for (int x : {10, 10}) a.Maus(10, "1", x);
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Warnung", "Ein Segment muss im Kanal verbleiben !"}}));
  // Added segments copy the last one, taken over first; nothing is added beyond 150 segments.
  a.Tippe(0, 1, "7.5");
  QList<int> anzahl;
  for (const char* n : {"4", "-2", "144", "2", "1"})
    Setze(*a.w, "e_addsegment", n), Klick(*a.w, "bt_addsegment"), anzahl << a.m->Anz_Segmente;
  QCOMPARE(anzahl, QList<int>({5, 5, 149, 149, 150}));
  QVERIFY(a.Tabelle()->rowCount() == 150 && a.m->Segmente[150].Tiefe == 7.5f);
  // A new channel only after "Yes": one segment, which keeps its values.
  a.ui.antworten = {false, true};
  for (int i = 0; i < 2; ++i) Klick(*a.w, "btNew"), anzahl << a.m->Anz_Segmente;
  QVERIFY(anzahl.mid(5) == QList<int>({150, 1}) && a.Tabelle()->rowCount() == 1 && a.m->Segmente[1].Tiefe == 7.5f);
}

void tst_TfrmKanaldaten::betriebUndDateien() {
  Kanalaufbau a(3);
  TKanalbetrieb& b = a.m->Kanalbetrieb;
  b = TKanalbetrieb{350, 20, 6, 22, -2.5f, 21.25f, 2, true, false};
  a.w->Mem2Grid();
  // Each mode opens its fields (times, temperatures, five-day box); the model changes only when taken over,
  // and the box keeps its tick even where it is locked.
  QStringList modi;
  for (const char* knopf : {"rbConstVol", "rbSchaltzeitbetrieb", "rbTemperaturbetrieb", "rbZeitundTemp"}) {
    Klick(*a.w, knopf);
    modi << Frei(*a.w, {"eVolein_zeit", "eVolaus_zeit", "evol_heizT", "evol_kuehlT", "cb_5tagesbetrieb"}) + QString::number(b.Betriebsart);
    a.w->Grid2Mem();
    modi.last() += QString::number(b.Betriebsart) + (b.Fuenftagebetrieb ? "5" : "");
  }
  QCOMPARE(modi, (QStringList{"00000205", "11001015", "00111125", "11111235"}));

  // Saved under a new name as the user sees it, opened again (the start folder follows the file);
  // the plain save button asks nothing, a cancelled dialog changes nothing.
  QTemporaryDir dir;
  const QString pfad = dir.filePath("Probe.ewt.db");
  a.m->Kanaldatei = StdText(dir.filePath("Erdkanal.ewt.db"));
  a.w->Mem2Grid(), a.Tippe(2, 1, "4.75");
  a.w->antwort = pfad;
  Klick(*a.w, "bt_saveas");
  QCOMPARE(a.w->windowTitle(), "Erdkanaldaten (" + pfad + ")");
  a.m->Anz_Segmente = 1, b.Betriebsart = 0;
  a.w->Mem2Grid();
  Klick(*a.w, "btOpenKanal");
  QVERIFY(a.m->Anz_Segmente == 3 && a.m->Segmente[3].Tiefe == 4.75f && b.Betriebsart == 3);
  a.w->antwort.clear();
  for (const char* knopf : {"btSaveKanal", "btOpenKanal"}) Klick(*a.w, knopf);
  QVERIFY(a.w->gefragt.size() == 3 && a.w->gefragt[2].verzeichnis == dir.path() && a.m->Kanaldatei == StdText(pfad));
  QVERIFY(QDir(dir.path()).entryList({"*.ewt.db"}) == QStringList{"Probe.ewt.db"} && a.ui.nachrichten.empty());
}

void tst_TfrmKanaldaten::gerundeteZahlenBleibenBitgenau() {
  // The sample channel (walls of 11.9 and 9.5 mm) with registers 0.25 m apart and values finer than the
  // displays: opening the editor and the pipe dialog, taking the table over and closing changes no bit.
  Kanalaufbau a(1);
  Modell& m = *a.m;
  QVERIFY(LadeKanaldatei(m, a.ui, TERVAL_DATENVERZEICHNIS "/Erdkanal.ewt.db"));
  for (int k = 21; k <= 28; ++k) m.Segmente[k].Abst_Rohre = 0.25f;
  m.Segmente[3].Tiefe = 1.55f, m.Segmente[30].Tief_Geb_re = 2.475f, m.Kanalbetrieb.Heiz_T = 4.125f, m.Kanalbetrieb.Kuehl_T = 18.0049f;
  const std::vector<float> vorher = Kanalzahlen(m);
  Sobald(a.w.get(), [&] {
    Sobald(a.w.get(), [&] { Klick(*a.w->Rohrdialog(), "rbRegister"), Klick(*a.w->Rohrdialog(), "btOK"); });
    for (const char* knopf : {"btShowRohrdata", "bt_aktdatafromTab", "btClose"}) Klick(*a.w, knopf);
  });
  a.w->zeigen();
  QCOMPARE(ErsteAbweichung(vorher, Kanalzahlen(m)), -1);
  // Edits are taken as typed, the pipe dialog's too (the table is taken over before it opens, the pipe type
  // shown last is shown again); the close box takes over.
  Sobald(a.w.get(), [&] {
    a.Tippe(20, 3, "0.3"), Setze(*a.w, "evol_heizT", "5");
    Sobald(a.w.get(), [&] {
      TfrmRohrdaten& r = *a.w->Rohrdialog();
      Setze(r, "e_Rohrname", "Neues Registerrohr"), Setze(r, "e_seglaenge", "2"), Klick(r, "btOK");
    });
    Klick(*a.w, "btShowRohrdata"), a.w->close();
  });
  a.w->zeigen();
  QCOMPARE(ErsteAbweichung({m.Segmente[21].Abst_Rohre, m.Segmente[22].Abst_Rohre, m.Kanalbetrieb.Heiz_T, m.Rohrdaten.Seglaenge},
                           {0.3f, 0.25f, 5.0f, 2.0f}), -1);
  QVERIFY(a.Spalte(9)[20] == "Neues Registerrohr" && a.Spalte(0)[1] == "4.00");
  // A refused addition takes the table over without showing it again: a cell typed
  // back to the text first shown is then an edit like any other.
  a.Tippe(21, 3, "0.4"), Setze(*a.w, "e_addsegment", "200"), Klick(*a.w, "bt_addsegment");
  const bool genommen = a.ui.Texte("Fehler").size() == 1 && m.Segmente[22].Abst_Rohre == 0.4f;
  a.Tippe(21, 3, "0.2"), a.w->Grid2Mem();
  QVERIFY(genommen && ErsteAbweichung({m.Segmente[22].Abst_Rohre}, {0.2f}) == -1);

  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()) && Bild(*a.w, "kanaleditor.png"));
  // Editor and pipe dialog fit a screen of 1024 x 640.
  for (QWidget* w : {static_cast<QWidget*>(a.w.get()), static_cast<QWidget*>(a.w->Rohrdialog())})
    QVERIFY2(w->minimumSizeHint().width() <= 1024 && w->minimumSizeHint().height() <= 640 && w->height() <= 640,
             qPrintable(w->objectName()));
}

void tst_TfrmKanaldaten::rohrdaten() {
  // The sample's pipes (d 200 x 11.9 mm, register d 160 x 9.5 mm, segments 1.255 m) and a small catalogue.
  auto m = NeuesModell();
  Aufzeichner ui;
  SetzeStartzustand(*m);
  m->Rohrtypen[1] = {"PE 110", 0.11f, 0.0066f, 0.42}, m->Rohrtypen[2] = {"PE 200 x 12", 0.2f, 0.012f, 0.42};
  m->Rohrtypen[3] = {"Fehlerhaft", 0.05f, 0.05f, 1.5}, m->Anz_Rohrtypen = 3;
  TRohrdaten& r = m->Rohrdaten;
  r.Rohrname = {"", "Haupt", "Register"}, r.Rohr_Ra = {0, 0.1f, 0.08f}, r.Rohr_Dicke = {0, 0.0119f, 0.0095f};
  r.Rohr_wlf = {0, 0.42f, 0.385f}, r.Seglaenge = 1.255f;
  TfrmRohrdaten w(*m, ui);
  // Shown rounded (bore 2 x (100 - 11.9) = 176.2 mm), switched to the register and back, closed: no bit moves.
  const std::vector<float> vorher = Kanalzahlen(*m);
  QStringList gezeigt;
  Sobald(&w, [&] {
    for (const char* n : {"e_idurchm", "E_rohrdicke", "e_Rohrwlf", "e_seglaenge"}) gezeigt << Text(w, n);
    Klick(w, "rbRegister");
    gezeigt << Text(w, "e_Rohrname") << Text(w, "e_idurchm") << Kind<QComboBox>(w, "cbRohrtypen")->currentText();
    Klick(w, "rbHauptstrang"), Klick(w, "btOK");
  });
  w.zeigen();
  QCOMPARE(gezeigt, (QStringList{"176", "12", "0.42", "1.25", "Register", "141", "PE 200 x 12"}));
  QCOMPARE(ErsteAbweichung(vorher, Kanalzahlen(*m)), -1);
  // A new wall around the untouched bore keeps the bore (88.1 + 10 mm).
  w.Vorbereiten(), Setze(w, "E_rohrdicke", "10"), w.Dlg2Mem(1);
  QCOMPARE(ErsteAbweichung({r.Rohr_Dicke[1], r.Rohr_Ra[1], r.Rohr_wlf[1], r.Seglaenge}, {0.01f, 0.0981f, 0.42f, 1.255f}), -1);
  // A switch stores the type shown before (a click on the shown type stores nothing), the length stays in its field.
  Setze(w, "e_Rohrname", "Geändert"), Setze(w, "e_seglaenge", "2");
  Klick(w, "rbRegister"), Setze(w, "e_Rohrname", "nicht gespeichert"), Klick(w, "rbRegister");
  QVERIFY(r.Rohrname[1] == "Geändert" && r.Rohrname[2] == "Register" && r.Seglaenge == 2.0f && Text(w, "e_seglaenge") == "2");
  Klick(w, "rbHauptstrang");
  QVERIFY(r.Rohrname[2] == "nicht gespeichert" && Text(w, "e_Rohrname") == "Geändert");
  // Copied from the catalogue of outer diameters: 200 - 2 x 12 = 176 mm bore (the pipe keeps its size);
  // tidied by hand to "12" (the text that stood for the old 11.9 mm) the wall still counts as typed. A faulty
  // entry (wall as thick as the radius) is copied all the same, with a message.
  r.Rohr_Dicke[1] = 0.0119f;
  w.Mem2Dlg(1), Klick(w, "btCopyData");
  QCOMPARE(QStringList({Text(w, "e_Rohrname"), Text(w, "e_idurchm"), Text(w, "E_rohrdicke"), Text(w, "e_Rohrwlf")}),
           (QStringList{"PE 200 x 12", "176", " 12", "0.42"}));
  Setze(w, "E_rohrdicke", "12"), w.Dlg2Mem(1);
  QVERIFY(ErsteAbweichung({r.Rohr_Dicke[1], r.Rohr_Ra[1]}, {0.012f, 0.1f}) == -1 && ui.nachrichten.empty());
  Kind<QComboBox>(w, "cbRohrtypen")->setCurrentIndex(2), Klick(w, "btCopyData");
  QVERIFY(ui.Texte("Fehler").size() == 1 && Text(w, "e_idurchm") == "-50" && Text(w, "e_Rohrname") == "Fehlerhaft");
  // Closing (button or close box) takes a segment length of 0.5 to 5 m only; 5.004 m shows as "5.00" but is refused.
  QStringList geschlossen;
  r.Seglaenge = 5.004f;
  Sobald(&w, [&] {
    for (const char* laenge : {"5.00", "0.49", "zwei", "2,5", "0.5", "5"}) {
      Setze(w, "e_seglaenge", laenge);
      if (*laenge == '5') w.close();  // the close box checks too
      else Klick(w, "btOK");
      geschlossen << QString(laenge) + (w.isVisible() ? "" : " zu");
      w.show();
    }
    w.reject();
  });
  w.zeigen();
  QCOMPARE(geschlossen, (QStringList{"5.00", "0.49", "zwei", "2,5", "0.5 zu", "5 zu"}));
  QVERIFY(ui.Texte("Fehler").size() == 5 && r.Seglaenge == 5.0f);
}

// The air path figures follow the table and the base flow as they are typed,
// before anything reaches the model. Pipes of the sample channel: main line
// d 200 x 11.9 mm, register d 160 x 9.5 mm; 300 m3/h give 3.42 m/s in the main line.
void tst_TfrmKanaldaten::luftwegLive() {
  Kanalaufbau a(12);
  Modell& m = *a.m;
  m.Rohrdaten.Rohr_Ra = {0, 0.1f, 0.08f}, m.Rohrdaten.Rohr_Dicke = {0, 0.0119f, 0.0095f};
  for (int k = 5; k <= 8; ++k) m.Segmente[k].Anz_Rohre = 3;
  m.Kanalbetrieb.Volstrom = 300;
  a.w->Mem2Grid();
  auto text = [&](const char* name) { return Kind<QLabel>(*a.w, name)->text(); };
  auto pascal = [&] { return text("l_Luftweg").section(' ', 3, 3).toDouble(); };
  const double basis = Kanaldruckverlust(m, 300 / 3600.0, Bezugsluft()).gesamt;
  QVERIFY(text("l_Luftweg").startsWith("Druckverlust bei Basis-Volumenstrom: ") && std::abs(pascal() - basis) < 0.051);
  QVERIFY2(text("l_Luftweg").endsWith("Hauptstrang 3.42 m/s, Register 1.78 m/s"), qPrintable(text("l_Luftweg")));
  QCOMPARE(text("l_LuftwegWarnung"), QString("Achtung: mehr als 3 m/s!"));
  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()) && Bild(*a.w, "kanaleditor-luftweg.png"));

  // Less air and the register typed away: no warning, a smaller drop, no register speed; the model
  // changes only when the window takes the table over.
  Setze(*a.w, "eVolstrom", "200");
  for (int z = 4; z < 8; ++z) a.Tippe(z, 2, "1");
  QVERIFY(text("l_LuftwegWarnung").isEmpty() && pascal() < basis && text("l_Luftweg").endsWith("Hauptstrang 2.28 m/s"));
  QCOMPARE(m.Segmente[5].Anz_Rohre, 3);

  // The dialog "Luftweg": a value out of range keeps it open with the message, then a filter of 50 Pa
  // adds 50 Pa at the base flow; the fields not edited keep their exact values.
  const double ohneFilter = pascal();
  QTimer::singleShot(0, [&] {
    TdlgLuftweg& d = *a.w->Luftwegdialog();
    Setze(d, "e_Wirkungsgrad", "1.5"), d.accept();
    Setze(d, "e_Wirkungsgrad", "0.5"), Setze(d, "e_FilterPa", "50"), d.accept();
  });
  Klick(*a.w, "btLuftweg");
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{
      "Der Wert 1.5 für \"Wirkungsgrad des Ventilators\" liegt nicht im Bereich 0.01 bis 1."});
  THydraulik erwartet;
  erwartet.Wirkungsgrad = 0.5f, erwartet.Filter_Pa = 50;
  QVERIFY(m.Hydraulik == erwartet && std::abs(pascal() - ohneFilter - 50) < 0.11);
}

QTEST_MAIN(tst_TfrmKanaldaten)
#include "tst_TfrmKanaldaten.moc"
