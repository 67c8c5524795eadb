// The chart "EWT-Betrieb": what DrawSegment puts into which series in the
// three display modes, and how the display controls behave.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "Fensterhilfen.h"
#include "ui/Diagramm.h"

using namespace terval;
using namespace terval::test;

namespace {

// A model whose values tell where they came from: inlet 10 + h/10000,
// outlet of segment s = inlet + s, channel flow 0.5 m3/s.
void Kennwerte(Modell& m, int segmente) {
  m.Anz_Segmente = segmente;
  for (int h = 1; h <= Stunden; ++h) {
    m.Segmente[1].T_ein[h] = 10.0f + h / 10000.0f;
    for (int s = 1; s <= segmente; ++s) m.Segmente[s].T_aus[h] = m.Segmente[1].T_ein[h] + s;
    m.VolStromStunde[h] = 0.5f;
  }
}

QList<double> Ywerte(QLineSeries* r) {
  QList<double> y;
  for (const QPointF& p : r->points()) y << p.y();
  return y;
}

void Eingeben(QLineEdit* e, const QString& text) {
  e->clear();
  QTest::keyClicks(e, text);
  QTest::keyClick(e, Qt::Key_Return);
}

}  // namespace

class tst_Diagramm : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void achsenUndReihen();
  void vorEinemLaufNurEintritt();
  void jahresverlaufMitErgebnissen();
  void tagesverlauf();
  void kanalverlaufZwoelfMonate();
  void stunde24WirdZwoelf();
  void schiebereglerUndEingabe();
  void segmentNullUndJenseitsDesKanals();
  void segmentwahlZeichnetNeu();
  void inDieZwischenablage();
  void drucken();
};

void tst_Diagramm::achsenUndReihen() {
  Aufbau a;
  Diagramm* d = a.f->Chart();
  QCOMPARE(d->chart()->title(), QString("EWT-Betrieb"));
  QCOMPARE(d->AchseT()->titleText(), QString("T (°C)"));
  QCOMPARE(d->AchseW()->titleText(), QString("W"));
  QCOMPARE(d->AchseT()->alignment(), Qt::AlignLeft);
  QCOMPARE(d->AchseW()->alignment(), Qt::AlignRight);
  QCOMPARE(d->Tin()->name(), QString("Tin"));
  QCOMPARE(d->Taus()->name(), QString("Taus"));
  QCOMPARE(d->Tdelta()->name(), QString("Tdelta"));
  QCOMPARE(d->Energie()->name(), QString("Energie"));
  QCOMPARE(d->Tin()->color(), QColor(255, 0, 0));
  QCOMPARE(d->Taus()->color(), QColor(0, 128, 0));
  QCOMPARE(d->Tdelta()->color(), QColor(255, 255, 0));
  QCOMPARE(d->Energie()->color(), QColor(255, 128, 0));
  QVERIFY(d->Energie()->attachedAxes().contains(d->AchseW()));
  QVERIFY(d->Tin()->attachedAxes().contains(d->AchseT()));
  const QStringList monate = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                              "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  for (int i = 1; i <= 12; ++i) QCOMPARE(d->Monat(i)->name(), monate[i - 1]);
  QCOMPARE(d->chart()->backgroundBrush().color(), QColor(192, 192, 192));
  auto* modus = Kind<QComboBox>(*a.f, "cbDisplaymode");
  QCOMPARE(modus->itemText(0), QString("Jahresverlauf im (aktuellen) Segment"));
  QCOMPARE(modus->itemText(1), QString("Tagesverlauf im (aktuellen) Segment"));
  QCOMPARE(modus->itemText(2), QString("Temperaturverlauf im Kanal"));
}

