// `quorvex serve` under load, on loopback only, bounded in count and time.
//
// 1. Eight clients for ten seconds, each posting a small run (100 songs of
//    400 steps), polling it until done and fetching its json: requests per
//    second, the median and 99th percentile latency of a request, errors
//    (any status other than 200 and 202), and the server's resident memory
//    before and after (the kept runs are bounded: 64 runs, 256 MB).
// 2. One simulate of 10^6 songs of 400 steps through the API (post, poll
//    every 50 ms, fetch the json) against `quorvex simulate --format json`
//    with the same seed: the wall times, and whether the bytes agree.
//
//   serve_load [PATH_TO_QUORVEX]      (default: the build's own)

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr int clients = 8;
constexpr auto loadDuration = std::chrono::seconds(10);

struct Server {
    pid_t pid = -1;
    int port = 0;
};

Server startServer(const std::string& program) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    Server server;
    server.pid = ::fork();
    if (server.pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::execl(program.c_str(), program.c_str(), "serve", "--listen", "127.0.0.1:0", "--quiet", nullptr);
        std::_Exit(127);
    }
    ::close(out[1]);
    std::string line;
    char c = 0;
    while (line.find('\n') == std::string::npos && ::read(out[0], &c, 1) == 1)
        line += c;
    ::close(out[0]);
    const std::size_t colon = line.rfind(':');
    server.port = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    return server;
}

long residentKibibytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

std::string runBody(const std::string& songs, const std::string& seed) {
    return json{{"command", "simulate"},
                {"options", {{"songs", songs}, {"steps", "400"}, {"perfect", "0.95"}, {"seed", seed}}}}
        .dump();
}

struct LoadFigures {
    std::vector<double> latencies; // milliseconds
    long errors = 0;
    long runs = 0;
};

void clientLoop(int port, int client, Clock::time_point end, LoadFigures& figures, std::mutex& mutex) {
    httplib::Client http("127.0.0.1", port);
    http.set_keep_alive(true);
    LoadFigures mine;
    const auto timed = [&](auto request) {
        const Clock::time_point start = Clock::now();
        httplib::Result result = request();
        mine.latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!result || (result->status != 200 && result->status != 202)) {
            ++mine.errors;
            return std::string();
        }
        return result->body;
    };
    for (int n = 0; Clock::now() < end; ++n) {
        const std::string accepted = timed([&] {
            return http.Post("/api/runs", runBody("100", std::to_string(client * 100000 + n)),
                             "application/json");
        });
        if (accepted.empty())
            continue;
        const std::string id = json::parse(accepted)["id"];
        for (;;) {
            const std::string run = timed([&] { return http.Get("/api/runs/" + id); });
            if (run.empty() ||
                json::parse(run)["status"] != "queued" && json::parse(run)["status"] != "running")
                break;
        }
        timed([&] { return http.Get("/api/runs/" + id + "/json"); });
        ++mine.runs;
    }
    std::lock_guard lock(mutex);
    figures.latencies.insert(figures.latencies.end(), mine.latencies.begin(), mine.latencies.end());
    figures.errors += mine.errors;
    figures.runs += mine.runs;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           static_cast<std::size_t>(p * static_cast<double>(values.size())))];
}

// `quorvex simulate ... --format json` to a file; its wall time in seconds.
double commandLineSeconds(const std::string& program, const std::string& file) {
    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), "simulate", "--songs", "1000000", "--steps", "400",
                "--perfect", "0.95", "--seed", "1765222492", "--format", "json", "--output", file.c_str(),
                "--quiet", nullptr);
        std::_Exit(127);
    }
    ::waitpid(pid, nullptr, 0);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string contentsOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 1 ? argv[1] : QUORVEX_BINARY;
    const Server server = startServer(program);
    if (server.port == 0) {
        std::fprintf(stderr, "serve_load: %s serve did not start\n", program.c_str());
        return 1;
    }
    const long before = residentKibibytes(server.pid);
    LoadFigures figures;
    std::mutex mutex;
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + loadDuration;
    std::vector<std::thread> threads;
    for (int client = 0; client < clients; ++client)
        threads.emplace_back(clientLoop, server.port, client, end, std::ref(figures), std::ref(mutex));
    for (std::thread& thread : threads)
        thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long after = residentKibibytes(server.pid);
    std::printf("load: %d clients, %.1f s, %zu requests (%.0f/s), %ld runs, latency p50 %.2f ms p99 %.2f ms, "
                "errors %ld\n",
                clients, seconds, figures.latencies.size(),
                static_cast<double>(figures.latencies.size()) / seconds, figures.runs,
                percentile(figures.latencies, 0.5), percentile(figures.latencies, 0.99), figures.errors);
    std::printf("server memory: %ld KiB before, %ld KiB after\n", before, after);

    // One large run through the API against the command line.
    httplib::Client http("127.0.0.1", server.port);
    const Clock::time_point apiStart = Clock::now();
    const auto accepted = http.Post("/api/runs", runBody("1000000", "1765222492"), "application/json");
    std::string body;
    if (accepted && accepted->status == 202) {
        const std::string id = json::parse(accepted->body)["id"];
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto run = http.Get("/api/runs/" + id);
            if (!run ||
                json::parse(run->body)["status"] != "queued" && json::parse(run->body)["status"] != "running")
                break;
        }
        if (const auto json = http.Get("/api/runs/" + id + "/json"))
            body = json->body;
    }
    const double apiSeconds = std::chrono::duration<double>(Clock::now() - apiStart).count();
    const std::string file = "/tmp/serve_load_" + std::to_string(::getpid()) + ".json";
    const double cliSeconds = commandLineSeconds(program, file);
    const bool same = !body.empty() && body == contentsOf(file);
    ::unlink(file.c_str());
    std::printf("10^6 x 400 simulate: API %.2f s, command line %.2f s (%+.1f%%), bytes %s\n", apiSeconds,
                cliSeconds, 100.0 * (apiSeconds - cliSeconds) / cliSeconds, same ? "identical" : "DIFFERENT");

    ::kill(server.pid, SIGTERM);
    ::waitpid(server.pid, nullptr, 0);
    return figures.errors == 0 && same ? 0 : 1;
}
