#include "output/Bildmaler.h"

#include "model/Oberflaeche.h"
#include "model/Zahltext.h"
#include "output/DBErgout.h"
#include "output/Ergebnissatz.h"

namespace terval {

std::string BodenbildEndung(int tag) { return " Bild Boden Tag " + FormatInt(tag) + ".png"; }

void WriteBilder(const Modell& m, const Bodenjahr& boden, Bildmaler& maler, Oberflaeche& ui, Ergebnissatz& satz) {
  auto schreibe = [&](const std::string& endung, const std::string& png) {
    if (png.empty()) {
      ui.Fehler("Das Bild \"" + satz.Name(endung) + "\" konnte nicht gezeichnet werden !");
      satz.Arbeitspfad(endung);
      satz.Geschrieben(endung, false, "das Bild konnte nicht gezeichnet werden");
      return;
    }
    WriteDatei(satz, endung, png);
  };
  const Temperaturbereich bereich = boden.Bereich();
  for (int tag : Referenztage)
    if (const Bodenfeld* f = boden.Tag(tag)) schreibe(BodenbildEndung(tag), maler.Bodenbild(*f, bereich));
  schreibe(MonatsbildEndung, maler.Monatsbild(Monatsbilanz(m)));
  schreibe(DauerlinienbildEndung, maler.Dauerlinienbild(Dauerlinie(m, StandardGrenze)));
  maler.Fertig();
}

}  // namespace terval
