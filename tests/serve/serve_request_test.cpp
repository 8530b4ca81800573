// What the server reads before any option: the body of POST /api/runs, the
// names a request may address the server by, and --listen.

#include <gtest/gtest.h>

#include <string>

#include "serve/host_policy.h"
#include "serve/listen_address.h"
#include "serve/run_request.h"

namespace {

using quorvex::serve::BadRequest;
using quorvex::serve::HostPolicy;
using quorvex::serve::readListenAddress;
using quorvex::serve::readRunRequest;

TEST(RunRequestBody, ReadsTheCommandAndTheOptionTextsInOrder) {
    const auto request = readRunRequest(
        R"({"command": "simulate", "options": {"songs": "100000", "steps": 400, "perfect": "0.95", "seed": -3}})");
    EXPECT_EQ(request.command, "simulate");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"songs", "100000"}, {"steps", "400"}, {"perfect", "0.95"}, {"seed", "-3"}};
    EXPECT_EQ(request.options, expected);
}

TEST(RunRequestBody, KeepsTextsAsTyped) {
    const auto request = readRunRequest(R"({"options": {"perfect": " .5e0\t"}, "command": "x"})");
    ASSERT_EQ(request.options.size(), 1u);
    EXPECT_EQ(request.options[0].second, " .5e0\t");
    EXPECT_EQ(request.command, "x"); // unknown commands are the run layer's to name
}

TEST(RunRequestBody, AWholeNumberBeyondSixtyFourBitsIsAskedForAsAString) {
    EXPECT_THROW(readRunRequest(R"({"command": "simulate", "options": {"songs": 100000000000000000000}})"),
                 BadRequest);
}

struct Refused {
    const char* body;
    const char* messagePart;
    const char* key;
};

