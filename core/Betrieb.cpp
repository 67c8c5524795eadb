// The fan schedule: the hourly volume flow of the whole channel.
#include "core/Cor_mod.h"
#include "model/Oberflaeche.h"

namespace terval {

bool Stundenvolumenstroeme(const Modell& m, Stundenfeld& V) {
  const TKanalbetrieb& b = m.Kanalbetrieb;
  if (b.Volstrom < 0) return false;
  if (b.VolStromAusKlima) {
    for (int h = 1; h <= Stunden; ++h) V[h] = m.Klima[h].Vol_Strom / 3600.0f;
    return true;
  }

  const float Q_ein = static_cast<float>(b.Volstrom) / 3600.0f;
  const float Q_aus = static_cast<float>(b.Vol_Aus) / 3600.0f;
  if (b.Betriebsart == 0) {
    for (int h = 1; h <= Stunden; ++h) V[h] = Q_ein;
    return true;
  }
  if (b.Betriebsart < 1 || b.Betriebsart > 3) return false;
  // Equal hours are accepted and simply never switch the fan on.
  if (b.Ein_Zeit > b.Aus_Zeit) return false;
  for (int d = 1; d <= 365; ++d) {
    // Five-day operation counts the days of the climate year, so every day
    // divisible by 6 or 7 is off (6, 7, 12, 14, 18, 21, ...).
    const bool freierTag = b.Fuenftagebetrieb && (d % 6 == 0 || d % 7 == 0);
    for (int k = 0; k < 24; ++k) {
      const int h = StundenIndex(d, k);
      const float T = m.Klima[h].T_Luft;
      // A temperature exactly on a threshold lies between them: fan off.
      const bool zeit = b.Ein_Zeit <= k && k < b.Aus_Zeit;
      const bool temperatur = T < b.Heiz_T || T > b.Kuehl_T;
      bool ein = false;
      if (b.Betriebsart == 1) ein = zeit;
      else if (b.Betriebsart == 2) ein = temperatur;
      else ein = zeit && temperatur;
      V[h] = !freierTag && ein ? Q_ein : Q_aus;
    }
  }
  return true;
}

bool CalcVolumenstrom(Modell& m, Oberflaeche& ui) {
  const TKanalbetrieb& b = m.Kanalbetrieb;
  // Checked first, also when the table supplies the flows.
  if (b.Volstrom < 0) {
    ui.Fehler("Der Wert für den Volumenstrom ist ungültig !");
    return false;
  }
  if (b.VolStromAusKlima) ui.Information("Die Volumenstromdaten werden aus der Klimatabelle entnommen !");
  // An unknown mode leaves the flows as they are.
  else if (b.Betriebsart < 0 || b.Betriebsart > 3) return true;
  else if (b.Betriebsart == 0 && b.Volstrom == 0) ui.Warnung(KeinVolumenstrom);
  else if (b.Betriebsart != 0 && b.Ein_Zeit > b.Aus_Zeit) {
    ui.Fehler("Ungülige Zeitsteuerung für den Volumenstrom: EIN muß vor AUS liegen !");
    return false;
  }
  return Stundenvolumenstroeme(m, m.VolStromStunde);
}

}  // namespace terval
