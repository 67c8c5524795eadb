// The running date and time texts of the climate generator.
#pragma once

namespace terval {

struct Modell;

// Advances AktZeit by `sekunden`; passing midnight calls NaechsterTag once.
void ZeitPlus(Modell& m, float sekunden);
// Advances AktDatum by one day (365-day year; the year text stays).
void NaechsterTag(Modell& m);

}  // namespace terval
