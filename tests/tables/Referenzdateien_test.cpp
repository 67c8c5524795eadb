#include "tables/Referenzdateien.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

TEST(Referenzdateien, ProgrammverzeichnisIstDasDerTestdatei) {
  EXPECT_EQ(std::filesystem::path(Programmverzeichnis()), std::filesystem::path(TERVAL_BINVERZEICHNIS));
}

// Beside the executable first, then ../share/terval as installed.
TEST(Referenzdateien, SuchreihenfolgeNebenDemProgrammDannShare) {
  const std::string name = "terval-referenz-" + std::to_string(getpid()) + ".txt";
  const std::string daneben = Programmverzeichnis() + "/" + name;
  const std::string share = Programmverzeichnis() + "/../share/terval/" + name;
  std::filesystem::create_directories(Programmverzeichnis() + "/../share/terval");

  EXPECT_EQ(FindeReferenzdatei(name), "");
  test::SchreibeDatei(share, "x");
  EXPECT_EQ(FindeReferenzdatei(name), std::filesystem::path(share).lexically_normal().string());
  test::SchreibeDatei(daneben, "x");
  EXPECT_EQ(FindeReferenzdatei(name), daneben);
  std::filesystem::remove(daneben);
  std::filesystem::remove(share);
  EXPECT_EQ(FindeReferenzdatei(""), "");
  EXPECT_EQ(FindeReferenzdatei("share"), "") << "ein Verzeichnis ist keine Referenzdatei";
}

}  // namespace
}  // namespace terval
