#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvex::serve {

// Which names a request may address the server by. A server bound to
// loopback is still reachable from any page a browser shows, through a name
// that resolves to 127.0.0.1 (DNS rebinding): the Host header, which the
// browser fills with that name, is what tells such requests apart.
//
// Allowed: localhost, localhost., 127.0.0.1, [::1] and the names given (as
// --allow-host), each with any port or none; compared without regard to case.
class HostPolicy {
  public:
    explicit HostPolicy(std::vector<std::string> extraNames = {});

    // A Host header's value: "localhost:8765", "[::1]", ...
    bool allowsHost(std::string_view hostHeader) const;

    // An Origin header's value: "http://localhost:8765". "null" and origins
    // with a path, user or other scheme are refused.
    bool allowsOrigin(std::string_view origin) const;

  private:
    std::vector<std::string> names_;
};

// The name part of "name:port", "[v6]:port", "name" or "[v6]": brackets
// kept, port dropped. Empty when the port part is not digits.
std::string hostName(std::string_view hostAndPort);

} // namespace quorvex::serve
