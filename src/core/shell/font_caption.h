#pragma once
// How the options dialog names the editor font: its size in whole points, then " pt. ",
// then its name ("10 pt. Courier New").
#include "core/syntax/text_styles.h"

#include <string>

namespace marlo {

// Whole points, at least 1: `points` rounded when it is positive, otherwise `pixels`
// converted at 96 pixels per inch (a font given in pixels has no point size).
int WholePoints(double points, int pixels);

// The size of a style font in whole points, at least 1, whatever sign its height has.
int FontPoints(const TTextFont& font);

// size + " pt. " + name.
std::string FontCaption(const TTextFont& font);

} // namespace marlo
