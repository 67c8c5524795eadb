// How long a variant study takes: 1000 designs of single-pipe channels on
// the shipped sample (location "Bochum.loc.db", the Aachen 2022 year with
// its rain generated, seed 1), moisture model on at its default step, on
// every core. "Raster" is a full factorial design (5 lengths of 20 to 60
// segments x 5 depths x 5 bores x 8 flows), where the variants of one
// design that differ in their length share their segments; "Zufall" draws
// each variant's length, depth, bore, wall and flow at random, so few share
// anything but the climate, trajectories and start profile. "Eine" is one
// variant of 40 segments alone: the single run the study compares with.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

#include "batch/Studie.h"
#include "model/Oberflaeche.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

const char* const Kopf = "Name;Segmente;Tiefe;Innendurchmesser_mm;Wanddicke_mm;Anz_Rohre;Volumenstrom\n";

std::string Raster() {
  std::ostringstream s;
  s << Kopf;
  int n = 0;
  for (int laenge : {20, 30, 40, 50, 60})
    for (const char* tiefe : {"1.2", "1.5", "2", "2.5", "3"})
      for (int bohrung : {150, 200, 250, 300, 400})
        for (int strom : {100, 150, 200, 250, 300, 350, 400, 500})
          s << 'V' << ++n << ';' << laenge << ';' << tiefe << ';' << bohrung << ";8;1;" << strom << '\n';
  return s.str();
}

std::string Zufall() {
  std::mt19937 zufall(7);
  auto eins = [&](std::initializer_list<const char*> werte) { return werte.begin()[zufall() % werte.size()]; };
  std::ostringstream s;
  s << Kopf;
  for (int i = 1; i <= 1000; ++i)
    s << 'V' << i << ';' << 20 + zufall() % 41 << ';' << eins({"1.2", "1.5", "1.8", "2", "2.5", "3"}) << ';'
      << eins({"150", "200", "250", "300", "400"}) << ';' << eins({"6", "8", "10", "12"}) << ";1;"
      << eins({"100", "150", "200", "250", "300", "400"}) << '\n';
  return s.str();
}

void BM_Studie(benchmark::State& state, const std::string& studie) {
  const std::string d = std::string(TERVAL_DATENVERZEICHNIS) + "/";
  if (!fs::exists(d + "Aachen2022.DBF")) {
    state.SkipWithError("Beispieldaten fehlen");
    return;
  }
  const fs::path dir = fs::temp_directory_path() / ("terval_studie_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "studie.csv") << studie;
  Studienauftrag a;
  a.datei = (dir / "studie.csv").string();
  a.basis.kanal = d + "Erdkanal.ewt.db";
  a.basis.standort = d + "Bochum.loc.db";
  a.basis.klima = {d + "Aachen2022.DBF"};
  a.basis.erzeugen = true;
  a.basis.seed = 1u;
  a.verzeichnis = dir.string();
  Studienbericht b;
  for (auto _ : state) {
    StilleOberflaeche ui;
    b = FuehreStudieAus(a, ui, [] { return true; }, [](int, int) {});
  }
  fs::remove_all(dir);
  if (b.ausgang != Studienausgang::Fertig || b.ohneErgebnis > 0) {
    state.SkipWithError("Die Studie lief nicht durch");
    return;
  }
  state.counters["Varianten"] = static_cast<double>(b.varianten);
  state.counters["Segmentjahre"] = static_cast<double>(b.segmenteGerechnet);
  state.counters["uebernommen"] = static_cast<double>(b.segmenteUebernommen);
}

BENCHMARK_CAPTURE(BM_Studie, Eine, std::string("Name;Segmente;Tiefe;Innendurchmesser_mm;Wanddicke_mm;Anz_Rohre;"
                                                "Volumenstrom\nV;40;2;250;8;1;250\n"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Studie, Raster, Raster())->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(BM_Studie, Zufall, Zufall())->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace terval
