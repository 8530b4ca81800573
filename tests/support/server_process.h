#pragma once

// The built program started as `quorvex serve ...` in the background, for
// the server's end-to-end tests: its standard output and error are read as
// it writes them, and every wait has a deadline.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::testing {

class ServerProcess {
  public:
    // Starts `quorvex serve` with the arguments and reads the port from its
    // first line ("Quorvex is serving on http://HOST:PORT/"); port() is 0
    // when no such line came within the deadline.
    explicit ServerProcess(const std::vector<std::string>& arguments,
                           std::chrono::milliseconds deadline = std::chrono::seconds(20));
    ~ServerProcess(); // kills it if it still runs
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    const std::string& firstLine() const { return firstLine_; }

    void signal(int number);
    // The exit status once it has ended, or nothing when it has not by the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds deadline);
    // Standard error as written so far (it waits up to `deadline` for `awaited` to appear).
    std::string standardError(const std::string& awaited = "",
                              std::chrono::milliseconds deadline = std::chrono::seconds(5));

  private:
    void drain(int descriptor, std::string& into);

    int pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    int port_ = 0;
    std::string output_;
    std::string error_;
    std::string firstLine_;
    std::optional<int> status_;
};

} // namespace quorvex::testing
