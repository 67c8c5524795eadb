// The result set: a kill at any step of writing leaves the earlier set or the
// new one once the next run has opened the stem, never a mixture and never a
// stray file; one run per stem.
#include "output/Ergebnissatz.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>

namespace terval {
namespace {

namespace fs = std::filesystem;
using Inhalt = std::map<std::string, std::string>;  // ending -> bytes

// The earlier set (a table run with a day course) and the new one (a text run
// with two fields): the new set keeps no table and no day course.
const Inhalt Alt = {{" Gesamtergebnis.dbf", "alte Tabelle"}, {" Gesamtergebnis.cpg", "1252"},
                    {" Kanal Tag 14.TXT", "altes Profil"},   {" Verlauf Tag 14.TXT", "alter Verlauf"},
                    {"2D Feld Seg   1 Tag  14.DAT", "altes Feld"}};
const Inhalt Neu = {{" Gesamtergebnis.TXT", "neue Textdatei"},
                    {" Kanal Tag 14.TXT", "neues Profil"},
                    {"2D Feld Seg   1 Tag  14.DAT", "neues Feld"},
                    {"2D Feld Seg   1 Tag  74.DAT", "neues Feld 74"}};

// Every file under `wurzel` (relative name -> bytes), hidden ones included.
std::map<std::string, std::string> Baum(const fs::path& wurzel) {
  std::map<std::string, std::string> b;
  for (const auto& e : fs::recursive_directory_iterator(wurzel)) {
    if (!e.is_regular_file()) continue;
    std::ifstream f(e.path(), std::ios::binary);
    b[fs::relative(e.path(), wurzel).string()] = std::string(std::istreambuf_iterator<char>(f), {});
  }
  return b;
}

bool Schreibe(const std::string& verzeichnis, const std::string& stamm, const Inhalt& inhalt) {
  std::string fehler;
  auto satz = Ergebnissatz::Oeffnen(verzeichnis, stamm, fehler);
  if (!satz) return false;
  for (const auto& [endung, bytes] : inhalt) {
    std::ofstream(satz->Arbeitspfad(endung), std::ios::binary) << bytes;
    satz->Geschrieben(endung, true);
  }
  return satz->Uebernehmen(fehler);
}

// Opens the stem and lets it go again, as the next run does first.
void Oeffne(const std::string& verzeichnis, const std::string& stamm) {
  std::string fehler;
  EXPECT_TRUE(Ergebnissatz::Oeffnen(verzeichnis, stamm, fehler)) << fehler;
}

// Runs `arbeit` in a child process that is killed at step `schritt`; false
// when the child got past that step.
bool GetoetetBei(int schritt, const std::function<void()>& arbeit) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    Ergebnissatz::Schrittbeobachter = [schritt](int s) {
      if (s == schritt) ::raise(SIGKILL);
    };
    arbeit();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class Ergebnissatz_ : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    Ergebnissatz::Schrittbeobachter = nullptr;
    fs::remove_all(dir);
  }
  fs::path dir = fs::temp_directory_path() / ("terval_satz_" + std::to_string(::getpid()));
};

// The folder as it should be with set `satz` of `stamm` (inside `ordner`),
// beside a note of the user's and the files of another stem.
std::map<std::string, std::string> Erwartet(const std::string& ordner, const std::string& basis, const Inhalt& satz) {
  std::map<std::string, std::string> b = {{ordner + basis + " Notiz.txt", "bleibt"},
                                          {ordner + "y Kanal Tag 14.TXT", "anderer Stamm"}};
  for (const auto& [endung, bytes] : satz) b[ordner + basis + endung] = bytes;
  return b;
}

TEST_F(Ergebnissatz_, AKillAtEveryStepLeavesTheEarlierOrTheNewSet) {
  struct Stamm {
    std::string verzeichnis, stamm, ordner;  // ordner: the set's folder, relative to dir
  };
  const std::vector<Stamm> staemme = {{dir.string(), "x", ""},
                                      {"/", (dir / "abs" / "x").string(), "abs/"},
                                      {dir.string(), "sub/x", "sub/"}};
  for (const Stamm& s : staemme) {
    SCOPED_TRACE(s.stamm);
    auto vorbereiten = [&] {
      fs::remove_all(dir);
      fs::create_directories(dir / s.ordner);
      std::ofstream(dir / s.ordner / "x Notiz.txt") << "bleibt";
      std::ofstream(dir / s.ordner / "y Kanal Tag 14.TXT") << "anderer Stamm";
      ASSERT_TRUE(Schreibe(s.verzeichnis, s.stamm, Alt));
      ASSERT_EQ(Baum(dir), Erwartet(s.ordner, "x", Alt));
    };
    int schritte = 0;
    vorbereiten();
    Ergebnissatz::Schrittbeobachter = [&](int k) { schritte = k; };
    ASSERT_TRUE(Schreibe(s.verzeichnis, s.stamm, Neu));
    Ergebnissatz::Schrittbeobachter = nullptr;
    EXPECT_EQ(Baum(dir), Erwartet(s.ordner, "x", Neu)) << "the new set replaces the earlier one as a whole";
    // 4 files finished, the record written and named, 4 renames, 2 tables and a day course removed, the record removed.
    ASSERT_EQ(schritte, 4 + 2 + 4 + 3 + 1);

    int alt = 0, neu = 0;
    for (int k = 1; k <= schritte; ++k) {
      SCOPED_TRACE(k);
      vorbereiten();
      ASSERT_TRUE(GetoetetBei(k, [&] { Schreibe(s.verzeichnis, s.stamm, Neu); }));
      if (k > 6) {
        // The record stands: a kill while the next run completes it is taken up by the run after.
        EXPECT_TRUE(GetoetetBei(1, [&] { Oeffne(s.verzeichnis, s.stamm); }));
      }
      Oeffne(s.verzeichnis, s.stamm);
      const auto baum = Baum(dir);
      const bool istAlt = baum == Erwartet(s.ordner, "x", Alt), istNeu = baum == Erwartet(s.ordner, "x", Neu);
      EXPECT_TRUE(istAlt || istNeu) << baum.size() << " Dateien";
      // Until the record has its name the earlier set stands, from then on the new one.
      EXPECT_EQ(istNeu, k > 6);
      alt += istAlt, neu += istNeu;
    }
    EXPECT_TRUE(alt > 0 && neu > 0);
  }
}

