// Semicolon-separated text tables as spreadsheets write and read them:
// UTF-8, a header row, a field in double quotes where it holds the
// separator, a quote ("" inside) or a line break.
#pragma once

#include <string>
#include <vector>

namespace terval {

using CsvZeile = std::vector<std::string>;

// Splits `text` into rows of fields. A leading byte-order mark is dropped,
// "\r\n" and "\n" end a row, blank lines are skipped, and blanks around an
// unquoted field go. False, with a German message naming the line, for a
// quote that is never closed or text after a closing quote.
bool ZerlegeCsv(const std::string& text, char trenner, std::vector<CsvZeile>& zeilen, std::string& fehler);

// One row as a line ending in "\n", each field quoted where it must be.
std::string CsvText(const CsvZeile& felder, char trenner);

}  // namespace terval
