// `quorvex serve` as users start it: the built program on 127.0.0.1, port 0,
// against the same program's command line, which is the reference for every
// byte and every message.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "http_exchange.h"
#include "program_runner.h"
#include "server_process.h"

namespace {

using nlohmann::json;
using quorvex::testing::httpRequest;
using quorvex::testing::postJson;
using quorvex::testing::ProgramOptions;
using quorvex::testing::ProgramRun;
using quorvex::testing::ServerProcess;
using Clock = std::chrono::steady_clock;

using Options = std::vector<std::pair<std::string, std::string>>;

std::string runBody(const std::string& command, const Options& options) {
    json body = {{"command", command}, {"options", json::object()}};
    for (const auto& [name, text] : options)
        body["options"][name] = text;
    return body.dump();
}

// The command line with the same options; `extra` after them.
ProgramRun commandLine(const std::string& command, const Options& options,
                       const std::vector<std::string>& extra, const std::string& workDir = "") {
    ProgramOptions program;
    program.arguments = {command};
    for (const auto& [name, text] : options) {
        program.arguments.push_back("--" + name);
        program.arguments.push_back(text);
    }
    program.arguments.insert(program.arguments.end(), extra.begin(), extra.end());
    program.workDir = workDir;
    return runProgram(program);
}

// The command line's own words for a refused option: its one line on
// standard error without the command's name before and the help's hint after.
std::string commandLineMessage(const std::string& command, const Options& options) {
    const ProgramRun run = commandLine(command, options, {"--quiet"});
    EXPECT_EQ(run.exitStatus, 2) << run.standardError;
    std::string message = run.standardError;
    const std::string prefix = "quorvex " + command + ": ";
    const std::string suffix = "; see 'quorvex " + command + " --help'\n";
    if (message.rfind(prefix, 0) == 0)
        message.erase(0, prefix.size());
    if (message.size() >= suffix.size() &&
        message.compare(message.size() - suffix.size(), suffix.size(), suffix) == 0)
        message.erase(message.size() - suffix.size());
    return message;
}

class Program : public ::testing::Test {
  protected:
    json status(const std::string& id) {
        return json::parse(httpRequest(server.port(), "GET", "/api/runs/" + id).body);
    }

