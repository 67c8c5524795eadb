// Helpers for tests that write and inspect table files: a scratch directory,
// file bytes, and an independent reader (Debian's python3-dbfread) to check
// that what the program writes is what other tools read.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace terval::test {

// A fresh directory under /tmp, removed with everything in it.
class Testverzeichnis {
 public:
  Testverzeichnis() {
    char muster[] = "/tmp/terval-test-XXXXXX";
    char* p = ::mkdtemp(muster);
    if (p != nullptr) pfad_ = p;
  }
  ~Testverzeichnis() {
    std::error_code ec;
    if (!pfad_.empty()) std::filesystem::remove_all(pfad_, ec);
  }
  Testverzeichnis(const Testverzeichnis&) = delete;
  Testverzeichnis& operator=(const Testverzeichnis&) = delete;

  const std::string& Pfad() const { return pfad_; }
  std::string Datei(const std::string& name) const { return pfad_ + "/" + name; }

  // Names of all entries, sorted (to see that no temporary file was left).
  std::vector<std::string> Eintraege() const {
    std::vector<std::string> namen;
    for (const auto& e : std::filesystem::directory_iterator(pfad_)) namen.push_back(e.path().filename());
    std::sort(namen.begin(), namen.end());
    return namen;
  }

 private:
  std::string pfad_;
};

inline std::string Dateiinhalt(const std::string& pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(ein), std::istreambuf_iterator<char>());
}

inline void SchreibeDatei(const std::string& pfad, const std::string& inhalt) {
  std::ofstream aus(pfad, std::ios::binary | std::ios::trunc);
  aus << inhalt;
}

inline bool HatDbfread() {
  return std::system("/usr/bin/python3 -c 'import dbfread' >/dev/null 2>&1") == 0;
}

// Reads a table with python3-dbfread (its own choice of encoding, from the
// header). The first line lists the field names separated by tabs; then one
// line per record of tab-separated "name=<kind><value>" cells, kind I
// (integer), F (float, Python's shortest repr), T (text) or N (no value).
inline std::optional<std::vector<std::string>> LiesMitDbfread(const std::string& pfad) {
  const std::string skript =
      "import sys, dbfread\n"
      "def zelle(v):\n"
      "    if v is None: return 'N'\n"
      "    if isinstance(v, bool): return 'T' + str(v)\n"
      "    if isinstance(v, int): return 'I' + str(v)\n"
      "    if isinstance(v, float): return 'F' + repr(v)\n"
      "    return 'T' + str(v)\n"
      "t = dbfread.DBF(sys.argv[1], load=True)\n"
      "print('\\t'.join(t.field_names))\n"
      "for r in t.records:\n"
      "    print('\\t'.join(k + '=' + zelle(v) for k, v in r.items()))\n";
  const std::string skriptDatei = pfad + ".lesen.py";
  SchreibeDatei(skriptDatei, skript);
  const std::string befehl =
      "PYTHONIOENCODING=utf-8 /usr/bin/python3 '" + skriptDatei + "' '" + pfad + "' 2>&1";
  FILE* p = ::popen(befehl.c_str(), "r");
  if (p == nullptr) return std::nullopt;
  std::string ausgabe;
  char puffer[4096];
  size_t n;
  while ((n = std::fread(puffer, 1, sizeof puffer, p)) > 0) ausgabe.append(puffer, n);
  int status = ::pclose(p);
  std::remove(skriptDatei.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "dbfread failed:\n%s\n", ausgabe.c_str());
    return std::nullopt;
  }
  std::vector<std::string> zeilen;
  std::istringstream s(ausgabe);
  for (std::string z; std::getline(s, z);) zeilen.push_back(z);
  return zeilen;
}

// The cells of one line of LiesMitDbfread, "name=value" split at the tabs.
inline std::vector<std::string> Zellen(const std::string& zeile) {
  std::vector<std::string> r;
  std::string teil;
  std::istringstream s(zeile);
  while (std::getline(s, teil, '\t')) r.push_back(teil);
  return r;
}

// The value part of "name=<kind><value>", with its kind letter.
inline std::string Wert(const std::string& zelle) {
  size_t p = zelle.find('=');
  return p == std::string::npos ? std::string() : zelle.substr(p + 1);
}

// The expected form of an integer cell read back by dbfread ("I42").
inline std::string GanzzahlZelle(long long wert) {
  std::string r = "I";
  r += std::to_string(wert);
  return r;
}

// A float cell read back by dbfread, narrowed to single precision; empty
// when the cell is no number.
inline std::optional<float> AlsFloat(const std::string& zelle) {
  const std::string w = Wert(zelle);
  if (w.empty() || (w[0] != 'F' && w[0] != 'I')) return std::nullopt;
  double d = 0;
  auto r = std::from_chars(w.data() + 1, w.data() + w.size(), d);
  if (r.ec != std::errc() || r.ptr != w.data() + w.size()) return std::nullopt;
  return static_cast<float>(d);
}

// Limits the size of files this process may write, so a save fails midway
// the way it does on a full disk.
class Dateigroessengrenze {
 public:
  explicit Dateigroessengrenze(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &alt_);
    vorher_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit neu = alt_;
    neu.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &neu);
  }
  ~Dateigroessengrenze() {
    ::setrlimit(RLIMIT_FSIZE, &alt_);
    std::signal(SIGXFSZ, vorher_);
  }

 private:
  rlimit alt_{};
  void (*vorher_)(int) = nullptr;
};

// Makes a directory refuse new entries: by its mode for ordinary users,
// by the immutable attribute for root (which ignores modes).
class GesperrtesVerzeichnis {
 public:
  explicit GesperrtesVerzeichnis(const std::string& pfad) : pfad_(pfad) {
    if (geteuid() != 0) {
      gesperrt_ = ::chmod(pfad.c_str(), 0555) == 0;
      return;
    }
    fd_ = ::open(pfad.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      gesperrt_ = ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }
  }
  ~GesperrtesVerzeichnis() {
    if (fd_ >= 0) {
      int flags = 0;
      if (ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd_, FS_IOC_SETFLAGS, &flags);
      }
      ::close(fd_);
    } else {
      ::chmod(pfad_.c_str(), 0700);
    }
  }
  bool Gesperrt() const { return gesperrt_; }

 private:
  std::string pfad_;
  int fd_ = -1;
  bool gesperrt_ = false;
};

}  // namespace terval::test
