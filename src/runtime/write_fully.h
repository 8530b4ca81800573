#pragma once

// The full write of the console stream, the terminal and the results file is
// the platform's (platform/descriptor_io.h), the same for every caller.
#include "platform/descriptor_io.h"

namespace quorvex {

using platform::writeFully;

} // namespace quorvex
