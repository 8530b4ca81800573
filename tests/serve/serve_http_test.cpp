// The server's HTTP face over real sockets on 127.0.0.1, port 0, with runs
// that play until the test lets them finish: the routes, the checks every
// request passes, the limits, and the headers of every response.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "fake_run_source.h"
#include "http_exchange.h"
#include "serve/http_server.h"
#include "serve/web_files.h"

namespace {

using nlohmann::json;
using quorvex::testing::FakeRunLog;
using quorvex::testing::FakeRunSource;
using quorvex::testing::HttpConnection;
using quorvex::testing::HttpReply;
using quorvex::testing::httpRequest;
using quorvex::testing::postJson;

class Server : public ::testing::Test {
  protected:
    void start(quorvex::serve::ServeSettings settings = {}, quorvex::serve::HttpLimits limits = {}) {
        settings.listen = {"127.0.0.1", 0};
        settings.quiet = true; // the request log is tried on the program (serve_program_test)
        server = std::make_unique<quorvex::serve::HttpServer>(settings, limits, source);
        port = server->bind();
        serving = std::thread([this] { server->serve(); });
    }
    void TearDown() override {
        log->releaseAll();
        if (server) {
            server->stop();
            serving.join();
        }
    }
    std::string post(const std::string& body) { return postJson(port, "/api/runs", body).body; }
    HttpReply get(const std::string& target) { return httpRequest(port, "GET", target); }
    // Polls the run until it has the status, with a deadline.
    json waitFor(const std::string& id, const std::string& status) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        json run;
        while (std::chrono::steady_clock::now() < end) {
            run = json::parse(get("/api/runs/" + id).body);
            if (run["status"] == status)
                return run;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ADD_FAILURE() << id << " never became " << status << ": " << run.dump();
        return run;
    }

