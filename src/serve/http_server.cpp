#include "serve/http_server.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <regex>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "runtime/write_fully.h"
#include "serve/claim_address.h"
#include "serve/connection_workers.h"
#include "serve/host_policy.h"
#include "serve/job_queue.h"
#include "serve/run_request.h"
#include "serve/web_files.h"

namespace quorvex::serve {

namespace {

using Json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

// Only the page's own scripts, styles and images; no frames, forms elsewhere or plugins.
constexpr const char* contentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'self'; frame-ancestors 'none'";

const char* reasonOf(int status) {
    switch (status) {
    case 400:
        return "the request is malformed";
    case 403:
        return "forbidden";
    case 404:
        return "not found";
    case 405:
        return "method not allowed";
    case 413:
        return "the body is larger than 64 KiB";
    case 414:
        return "the request target is too long";
    case 415:
        return "the body must be application/json";
    case 503:
        return "the server is busy";
    default:
        return status >= 500 ? "the server failed" : "the request is refused";
    }
}

// One line for a message: a JSON string keeps it on one line whatever it holds.
std::string dumped(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void sendJson(httplib::Response& response, int status, const Json& body) {
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(dumped(body) + "\n", "application/json");
}

void sendError(httplib::Response& response, int status, const std::string& message,
               const std::string& option = {}) {
    Json body = {{"error", message}};
    if (!option.empty())
        body["option"] = option;
    sendJson(response, status, body);
}

bool isJsonContentType(const std::string& contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t'))
        type.pop_back();
    for (char& c : type)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return type == "application/json";
}

std::string stepsText(long double steps) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0Lf", steps);
    return text;
}

// A request's text as the log shows it: control bytes (a decoded %0A in a
// path) as \xNN, so that every request stays on one line.
std::string printable(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

// When the request began, for the log line: set as routing begins, on the
// thread that serves the request until its log line is written.
thread_local Clock::time_point requestStart{};

} // namespace

class HttpServer::Impl {
  public:
    Impl(const ServeSettings& settings, const HttpLimits& limits, RunSource& runs)
        : settings_(settings), limits_(limits), runs_(runs), hosts_(settings.allowedHosts),
          jobs_(settings.threads, settings.queue),
          workers_(std::make_shared<ConnectionWorkers>(limits.connectionWorkers)) {
        configure();
    }

    int bind() {
        int port = 0;
        try {
            port = bindSocket();
        } catch (...) {
            port = -1;
        }
        if (port < 0)
            throw std::runtime_error("cannot listen on " +
                                     serverUrl(settings_.listen.host, settings_.listen.port) +
                                     " (the port is taken, or the address is not this machine's)");
        // httplib listens with a backlog of 5: a burst of new connections
        // beyond it has its handshakes dropped and retried a second or more
        // later. Listening again on the bound socket widens the backlog.
        if (listeningSocket_ != INVALID_SOCKET)
            ::listen(listeningSocket_, listenBacklog);
        return port;
    }

    int bindSocket() {
        const int port =
            settings_.listen.port == 0
                ? http_.bind_to_any_port(settings_.listen.host)
                : (http_.bind_to_port(settings_.listen.host, settings_.listen.port) ? settings_.listen.port
                                                                                    : -1);
        return port;
    }

    void serve() {
        http_.listen_after_bind();
        listening_ = false;
    }

    // httplib's stop() only takes effect once it listens: one that arrives
    // between bind() and serve() is repeated until it has.
    void stop() {
        jobs_.stop();
        for (int attempt = 0; attempt < 400 && listening_; ++attempt) {
            http_.stop();
            if (listening_)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    bool stragglersLeft() const { return workers_->stragglersLeft(); }

  private:
    void configure() {
        http_.set_socket_options([this](socket_t socket) {
            claimAddress(socket);
            listeningSocket_ = socket;
        });
        http_.new_task_queue = [this] { return workers_->newTaskQueue(ConnectionWorkers::defaultPatience); };
        http_.set_read_timeout(limits_.readTimeout);
        http_.set_write_timeout(limits_.writeTimeout);
        http_.set_keep_alive_timeout(limits_.keepAliveTimeout.count());
        http_.set_keep_alive_max_count(limits_.keepAliveRequests);
        http_.set_payload_max_length(limits_.maxBody);
        // A response goes out in a few writes: without this each waits for
        // the client's delayed acknowledgement of the one before.
        http_.set_tcp_nodelay(true);
        http_.set_default_headers({{"Content-Security-Policy", contentSecurityPolicy},
                                   {"X-Content-Type-Options", "nosniff"},
                                   {"Referrer-Policy", "no-referrer"},
                                   {"X-Frame-Options", "DENY"}});
        http_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
            return admit(request, response);
        });
        const auto route = [this](const httplib::Request& request, httplib::Response& response) {
            respond(request, response);
        };
        http_.Get(".*", route);
        http_.Post(".*", route);
        http_.Put(".*", route);
        http_.Patch(".*", route);
        http_.Delete(".*", route);
        http_.Options(".*", route);
        http_.set_error_handler(
            httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
                if (!response.body.empty())
                    return httplib::Server::HandlerResponse::Unhandled;
                sendError(response, response.status, reasonOf(response.status));
                return httplib::Server::HandlerResponse::Handled;
            }));
        http_.set_exception_handler(
            [](const httplib::Request&, httplib::Response& response, std::exception_ptr failure) {
                std::string message = "the server failed";
                try {
                    std::rethrow_exception(failure);
                } catch (const std::exception& error) {
                    message += std::string(": ") + error.what();
                } catch (...) {
                }
                sendError(response, 500, message);
            });
        if (!settings_.quiet)
            http_.set_logger([](const httplib::Request& request, const httplib::Response& response) {
                log(request, response);
            });
    }

