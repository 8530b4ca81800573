#pragma once

namespace quorvex::platform {

// The CPUs this process may run on (its affinity mask), at least 1.
int usableCpuCount();

} // namespace quorvex::platform
