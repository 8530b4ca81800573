// Arbitrary bytes as the body of POST /api/runs, through the server's body
// reader. Checked for every input:
// - it is read, or refused with BadRequest and nothing else;
// - a refusal is one line (the message is sent as it is, and logged);
// - a body it reads, written out again as JSON, reads back the same.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "serve/run_request.h"

namespace {

[[noreturn]] void violated(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

std::string writtenOut(const quorvex::serve::RunRequest& request) {
    nlohmann::ordered_json options = nlohmann::ordered_json::object();
    for (const auto& [name, text] : request.options)
        options[name] = text;
    return nlohmann::ordered_json{{"command", request.command}, {"options", options}}.dump();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    quorvex::serve::RunRequest request;
    try {
        request = quorvex::serve::readRunRequest(body);
    } catch (const quorvex::serve::BadRequest& refused) {
        if (std::string_view(refused.what()).find_first_of("\r\n") != std::string_view::npos)
            violated("a refusal's message spans more than one line");
        return 0;
    } catch (...) {
        violated("a body was refused with something other than BadRequest");
    }
    quorvex::serve::RunRequest again;
    try {
        again = quorvex::serve::readRunRequest(writtenOut(request));
    } catch (...) {
        violated("a body read, written out again, is refused");
    }
    if (again.command != request.command || again.options != request.options)
        violated("a body read, written out again, reads differently");
    return 0;
}
