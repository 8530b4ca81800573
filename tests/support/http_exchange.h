#pragma once

// Plain HTTP/1.1 over a real socket to 127.0.0.1, for the server's tests:
// requests are written byte for byte as given (a forged Host header, a body
// of any size), and every wait has a deadline.

#include <chrono>
#include <map>
#include <string>

namespace quorvex::testing {

struct HttpReply {
    int status = 0;                             // 0: no reply before the deadline, or the connection failed
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
    std::string header(const std::string& lowerCaseName) const;
};

// A connection to 127.0.0.1:port held open until destroyed.
class HttpConnection {
  public:
    explicit HttpConnection(int port);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    bool connected() const { return socket_ >= 0; }
    bool sendBytes(const std::string& bytes);
    // Reads one response (Content-Length bodies, or to the connection's end;
    // none after a HEAD request).
    HttpReply receive(std::chrono::milliseconds deadline = std::chrono::seconds(10),
                      bool headersOnly = false);

  private:
    int socket_ = -1;
    std::string pending_;
};

// One request on a fresh connection ("Connection: close" is added, and
// "Host: 127.0.0.1:<port>" unless `headers` names a Host).
HttpReply httpRequest(int port, const std::string& method, const std::string& target,
                      const std::string& headers = "", const std::string& body = "",
                      std::chrono::milliseconds deadline = std::chrono::seconds(10));

// POST with Content-Type: application/json.
HttpReply postJson(int port, const std::string& target, const std::string& body);

} // namespace quorvex::testing
