#include "core/Laufvorrat.h"

#include <cstring>

#include "physics/getsoildata.h"

namespace terval {

namespace {

// Everything the trajectories read from the model, compared bit for bit.
struct Bahnschluessel {
  TBodenDaten boden;
  float startfeuchte = 0;
  int32_t zeitschritt = 0;
  bool mitFeuchte = false;
  std::vector<float> regen, verdunstung;  // Nieders and p_Verd_mm, hours 1..8760

  explicit Bahnschluessel(const Modell& m)
      : boden(*AktuellerBoden(m)),
        startfeuchte(m.StartBodenfeuchte),
        zeitschritt(m.FeuchteZeitschritt),
        mitFeuchte(m.MitFeuchte),
        regen(Stunden),
        verdunstung(Stunden) {
    for (int h = 1; h <= Stunden; ++h) {
      regen[h - 1] = m.Klima[h].Nieders;
      verdunstung[h - 1] = m.Klima[h].p_Verd_mm;
    }
  }
};

template <class T>
bool GleicheBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool GleicheBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

bool operator==(const Bahnschluessel& a, const Bahnschluessel& b) {
  const TBodenDaten &x = a.boden, &y = b.boden;
  const bool boden = x.Kuerzel == y.Kuerzel && x.BodenName == y.BodenName && x.Klasse == y.Klasse &&
                     GleicheBits(x.ThetaSat, y.ThetaSat) && GleicheBits(x.ThetaRef, y.ThetaRef) &&
                     GleicheBits(x.Wert3, y.Wert3) && GleicheBits(x.PsiSat, y.PsiSat) &&
                     GleicheBits(x.KSat, y.KSat) && GleicheBits(x.CBoden, y.CBoden) &&
                     GleicheBits(x.B_Exponent, y.B_Exponent) && GleicheBits(x.Wert8, y.Wert8);
  return boden && GleicheBits(a.startfeuchte, b.startfeuchte) && a.zeitschritt == b.zeitschritt &&
         a.mitFeuchte == b.mitFeuchte && GleicheBits(a.regen, b.regen) &&
         GleicheBits(a.verdunstung, b.verdunstung);
}

// What InitTProfil reads: the two mean temperatures and column 0's diffusivities.
struct Profilschluessel {
  float jahr = 0, sommer = 0;
  std::array<float, Zeilen> k{};
  explicit Profilschluessel(const Modell& m) : jahr(m.T_Jahresmittel), sommer(m.T_Sommermittel), k(m.K_Zelle[0]) {}
  bool operator==(const Profilschluessel& o) const {
    return GleicheBits(jahr, o.jahr) && GleicheBits(sommer, o.sommer) && GleicheBits(k, o.k);
  }
};

struct Profil {
  Schichten T_Profil{}, T_ProfilHilf{};
};

// Finds the entry of `schluessel` or makes one; true when the caller made
// it and must compute and publish its value.
template <class Eintrag, class Schluessel>
std::pair<std::shared_ptr<Eintrag>, bool> Finde(std::mutex& mutex, std::vector<std::shared_ptr<Eintrag>>& alle,
                                                 Schluessel&& schluessel) {
  std::lock_guard<std::mutex> sperre(mutex);
  for (const auto& e : alle)
    if (e->schluessel == schluessel) return {e, false};
  alle.push_back(std::make_shared<Eintrag>(std::move(schluessel)));
  return {alle.back(), true};
}

}  // namespace

struct Laufvorrat::Bahneintrag {
  explicit Bahneintrag(Bahnschluessel s) : schluessel(std::move(s)), wert(versprechen.get_future().share()) {}
  Bahnschluessel schluessel;
  std::promise<std::shared_ptr<Feuchtebahn>> versprechen;
  std::shared_future<std::shared_ptr<Feuchtebahn>> wert;
};

struct Laufvorrat::Profileintrag {
  explicit Profileintrag(Profilschluessel s) : schluessel(s), wert(versprechen.get_future().share()) {}
  Profilschluessel schluessel;
  std::promise<Profil> versprechen;
  std::shared_future<Profil> wert;
};

std::shared_ptr<Feuchtebahn> Laufvorrat::Bahn(const Modell& m) {
  if (!FeuchtebahnMoeglich(m)) return nullptr;
  auto [eintrag, neu] = Finde(mutex_, bahnen_, Bahnschluessel(m));
  if (neu) {
    try {
      // Computed here, whole, so that every run only reads it.
      auto bahn = std::make_shared<Feuchtebahn>(m, true, true, false);
      bahn->BisTag(Oberflaechenart::Offen, 365);
      bahn->BisTag(Oberflaechenart::Dicht, 365);
      eintrag->versprechen.set_value(std::move(bahn));
    } catch (...) {
      eintrag->versprechen.set_value(nullptr);  // the run goes its own way
    }
  }
  return eintrag->wert.get();
}

void Laufvorrat::StartProfil(Modell& m) {
  auto [eintrag, neu] = Finde(mutex_, profile_, Profilschluessel(m));
  if (neu) {
    InitTProfil(m);
    eintrag->versprechen.set_value({m.T_Profil, m.T_ProfilHilf});
    return;
  }
  const Profil& p = eintrag->wert.get();
  m.T_Profil = p.T_Profil;
  m.T_ProfilHilf = p.T_ProfilHilf;
}

std::shared_ptr<const Kanalvorlauf> Laufvorrat::Vorlauf(const std::string& schluessel) const {
  std::lock_guard<std::mutex> sperre(mutex_);
  const auto i = vorlaeufe_.find(schluessel);
  return i == vorlaeufe_.end() ? nullptr : i->second;
}

void Laufvorrat::Behalte(const std::string& schluessel, std::shared_ptr<const Kanalvorlauf> v) {
  std::lock_guard<std::mutex> sperre(mutex_);
  auto& alt = vorlaeufe_[schluessel];
  if (!alt || alt->T_aus.size() < v->T_aus.size()) alt = std::move(v);
}

void Laufvorrat::Vergiss(const std::string& schluessel) {
  std::lock_guard<std::mutex> sperre(mutex_);
  vorlaeufe_.erase(schluessel);
}

void Laufvorrat::ZaehleSegmente(int gerechnet, int uebernommen) {
  segmenteGerechnet_ += gerechnet;
  segmenteUebernommen_ += uebernommen;
}

int Laufvorrat::BahnenGerechnet() const {
  std::lock_guard<std::mutex> sperre(mutex_);
  return static_cast<int>(bahnen_.size());
}

int Laufvorrat::ProfileGerechnet() const {
  std::lock_guard<std::mutex> sperre(mutex_);
  return static_cast<int>(profile_.size());
}

}  // namespace terval
