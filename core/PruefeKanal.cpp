// The checks of the channel before a run: what the grid model can represent.
#include <algorithm>
#include <string>

#include "core/Cor_mod.h"
#include "model/Oberflaeche.h"
#include "model/Zahltext.h"

namespace terval {

bool PruefeKanal(Modell& m, Oberflaeche& ui) {
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  for (int s = 1; s <= segmente; ++s) {
    Kanalsegment& seg = m.Segmente[s];
    const int n = seg.Anz_Rohre;
    const float a = seg.Abst_Rohre;
    const float R = m.Rohrdaten.Rohr_Ra[n == 1 ? 1 : 2];
    // Block width with the values as they stand (a count of 0 included).
    const float W = 2.0f * static_cast<float>(n) * R + static_cast<float>(n - 1) * a;
    const std::string nr = FormatInt(s);

    if (n > 1 && a == 0.0f) {
      ui.Fehler("Das Rohrregister in Segment " + nr + " weist einen ungültigen Rohrabstand (=0) auf !");
      return false;
    }
    if (n == 0) {
      ui.Fehler("In Segment " + nr + " wurde als Rohrzahl \"0\" eingegeben. Korrigiere auf \"1\"");
      seg.Anz_Rohre = 1;
    }
    if ((W / 2.0f + RandAbstand) / DX > 39.0f) {
      ui.Fehler("Das Rohrregister in Segment " + nr + " ist zu breit für dieses Modell !\r"
                "Dieser Fehler sollte normalerweise nicht vorkommen. Prüfen Sie, ob die "
                "Eingabedaten korrekt sind !");
      return false;
    }
    if (seg.Abst_Geb_li > 0 && W / 2.0f > seg.Abst_Geb_li) {
      ui.Fehler("Fehler im Segment " + nr +
                "\rDer Abstand zur Kellerwand links ist kleiner als die halbe Registerbreite"
                "\rEin Teil des Registers liegt somit im Keller..."
                "\rDer Abstand zum Keller wurde erweitert um das Register einzupassen !");
      seg.Abst_Geb_li = W / 2.0f + 2.0f;
    }
    if (seg.Abst_Geb_re > 0 && W / 2.0f > seg.Abst_Geb_re) {
      ui.Fehler("Fehler im Segment " + nr +
                "\rDer Abstand zur Kellerwand rechts ist kleiner als die halbe Registerbreite"
                "\rEin Teil des Registers liegt somit im Keller..."
                "\rDer Abstand zum Keller wurde erweitert um das Register einzupassen !");
      seg.Abst_Geb_re = W / 2.0f + 2.0f;
    }
  }
  return true;
}

bool PruefeGitter(const Modell& m, Oberflaeche& ui) {
  const int segmente = std::min(m.Anz_Segmente, MaxSegmente);
  for (int s = 1; s <= segmente; ++s) {
    const Kanalsegment& seg = m.Segmente[s];
    const std::string nr = FormatInt(s);
    const std::string tiefe = FormatReal(seg.Tiefe, 1, 2);

    if (seg.Anz_Rohre < 1) {
      ui.Fehler("In Segment " + nr + " ist die Rohrzahl " + FormatInt(seg.Anz_Rohre) +
                " ungültig !\rGeben Sie mindestens 1 Rohr ein.");
      return false;
    }
    if (seg.Anz_Rohre > 1 && seg.Abst_Rohre < 0) {
      ui.Fehler("Das Rohrregister in Segment " + nr +
                " hat einen negativen Rohrabstand !\rGeben Sie einen Rohrabstand größer als 0 ein.");
      return false;
    }
    if (seg.Abst_Geb_li < 0 || seg.Abst_Geb_re < 0) {
      ui.Fehler("In Segment " + nr + " ist der Abstand zur Kellerwand " +
                (seg.Abst_Geb_li < 0 ? "links" : "rechts") +
                " negativ !\rGeben Sie 0 (kein Gebäude) oder einen positiven Abstand ein.");
      return false;
    }

    const GitterAufbau g = BerechneGitterAufbau(m, s);
    const int spalten = g.n_li + g.n_re;
    if (spalten > MaxSpalten) {
      ui.Fehler("Das Modell für Segment " + nr + " bräuchte " + FormatInt(spalten) +
                " Spalten, möglich sind höchstens 40 !\rVerringern Sie die Abstände zu den "
                "Kellerwänden oder die Breite des Rohrregisters.");
      return false;
    }

    // The pipe square spans rows Z-nr..Z+nr-1 (just Z for nr < 1); it needs a
    // soil row above it and the grid's bottom row (8 m) below it.
    const int nr_z = g.RohrZellRadius;
    const int oben = nr_z < 1 ? g.RohrZeile : g.RohrZeile - nr_z;
    const int unten = nr_z < 1 ? g.RohrZeile : g.RohrZeile + nr_z - 1;
    if (oben < 1) {
      ui.Fehler("Die Rohre in Segment " + nr + " liegen zu flach für dieses Modell !\r"
                "Über den Rohren muss mindestens eine Bodenschicht bleiben. Vergrößern Sie die "
                "Tiefe der Rohrachse (derzeit " + tiefe + " m).");
      return false;
    }
    if (unten > UntersteZeile - 1) {
      ui.Fehler("Die Rohre in Segment " + nr + " liegen zu tief für dieses Modell !\r"
                "Das Modell reicht bis 8 m Tiefe, unter den Rohren muss mindestens eine "
                "Bodenschicht bleiben. Verringern Sie die Tiefe der Rohrachse (derzeit " +
                tiefe + " m).");
      return false;
    }

    // Pipe centres are linear in the pipe number, so the first and the last
    // pipe bound the block.
    const int erste = RohrSpalte(g, 1), letzte = RohrSpalte(g, seg.Anz_Rohre);
    const int links = nr_z < 1 ? erste : erste - nr_z;
    const int rechts = nr_z < 1 ? letzte : letzte + nr_z - 1;
    if (links < 1 || rechts > spalten - 2) {
      ui.Fehler("Das Rohrregister in Segment " + nr + " reicht bis an den Rand des Modells !\r"
                "Neben den Rohren muss auf beiden Seiten mindestens eine Bodenspalte bleiben. "
                "Vergrößern Sie die Abstände zu den Kellerwänden.");
      return false;
    }
  }
  return true;
}

}  // namespace terval
