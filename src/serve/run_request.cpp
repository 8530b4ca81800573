#include "serve/run_request.h"

#include <nlohmann/json.hpp>

#include <set>
#include <vector>

namespace quorvex::serve {

namespace {

using Json = nlohmann::ordered_json;

// A key or text as a message shows it: a JSON string, escaped, on one line.
std::string quoted(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Refuses, while parsing, nesting deeper than maximumBodyDepth and a key
// given twice in one object, which the library would otherwise take silently
// (the last one winning).
class BodyShapeCheck {
  public:
    bool operator()(int depth, Json::parse_event_t event, Json& parsed) {
        switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
            // `depth` counts the containers around this one.
            if (depth >= maximumBodyDepth)
                throw BadRequest("the body is nested deeper than " + std::to_string(maximumBodyDepth) +
                                 " levels");
            keysSeen_.emplace_back();
            break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end:
            keysSeen_.pop_back();
            break;
        case Json::parse_event_t::key: {
            const std::string& key = parsed.get_ref<const std::string&>();
            if (!keysSeen_.back().insert(key).second)
                throw BadRequest("the key " + quoted(key) + " is given twice", key);
            break;
        }
        case Json::parse_event_t::value:
            break;
        }
        return true;
    }

  private:
    std::vector<std::set<std::string>> keysSeen_;
};

Json parseBody(std::string_view body) {
    try {
        BodyShapeCheck check;
        return Json::parse(body.begin(), body.end(), std::ref(check));
    } catch (const Json::parse_error& error) {
        throw BadRequest("the body is not valid JSON (at byte " + std::to_string(error.byte) + ")");
    } catch (const Json::exception&) {
        // A number beyond the range of a double (1e400), which is not a parse error.
        throw BadRequest("the body holds a number too large to read");
    }
}

// An option's value as the command line's text.
std::string optionText(const std::string& name, const Json& value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_unsigned())
        return std::to_string(value.get<std::uint64_t>());
    if (value.is_number_integer())
        return std::to_string(value.get<std::int64_t>());
    if (value.is_number_float())
        throw BadRequest("option " + quoted(name) +
                             ": a number with a fraction or an exponent is not taken; give the command "
                             "line's text as a JSON string, e.g. \"0.95\"",
                         name);
    throw BadRequest("option " + quoted(name) + " must be a JSON string holding the command line's text",
                     name);
}

} // namespace

RunRequest readRunRequest(std::string_view body) {
    const Json json = parseBody(body);
    if (!json.is_object())
        throw BadRequest(R"(the body must be a JSON object: {"command": ..., "options": {...}})");
    RunRequest request;
    bool commandGiven = false;
    for (const auto& [key, value] : json.items()) {
        if (key == "command") {
            if (!value.is_string())
                throw BadRequest(R"("command" must be a string: "simulate", "sweep" or "target")", key);
            request.command = value.get<std::string>();
            commandGiven = true;
        } else if (key == "options") {
            if (!value.is_object())
                throw BadRequest(R"("options" must be an object of option names and texts)", key);
            for (const auto& [name, text] : value.items())
                request.options.emplace_back(name, optionText(name, text));
        } else {
            throw BadRequest("unknown key " + quoted(key) + R"( (a run has "command" and "options"))", key);
        }
    }
    if (!commandGiven)
        throw BadRequest(R"(the body names no "command": "simulate", "sweep" or "target")", "command");
    return request;
}

} // namespace quorvex::serve