    // Polls the run until `done(run)` holds, with a deadline.
    template <typename Condition>
    json waitUntil(const std::string& id, Condition done,
                   std::chrono::seconds deadline = std::chrono::seconds(120)) {
        const Clock::time_point end = Clock::now() + deadline;
        json run;
        while (Clock::now() < end) {
            run = status(id);
            if (done(run))
                return run;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ADD_FAILURE() << "run " << id << " did not get there: " << run.dump();
        return run;
    }
    json waitForStatus(const std::string& id, const std::string& wanted) {
        return waitUntil(id, [&](const json& run) { return run["status"] == wanted; });
    }
    std::string start(const std::string& command, const Options& options) {
        const auto reply = postJson(server.port(), "/api/runs", runBody(command, options));
        EXPECT_EQ(reply.status, 202) << reply.body;
        return reply.status == 202 ? json::parse(reply.body)["id"].get<std::string>() : "";
    }

    ServerProcess server{{"--listen", "127.0.0.1:0", "--quiet", "--threads", "2"}};
};

TEST_F(Program, SaysWhereItServesOnItsFirstLine) {
    ASSERT_GT(server.port(), 0) << server.firstLine();
    EXPECT_EQ(server.firstLine(),
              "Quorvex is serving on http://127.0.0.1:" + std::to_string(server.port()) + "/");
    const json version = json::parse(httpRequest(server.port(), "GET", "/api/version").body);
    EXPECT_EQ(version["program"], "quorvex");
    EXPECT_EQ(version["threads"], 2);
    const ProgramRun reference = commandLine("--version", {}, {});
    EXPECT_NE(reference.standardOutput.find("quorvex " + version["version"].get<std::string>() + "\n"),
              std::string::npos);
    EXPECT_NE(reference.standardOutput.find(version["kernels"].get<std::string>()), std::string::npos);
}

// What the command line writes for a format, to a file as a user asks for it.
std::vector<std::string> commandLineFlagsFor(const std::string& format, const std::string& file) {
    if (format == "svg")
        return {"--plot", file};
    if (format == "results")
        return {"--results", file};
    return {"--format", format, "--output", file};
}

struct SeededRun {
    std::string command;
    Options options;
    std::vector<std::string> formats; // at least these
};

class SeededRuns : public Program, public ::testing::WithParamInterface<SeededRun> {};

TEST_P(SeededRuns, EveryFormatIsTheCommandLinesBytes) {
    // The server's text is what the command line writes to a file where the
    // locale shows UTF-8 (80 columns); the reference runs in such a locale.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    const SeededRun& seeded = GetParam();
    const std::string id = start(seeded.command, seeded.options);
    const json done = waitForStatus(id, "done");
    for (const std::string& format : seeded.formats)
        EXPECT_NE(std::find(done["formats"].begin(), done["formats"].end(), format), done["formats"].end())
            << format;
    for (const auto& format : done["formats"]) {
        const std::string name = format.get<std::string>();
        const quorvex::testing::HttpReply served =
            httpRequest(server.port(), "GET", "/api/runs/" + id + "/" + name);
        ASSERT_EQ(served.status, 200) << name;
        const std::string folder = quorvex::testing::makeTempDir();
        std::vector<std::string> flags = commandLineFlagsFor(name, "out");
        flags.push_back("--quiet");
        const ProgramRun reference = commandLine(seeded.command, seeded.options, flags, folder);
        ASSERT_EQ(reference.exitStatus, 0) << reference.standardError;
        const std::optional<std::string> bytes = quorvex::testing::readFile(folder + "/out");
        ASSERT_TRUE(bytes) << name;
        // The text report names the threads and the time the run took, which differ from run to run.
        const auto timeless = [&](const std::string& text) {
            if (name != "text")
                return text;
            const std::string withoutRate =
                std::regex_replace(text, std::regex("[0-9]+ threads? \xC2\xB7 [^\n]*/s"), "(timing)");
            return std::regex_replace(withoutRate, std::regex("[0-9][0-9.e+-]* s\n"), "(seconds)\n");
        };
        EXPECT_TRUE(timeless(served.body) == timeless(*bytes))
            << seeded.command << " " << name << ": " << served.body.size() << " bytes served, "
            << bytes->size() << " written";
        const quorvex::testing::HttpReply download =
            httpRequest(server.port(), "GET", "/api/runs/" + id + "/" + name + "?download=1");
        EXPECT_EQ(download.header("content-disposition").rfind("attachment; filename=\"", 0), 0u);
    }
    const json options = done["options"];
    for (const auto& [option, text] : seeded.options)
        EXPECT_EQ(options[option], text) << option;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeededRuns,
    ::testing::Values(
        SeededRun{"simulate",
                  {{"songs", "20000"},
                   {"steps", "400"},
                   {"perfect", "0.95"},
                   {"seed", "1765222492"},
                   {"at-least", "950,990"}},
                  {"json", "csv", "text", "svg", "results"}},
        SeededRun{
            "simulate", {{"songs", "50"}, {"steps", "100"}, {"perfect", ".5"}, {"seed", "7"}}, {"json"}},
        SeededRun{"sweep",
                  {{"songs", "2000"},
                   {"steps", "400"},
                   {"perfect", "0.95:1:0.01"},
                   {"seed", "42"},
                   {"at-least", "950,990"}},
                  {"json", "csv", "text", "svg"}},
        SeededRun{"target",
                  {{"steps", "400"}, {"aaa-chance", "0.5"}, {"songs", "2000"}, {"seed", "1700000000"}},
                  {"json", "text"}}));

TEST_F(Program, AMissingSeedIsTheCurrentSecondAndReported) {
    const auto before = static_cast<long long>(std::time(nullptr));
    const auto reply = postJson(server.port(), "/api/runs",
                                runBody("simulate", {{"songs", "10"}, {"steps", "10"}, {"perfect", "0.9"}}));
    const auto after = static_cast<long long>(std::time(nullptr));
    ASSERT_EQ(reply.status, 202);
    const long long seed = json::parse(reply.body)["seed"];
    EXPECT_GE(seed, before);
    EXPECT_LE(seed, after);
    EXPECT_EQ(status(json::parse(reply.body)["id"])["options"]["seed"], std::to_string(seed));
}

TEST_F(Program, WholeNumbersMayBeJsonIntegers) {
    const auto reply = postJson(
        server.port(), "/api/runs",
        R"({"command": "simulate", "options": {"songs": 10, "steps": 400, "perfect": "0.9", "seed": 5}})");
    ASSERT_EQ(reply.status, 202) << reply.body;
    const json run = waitForStatus(json::parse(reply.body)["id"], "done");
    EXPECT_EQ(run["options"]["steps"], "400");
}

struct BadValue {
    std::string command;
    Options options;
    std::string option; // the one at fault
};

class BadValues : public Program, public ::testing::WithParamInterface<BadValue> {};

TEST_P(BadValues, AreRefusedWithTheCommandLinesMessage) {
    const BadValue& bad = GetParam();
    const auto reply = postJson(server.port(), "/api/runs", runBody(bad.command, bad.options));
    EXPECT_EQ(reply.status, 400);
    const json body = json::parse(reply.body);
    EXPECT_EQ(body["error"], commandLineMessage(bad.command, bad.options));
    if (!bad.option.empty())
        EXPECT_EQ(body["option"], bad.option);
}

const Options valid = {{"songs", "10"}, {"steps", "400"}, {"perfect", "0.95"}};

Options with(Options options, const std::string& name, const std::string& text) {
    for (auto& [key, value] : options)
        if (key == name) {
            value = text;
            return options;
        }
    options.emplace_back(name, text);
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadValues,
    ::testing::Values(BadValue{"simulate", with(valid, "songs", "0"), "songs"},
                      BadValue{"simulate", with(valid, "songs", "-5"), "songs"},
                      BadValue{"simulate", with(valid, "songs", "2147483648"), "songs"},
                      BadValue{"simulate", with(valid, "songs", "0x10"), "songs"},
                      BadValue{"simulate", with(valid, "songs", "1e3"), "songs"},
                      BadValue{"simulate", with(valid, "songs", ""), "songs"},
                      BadValue{"simulate", with(valid, "songs", "1\n2"), "songs"},
                      BadValue{"simulate", with(valid, "steps", "0"), "steps"},
                      BadValue{"simulate", with(valid, "steps", "40 0"), "steps"},
                      BadValue{"simulate", with(valid, "perfect", "1.5"), "perfect"},
                      BadValue{"simulate", with(valid, "perfect", "0"), "perfect"},
                      BadValue{"simulate", with(valid, "perfect", "-0.5"), "perfect"},
                      BadValue{"simulate", with(valid, "perfect", "x"), "perfect"},
                      BadValue{"simulate", with(valid, "seed", "4294967296"), "seed"},
                      BadValue{"simulate", with(valid, "seed", "-1"), "seed"},
                      BadValue{"simulate", with(valid, "at-least", "1001"), "at-least"},
                      BadValue{"simulate", with(valid, "at-least", "950,,990"), "at-least"},
                      BadValue{"simulate", {{"steps", "400"}, {"perfect", "0.95"}}, "songs"},
                      BadValue{"sweep", with(valid, "perfect", "0.9:1:-0.01"), "perfect"},
                      BadValue{"sweep", with(valid, "perfect", "0.9,1.5"), "perfect"},
                      BadValue{"target", {{"steps", "400"}, {"aaa-chance", "1.5"}}, "aaa-chance"},
                      BadValue{"target", {{"steps", "0"}, {"aaa-chance", "0.5"}}, "steps"}));

TEST_F(Program, RefusesARunOverTheStepsLimitNamingIt) {
    const auto reply =
        postJson(server.port(), "/api/runs", runBody("simulate", with(valid, "songs", "1000000000")));
    EXPECT_EQ(reply.status, 400);
    const std::string message = json::parse(reply.body)["error"];
    EXPECT_NE(message.find("200000000000"), std::string::npos) << message;
    EXPECT_NE(message.find("--max-steps"), std::string::npos) << message;
}

TEST_F(Program, RefusesCommandLineOnlyOptionsAndUnknownOnes) {
    for (const char* name : {"format", "output", "plot", "results", "quiet", "threads"}) {
        const auto reply = postJson(server.port(), "/api/runs", runBody("simulate", with(valid, name, "x")));
        EXPECT_EQ(reply.status, 400) << name;
        EXPECT_EQ(json::parse(reply.body)["option"], name);
    }
    const auto unknown = postJson(server.port(), "/api/runs", runBody("simulate", with(valid, "songz", "5")));
    EXPECT_EQ(unknown.status, 400);
    EXPECT_NE(unknown.body.find("songz"), std::string::npos);
    const auto command = postJson(server.port(), "/api/runs", runBody("simulat", valid));
    EXPECT_EQ(command.status, 400);
    EXPECT_NE(command.body.find("simulat"), std::string::npos);
}

TEST_F(Program, ACancelEndsALongRunWithinTwoHundredMillisecondsAndTheNextStarts) {
    // 25 million songs of 400 steps: 10^10 steps, minutes of work.
    const std::string longRun =
        start("simulate", {{"songs", "25000000"}, {"steps", "400"}, {"perfect", "0.95"}});
    const std::string next = start("simulate", {{"songs", "10"}, {"steps", "10"}, {"perfect", "0.9"}});
    waitUntil(longRun,
              [](const json& run) { return run["status"] == "running" && run["progress"]["done"] > 0; });
    const Clock::time_point cancelled = Clock::now();
    const auto reply = httpRequest(server.port(), "DELETE", "/api/runs/" + longRun);
    EXPECT_EQ(json::parse(reply.body)["status"], "cancelled");
    waitUntil(next, [](const json& run) { return run["status"] != "queued"; });
    EXPECT_LT(Clock::now() - cancelled, std::chrono::milliseconds(200));
    EXPECT_EQ(status(longRun)["status"], "cancelled");
    waitForStatus(next, "done");
}

TEST_F(Program, SigtermDuringARunEndsItWithStatusZeroWithinASecond) {
    const std::string longRun =
        start("simulate", {{"songs", "25000000"}, {"steps", "400"}, {"perfect", "0.95"}});
    waitForStatus(longRun, "running");
    quorvex::testing::HttpConnection idle(server.port()); // a client that says nothing
    const Clock::time_point signalled = Clock::now();
    server.signal(SIGTERM);
    const std::optional<int> status = server.waitForExit(std::chrono::seconds(5));
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    EXPECT_LT(Clock::now() - signalled, std::chrono::seconds(1));
}

TEST(ProgramLog, WritesOneLinePerRequestUnlessQuiet) {
    ServerProcess server({"--listen", "127.0.0.1:0"});
    ASSERT_GT(server.port(), 0);
    httpRequest(server.port(), "GET", "/api/version");
    httpRequest(server.port(), "GET", "/nothing%0Ahere");
    // A request's line is written once its answer has gone out: each is awaited.
    server.standardError("GET /api/version");
    const std::string log = server.standardError("GET /nothing");
    EXPECT_NE(log.find("GET /api/version 200 "), std::string::npos) << log;
    EXPECT_NE(log.find("GET /nothing\\x0Ahere 404 "), std::string::npos) << log;
    EXPECT_NE(log.find(" ms\n"), std::string::npos) << log;
    server.signal(SIGINT);
    EXPECT_EQ(server.waitForExit(std::chrono::seconds(5)), 0);
}

TEST(ProgramOptions, RefusesABadListenAddressAndAPortInUse) {
    const ProgramRun bad = commandLine("serve", {{"listen", "localhost"}}, {});
    EXPECT_EQ(bad.exitStatus, 2);
    EXPECT_EQ(bad.standardError.rfind("quorvex serve: --listen \"localhost\" is not HOST:PORT", 0), 0u)
        << bad.standardError;
    ServerProcess first({"--listen", "127.0.0.1:0", "--quiet"});
    ASSERT_GT(first.port(), 0);
    const ProgramRun taken =
        commandLine("serve", {{"listen", "127.0.0.1:" + std::to_string(first.port())}}, {});
    EXPECT_EQ(taken.exitStatus, 1);
    EXPECT_NE(taken.standardError.find("cannot listen on"), std::string::npos) << taken.standardError;
    EXPECT_EQ(taken.standardOutput, "");
}

} // namespace
