#include "serve/host_policy.h"

#include <algorithm>
#include <cctype>

namespace quorvex::serve {

namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

} // namespace

std::string hostName(std::string_view hostAndPort) {
    std::string_view name = hostAndPort;
    std::string_view port;
    if (!hostAndPort.empty() && hostAndPort.front() == '[') {
        const std::size_t close = hostAndPort.find(']');
        if (close == std::string_view::npos)
            return {};
        name = hostAndPort.substr(0, close + 1);
        const std::string_view rest = hostAndPort.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return {};
            port = rest.substr(1);
        }
    } else if (const std::size_t colon = hostAndPort.find(':'); colon != std::string_view::npos) {
        name = hostAndPort.substr(0, colon);
        port = hostAndPort.substr(colon + 1);
    }
    if (!allDigits(port))
        return {};
    return std::string(name);
}

HostPolicy::HostPolicy(std::vector<std::string> extraNames)
    : names_{"localhost", "localhost.", "127.0.0.1", "[::1]"} {
    for (const std::string& name : extraNames)
        names_.push_back(lowerCase(name));
}

bool HostPolicy::allowsHost(std::string_view hostHeader) const {
    const std::string name = lowerCase(hostName(hostHeader));
    return !name.empty() && std::find(names_.begin(), names_.end(), name) != names_.end();
}

bool HostPolicy::allowsOrigin(std::string_view origin) const {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (origin.substr(0, scheme.size()) != scheme)
            continue;
        const std::string_view authority = origin.substr(scheme.size());
        if (authority.find_first_of("/@?#") != std::string_view::npos)
            return false;
        return allowsHost(authority);
    }
    return false;
}

} // namespace quorvex::serve
