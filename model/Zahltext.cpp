#include "model/Zahltext.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace terval {

std::string FormatReal(double wert, int breite, int nachkomma) {
  char puffer[400];
  std::to_chars_result r;
  if (std::isfinite(wert)) {
    r = std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::fixed, nachkomma);
  } else {
    r = std::to_chars(puffer, puffer + sizeof puffer, wert);
  }
  std::string text(puffer, r.ptr);
  if (static_cast<int>(text.size()) < breite) text.insert(0, breite - text.size(), ' ');
  return text;
}

std::string FormatInt(long long wert, int breite) {
  std::string text = std::to_string(wert);
  if (static_cast<int>(text.size()) < breite) text.insert(0, breite - text.size(), ' ');
  return text;
}

namespace {

bool IstZiffer(char c) { return c >= '0' && c <= '9'; }

std::string_view OhneRaender(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r' || t.back() == '\n'))
    t.remove_suffix(1);
  return t;
}

}  // namespace

std::optional<double> ParseZahl(std::string_view text) {
  text = OhneRaender(text);
  if (text.empty()) return std::nullopt;
  // Check the grammar ourselves: from_chars would accept "inf", "nan" and hex.
  size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  size_t ziffern = 0;
  while (i < text.size() && IstZiffer(text[i])) ++i, ++ziffern;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IstZiffer(text[i])) ++i, ++ziffern;
  }
  if (ziffern == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exp = 0;
    while (i < text.size() && IstZiffer(text[i])) ++i, ++exp;
    if (exp == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  // from_chars does not take a leading '+'.
  std::string_view zahl = text;
  if (zahl.front() == '+') zahl.remove_prefix(1);
  double wert = 0;
  auto r = std::from_chars(zahl.data(), zahl.data() + zahl.size(), wert);
  if (r.ec == std::errc::result_out_of_range) return std::nullopt;
  if (r.ec != std::errc() || r.ptr != zahl.data() + zahl.size()) return std::nullopt;
  return wert;
}

std::optional<long long> ParseGanzzahl(std::string_view text) {
  text = OhneRaender(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long long wert = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), wert);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return wert;
}

long long GanzzahlAmAnfang(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negativ = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativ = text[i++] == '-';
  long long wert = 0;
  while (i < text.size() && IstZiffer(text[i])) {
    if (wert > (1LL << 53)) break;  // far beyond any count or hour; stop before overflow
    wert = wert * 10 + (text[i++] - '0');
  }
  return negativ ? -wert : wert;
}

std::string KuerzesterText(float wert) {
  char puffer[64];
  auto r = std::to_chars(puffer, puffer + sizeof puffer, wert);
  return std::string(puffer, r.ptr);
}

std::string MitZeilenumbruechen(std::string text) {
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

}  // namespace terval