void tst_Diagramm::vorEinemLaufNurEintritt() {
  Aufbau a;
  Kennwerte(*a.m, 4);
  a.m->ErgebnisseVorhanden = false;
  a.f->DrawSegment(2);
  Diagramm* d = a.f->Chart();
  QCOMPARE(d->Tin()->count(), 365);
  // Day d at hour 13 is hour index (d-1)*24 + 14; x counts the points.
  QCOMPARE(d->Tin()->at(0), QPointF(0, 10.0f + 14 / 10000.0f));
  QCOMPARE(d->Tin()->at(364), QPointF(364, 10.0f + (364 * 24 + 14) / 10000.0f));
  QCOMPARE(d->Taus()->count(), 0);
  QCOMPARE(d->Tdelta()->count(), 0);
  QCOMPARE(d->Energie()->count(), 0);
  QVERIFY(d->Taus()->isVisible());
}

void tst_Diagramm::jahresverlaufMitErgebnissen() {
  Aufbau a;
  Kennwerte(*a.m, 4);
  a.m->ErgebnisseVorhanden = true;
  Kind<QCheckBox>(*a.f, "cbShowEnergie")->click();
  a.f->DrawSegment(3);
  Diagramm* d = a.f->Chart();
  QCOMPARE(d->Taus()->count(), 365);
  const int h = StundenIndex(100, 13);
  QCOMPARE(d->Taus()->at(99).y(), double(10.0f + h / 10000.0f + 3));
  QCOMPARE(d->Tdelta()->at(99).y(), double(a.m->Segmente[3].T_aus[h] - a.m->Segmente[1].T_ein[h]));
  // 1200 J/(m3 K) x 0.5 m3/s x about 3 K = about 1800 W.
  QCOMPARE(d->Energie()->at(99).y(),
           double(1200.0f * 0.5f * (a.m->Segmente[3].T_aus[h] - a.m->Segmente[1].T_ein[h])));
  QVERIFY(qAbs(d->Energie()->at(99).y() - 1800) < 0.01);
  QVERIFY(d->Energie()->isVisible());
  QVERIFY(d->AchseW()->max() >= 1800);
  QCOMPARE(Kind<QSpinBox>(*a.f, "eShowSegnr")->value(), 3);
}

void tst_Diagramm::tagesverlauf() {
  Aufbau a;
  Kennwerte(*a.m, 4);
  a.m->ErgebnisseVorhanden = true;
  auto* modus = Kind<QComboBox>(*a.f, "cbDisplaymode");
  modus->setCurrentIndex(1);
  QCOMPARE(Kind<QLabel>(*a.f, "l_display")->text(), QString("Angezeigter Tag:"));
  auto* tb = Kind<QSlider>(*a.f, "tb_display");
  QCOMPARE(tb->minimum(), 1);
  QCOMPARE(tb->maximum(), 365);
  QCOMPARE(tb->value(), 166);
  QCOMPARE(tb->tickInterval(), 10);
  QCOMPARE(Kind<QLineEdit>(*a.f, "e_display")->text(), QString("166"));
  Diagramm* d = a.f->Chart();
  QCOMPARE(d->Tin()->count(), 24);
  QCOMPARE(d->Taus()->count(), 24);
  for (int stunde = 0; stunde < 24; ++stunde)
    QCOMPARE(d->Tin()->at(stunde),
             QPointF(stunde, 10.0f + StundenIndex(166, stunde) / 10000.0f));
  // A day typed beyond the year is drawn as the last day.
  Eingeben(Kind<QLineEdit>(*a.f, "e_display"), "400");
  QCOMPARE(d->Tin()->at(0).y(), double(10.0f + StundenIndex(365, 0) / 10000.0f));
}

