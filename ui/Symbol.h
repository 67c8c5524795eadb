// The program's symbol for window frames (the desktop menu uses terval.svg,
// which shows the same picture).
#pragma once

#include <QIcon>

namespace terval {

// A duct buried under grass, air entering blue and leaving red.
QIcon TervalSymbol();

}  // namespace terval
