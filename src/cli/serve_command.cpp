#include "cli/serve_command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/option_reader.h"
#include "app/option_values.h"
#include "cli/cli11_options.h"
#include "cli/shared_options.h"
#include "serve/app_run_source.h"
#include "serve/listen_address.h"
#include "serve/serve.h"
#include "serve/serve_settings.h"

namespace quorvex::cli {

namespace {

constexpr const char* hostDomain = "a host name, e.g. quorvex.lan";
constexpr const char* queuedDomain = "a whole number from 0 to 100000";
constexpr const char* stepsLimitDomain = "a whole number from 1 to 1000000000000000000";
constexpr std::int64_t queuedLimit = 100000;
constexpr std::int64_t stepsLimit = 1000000000000000000;

constexpr const char* helpFooter =
    "Serves the page and the HTTP API of runs (docs/serve.md) until Ctrl+C or SIGTERM.\n"
    "The first line on standard output is 'Quorvex is serving on http://HOST:PORT/'.\n"
    "Requests must name the server as localhost, 127.0.0.1 or [::1] (or a name\n"
    "given with --allow-host); runs play one at a time on every thread.\n"
    "\n"
    "Examples:\n"
    "  quorvex serve\n"
    "  quorvex serve --listen 127.0.0.1:0 --quiet\n"
    "  curl -s -H 'Content-Type: application/json' http://127.0.0.1:8765/api/runs \\\n"
    "      -d '{\"command\": \"simulate\", \"options\": {\"songs\": \"100000\", \"steps\": \"400\", "
    "\"perfect\": \"0.95\"}}'";

class ServeCommand final : public Command {
  public:
    std::string_view name() const override { return "serve"; }
    std::string_view summary() const override {
        return "serve the page and the HTTP API of runs on this machine";
    }

    void declareOptions(CLI::App& command) override {
        setHelpFooter(command, helpFooter);
        listen_ = declareTextOption(command, "--listen", "HOST:PORT",
                                    "the address to listen on (default: 127.0.0.1:8765;\n"
                                    "port 0: any free port)");
        allowHost_ = declareTextOption(command, "--allow-host", "NAME",
                                       "also accept requests that name the server NAME\n"
                                       "(may be given more than once)");
        threads_ = declareThreadsOption(command, "each run plays on them all, one run at a time");
        maxQueued_ =
            declareTextOption(command, "--max-queued", "N", "runs that may wait, 0 to 100000 (default: 16)");
        maxSteps_ = declareTextOption(command, "--max-steps", "N",
                                      "the most songs x steps a run may plan\n"
                                      "(default: 200000000000)");
        quiet_ = declareFlag(command, "--quiet", "no request log on standard error");
    }

    std::string accepts(std::string_view option) const override {
        static constexpr std::pair<std::string_view, const char*> domains[] = {
            {"--listen", serve::listenDomain},
            {"--allow-host", hostDomain},
            {"--threads", app::threadDomain},
            {"--max-queued", queuedDomain},
            {"--max-steps", stepsLimitDomain}};
        for (const auto& [name, accepts] : domains)
            if (name == option)
                return accepts;
        return "";
    }

    int run() override {
        const serve::ServeSettings settings = readSettings();
        const std::unique_ptr<serve::RunSource> runs = serve::makeAppRunSource();
        return serve::runServer(settings, *runs);
    }

  private:
    static std::optional<std::int64_t> wholeNumber(const CLI::Option& option, std::string_view name,
                                                   std::int64_t low, std::int64_t high, const char* accepts) {
        const std::optional<std::string> text = givenText(option);
        if (!text)
            return std::nullopt;
        const std::optional<std::int64_t> value = app::readWholeNumber(*text, low, high);
        if (!value)
            app::refuseValue(name, *text, accepts);
        return value;
    }

    serve::ServeSettings readSettings() const {
        serve::ServeSettings settings;
        const std::string listen = givenText(*listen_).value_or(serve::defaultListenText);
        const std::optional<serve::ListenAddress> address = serve::readListenAddress(listen);
        if (!address)
            app::refuseValue("listen", listen, serve::listenDomain);
        settings.listen = *address;
        for (const std::string& host : givenTexts(*allowHost_)) {
            if (host.empty() || host.find_first_of(" \t\r\n/@") != std::string::npos)
                app::refuseValue("allow-host", host, hostDomain);
            settings.allowedHosts.push_back(host);
        }
        settings.threads = threadCount(*threads_);
        settings.queue.maxQueued =
            static_cast<std::size_t>(wholeNumber(*maxQueued_, "max-queued", 0, queuedLimit, queuedDomain)
                                         .value_or(settings.queue.maxQueued));
        settings.maxSteps = static_cast<long double>(
            wholeNumber(*maxSteps_, "max-steps", 1, stepsLimit, stepsLimitDomain).value_or(200000000000));
        settings.quiet = flagGiven(*quiet_);
        return settings;
    }

    CLI::Option* listen_ = nullptr;
    CLI::Option* allowHost_ = nullptr;
    CLI::Option* threads_ = nullptr;
    CLI::Option* maxQueued_ = nullptr;
    CLI::Option* maxSteps_ = nullptr;
    CLI::Option* quiet_ = nullptr;
};

} // namespace

std::unique_ptr<Command> makeServeCommand() {
    return std::make_unique<ServeCommand>();
}

} // namespace quorvex::cli
