#include "platform/cpu_count.h"

#include <algorithm>
#include <bit>

#include "platform/windows/windows_handles.h"

namespace quorvex::platform {

int usableCpuCount() {
    // The CPUs of the process's affinity mask (within its processor group).
    DWORD_PTR process = 0, system = 0;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) == 0)
        return 1;
    return std::max(1, std::popcount(static_cast<std::uint64_t>(process)));
}

} // namespace quorvex::platform
