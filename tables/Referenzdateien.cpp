#include "tables/Referenzdateien.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace terval {

std::string Programmverzeichnis() {
  std::vector<char> puffer(4096);
  while (true) {
    ssize_t n = ::readlink("/proc/self/exe", puffer.data(), puffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < puffer.size()) {
      std::string pfad(puffer.data(), static_cast<size_t>(n));
      size_t p = pfad.rfind('/');
      if (p == std::string::npos) return {};
      return p == 0 ? std::string("/") : pfad.substr(0, p);
    }
    puffer.resize(puffer.size() * 2);
  }
}

std::vector<std::string> Referenzordner() {
  const std::string verzeichnis = Programmverzeichnis();
  if (verzeichnis.empty()) return {};
  const std::string basis = verzeichnis == "/" ? std::string() : verzeichnis;
  return {verzeichnis, std::filesystem::path(basis + "/../share/terval").lexically_normal().string()};
}

std::string FindeReferenzdatei(const std::string& name) {
  if (name.empty()) return {};
  for (const std::string& ordner : Referenzordner()) {
    const std::string kandidat = (ordner == "/" ? std::string() : ordner) + "/" + name;
    struct stat st;
    if (::stat(kandidat.c_str(), &st) == 0 && S_ISREG(st.st_mode))
      return std::filesystem::path(kandidat).lexically_normal().string();
  }
  return {};
}

std::string Verzeichnisanteil(const std::string& pfad) {
  size_t p = pfad.rfind('/');
  if (p == std::string::npos) return {};
  return p == 0 ? std::string("/") : pfad.substr(0, p);
}

}  // namespace terval