class RefusedBody : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedBody, SaysWhatIsWrongAndNamesTheKey) {
    try {
        readRunRequest(GetParam().body);
        FAIL() << "accepted " << GetParam().body;
    } catch (const BadRequest& refused) {
        EXPECT_NE(std::string(refused.what()).find(GetParam().messagePart), std::string::npos)
            << refused.what();
        EXPECT_EQ(refused.key(), GetParam().key);
        EXPECT_EQ(std::string(refused.what()).find('\n'), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedBody,
    ::testing::Values(
        Refused{"", "not valid JSON (at byte 1)", ""}, Refused{"{", "not valid JSON", ""},
        Refused{"[1,2]", "must be a JSON object", ""}, Refused{"\"simulate\"", "must be a JSON object", ""},
        Refused{R"({"command": "simulate"} x)", "not valid JSON", ""},
        Refused{R"({"options": {}})", "names no \"command\"", "command"},
        Refused{R"({"command": 3})", "\"command\" must be a string", "command"},
        Refused{R"({"command": "simulate", "options": []})", "\"options\" must be an object", "options"},
        Refused{R"({"command": "simulate", "format": "json"})", "unknown key \"format\"", "format"},
        Refused{R"({"command": "simulate", "command": "sweep"})", "\"command\" is given twice", "command"},
        Refused{R"({"command": "simulate", "options": {"songs": "1", "songs": "2"}})",
                "\"songs\" is given twice", "songs"},
        Refused{R"({"command": "simulate", "options": {"perfect": 0.95}})", "give the command line's text",
                "perfect"},
        Refused{R"({"command": "simulate", "options": {"songs": 1e5}})", "fraction or an exponent", "songs"},
        Refused{R"({"command": "simulate", "options": {"songs": 100.0}})", "fraction or an exponent",
                "songs"},
        Refused{R"({"command": "simulate", "options": {"quiet": true}})", "must be a JSON string", "quiet"},
        Refused{R"({"command": "simulate", "options": {"songs": null}})", "must be a JSON string", "songs"},
        Refused{R"({"command": "simulate", "options": {"songs": ["1"]}})", "must be a JSON string", "songs"},
        Refused{R"({"a":{"b":{"c":{"d":{"e":{"f":{"g":{"h":{"i":1}}}}}}}}})", "nested deeper than 8", ""},
        Refused{"[[[[[[[[[]]]]]]]]]", "nested deeper than 8", ""},
        Refused{"{\"command\": \"simulate\xff\"}", "not valid JSON", ""}));

TEST(RunRequestBody, EightLevelsAreReadNineAreNot) {
    // Eight nested containers: refused only for being an array, not for depth.
    try {
        readRunRequest("[[[[[[[[]]]]]]]]");
        FAIL();
    } catch (const BadRequest& refused) {
        EXPECT_NE(std::string(refused.what()).find("must be a JSON object"), std::string::npos);
    }
}

TEST(RunRequestBody, SixtyFourKibibytesOfOpeningBracketsAreRefusedForDepth) {
    try {
        readRunRequest(std::string(64 * 1024, '['));
        FAIL();
    } catch (const BadRequest& refused) {
        EXPECT_NE(std::string(refused.what()).find("nested deeper"), std::string::npos);
    }
}

struct HostCase {
    const char* host;
    bool allowed;
};

class HostHeader : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostHeader, OnlyLoopbackNamesAndTheAllowedOnes) {
    const HostPolicy policy({"quorvex.lan"});
    EXPECT_EQ(policy.allowsHost(GetParam().host), GetParam().allowed) << GetParam().host;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostHeader,
    ::testing::Values(HostCase{"localhost", true}, HostCase{"localhost:8765", true},
                      HostCase{"LOCALHOST:1", true}, HostCase{"localhost.:8765", true},
                      HostCase{"127.0.0.1", true}, HostCase{"127.0.0.1:65535", true}, HostCase{"[::1]", true},
                      HostCase{"[::1]:8765", true}, HostCase{"quorvex.lan:80", true},
                      HostCase{"Quorvex.LAN", true}, HostCase{"", false}, HostCase{"evil.example", false},
                      HostCase{"evil.example:8765", false}, HostCase{"localhost.evil.example", false},
                      HostCase{"127.0.0.1.nip.io", false}, HostCase{"127.0.0.2", false},
                      HostCase{"::1", false}, HostCase{"[::1", false}, HostCase{"localhost:80x", false},
                      HostCase{"localhost:8765:1", false}, HostCase{"[::1]x", false},
                      HostCase{"0.0.0.0:8765", false}));

TEST(OriginHeader, SameHostsAsTheHostHeaderOverHttp) {
    const HostPolicy policy;
    EXPECT_TRUE(policy.allowsOrigin("http://localhost:8765"));
    EXPECT_TRUE(policy.allowsOrigin("http://127.0.0.1:8765"));
    EXPECT_TRUE(policy.allowsOrigin("http://[::1]:8765"));
    EXPECT_FALSE(policy.allowsOrigin("null"));
    EXPECT_FALSE(policy.allowsOrigin("http://evil.example"));
    EXPECT_FALSE(policy.allowsOrigin("http://localhost@evil.example"));
    EXPECT_FALSE(policy.allowsOrigin("http://localhost:8765/x"));
    EXPECT_FALSE(policy.allowsOrigin("file://localhost"));
    EXPECT_FALSE(policy.allowsOrigin(""));
}

TEST(ListenAddress, HostAndPort) {
    const auto v4 = readListenAddress("127.0.0.1:8765");
    ASSERT_TRUE(v4);
    EXPECT_EQ(v4->host, "127.0.0.1");
    EXPECT_EQ(v4->port, 8765);
    const auto v6 = readListenAddress("[::1]:0");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, "::1");
    EXPECT_EQ(v6->port, 0);
    EXPECT_EQ(quorvex::serve::serverUrl("::1", 80), "http://[::1]:80/");
    for (const char* wrong :
         {"", "8765", ":8765", "localhost", "localhost:", "localhost:65536", "localhost:-1", "::1:8765",
          "[::1]8765:1", "local host:1", "localhost:123456", "[]:1"})
        EXPECT_FALSE(readListenAddress(wrong)) << wrong;
}

TEST(ListenAddress, LoopbackOrNot) {
    EXPECT_TRUE(quorvex::serve::isLoopback("127.0.0.1"));
    EXPECT_TRUE(quorvex::serve::isLoopback("127.1.2.3"));
    EXPECT_TRUE(quorvex::serve::isLoopback("localhost"));
    EXPECT_TRUE(quorvex::serve::isLoopback("::1"));
    EXPECT_FALSE(quorvex::serve::isLoopback("0.0.0.0"));
    EXPECT_FALSE(quorvex::serve::isLoopback("::"));
    EXPECT_FALSE(quorvex::serve::isLoopback("192.168.1.2"));
}

} // namespace
