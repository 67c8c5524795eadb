// A user interface for tests: records every message, status text and redraw,
// and answers Yes/No questions from a queue (No when the queue is empty).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/Oberflaeche.h"

namespace terval::test {

struct Nachricht {
  std::string art;   // "Fehler", "Warnung", "Information", "Meldung", "Frage"
  std::string text;
  bool operator==(const Nachricht&) const = default;
};

class Aufzeichner : public Oberflaeche {
 public:
  std::vector<Nachricht> nachrichten;
  std::vector<std::string> status;
  std::vector<int> gezeichneteSegmente;
  int gridBilder = 0;
  int procMsgAufrufe = 0;
  std::deque<bool> antworten;  // answers for Frage, front first

  // Called from procMsg with the number of calls so far (e.g. to request a stop).
  std::function<void(int)> beiProcMsg;

  void Fehler(const std::string& t) override { nachrichten.push_back({"Fehler", t}); }
  void Warnung(const std::string& t) override { nachrichten.push_back({"Warnung", t}); }
  void Information(const std::string& t) override { nachrichten.push_back({"Information", t}); }
  void Meldung(const std::string& t) override { nachrichten.push_back({"Meldung", t}); }
  bool Frage(const std::string& t) override {
    nachrichten.push_back({"Frage", t});
    const bool ja = !antworten.empty() && antworten.front();
    if (!antworten.empty()) antworten.pop_front();
    return ja;
  }
  void Stat(const std::string& t) override { status.push_back(t); }
  void procMsg() override {
    ++procMsgAufrufe;
    if (beiProcMsg) beiProcMsg(procMsgAufrufe);
  }
  void DrawSegment(int s) override { gezeichneteSegmente.push_back(s); }
  void ZeigeModellGrid() override { ++gridBilder; }

  // Texts of all messages of one kind, in order.
  std::vector<std::string> Texte(const std::string& art) const {
    std::vector<std::string> r;
    for (const auto& n : nachrichten)
      if (n.art == art) r.push_back(n.text);
    return r;
  }
};

}  // namespace terval::test
