#pragma once

// A pseudo-terminal: the test reads on the master side what is written to the
// terminal side, whose path stands in for a terminal or the controlling one.

#include <cstddef>
#include <string>

namespace quorvex::testing {

struct PseudoTerminal {
    // Owns descriptors: never copied, so never closed twice.
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master = -1;
    int keeper = -1; // the terminal side, held open so the master never sees a hang-up
    std::string path;

    // A terminal that reports the given size (0 x 0: no size).
    explicit PseudoTerminal(unsigned short columns = 80, unsigned short rows = 24);
    ~PseudoTerminal();
    // Both sides are open (and `path` names the terminal side).
    bool opened() const { return keeper >= 0; }
    // Exactly `count` bytes, or fewer if they do not come within two seconds.
    std::string shown(std::size_t count) const;
    // Nothing arrives within 50 milliseconds.
    bool nothingShown() const;
};

} // namespace quorvex::testing
