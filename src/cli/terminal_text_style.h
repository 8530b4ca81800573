#pragma once

#include <string>

#include "output/simulation_record.h"

namespace quorvex::cli {

// How a text report bound for `file` ("-": standard output) may draw: the
// terminal's width when it goes to one; Unicode as the locale says, on a
// terminal or not.
output::TextStyle textStyleFor(const std::string& file);

} // namespace quorvex::cli