TEST_F(Ergebnissatz_, OneRunPerStemAndTheLockDiesWithItsProcess) {
  std::string fehler;
  auto erster = Ergebnissatz::Oeffnen(dir.string(), "x", fehler);
  ASSERT_TRUE(erster) << fehler;
  EXPECT_FALSE(Ergebnissatz::Oeffnen(dir.string(), "x", fehler));
  EXPECT_EQ(fehler, "Unter dem Stammnamen \"x\" schreibt gerade ein anderer Lauf seine Ergebnisdateien.\r"
                    "Warten Sie, bis er beendet ist, oder wählen Sie einen anderen Stammnamen.");
  // Another stem in the same folder, and the same stem elsewhere, are free.
  EXPECT_TRUE(Ergebnissatz::Oeffnen(dir.string(), "y", fehler));
  fs::create_directory(dir / "sub");
  EXPECT_TRUE(Ergebnissatz::Oeffnen(dir.string(), "sub/x", fehler));
  erster.reset();
  EXPECT_TRUE(fs::is_empty(dir / "sub") && !fs::exists(dir / ".x.~sperre")) << "the lock file goes with the set";
  // A process killed while it holds the stem leaves it free.
  EXPECT_TRUE(GetoetetBei(1, [&] { Schreibe(dir.string(), "x", Neu); }));
  EXPECT_TRUE(fs::exists(dir / ".x.~sperre"));
  EXPECT_TRUE(Schreibe(dir.string(), "x", Alt));
  std::map<std::string, std::string> alt;
  for (const auto& [endung, bytes] : Alt) alt["x" + endung] = bytes;
  EXPECT_EQ(Baum(dir), alt);
}

TEST_F(Ergebnissatz_, AFailedFileKeepsTheEarlierSet) {
  ASSERT_TRUE(Schreibe(dir.string(), "x", Alt));
  const auto vorher = Baum(dir);
  std::string fehler;
  auto satz = Ergebnissatz::Oeffnen(dir.string(), "x", fehler);
  std::ofstream(satz->Arbeitspfad(" Gesamtergebnis.TXT")) << "halb";
  satz->Geschrieben(" Gesamtergebnis.TXT", false, "kein Speicherplatz mehr auf dem Datenträger");
  EXPECT_FALSE(satz->Uebernehmen(fehler));
  EXPECT_EQ(fehler, "Die Ergebnisdateien \"x …\" wurden nicht geschrieben:\r\"x Gesamtergebnis.TXT\": kein Speicherplatz "
                    "mehr auf dem Datenträger.\rDie bisherigen Ergebnisdateien bleiben unverändert.");
  satz.reset();
  EXPECT_EQ(Baum(dir), vorher);
  // A folder with the name of a companion file is named, not the table.
  fs::create_directory(dir / "x Gesamtergebnis.cpg.d");
  fs::remove(dir / "x Gesamtergebnis.cpg");
  fs::rename(dir / "x Gesamtergebnis.cpg.d", dir / "x Gesamtergebnis.cpg");
  EXPECT_FALSE(Schreibe(dir.string(), "x", Alt));
  satz = Ergebnissatz::Oeffnen(dir.string(), "x", fehler);
  for (const auto& [endung, bytes] : Alt) std::ofstream(satz->Arbeitspfad(endung)) << bytes, satz->Geschrieben(endung, true);
  EXPECT_FALSE(satz->Uebernehmen(fehler));
  EXPECT_NE(fehler.find("\"x Gesamtergebnis.cpg\": der Pfad ist ein Verzeichnis."), std::string::npos) << fehler;
}

TEST_F(Ergebnissatz_, AStemTooLongForTheWorkingNamesIsRefusedUpFront) {
  std::string fehler;
  EXPECT_FALSE(Ergebnissatz::Oeffnen(dir.string(), std::string(230, 's'), fehler));
  EXPECT_EQ(fehler.rfind("Der Stammname \"" + std::string(230, 's') + "\" ist zu lang: sein letzter Teil hat 230 Byte, "
                         "höchstens ", 0), 0u) << fehler;
  EXPECT_TRUE(fs::is_empty(dir));
  // The longest stem allowed writes every file of a set.
  const size_t hoechstens = std::stoul(fehler.substr(fehler.find("höchstens ") + 11));
  const std::string lang(hoechstens, 'l');
  EXPECT_TRUE(Schreibe(dir.string(), lang, Neu));
  EXPECT_FALSE(Ergebnissatz::Oeffnen(dir.string(), lang + "l", fehler));
  // Only the last part of the stem counts.
  fs::create_directory(dir / std::string(200, 'o'));
  EXPECT_TRUE(Schreibe(dir.string(), std::string(200, 'o') + "/" + lang, Neu));
}

}  // namespace
}  // namespace terval
