#pragma once

// How a share of songs is written for people: as a percentage to the
// precision its 95% interval supports, and an exact chance beside it.

#include <string>

#include "stats/proportion.h"

namespace quorvex::output {

// The decimals of a percentage that show the proportion's interval to one or
// two significant digits (see decimalsForSpread): 12 of 100000 needs 4
// ("0.0012%"), 983 of 1000 needs 1 ("98.3%").
int percentDecimals(const stats::Proportion& proportion);

// share * 100 with `decimals` decimals and a "%"; exactly 0 and 1 are "0%" and "100%".
std::string percentText(double share, int decimals);

// An exact chance next to an estimate shown with `decimals` decimals: the
// same form while it has a digit at that precision, else two significant
// digits in scientific form ("3.1e-12%"), so a tiny chance never reads as 0.
std::string exactPercentText(double chance, int decimals);

} // namespace quorvex::output