    // Every request first: it must name this server by an allowed host, and
    // come from an allowed page if it says where it comes from.
    httplib::Server::HandlerResponse admit(const httplib::Request& request, httplib::Response& response) {
        requestStart = Clock::now();
        const std::string host = request.get_header_value("Host");
        if (!hosts_.allowsHost(host)) {
            sendError(response, 403,
                      "the Host header does not name this server (" + dumped(Json(host)) +
                          "); start it with --allow-host NAME to accept a name");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (request.has_header("Origin") && !hosts_.allowsOrigin(request.get_header_value("Origin"))) {
            sendError(response, 403, "requests from other sites' pages are refused");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    }

    static void log(const httplib::Request& request, const httplib::Response& response) {
        const long long milliseconds =
            requestStart == Clock::time_point{}
                ? 0
                : std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - requestStart).count();
        requestStart = {};
        const std::string line = printable(request.method) + " " + printable(request.path) + " " +
                                 std::to_string(response.status) + " " + std::to_string(milliseconds) +
                                 " ms\n";
        (void)writeFully(2, line.data(), line.size());
    }

    // The routes. A path that exists with another method: 405 with the methods it has.
    void respond(const httplib::Request& request, httplib::Response& response) {
        // httplib answers HEAD with a GET's headers and no body.
        const std::string method = request.method == "HEAD" ? "GET" : request.method;
        const std::string& path = request.path;
        static const std::regex runPath("/api/runs/([A-Za-z0-9]{1,24})");
        static const std::regex outputPath("/api/runs/([A-Za-z0-9]{1,24})/([a-z]{1,16})");
        std::smatch match;
        if (path == "/api/runs") {
            if (method == "POST")
                return startRun(request, response);
            return refuseMethod(response, "POST");
        }
        if (std::regex_match(path, match, runPath)) {
            if (method == "GET")
                return showRun(match[1], response);
            if (method == "DELETE")
                return cancelRun(match[1], response);
            return refuseMethod(response, "GET, DELETE");
        }
        if (std::regex_match(path, match, outputPath)) {
            if (method == "GET")
                return sendOutput(match[1], match[2],
                                  request.has_param("download") && request.get_param_value("download") == "1",
                                  response);
            return refuseMethod(response, "GET");
        }
        if (path == "/api/version") {
            if (method == "GET")
                return sendVersion(response);
            return refuseMethod(response, "GET");
        }
        if (const WebFile* file = webFileFor(path)) {
            if (method == "GET")
                return sendPageFile(*file, response);
            return refuseMethod(response, "GET");
        }
        sendError(response, 404, "no such address: " + dumped(Json(path)));
    }

    static void refuseMethod(httplib::Response& response, const char* allowed) {
        response.set_header("Allow", allowed);
        sendError(response, 405, std::string("method not allowed here; allowed: ") + allowed);
    }

    static const WebFile* webFileFor(const std::string& path) {
        const std::string_view name =
            path == "/" ? std::string_view("index.html") : std::string_view(path).substr(1);
        for (const WebFile& file : webFiles)
            if (file.path == name)
                return &file;
        return nullptr;
    }

    static void sendPageFile(const WebFile& file, httplib::Response& response) {
        response.set_header("Cache-Control", "no-cache");
        response.set_content(std::string(file.bytes), std::string(file.contentType));
    }

    void sendVersion(httplib::Response& response) const {
        sendJson(response, 200,
                 {{"program", "quorvex"},
                  {"version", runs_.version()},
                  {"kernels", runs_.kernels()},
                  {"threads", settings_.threads}});
    }

    void startRun(const httplib::Request& request, httplib::Response& response) {
        if (!isJsonContentType(request.get_header_value("Content-Type")))
            return sendError(response, 415, "the body must be JSON, sent as Content-Type: application/json");
        RunRequest run;
        try {
            run = readRunRequest(request.body);
        } catch (const BadRequest& error) {
            return sendError(response, 400, error.what());
        }
        std::unique_ptr<AcceptedRun> accepted;
        try {
            accepted = runs_.accept(run.command, run.options, static_cast<std::uint32_t>(std::time(nullptr)));
        } catch (const RefusedRequest& refused) {
            return sendError(response, 400, refused.what(), refused.option());
        }
        if (accepted->plannedSteps() > settings_.maxSteps)
            return sendError(response, 400,
                             "the run would play " + stepsText(accepted->plannedSteps()) +
                                 " steps, more than this server's limit of " + stepsText(settings_.maxSteps) +
                                 " (quorvex serve --max-steps)");
        const std::uint32_t seed = accepted->seed();
        std::string id;
        try {
            id = jobs_.submit(std::move(accepted));
        } catch (const QueueFull& full) {
            response.set_header("Retry-After", "5");
            return sendError(response, 503, full.what());
        }
        const std::string url = "/api/runs/" + id;
        response.set_header("Location", url);
        sendJson(response, 202, {{"id", id}, {"status", "queued"}, {"seed", seed}, {"url", url}});
    }

    static void sendUnknown(httplib::Response& response, const std::string& id, JobQueue::Found found) {
        if (found == JobQueue::Found::expired)
            return sendError(
                response, 404,
                "run " + id + " has expired or was deleted: the server keeps the newest finished runs only");
        sendError(response, 404, "no run " + dumped(Json(id)));
    }

    void showRun(const std::string& id, httplib::Response& response) const {
        JobSnapshot job;
        const JobQueue::Found found = jobs_.lookUp(id, &job);
        if (found != JobQueue::Found::yes)
            return sendUnknown(response, id, found);
        Json options = Json::object();
        for (const auto& [name, text] : job.options)
            options[name] = text;
        sendJson(response, 200,
                 {{"id", job.id},
                  {"command", job.command},
                  {"options", options},
                  {"status", statusName(job.status)},
                  {"progress",
                   {{"done", job.songsDone},
                    {"total", job.songsPlanned},
                    {"steps_per_song", job.stepsPerSong},
                    {"elapsed_seconds", std::round(job.elapsedSeconds * 1000) / 1000}}},
                  {"error", job.error.empty() ? Json(nullptr) : Json(job.error)},
                  {"formats", job.formats}});
    }

    void cancelRun(const std::string& id, httplib::Response& response) {
        JobQueue::Found found = JobQueue::Found::unknown;
        const std::optional<JobStatus> status = jobs_.cancelOrForget(id, found);
        if (!status)
            return sendUnknown(response, id, found);
        sendJson(response, 200, {{"id", id}, {"status", statusName(*status)}});
    }

    void sendOutput(const std::string& id, const std::string& format, bool download,
                    httplib::Response& response) const {
        JobQueue::Found found = JobQueue::Found::unknown;
        JobStatus status = JobStatus::queued;
        const std::shared_ptr<const RenderedOutput> output = jobs_.output(id, format, found, status);
        if (found != JobQueue::Found::yes)
            return sendUnknown(response, id, found);
        if (!output) {
            if (status == JobStatus::done)
                return sendError(response, 404, "run " + id + " has no " + dumped(Json(format)) + " output");
            return sendError(response, 409,
                             "run " + id + " is " + statusName(status) +
                                 ": its output exists once it is done");
        }
        response.set_header("Cache-Control", "no-store");
        if (download)
            response.set_header("Content-Disposition", "attachment; filename=\"" + output->fileName + "\"");
        response.set_content(output->bytes, output->contentType);
    }

    const ServeSettings settings_;
    const HttpLimits limits_;
    RunSource& runs_;
    const HostPolicy hosts_;
    JobQueue jobs_;
    std::shared_ptr<ConnectionWorkers> workers_;
    std::atomic<bool> listening_{true}; // until serve() has returned
    socket_t listeningSocket_ = INVALID_SOCKET;
    static constexpr int listenBacklog = 128;
    httplib::Server http_;
};

HttpServer::HttpServer(const ServeSettings& settings, const HttpLimits& limits, RunSource& runs)
    : impl_(std::make_unique<Impl>(settings, limits, runs)) {}

HttpServer::~HttpServer() = default;

int HttpServer::bind() {
    return impl_->bind();
}

void HttpServer::serve() {
    impl_->serve();
}

void HttpServer::stop() {
    impl_->stop();
}

bool HttpServer::stragglersLeft() const {
    return impl_->stragglersLeft();
}

} // namespace quorvex::serve