    std::shared_ptr<FakeRunLog> log = std::make_shared<FakeRunLog>();
    FakeRunSource source{log};
    std::unique_ptr<quorvex::serve::HttpServer> server;
    std::thread serving;
    int port = 0;
};

const std::string simulateBody =
    R"({"command": "simulate", "options": {"songs": "100", "seed": "42", "name": "a"}})";

TEST_F(Server, AcceptsARunAndShowsItUntilItsOutputs) {
    start();
    const HttpReply accepted = postJson(port, "/api/runs", simulateBody);
    ASSERT_EQ(accepted.status, 202) << accepted.body;
    EXPECT_EQ(accepted.header("location"), "/api/runs/r1");
    EXPECT_EQ(json::parse(accepted.body),
              json::parse(R"({"id": "r1", "status": "queued", "seed": 42, "url": "/api/runs/r1"})"));
    ASSERT_TRUE(log->waitForStarts(1));
    const json running = waitFor("r1", "running");
    EXPECT_EQ(running["formats"], json::array());
    EXPECT_EQ(running["error"], nullptr);
    EXPECT_EQ(running["progress"]["total"], 100);
    EXPECT_EQ(running["progress"]["steps_per_song"], 400);
    EXPECT_EQ(running["options"], json::parse(R"({"songs": "100", "name": "a", "seed": "42"})"));
    EXPECT_EQ(get("/api/runs/r1/json").status, 409);
    log->releaseAll();
    const json done = waitFor("r1", "done");
    EXPECT_EQ(done["formats"], json::parse(R"(["json", "csv"])"));
    EXPECT_EQ(done["progress"]["done"], 100);
    const HttpReply output = get("/api/runs/r1/json");
    EXPECT_EQ(output.status, 200);
    EXPECT_EQ(output.body, std::string(100, 'j'));
    EXPECT_EQ(output.header("content-type"), "application/json");
    EXPECT_EQ(output.header("cache-control"), "no-store");
    EXPECT_EQ(output.header("content-disposition"), "");
    const HttpReply download = get("/api/runs/r1/json?download=1");
    EXPECT_EQ(download.header("content-disposition"), "attachment; filename=\"quorvex-simulate-42.json\"");
    EXPECT_EQ(get("/api/runs/r1/svg").status, 404);
    const HttpReply forgotten = httpRequest(port, "DELETE", "/api/runs/r1");
    EXPECT_EQ(forgotten.status, 200);
    EXPECT_EQ(json::parse(forgotten.body), json::parse(R"({"id": "r1", "status": "done"})"));
    const HttpReply expired = get("/api/runs/r1");
    EXPECT_EQ(expired.status, 404);
    EXPECT_NE(json::parse(expired.body)["error"].get<std::string>().find("expired"), std::string::npos);
}

TEST_F(Server, CancelsARunningRunAndTheNextStarts) {
    start();
    post(simulateBody);
    ASSERT_TRUE(log->waitForStarts(1));
    post(R"({"command": "simulate", "options": {"name": "b"}})");
    const HttpReply cancelled = httpRequest(port, "DELETE", "/api/runs/r1");
    EXPECT_EQ(json::parse(cancelled.body), json::parse(R"({"id": "r1", "status": "cancelled"})"));
    ASSERT_TRUE(log->waitForStarts(2));
    waitFor("r2", "running");
    EXPECT_EQ(waitFor("r1", "cancelled")["formats"], json::array());
}

TEST_F(Server, TellsItsVersion) {
    quorvex::serve::ServeSettings settings;
    settings.threads = 3;
    start(settings);
    const HttpReply version = get("/api/version");
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(json::parse(version.body),
              json::parse(R"({"program": "quorvex", "version": "9.9", "kernels": "scalar", "threads": 3})"));
}

TEST_F(Server, ServesThePageItEmbeds) {
    start();
    const HttpReply page = get("/");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("content-type"), "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("<html"), std::string::npos);
    for (const quorvex::serve::WebFile& file : quorvex::serve::webFiles) {
        const HttpReply reply = get("/" + std::string(file.path));
        EXPECT_EQ(reply.status, 200) << file.path;
        EXPECT_EQ(reply.body.size(), file.bytes.size()) << file.path;
    }
}

TEST_F(Server, AnswersHeadAsGetWithoutABody) {
    start();
    quorvex::testing::HttpConnection connection(port);
    ASSERT_TRUE(connection.sendBytes("HEAD /api/version HTTP/1.1\r\nHost: localhost\r\n\r\n"));
    const HttpReply head = connection.receive(std::chrono::seconds(10), true);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("content-type"), "application/json");
}

TEST_F(Server, EveryResponseCarriesTheSecurityHeadersAndNoCors) {
    start();
    for (const HttpReply& reply :
         {get("/"), get("/api/version"), get("/nothing"), postJson(port, "/api/runs", "{")}) {
        EXPECT_EQ(reply.header("content-security-policy").find("default-src 'none'; script-src 'self'"), 0u);
        EXPECT_EQ(reply.header("x-content-type-options"), "nosniff");
        EXPECT_EQ(reply.header("referrer-policy"), "no-referrer");
        EXPECT_EQ(reply.header("access-control-allow-origin"), "");
    }
    EXPECT_EQ(get("/api/version").header("cache-control"), "no-store");
    EXPECT_EQ(get("/nothing").header("cache-control"), "no-store");
}

struct ErrorCase {
    const char* method;
    const char* target;
    const char* headers;
    const char* body;
    int status;
    const char* messagePart;
};

class ErrorTable : public Server, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorTable, AnswersWithTheStatusAndOneLineOfJson) {
    start();
    const ErrorCase& error = GetParam();
    const HttpReply reply = httpRequest(port, error.method, error.target, error.headers, error.body);
    EXPECT_EQ(reply.status, error.status) << reply.body;
    EXPECT_EQ(reply.header("content-type"), "application/json");
    const json body = json::parse(reply.body);
    EXPECT_NE(body["error"].get<std::string>().find(error.messagePart), std::string::npos) << reply.body;
    EXPECT_EQ(reply.body.find('\n'), reply.body.size() - 1);
    EXPECT_TRUE(log->started.empty());
}

