// The format registry: every format by name with its media type; every
// command's record renders to each of its formats, exactly the bytes the
// command line writes for the same seeded request, and to no other.

#include "output/format_registry.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_catalog.h"
#include "app/prepared_run.h"
#include "program_runner.h"

namespace quorvex::output {
namespace {

struct FormatCase {
    Format format;
    const char* name;
    const char* contentType;
    const char* extension;
};

TEST(FormatRegistry, EveryFormatByNameWithItsMediaType) {
    const FormatCase cases[] = {
        {Format::text, "text", "text/plain; charset=utf-8", "txt"},
        {Format::csv, "csv", "text/csv; charset=utf-8", "csv"},
        {Format::json, "json", "application/json", "json"},
        {Format::svg, "svg", "image/svg+xml", "svg"},
        {Format::results, "results", "text/plain; charset=utf-8", "txt"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(formatName(c.format), c.name);
        EXPECT_EQ(formatNamed(c.name), c.format);
        EXPECT_EQ(contentType(c.format), c.contentType);
        EXPECT_EQ(fileExtension(c.format), c.extension);
    }
    EXPECT_EQ(formatNamed("xml"), std::nullopt);
    EXPECT_EQ(formatNamed("JSON"), std::nullopt);
}

// A small seeded request of each command, as option texts and as arguments.
struct Request {
    const char* command;
    app::OptionTexts texts;
    std::vector<Format> formats; // every format the record has
};

const std::vector<Request>& requests() {
    static const std::vector<Request> all = {
        {"simulate",
         {{"songs", "200"},
          {"steps", "400"},
          {"perfect", "0.95"},
          {"seed", "1700000000"},
          {"at-least", "900"}},
         {Format::text, Format::csv, Format::json, Format::svg, Format::results}},
        {"sweep",
         {{"songs", "200"}, {"steps", "300"}, {"perfect", "0.9:1:0.05"}, {"seed", "17"}},
         {Format::text, Format::csv, Format::json, Format::svg}},
        {"target",
         {{"steps", "300"}, {"mean", "950"}, {"songs", "200"}, {"seed", "5"}, {"resolution", "0.01"}},
         {Format::text, Format::json}},
    };
    return all;
}

std::unique_ptr<app::FinishedRun> played(const Request& request) {
    app::RunControl control;
    return app::prepareRun(request.command, request.texts, 0)->play(2, control);
}

TEST(FormatRegistry, EveryCommandRendersToEachOfItsFormatsAndNoOther) {
    for (const Request& request : requests()) {
        const app::CommandEntry* entry = app::findCommand(request.command);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(std::vector<Format>(entry->formats.begin(), entry->formats.end()), request.formats);
        const auto run = played(request);
        EXPECT_EQ(std::vector<Format>(run->formats().begin(), run->formats().end()), request.formats);
        for (const Format format : {Format::text, Format::csv, Format::json, Format::svg, Format::results}) {
            const bool has =
                std::find(request.formats.begin(), request.formats.end(), format) != request.formats.end();
            if (has)
                EXPECT_FALSE(run->render(format, {}).empty()) << request.command << " " << formatName(format);
            else
                EXPECT_THROW(run->render(format, {}), std::invalid_argument)
                    << request.command << " " << formatName(format);
        }
    }
}

// The command line's arguments for a request, its report in `format`.
std::vector<std::string> arguments(const Request& request) {
    std::vector<std::string> line{request.command, "--quiet"};
    for (const app::OptionText& option : request.texts) {
        line.push_back("--" + option.name);
        line.push_back(option.text);
    }
    return line;
}

TEST(FormatRegistry, RendersTheBytesTheCommandLineWrites) {
    for (const Request& request : requests()) {
        const auto run = played(request);
        for (const Format format : request.formats) {
            // Text shows the threads, the time taken and, as the locale
            // says, Unicode: its bytes are the end-to-end suites' to pin.
            if (format == Format::text)
                continue;
            testing::ProgramOptions options;
            options.arguments = arguments(request);
            std::string file;
            if (format == Format::svg || format == Format::results) {
                options.arguments.push_back(format == Format::svg ? "--plot" : "--results");
                options.arguments.push_back(file = "written." + std::string(fileExtension(format)));
            } else {
                options.arguments.push_back("--format");
                options.arguments.push_back(std::string(formatName(format)));
            }
            const testing::ProgramRun program = testing::runProgram(options);
            ASSERT_EQ(program.exitStatus, 0) << program.standardError;
            const std::string written = file.empty()
                                            ? program.standardOutput
                                            : testing::readFile(program.workDir + "/" + file).value_or("");
            const std::string rendered = run->render(format, {});
            EXPECT_EQ(written, rendered) << request.command << " " << formatName(format);
        }
    }
}

} // namespace
} // namespace quorvex::output
