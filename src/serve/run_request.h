#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvex::serve {

// The body of POST /api/runs: {"command": "...", "options": {"name": value, ...}}.
// Option values are the command line's texts; a JSON integer stands for its
// decimal text. The command and the option names are not checked here: the
// run layer reads them with the command line's own rules and words.
struct RunRequest {
    std::string command;
    std::vector<std::pair<std::string, std::string>> options; // name without dashes, text; in body order
};

// A body that is refused before any option is read. `key` names the JSON key
// at fault ("" when the body as a whole is wrong).
class BadRequest : public std::runtime_error {
  public:
    BadRequest(const std::string& message, std::string key = {})
        : std::runtime_error(message), key_(std::move(key)) {}
    const std::string& key() const { return key_; }

  private:
    std::string key_;
};

// The deepest nesting a body may have; {"options": {...}} needs two.
inline constexpr int maximumBodyDepth = 8;

// Reads a body, or throws BadRequest with one line saying what is wrong:
// not JSON, nested deeper than maximumBodyDepth, a key given twice in one
// object, a key other than "command" and "options", a missing command, or an
// option value that is neither a string nor a whole number.
RunRequest readRunRequest(std::string_view body);

} // namespace quorvex::serve
