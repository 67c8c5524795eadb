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
#include <tuple>

namespace terval {
namespace {

namespace fs = std::filesystem;
using Inhalt = std::map<std::string, std::string>;  // ending, or name under the scratch folder -> bytes

// The earlier set (a table run with a day course) and the new one (a text run
// with two fields): the new set keeps no table and no day course.
const Inhalt Alt = {{" Gesamtergebnis.dbf", "alte Tabelle"}, {" Gesamtergebnis.cpg", "1252"},
                    {" Kanal Tag 14.TXT", "altes Profil"},   {" Verlauf Tag 14.TXT", "alter Verlauf"},
                    {"2D Feld Seg   1 Tag  14.DAT", "altes Feld"}};
const Inhalt Neu = {{" Gesamtergebnis.TXT", "neue Textdatei"}, {" Kanal Tag 14.TXT", "neues Profil"},
                    {"2D Feld Seg   1 Tag  14.DAT", "neues Feld"}, {"2D Feld Seg   1 Tag  74.DAT", "neues Feld 74"}};

// Every file under `wurzel`, hidden ones included.
Inhalt Baum(const fs::path& wurzel) {
  Inhalt b;
  for (const auto& e : fs::recursive_directory_iterator(wurzel)) {
    std::ifstream f(e.path(), std::ios::binary);
    if (e.is_regular_file()) b[fs::relative(e.path(), wurzel).string()] = std::string(std::istreambuf_iterator<char>(f), {});
  }
  return b;
}

bool Schreibe(const std::string& verzeichnis, const std::string& stamm, const Inhalt& inhalt) {
  std::string fehler;
  auto satz = Ergebnissatz::Oeffnen(verzeichnis, stamm, fehler);
  for (const auto& [endung, bytes] : satz ? inhalt : Inhalt{})
    std::ofstream(satz->Arbeitspfad(endung), std::ios::binary) << bytes, satz->Geschrieben(endung, true);
  return satz && satz->Uebernehmen(fehler);
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
  void SetUp() override { fs::remove_all(dir), fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir = fs::temp_directory_path() / ("terval_satz_" + std::to_string(::getpid()));
};

// Relative, absolute and foldered stems; beside the set a note of the user's and the files of another stem.
TEST_F(Ergebnissatz_, AKillAtEveryStepLeavesTheEarlierOrTheNewSet) {
  for (const auto& [verzeichnis, stamm, ordner] : {std::tuple{dir.string(), std::string("x"), std::string()},
                                                    {"/", (dir / "abs/x").string(), "abs/"},
                                                    {dir.string(), "sub/x", "sub/"}}) {
    SCOPED_TRACE(stamm);
    auto erwartet = [&](const Inhalt& satz) {
      Inhalt b = {{ordner + "x Notiz.txt", "bleibt"}, {ordner + "y Kanal Tag 14.TXT", "anderer Stamm"}};
      for (const auto& [endung, bytes] : satz) b[ordner + "x" + endung] = bytes;
      return b;
    };
    bool getoetet = true;
    // Steps 1-6: the 4 files finished, the record written and named; after them the new set is decided.
    for (int k = 1; getoetet; ++k) {
      SCOPED_TRACE(k);
      fs::remove_all(dir), fs::create_directories(dir / ordner);
      std::ofstream(dir / ordner / "x Notiz.txt") << "bleibt";
      std::ofstream(dir / ordner / "y Kanal Tag 14.TXT") << "anderer Stamm";
      ASSERT_TRUE(Schreibe(verzeichnis, stamm, Alt));
      getoetet = GetoetetBei(k, [&] { Schreibe(verzeichnis, stamm, Neu); });
      // A kill while the next run completes the replacement is taken up by the run after.
      if (k > 6 && getoetet) {
        EXPECT_TRUE(GetoetetBei(1, [&] { Schreibe(verzeichnis, stamm, {}); }));
      }
      std::string fehler;
      EXPECT_TRUE(Ergebnissatz::Oeffnen(verzeichnis, stamm, fehler)) << fehler;
      EXPECT_EQ(Baum(dir), erwartet(k > 6 ? Neu : Alt));
    }
  }
}

TEST_F(Ergebnissatz_, OneRunPerStemAndTheLockDiesWithItsProcess) {
  std::string fehler;
  auto erster = Ergebnissatz::Oeffnen(dir.string(), "x", fehler);
  fs::create_directory(dir / "sub");  // another stem in the same folder, and the same stem elsewhere, are free
  EXPECT_TRUE(erster && !Ergebnissatz::Oeffnen(dir.string(), "x", fehler) && Ergebnissatz::Oeffnen(dir.string(), "y", fehler) &&
              Ergebnissatz::Oeffnen(dir.string(), "sub/x", fehler));
  erster.reset();
  EXPECT_TRUE(GetoetetBei(1, [&] { Schreibe(dir.string(), "x", Neu); }));
  EXPECT_TRUE(Schreibe(dir.string(), "x", Alt)) << "a killed holder leaves the stem free";
}

}  // namespace
}  // namespace terval
