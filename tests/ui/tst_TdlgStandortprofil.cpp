// The location profile dialog as a user works with it: what it shows and
// how it rounds, what "Übernehmen" takes over and "Schliessen" does not,
// the soil preview, opening and saving location files.
#include "Fensterhilfen.h"
#include "location/klimaprofil.h"
#include "physics/getsoildata.h"
#include "ui/TdlgStandortprofil.h"

namespace {

// Every real number of the location profile, in a fixed order.
std::vector<float> Ortszahlen(const Modell& m) {
  std::vector<float> r = {m.Breitengrad, m.Laengengrad, m.Veg_Hoehe, m.StartBodenfeuchte, m.T_Keller, m.wlf_kellerwand,
                          m.kellerwand_dicke, m.T_Fundament, m.Diff_Tdew, m.Wg_mittel, m.WG_Messhoehe, m.Wg_Tag_Nacht};
  r.insert(r.end(), m.Ns_.begin() + 1, m.Ns_.begin() + 13);
  return r;
}

}  // namespace

class tst_TdlgStandortprofil : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }
  void standortprofil();
};

void tst_TdlgStandortprofil::standortprofil() {
  auto m = NeuesModell();
  Aufzeichner ui;
  SetzeStartzustand(*m);
  GetSoilData(*m, TERVAL_DATENVERZEICHNIS "/SOILS.DAT");
  MitDateiwahl<TdlgStandortprofil> w(*m, ui);
  auto regler = [&](int monat) { return Kind<QSlider>(w, QString("tb%1").arg(monat, 2, 10, QChar('0'))); };
  // Values finer than the dialog shows them, and from a file values outside the track bars and the list.
  m->Breitengrad = 51.256f, m->Laengengrad = -7.1549f, m->Veg_Hoehe = 0.125f, m->StartBodenfeuchte = 47.25f;
  m->T_Keller = 8.125f, m->wlf_kellerwand = 1.005f, m->kellerwand_dicke = 0.245f, m->T_Fundament = 1234.567f;
  m->Diff_Tdew = 0.75f, m->Wg_mittel = 2.125f, m->WG_Messhoehe = 10.005f, m->Wg_Tag_Nacht = 1.875f;
  m->Ns_[1] = 66.35f, m->Ns_[12] = 70.05f, m->Wetter_[1] = 7, m->Wetter_[2] = 0, m->Truebung = 5;
  const std::vector<float> vorher = Ortszahlen(*m);
  QSignalSpy ortsname(&w, &TdlgStandortprofil::OrtsnameGeaendert);
  Sobald(&w, [&] {
    Klick(w, "Button2"), Klick(w, "Button2");
    Setze(w, "e_breite", "40"), Setze(w, "e_locname", "Anderswo"), regler(6)->setValue(3);
    Klick(w, "Button1");  // "Schliessen" takes nothing
  });
  QCOMPARE(w.ShowStandortprofil(), int(QDialog::Accepted));
  // Taken over unchanged no bit moves; a bar shows the nearer end and stores it, no list entry keeps the value.
  QCOMPARE(ErsteAbweichung(vorher, Ortszahlen(*m)), -1);
  QCOMPARE(QList<int>({m->Wetter_[1], m->Wetter_[2], m->Truebung, m->Wetter_[6], int(ortsname.count())}), QList<int>({3, 1, 5, 2, 2}));
  QCOMPARE(m->Ortsname, std::string("Testort (Bochum,D)"));

  // Letters never reach a number field from the keyboard; past a decimal comma, a word or a number beyond
  // single precision set from elsewhere neither "Übernehmen" nor closing goes: nothing is taken, the dialog stays.
  ortsname.clear();
  w.WerteAnzeigen();
  for (const auto& [feld, text] : std::vector<std::pair<const char*, QString>>{
           {"e_locname", "Aachen-Orsbach"}, {"e_breite", "50.8"}, {"E_laenge", "-6.02"}, {"e_Tkeller", "12.5"}, {"e_wind_mittel", ""},
           {"e_windhoehe", "1e60"}, {"e_wind_tn", "1,5"}, {"ens2", "viel"}, {"ens3", "40.5"}, {"ens4", "1e2"}, {"ens1", "70"}})
    Setze(w, feld, text);
  regler(3)->setValue(3), regler(4)->setValue(1);
  for (const auto& [liste, index] : {std::pair{"cbTruebung", 2}, {"cbVegTyp", 1}, {"cbSoils", 2}}) Kind<QComboBox>(w, liste)->setCurrentIndex(index);
  auto* breite = Kind<QLineEdit>(w, "e_breite");
  QTest::keyClicks(breite, "abc");
  w.show(), Klick(w, "Button2"), Klick(w, "Button1");
  QVERIFY(breite->text() == "50.8" && m->Breitengrad == 51.256f && w.isVisible() && ortsname.isEmpty());
  QCOMPARE(ui.Texte("Fehler"), std::vector<std::string>(2, KeineZahl));
  // Mended, "Übernehmen" takes what is typed: month k with its bar and field, the lists; an empty field is 0.
  // It does not close.
  ui.nachrichten.clear(), w.hide();
  Setze(w, "e_windhoehe", "12"), Setze(w, "e_wind_tn", "1.5"), Setze(w, "ens2", "55");
  Klick(w, "Button2");
  QCOMPARE(ErsteAbweichung({m->Breitengrad, m->Laengengrad, m->T_Keller, m->Wg_mittel, m->WG_Messhoehe, m->Wg_Tag_Nacht, m->Ns_[1],
                            m->Ns_[2], m->Ns_[3], m->Ns_[4], m->Ns_[5]},
                           {50.8f, -6.02f, 12.5f, 0, 12, 1.5f, 70, 55, 40.5f, 100, 63.3f}), -1);
  QCOMPARE(QList<int>({m->Wetter_[3], m->Wetter_[4], m->Wetter_[5], m->Truebung, m->Veg_typ, m->Bodenart}), QList<int>({3, 1, 2, 2, 2, 3}));
  QVERIFY(ortsname.count() == 1 && ortsname[0][0].toString() == "Aachen-Orsbach" && w.isHidden());
  // Typed back to the text first shown, after "Übernehmen" took the edit: taken as typed.
  Setze(w, "ens1", "66.3"), Klick(w, "Button2");
  QCOMPARE(ErsteAbweichung({m->Ns_[1]}, {66.3f}), -1);
  // A vegetation height that is no positive number becomes 0.5 m.
  QList<float> hoehen;
  for (const char* text : {"0", "0.3"}) Setze(w, "e_veghoehe", text), Klick(w, "Button2"), hoehen << m->Veg_Hoehe;
  QCOMPARE(hoehen, QList<float>({0.5f, 0.3f}));
  // What the soil preview cannot show (150 %, typed past 15 %) empties it.
  auto* vorschau = Kind<QLabel>(w, "l_tlf");
  for (const char* feuchte : {"15", "150"}) Setze(w, "E_relBodenfeuchte", feuchte);
  QVERIFY(vorschau->text().isEmpty());
  Setze(w, "E_relBodenfeuchte", "90");

  // Files: saved under the current name without a question, under a new one with the edits taken over.
  QTemporaryDir dir;
  const QString pfad = dir.filePath("Aachen.loc.db");
  m->Standortdatei = StdText(dir.filePath("Bochum.loc.db"));
  w.WerteAnzeigen(), Klick(w, "btSaveLoc");
  Setze(w, "e_locname", "Aachen"), Setze(w, "ens7", "99.9");
  w.antwort = pfad, Klick(w, "bt_savelocas");
  QVERIFY(m->Ortsname == "Aachen" && m->Standortdatei == StdText(pfad) && w.windowTitle() == "Standortprofil (" + pfad + ")");
  // Another state, then the file opened again and shown.
  m->Ortsname = "weg", m->Ns_[7] = 1;
  m->Startverzeichnis = StdText(QDir::rootPath());
  w.WerteAnzeigen(), Klick(w, "btOpenLocDatei");
  QVERIFY(m->Ortsname == "Aachen" && m->Ns_[7] == 99.9f && Text(w, "e_locname") == "Aachen" && Text(w, "ens7") == "99.9");
  QCOMPARE(QDir(dir.path()).entryList({"*.loc.db"}), (QStringList{"Aachen.loc.db", "Bochum.loc.db"}));

  QVERIFY(LadeStandortdatei(*m, ui, TERVAL_DATENVERZEICHNIS "/Bochum.loc.db"));
  m->Wetter_[1] = m->Wetter_[2] = 3, m->Wetter_[6] = m->Wetter_[7] = 1;
  w.WerteAnzeigen(), w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w) && Bild(w, "standortprofil.png"));
}

QTEST_MAIN(tst_TdlgStandortprofil)
#include "tst_TdlgStandortprofil.moc"
