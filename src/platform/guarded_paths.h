#pragma once

// The names of the guarded temporary files (files.h), as both sides keep
// them: fixed slots that an interrupt handler reads without locks (a signal
// handler on POSIX, the console's control handler on a thread of its own on
// Windows). A slot is vacant, being filled, or holds a name; reading the
// slots touches only lock-free atomics and plain bytes, so it is safe inside
// a signal handler.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/files.h"

namespace quorvex::platform {

// `PathCapacity` bytes for a name, its terminating NUL included.
template <std::size_t PathCapacity> class GuardedPaths {
  public:
    // A slot holding `path`; -1 when every slot is taken or the name does
    // not fit (the file is then unguarded).
    int guard(const std::string& path) {
        if (path.size() >= PathCapacity)
            return -1;
        for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
            int expected = vacant;
            if (!slots_[slot].state.compare_exchange_strong(expected, filling))
                continue;
            std::memcpy(slots_[slot].path.data(), path.c_str(), path.size() + 1);
            slots_[slot].state.store(holding, std::memory_order_release);
            return static_cast<int>(slot);
        }
        return -1;
    }

    // Frees a slot guard() gave; any other number is ignored.
    void release(int slot) {
        if (slot >= 0 && slot < guardedFileLimit)
            slots_[static_cast<std::size_t>(slot)].state.store(vacant, std::memory_order_release);
    }

    // Calls `remove` with each name held (a NUL-terminated string), in slot
    // order. Safe inside a signal handler when `remove` is.
    template <typename Remove> void removeAll(Remove remove) {
        for (Slot& slot : slots_)
            if (slot.state.load(std::memory_order_acquire) == holding)
                remove(slot.path.data());
    }

  private:
    static_assert(std::atomic<int>::is_always_lock_free, "an interrupt handler reads the slots");
    static constexpr int vacant = 0, filling = 1, holding = 2;

    struct Slot {
        std::atomic<int> state{vacant};
        std::array<char, PathCapacity> path{};
    };
    std::array<Slot, guardedFileLimit> slots_;
};

} // namespace quorvex::platform
