// Climate tables as text: read through the climate table interface, then a
// few cells written back. Every value written must read back exactly, and
// the file must stay readable with the same shape.
#include <algorithm>

#include "climate/Klimatabelle.h"
#include "fuzz/Fuzzhilfe.h"

using namespace terval;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "k.txt");
  int saetze = 0, spalten = 0;
  {
    Klimaoeffnung o = OeffneKlimatabelle(pfad, false);
    if (!o.tabelle) {
      if (o.fehler.empty()) fuzz::Befund("abgelehnt ohne Meldung");
      return 0;
    }
    Klimatabelle& t = *o.tabelle;
    saetze = t.Datensaetze();
    spalten = t.Spalten();
    for (int s = -1; s <= std::min(saetze, 300); ++s)
      for (int c = -1; c <= spalten; ++c) {
        (void)t.IstLeer(s, c);
        (void)t.Zahl(s, c);
      }
    std::string fehler;
    if (!t.Schliessen(fehler)) fuzz::Befund("Schliessen nach dem Lesen gescheitert");
  }

  // Write a short, a long and a negative value into the first records.
  struct Zelle {
    int s, c;
    float wert;
  };
  std::vector<Zelle> geschrieben;
  {
    Klimaoeffnung o = OeffneKlimatabelle(pfad, true);
    if (!o.tabelle) fuzz::Befund("lesbar, aber nicht zum Schreiben zu öffnen");
    const float werte[] = {-999.0f, 1.2345678e-8f, 12345.5f};
    for (int s = 0; s < std::min(saetze, 3); ++s)
      for (int c = 1; c < spalten; ++c) {
        const float w = werte[(s + c) % 3];
        if (o.tabelle->Setze(s, c, w)) geschrieben.push_back({s, c, w});
      }
    std::string fehler;
    if (!o.tabelle->Schliessen(fehler)) fuzz::Befund("Speichern gescheitert");
  }
  fuzz::KeineFremdenDateien({"k.txt"});
  Klimaoeffnung o = OeffneKlimatabelle(pfad, false);
  if (!o.tabelle) fuzz::Befund("die gespeicherte Tabelle lässt sich nicht mehr lesen");
  if (o.tabelle->Datensaetze() != saetze || o.tabelle->Spalten() != spalten)
    fuzz::Befund("die gespeicherte Tabelle hat eine andere Form");
  for (const Zelle& z : geschrieben)
    if (o.tabelle->Zahl(z.s, z.c) != z.wert) fuzz::Befund("geschriebener Wert kommt nicht zurück");
  return 0;
}
