// The pictures of a run for a report ("--bilder"). The library draws
// nothing itself: the desktop program's renderer implements Bildmaler and
// the batch program hands it over; the library decides which pictures a run
// gets and writes them into its result set.
#pragma once

#include <string>

#include "output/Bodenjahr.h"
#include "output/Jahresbilanz.h"

namespace terval {

class Ergebnissatz;
class Oberflaeche;

class Bildmaler {
 public:
  virtual ~Bildmaler() = default;
  // Each returns the picture as PNG bytes, empty when it cannot be drawn.
  // The soil field of one day on the colour scale `bereich`.
  virtual std::string Bodenbild(const Bodenfeld& feld, const Temperaturbereich& bereich) = 0;
  virtual std::string Monatsbild(const Monatswaerme& waerme) = 0;
  virtual std::string Dauerlinienbild(const Dauerlinien& linien) = 0;
  // The run's last picture is drawn: what the renderer started for it may go.
  virtual void Fertig() {}
};

// The endings of the pictures in a result set.
std::string BodenbildEndung(int tag);  // " Bild Boden Tag 14.png"
inline constexpr char MonatsbildEndung[] = " Bild Monate.png";
inline constexpr char DauerlinienbildEndung[] = " Bild Dauerlinie.png";

// Draws the run's pictures into `satz`: the marked segment's field on each
// reference day `boden` holds, the monthly heat and the duration curves of
// the model's year. A picture that cannot be drawn fails the set, as a
// writer that cannot write, after a message.
void WriteBilder(const Modell& m, const Bodenjahr& boden, Bildmaler& maler, Oberflaeche& ui, Ergebnissatz& satz);

}  // namespace terval