void tst_Diagramm::kanalverlaufZwoelfMonate() {
  Aufbau a;
  Kennwerte(*a.m, 10);
  a.m->ErgebnisseVorhanden = true;
  a.f->Updatedisplay();
  Kind<QCheckBox>(*a.f, "cbShowEnergie")->click();
  Kind<QComboBox>(*a.f, "cbDisplaymode")->setCurrentIndex(2);
  Diagramm* d = a.f->Chart();
  QCOMPARE(d->chart()->series().size(), 13);  // twelve months and the hidden power
  for (QLineSeries* r : {d->Tin(), d->Taus(), d->Tdelta()}) QVERIFY(!r->chart());
  QVERIFY(!d->Energie()->isVisible());
  for (int monat = 1; monat <= 12; ++monat) {
    QLineSeries* r = d->Monat(monat);
    QCOMPARE(r->chart(), d->chart());
    QCOMPARE(r->count(), 10);
    // Reference day 30 (m-1) + 15 at hour 13; outlet of segment s = inlet + s.
    const int h = StundenIndex(30 * (monat - 1) + 15, 13);
    for (int s = 1; s <= 10; ++s)
      QCOMPARE(r->at(s - 1), QPointF(s - 1, double(10.0f + h / 10000.0f + s)));
  }
  QCOMPARE(Kind<QLabel>(*a.f, "l_display")->text(), QString("Angezeigte Stunde:"));
  QCOMPARE(Kind<QSlider>(*a.f, "tb_display")->value(), 13);
  QVERIFY(!Kind<QSpinBox>(*a.f, "eShowSegnr")->isEnabled());

  // Back to the year course: the months leave, the three come back.
  Kind<QComboBox>(*a.f, "cbDisplaymode")->setCurrentIndex(0);
  for (int monat = 1; monat <= 12; ++monat) QVERIFY(!d->Monat(monat)->chart());
  for (QLineSeries* r : {d->Tin(), d->Taus(), d->Tdelta()}) QCOMPARE(r->chart(), d->chart());
  QVERIFY(d->Energie()->isVisible());
  QVERIFY(Kind<QSpinBox>(*a.f, "eShowSegnr")->isEnabled());
}

void tst_Diagramm::stunde24WirdZwoelf() {
  for (int modus : {0, 2}) {
    Aufbau a;
    Kennwerte(*a.m, 3);
    a.m->ErgebnisseVorhanden = true;
    Kind<QComboBox>(*a.f, "cbDisplaymode")->setCurrentIndex(modus);
    auto* e = Kind<QLineEdit>(*a.f, "e_display");
    Eingeben(e, "24");
    QCOMPARE(e->text(), QString("12"));
    QCOMPARE(Kind<QSlider>(*a.f, "tb_display")->value(), 12);
    QLineSeries* r = modus == 0 ? a.f->Chart()->Tin() : a.f->Chart()->Monat(1);
    const float tin = 10.0f + StundenIndex(modus == 0 ? 1 : 15, 12) / 10000.0f;
    QCOMPARE(r->at(0).y(), double(modus == 0 ? tin : tin + 1));
  }
}

void tst_Diagramm::schiebereglerUndEingabe() {
  Aufbau a;
  Kennwerte(*a.m, 3);
  auto* tb = Kind<QSlider>(*a.f, "tb_display");
  auto* e = Kind<QLineEdit>(*a.f, "e_display");
  a.f->DrawSegment(1);
  const QList<double> vorher = Ywerte(a.f->Chart()->Tin());
  // Moving the track bar copies its position; the chart waits for Enter.
  tb->setValue(7);
  QCOMPARE(e->text(), QString("7"));
  QCOMPARE(Ywerte(a.f->Chart()->Tin()), vorher);
  QTest::keyClick(e, Qt::Key_Return);
  QCOMPARE(a.f->Chart()->Tin()->at(0).y(), double(10.0f + StundenIndex(1, 7) / 10000.0f));
  // A text that is no number leaves the track bar and still redraws.
  Eingeben(e, "abc");
  QCOMPARE(tb->value(), 7);
  QCOMPARE(a.f->Chart()->Tin()->count(), 365);
  Eingeben(e, "5");
  QCOMPARE(tb->value(), 5);
  QCOMPARE(a.f->Chart()->Tin()->at(0).y(), double(10.0f + StundenIndex(1, 5) / 10000.0f));
}

