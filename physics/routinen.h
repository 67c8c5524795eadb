// The running date and time texts of the climate generator, so that it can
// walk through the year hour by hour.
#pragma once

namespace terval {

struct Modell;

// Advances AktZeit ("hh:mm" or "hh:mm:ss"; a missing or broken field counts
// as 0) by `sekunden` and writes it as "hh:mm:ss". Passing midnight calls
// NaechsterTag once (one day at most per call).
void ZeitPlus(Modell& m, float sekunden);
// Advances AktDatum ("dd.mm.yyyy") by one day in a 365-day year; 31.12 goes
// to 01.01 and the year text stays as it is.
void NaechsterTag(Modell& m);

}  // namespace terval