const char* const json_ = "Content-Type: application/json\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorTable,
    ::testing::Values(
        ErrorCase{"GET", "/api/version", "Host: evil.example\r\n", "", 403, "Host header"},
        ErrorCase{"GET", "/", "Host: evil.example:8765\r\n", "", 403, "Host header"},
        ErrorCase{"GET", "/", "Host: \r\n", "", 403, "Host header"},
        ErrorCase{"POST", "/api/runs", "Origin: http://evil.example\r\nContent-Type: application/json\r\n",
                  R"({"command": "simulate"})", 403, "other sites"},
        ErrorCase{"DELETE", "/api/runs/r1", "Origin: null\r\n", "", 403, "other sites"},
        ErrorCase{"GET", "/api/nothing", "", "", 404, "no such address"},
        ErrorCase{"GET", "/api/runs/r1", "", "", 404, "no run"},
        ErrorCase{"GET", "/api/runs/r1/json", "", "", 404, "no run"},
        ErrorCase{"GET", "/api/runs/../../etc/passwd", "", "", 404, "no such address"},
        ErrorCase{"PUT", "/api/runs", "", "", 405, "allowed: POST"},
        ErrorCase{"GET", "/api/runs", "", "", 405, "allowed: POST"},
        ErrorCase{"POST", "/api/version", json_, "{}", 405, "allowed: GET"},
        ErrorCase{"PATCH", "/api/runs/r1", "", "", 405, "allowed: GET, DELETE"},
        ErrorCase{"POST", "/api/runs", "", R"({"command": "simulate"})", 415, "application/json"},
        ErrorCase{"POST", "/api/runs", "Content-Type: text/plain\r\n", R"({"command": "simulate"})", 415,
                  "application/json"},
        ErrorCase{"POST", "/api/runs", "Content-Type: application/x-www-form-urlencoded\r\n",
                  "command=simulate", 415, "application/json"},
        ErrorCase{"POST", "/api/runs", json_, "", 400, "not valid JSON"},
        ErrorCase{"POST", "/api/runs", json_, R"({"command": "simulate", "options": {"refuse": "x"}})", 400,
                  "--refuse \"x\" is not taken"},
        ErrorCase{"POST", "/api/runs", json_, R"({"command": "play"})", 400, "unknown command \"play\""},
        ErrorCase{"POST", "/api/runs", json_,
                  R"({"command": "simulate", "options": {"songs": "1000000000"}})", 400, "--max-steps"}));

TEST_F(Server, ARefusedOptionIsNamed) {
    start();
    const HttpReply reply =
        postJson(port, "/api/runs", R"({"command": "simulate", "options": {"refuse": "x"}})");
    EXPECT_EQ(json::parse(reply.body)["option"], "refuse");
    const HttpReply key = postJson(port, "/api/runs", R"({"command": "simulate", "extra": 1})");
    EXPECT_EQ(json::parse(key.body).count("option"), 0u);
}

TEST_F(Server, AcceptsOriginsOfItsOwnPage) {
    start();
    const HttpReply reply =
        httpRequest(port, "POST", "/api/runs",
                    "Origin: http://localhost:" + std::to_string(port) + "\r\n" + json_, simulateBody);
    EXPECT_EQ(reply.status, 202) << reply.body;
}

TEST_F(Server, AcceptsTheNamesItIsToldOf) {
    quorvex::serve::ServeSettings settings;
    settings.allowedHosts = {"quorvex.lan"};
    start(settings);
    EXPECT_EQ(httpRequest(port, "GET", "/api/version", "Host: quorvex.lan:8765\r\n").status, 200);
    EXPECT_EQ(httpRequest(port, "GET", "/api/version", "Host: other.lan\r\n").status, 403);
}

TEST_F(Server, RefusesABodyOverSixtyFourKibibytes) {
    start();
    const std::string body =
        R"({"command": "simulate", "options": {"name": ")" + std::string(64 * 1024, 'x') + "\"}}";
    const HttpReply reply = httpRequest(port, "POST", "/api/runs", json_, body);
    EXPECT_EQ(reply.status, 413);
    EXPECT_TRUE(log->started.empty());
}

