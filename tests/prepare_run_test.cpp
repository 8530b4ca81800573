// A request read from option texts: the first wrong option, in the order the
// help lists them, refused with the command line's own message and its
// name; what was read, with the seed it will play; what it plans to play.

#include "app/prepared_run.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/usage_error.h"

namespace quorvex::app {
namespace {

struct Refusal {
    const char* command;
    OptionTexts texts;
    std::string message;
    std::string option;
};

// Options every case needs but the one it breaks.
const OptionTexts simulateRight{{"songs", "10"}, {"steps", "400"}, {"perfect", "0.95"}};

OptionTexts with(OptionTexts texts, const OptionTexts& more) {
    texts.insert(texts.end(), more.begin(), more.end());
    return texts;
}

TEST(PrepareRun, RefusesTheFirstWrongOptionInTheCommandLinesWords) {
    const std::vector<Refusal> cases = {
        {"simulate", {}, "--songs is required: a whole number from 1 to 2147483647", "songs"},
        {"simulate",
         {{"songs", "0"}, {"steps", "x"}},
         "--songs \"0\" is not a whole number from 1 to 2147483647",
         "songs"},
        {"simulate",
         {{"songs", "10"}, {"steps", "1"}, {"perfect", "1.5"}},
         "--perfect \"1.5\" is not a ratio in (0, 1]",
         "perfect"},
        {"simulate", with(simulateRight, {{"seed", "4294967296"}}),
         "--seed \"4294967296\" is not a whole number from 0 to 4294967295", "seed"},
        {"simulate", with(simulateRight, {{"at-least", "950,"}}),
         "--at-least \"950,\" is not a list of scores from 0 to 1000 separated by commas", "at-least"},
        {"simulate", with(simulateRight, {{"songs", "20"}}),
         "--songs is given 2 times (\"10\", \"20\"); give it once", "songs"},
        {"simulate", with(simulateRight, {{"threads", "2"}}), "unknown option \"threads\"", "threads"},
        {"sweep",
         {{"songs", "1"}, {"steps", "1"}, {"perfect", "0.9:1:0"}},
         "--perfect \"0.9:1:0\": the step is 0; it must lead from the start to the end",
         "perfect"},
        {"target",
         {{"steps", "400"}},
         "no goal given: --aaa-chance Q, --score X with --chance Q, or --mean M",
         ""},
        {"target",
         {{"steps", "400"}, {"mean", "990"}, {"aaa-chance", "0.5"}},
         "--aaa-chance and --mean are two goals; give one: --aaa-chance Q, --score X with --chance Q, or "
         "--mean M",
         "mean"},
        {"target",
         {{"steps", "400"}, {"score", "950"}},
         "--score needs --chance: the share Q of the songs, from 0 to 1, that must score X or more",
         "chance"},
        {"target",
         {{"steps", "400"}, {"aaa-chance", "0.5"}, {"resolution", "0.1"}},
         "--resolution applies to the --score and --mean goals; the answer to --aaa-chance is exact",
         "resolution"},
        // The resolution is read before the songs, as it depends on the goal.
        {"target",
         {{"steps", "400"}, {"mean", "990"}, {"songs", "0"}, {"resolution", "0.6"}},
         "--resolution \"0.6\" is not a ratio step in (0, 0.5]",
         "resolution"},
        {"target",
         {{"steps", "400"}, {"aaa-chance", "1.5"}},
         "--aaa-chance \"1.5\" is not a chance from 0 to 1",
         "aaa-chance"},
        {"nonsense", {}, "unknown command \"nonsense\"", ""},
    };
    for (const Refusal& refusal : cases) {
        try {
            prepareRun(refusal.command, refusal.texts, 0);
            ADD_FAILURE() << "accepted: " << refusal.message;
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), refusal.message);
            EXPECT_EQ(error.option(), refusal.option) << refusal.message;
        }
    }
}

TEST(PrepareRun, OptionsAsReadAddTheSeedOfTheCurrentSecond) {
    const auto run = prepareRun(
        "simulate", {{"at-least", "950"}, {"perfect", "0.950"}, {"steps", "400"}, {"songs", "+10"}},
        1700000000u);
    EXPECT_EQ(run->command(), CommandName::simulate);
    EXPECT_EQ(run->seed(), 1700000000u);
    const OptionTexts read = run->optionsAsRead();
    const std::vector<std::pair<std::string, std::string>> expected = {{"songs", "+10"},
                                                                       {"steps", "400"},
                                                                       {"perfect", "0.950"},
                                                                       {"seed", "1700000000"},
                                                                       {"at-least", "950"}};
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, expected[i].first);
        EXPECT_EQ(read[i].text, expected[i].second);
    }
    // A seed given is kept as given.
    const auto seeded =
        prepareRun("sweep", {{"songs", "1"}, {"steps", "1"}, {"perfect", "1"}, {"seed", "007"}}, 5);
    EXPECT_EQ(seeded->seed(), 7u);
    EXPECT_EQ(seeded->optionsAsRead()[3].text, "007");
}

TEST(PrepareRun, PlansEverySongItMayPlay) {
    const auto simulate = prepareRun("simulate", simulateRight, 0);
    EXPECT_EQ(simulate->plannedSongs(), 10);
    EXPECT_EQ(simulate->stepsPerSong(), 400);
    EXPECT_EQ(simulate->plannedSteps(), 4000.0L);

    // Eleven ratios of 2147483647 songs of 2147483647 steps: beyond 64 bits.
    const auto sweep =
        prepareRun("sweep", {{"songs", "2147483647"}, {"steps", "2147483647"}, {"perfect", "0.9:1:0.01"}}, 0);
    EXPECT_EQ(sweep->plannedSongs(), 11 * 2147483647LL);
    EXPECT_EQ(sweep->plannedSteps(), 11.0L * 2147483647.0L * 2147483647.0L);

    // The exact answer plays one run; a search over 1 / 0.0001 = 10^4 ratios
    // plays ratio 1 and then one run per halving: 1 + ceil(log2 10^4) = 15.
    const auto aaa = prepareRun("target", {{"steps", "400"}, {"aaa-chance", "0.5"}}, 0);
    EXPECT_EQ(aaa->plannedSongs(), 100000);
    const auto search = prepareRun("target", {{"steps", "300"}, {"mean", "990"}, {"songs", "1000"}}, 0);
    EXPECT_EQ(search->plannedSongs(), 15 * 1000);
    EXPECT_EQ(search->plannedSteps(), 15.0L * 1000 * 300);
    // 0.25 gives ratios 1/4 .. 4/4: ratio 1, then 2 halvings.
    const auto coarse =
        prepareRun("target", {{"steps", "300"}, {"mean", "990"}, {"songs", "10"}, {"resolution", "0.25"}}, 0);
    EXPECT_EQ(coarse->plannedSongs(), 3 * 10);
}

} // namespace
} // namespace quorvex::app