void tst_Diagramm::segmentNullUndJenseitsDesKanals() {
  Aufbau a;
  Kennwerte(*a.m, 3);
  a.m->ErgebnisseVorhanden = true;
  a.f->DrawSegment(2);
  Diagramm* d = a.f->Chart();
  const QList<double> taus = Ywerte(d->Taus());
  a.f->DrawSegment(4);  // beyond the channel: nothing at all
  QCOMPARE(Ywerte(d->Taus()), taus);
  Kind<QCheckBox>(*a.f, "cb_tout")->setChecked(false);
  a.f->DrawSegment(0);  // with results: only the visibility follows
  QCOMPARE(Ywerte(d->Taus()), taus);
  QVERIFY(!d->Taus()->isVisible());
  QCOMPARE(Kind<QSpinBox>(*a.f, "eShowSegnr")->value(), 2);

  // Without results segment 0 draws the inlet.
  a.m->ErgebnisseVorhanden = false;
  a.f->DrawSegment(0);
  QCOMPARE(d->Tin()->count(), 365);
  QCOMPARE(d->Taus()->count(), 0);
}

void tst_Diagramm::segmentwahlZeichnetNeu() {
  Aufbau a;
  Kennwerte(*a.m, 5);
  a.m->ErgebnisseVorhanden = true;
  a.f->Updatedisplay();
  auto* seg = Kind<QSpinBox>(*a.f, "eShowSegnr");
  QCOMPARE(seg->maximum(), 5);
  seg->setValue(4);
  const int h = StundenIndex(1, 13);
  QCOMPARE(a.f->Chart()->Taus()->at(0).y(), double(a.m->Segmente[4].T_aus[h]));
  // "Diagramm neuzeichnen" draws the chosen segment with the new data.
  a.m->Segmente[4].T_aus[h] = 99;
  Kind<QPushButton>(*a.f, "bt_Redraw")->click();
  QCOMPARE(a.f->Chart()->Taus()->at(0).y(), 99.0);
}

void tst_Diagramm::inDieZwischenablage() {
  Aufbau a;
  Kennwerte(*a.m, 3);
  a.f->DrawSegment(1);
  a.f->resize(900, 600);
  QGuiApplication::clipboard()->clear();
  Kind<QPushButton>(*a.f, "bt_CopyChart")->click();
  QCOMPARE(a.ui.nachrichten,
           (std::vector<Nachricht>{
               {"Information", "Das Diagramm wurde erfolgreich in die Zwischanablage kopiert !"}}));
  const QImage bild = QGuiApplication::clipboard()->image();
  QVERIFY(!bild.isNull());
  // Copied on white; the window's chart is silver again.
  QCOMPARE(QColor(bild.pixel(2, 2)), QColor(Qt::white));
  QCOMPARE(a.f->Chart()->chart()->backgroundBrush().color(), QColor(192, 192, 192));
}

void tst_Diagramm::drucken() {
  Aufbau a;
  Kennwerte(*a.m, 3);
  a.f->DrawSegment(1);
  auto* knopf = Kind<QPushButton>(*a.f, "bt_PrintChart");
  knopf->click();  // cancelled: nothing happens
  QVERIFY(a.ui.nachrichten.empty());
  QTemporaryDir dir;
  a.f->druckdatei = dir.filePath("Diagramm.pdf");
  knopf->click();
  QFile pdf(a.f->druckdatei);
  QVERIFY(pdf.open(QIODevice::ReadOnly));
  QVERIFY(pdf.read(5) == "%PDF-");
  QVERIFY(pdf.size() > 1000);
  QCOMPARE(a.f->Chart()->chart()->backgroundBrush().color(), QColor(192, 192, 192));
}

QTEST_MAIN(tst_Diagramm)
#include "tst_Diagramm.moc"