TEST_F(Server, RefusesSixtyFourKibibytesOfOpeningBracketsAsTooDeep) {
    start();
    const HttpReply reply = httpRequest(port, "POST", "/api/runs", json_, std::string(64 * 1024, '['));
    EXPECT_EQ(reply.status, 400);
    EXPECT_NE(reply.body.find("nested deeper"), std::string::npos);
}

TEST_F(Server, RefusesRunsBeyondTheQueueWithRetryAfter) {
    quorvex::serve::ServeSettings settings;
    settings.queue.maxQueued = 2;
    start(settings);
    EXPECT_EQ(postJson(port, "/api/runs", simulateBody).status, 202);
    ASSERT_TRUE(log->waitForStarts(1));
    EXPECT_EQ(postJson(port, "/api/runs", simulateBody).status, 202);
    EXPECT_EQ(postJson(port, "/api/runs", simulateBody).status, 202);
    const HttpReply full = postJson(port, "/api/runs", simulateBody);
    EXPECT_EQ(full.status, 503);
    EXPECT_FALSE(full.header("retry-after").empty());
    EXPECT_NE(full.body.find("queue is full"), std::string::npos);
}

TEST_F(Server, AnswersANewClientBehindSixtyFourIdleConnections) {
    quorvex::serve::HttpLimits limits;
    start({}, limits);
    std::vector<std::unique_ptr<HttpConnection>> idle;
    for (int i = 0; i < 64; ++i) {
        idle.push_back(std::make_unique<HttpConnection>(port));
        ASSERT_TRUE(idle.back()->connected());
    }
    const auto before = std::chrono::steady_clock::now();
    const HttpReply reply =
        httpRequest(port, "GET", "/api/version", "", "", limits.readTimeout + std::chrono::seconds(1));
    EXPECT_EQ(reply.status, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - before, limits.readTimeout + std::chrono::seconds(1));
}

TEST_F(Server, KeepsAConnectionAliveForSeveralRequests) {
    start();
    HttpConnection connection(port);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(connection.sendBytes("GET /api/version HTTP/1.1\r\nHost: localhost\r\n\r\n"));
        EXPECT_EQ(connection.receive().status, 200);
    }
}

// Random bodies, and the body reader's fuzz corpus, through the server: each
// answered 400 (or accepted), never anything else.
TEST_F(Server, AnswersEveryRandomBodyWithFourHundredOrAcceptsIt) {
    quorvex::serve::ServeSettings settings;
    settings.queue.maxQueued = 100000;
    start(settings);
    std::vector<std::string> bodies;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(QUORVEX_FUZZ_CORPUS_DIR) / "run_request")) {
        std::ifstream in(entry.path(), std::ios::binary);
        bodies.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GE(bodies.size(), 20u);
    std::mt19937 random(20261209);
    const std::string alphabet =
        "{}[]\":,0123456789.eE+- \t\ntrufalsn\\commandoptionssimulateperfect\x01\xff\xc3";
    auto connection = std::make_unique<HttpConnection>(port);
    for (int i = 0; i < 10000; ++i) {
        std::string body;
        const int length = static_cast<int>(random() % 64);
        for (int j = 0; j < length; ++j)
            body +=
                random() % 8 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        bodies.push_back(body);
    }
    for (const std::string& body : bodies) {
        ASSERT_TRUE(connection->sendBytes("POST /api/runs HTTP/1.1\r\nHost: localhost\r\nContent-Type: "
                                          "application/json\r\nContent-Length: " +
                                          std::to_string(body.size()) + "\r\n\r\n" + body));
        const HttpReply reply = connection->receive();
        ASSERT_TRUE(reply.status == 400 || reply.status == 202)
            << reply.status << " for " << json(body).dump(-1, ' ', true, json::error_handler_t::replace);
        if (reply.header("connection") == "close") // the keep-alive limit: a fresh connection
            connection = std::make_unique<HttpConnection>(port);
    }
}

} // namespace
