// Number texts, independent of the locale: every text output and editor
// writes numbers with "." as decimal point, and numbers typed by a user or
// read from a text file are parsed the same way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace terval {

// Format (width, decimals): fixed point with exactly `decimals` decimals,
// leading minus when negative, left-padded with spaces to at least `width`,
// never cut. FormatReal(-0.5, 2, 2) == "-0.50".
std::string FormatReal(double wert, int breite, int nachkomma);

// Format (width) of an integer: left-padded with spaces, never cut.
std::string FormatInt(long long wert, int breite = 0);

// A number as the user may type it: optional leading blanks, optional sign,
// digits with an optional point and fraction, optional exponent (e/E, sign,
// digits). Trailing blanks are allowed, anything else makes it invalid.
std::optional<double> ParseZahl(std::string_view text);

// An integer as a whole text (leading/trailing blanks allowed).
std::optional<long long> ParseGanzzahl(std::string_view text);

// The integer at the start of a text: leading blanks and a sign allowed,
// reading stops at the first non-digit ("2.5" gives 2); no number gives 0.
long long GanzzahlAmAnfang(std::string_view text);

// Shortest text that reads back as exactly the same float ("0.4", "1.2345678e-08").
std::string KuerzesterText(float wert);

// Replaces each "\r" by "\n" (message texts use "\r" as line break).
std::string MitZeilenumbruechen(std::string text);

}  // namespace terval
