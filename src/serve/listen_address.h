#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvex::serve {

// Where the server listens: --listen HOST:PORT, e.g. 127.0.0.1:8765,
// localhost:0 (port 0: a free port the system picks), [::1]:8080, 0.0.0.0:8765.
struct ListenAddress {
    std::string host; // as the socket is bound: an IPv6 address without its brackets
    int port = 0;
};

inline constexpr const char* defaultListenText = "127.0.0.1:8765";
inline constexpr const char* listenDomain = "HOST:PORT, e.g. 127.0.0.1:8765 (port 0: any free port)";

// The address, or nothing for a text that is not HOST:PORT with a port from 0 to 65535.
std::optional<ListenAddress> readListenAddress(std::string_view text);

// Whether only this machine can reach the address: localhost, 127.0.0.0/8, ::1.
bool isLoopback(const std::string& host);

// "http://HOST:PORT/", IPv6 addresses in brackets.
std::string serverUrl(const std::string& host, int port);

} // namespace quorvex::serve
