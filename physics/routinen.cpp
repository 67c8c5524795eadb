#include "physics/routinen.h"

#include <cmath>
#include <string>
#include <string_view>

#include "model/Vardef.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

// The number in characters [von, von + 2) (1-based); 0 when missing or not a number.
double ZweiStellen(std::string_view text, size_t von) {
  if (text.size() < von) return 0;
  return ParseZahl(text.substr(von - 1, 2)).value_or(0.0);
}

// Width 2, no decimals, rounded; a single digit gets a leading "0".
std::string Zweistellig(double wert) {
  std::string text = FormatReal(wert, 2, 0);
  if (text.size() == 2 && text[0] == ' ') text[0] = '0';
  return text;
}

// Days of month 1..12 in a year without leap day; 0 for a month that does
// not exist, so a broken date moves on to the next valid one.
int TageImMonat(int monat) {
  switch (monat) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return 28;
    default:
      return 0;
  }
}

}  // namespace

void ZeitPlus(Modell& m, float sekunden) {
  const std::string_view zeit = m.AktZeit;
  float H = static_cast<float>(ZweiStellen(zeit, 1));
  float M = static_cast<float>(ZweiStellen(zeit, 4));
  float S = static_cast<float>(ZweiStellen(zeit, 7));

  S = S + sekunden;
  if (S > 59) {
    const float c = std::trunc(S / 60);
    M = M + c;
    S = S - 60 * c;
  }
  if (M > 59) {
    const float c = std::trunc(M / 60);
    M = M - 60 * c;
    H = H + c;
  }
  // One day at most per call: the generator only ever adds an hour.
  if (H > 23) {
    H = H - 24;
    NaechsterTag(m);
  }
  m.AktZeit = Zweistellig(H) + ":" + Zweistellig(M) + ":" + Zweistellig(S);
}

void NaechsterTag(Modell& m) {
  const std::string_view datum = m.AktDatum;
  auto feld = [&](size_t von, size_t laenge) -> std::string_view {
    if (datum.size() < von) return {};
    return datum.substr(von - 1, laenge);
  };
  long long D = GanzzahlAmAnfang(feld(1, 2));
  long long Mo = GanzzahlAmAnfang(feld(4, 2));
  const std::string jahr(feld(7, 4));

  D = D + 1;
  if (D > TageImMonat(static_cast<int>(Mo))) {
    D = 1;
    Mo = Mo + 1;
    if (Mo > 12) Mo = 1;
  }
  auto zweistellig = [](long long wert) {
    std::string text = wert >= 0 && wert < 10 ? "0" : "";
    text += std::to_string(wert);
    return text;
  };
  m.AktDatum = zweistellig(D) + "." + zweistellig(Mo) + "." + jahr;
}

}  // namespace terval
