#pragma once

#include <span>
#include <string_view>

namespace quorvex::cli {

// How the command line presents one command of the run layer's catalogue:
// its help's headings with the options under each (the run's options and
// the command line's own, in the order the help lists them and the options
// are checked), the help lines of its own options that differ between
// commands, and the text after the options.
struct OptionGroup {
    std::string_view heading;
    std::span<const std::string_view> options; // names without dashes
};

struct CommandLayout {
    std::string_view command; // the catalogue's name
    std::span<const OptionGroup> groups;
    std::string_view threadsHelpEnd; // "the results are the same for any count"
    std::string_view outputHelp;     // what --output writes
    std::string_view resultsHelp;    // what --results writes ("": no --results)
    std::string_view plotHelp;       // what --plot writes ("": no --plot)
    std::string_view helpFooter;
};

// The layout of the command of that name; nullptr for one without.
const CommandLayout* layoutOf(std::string_view command);

} // namespace quorvex::cli
