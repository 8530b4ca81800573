#include "http_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace quorvex::testing {

namespace {

using Clock = std::chrono::steady_clock;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string HttpReply::header(const std::string& lowerCaseName) const {
    const auto it = headers.find(lowerCaseName);
    return it == headers.end() ? std::string() : it->second;
}

HttpConnection::HttpConnection(int port) {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

HttpConnection::~HttpConnection() {
    if (socket_ >= 0)
        ::close(socket_);
}

bool HttpConnection::sendBytes(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

HttpReply HttpConnection::receive(std::chrono::milliseconds deadline, bool headersOnly) {
    const Clock::time_point end = Clock::now() + deadline;
    HttpReply reply;
    std::string data = std::move(pending_);
    pending_.clear();
    std::size_t headerEnd = std::string::npos;
    std::size_t bodyLength = std::string::npos;
    bool closed = false;
    for (;;) {
        if (headerEnd == std::string::npos) {
            headerEnd = data.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                const std::string head = data.substr(0, headerEnd);
                std::size_t lineStart = head.find("\r\n");
                reply.status = std::atoi(head.substr(head.find(' ') + 1, 3).c_str());
                while (lineStart != std::string::npos) {
                    const std::size_t next = head.find("\r\n", lineStart + 2);
                    const std::string line = head.substr(
                        lineStart + 2, next == std::string::npos ? std::string::npos : next - lineStart - 2);
                    const std::size_t colon = line.find(':');
                    if (colon != std::string::npos) {
                        std::string value = line.substr(colon + 1);
                        value.erase(0, value.find_first_not_of(' '));
                        reply.headers[lowerCase(line.substr(0, colon))] = value;
                    }
                    lineStart = next;
                }
                if (const std::string length = reply.header("content-length"); !length.empty())
                    bodyLength = std::stoull(length);
                if (headersOnly)
                    bodyLength = 0;
            }
        }
        if (headerEnd != std::string::npos) {
            const std::size_t have = data.size() - headerEnd - 4;
            if (bodyLength != std::string::npos && have >= bodyLength) {
                reply.body = data.substr(headerEnd + 4, bodyLength);
                pending_ = data.substr(headerEnd + 4 + bodyLength);
                return reply;
            }
            if (closed) {
                reply.body = data.substr(headerEnd + 4);
                return reply;
            }
        } else if (closed) {
            return HttpReply{};
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return HttpReply{};
        pollfd watched{socket_, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::recv(socket_, buffer, sizeof buffer, 0);
        if (n <= 0)
            closed = true;
        else
            data.append(buffer, static_cast<std::size_t>(n));
    }
}

HttpReply httpRequest(int port, const std::string& method, const std::string& target,
                      const std::string& headers, const std::string& body,
                      std::chrono::milliseconds deadline) {
    HttpConnection connection(port);
    if (!connection.connected())
        return {};
    std::string request = method + " " + target + " HTTP/1.1\r\n";
    if (lowerCase("\n" + headers).find("\nhost:") == std::string::npos)
        request += "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
    request += headers;
    request += "Connection: close\r\n";
    if (!body.empty() || method == "POST" || method == "PUT" || method == "PATCH")
        request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    request += "\r\n" + body;
    if (!connection.sendBytes(request))
        return {};
    return connection.receive(deadline);
}

HttpReply postJson(int port, const std::string& target, const std::string& body) {
    return httpRequest(port, "POST", target, "Content-Type: application/json\r\n", body);
}

} // namespace quorvex::testing
