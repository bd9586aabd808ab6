#include "fill/value_library.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "temp_dir.h"
#include "text/errors.h"

namespace rowsmith {
namespace {

using test::TempDir;
using test::WriteFile;

std::string ErrorOf(std::string_view text) {
    try {
        ValueLibrary::Parse(text, "colours");
    } catch (const Exception& error) {
        return error.what();
    }
    return "";
}

std::map<std::string, int> Draw(const ValueLibrary& library, int times, std::uint32_t seed) {
    RandomSource random;
    random.SetRandomSeed(seed);
    std::map<std::string, int> drawn;
    for (int i = 0; i < times; ++i) {
        ++drawn[std::string(library.Pick(random))];
    }
    return drawn;
}

TEST(ValueLibraryTest, CommentsBlankLinesAndLineEndsAreNoValues) {
    const ValueLibrary library = ValueLibrary::Parse(
        "\xEF\xBB\xBF#  Colours of the sample set\r\n"
        "red\r\n"
        "\n"
        "   \t \n"
        "# a second comment\n"
        " dark green \n"
        "Gr\xC3\xBCn",
        "colours");
    ASSERT_EQ(library.Count(), 3u);
    EXPECT_EQ(library.Value(0), "red");
    EXPECT_EQ(library.Value(1), " dark green ");
    EXPECT_EQ(library.Value(2), "Gr\xC3\xBCn");
    EXPECT_EQ(library.Description(), "Colours of the sample set");
    EXPECT_EQ(library.LongestValue(), 12u);
    EXPECT_EQ(library.Name(), "colours");
}

TEST(ValueLibraryTest, WeightsFollowATab) {
    const ValueLibrary library =
        ValueLibrary::Parse("red\t3\nblue\nwith\ttab\t 12 \n\t2\n", "colours");
    ASSERT_EQ(library.Count(), 4u);
    EXPECT_EQ(library.Value(0), "red");
    EXPECT_EQ(library.Weight(0), 3u);
    EXPECT_EQ(library.Weight(1), 1u);
    EXPECT_EQ(library.Value(2), "with\ttab");
    EXPECT_EQ(library.Weight(2), 12u);
    // A tab and a weight alone give the empty value.
    EXPECT_EQ(library.Value(3), "");
    EXPECT_EQ(library.Weight(3), 2u);
}

TEST(ValueLibraryTest, BadInputIsRefusedNamingTheLibraryAndLine) {
    EXPECT_EQ(ErrorOf(""), "Library \"colours\" holds no values");
    EXPECT_EQ(ErrorOf("# only a header\n\n  \n"), "Library \"colours\" holds no values");
    const std::string range = "\" is not a whole number from 1 to 1000000000";
    EXPECT_EQ(ErrorOf("red\nblue\tmany\n"),
              "Library \"colours\", line 2: the weight \"many" + range);
    EXPECT_EQ(ErrorOf("red\t0\n"), "Library \"colours\", line 1: the weight \"0" + range);
    EXPECT_EQ(ErrorOf("red\t-3\n"), "Library \"colours\", line 1: the weight \"-3" + range);
    EXPECT_EQ(ErrorOf("red\t\n"), "Library \"colours\", line 1: the weight \"" + range);
    EXPECT_EQ(ErrorOf("red\t1000000001\n"),
              "Library \"colours\", line 1: the weight \"1000000001" + range);
    EXPECT_EQ(ErrorOf("red\t99999999999999999999999\n"),
              "Library \"colours\", line 1: the weight \"99999999999999999999999" + range);
    EXPECT_EQ(ErrorOf("red\ngr\xFCn\n"), "Library \"colours\", line 2 is not UTF-8 text");
    EXPECT_NO_THROW(ValueLibrary::Parse("red\t1000000000\n", "colours"));
}

TEST(ValueLibraryTest, AFileIsReadAndAMissingOrUnreadableOneNamed) {
    TempDir folder;
    WriteFile(folder.File("colours.txt"), "# Colours\nred\nblue\n");
    const ValueLibrary library = ValueLibrary::Load(folder.File("colours.txt"), "colours");
    EXPECT_EQ(library.Count(), 2u);

    const auto errorOf = [](const std::string& path) -> std::string {
        try {
            ValueLibrary::Load(path, "colours");
        } catch (const Exception& error) {
            return error.what();
        }
        return "";
    };
    EXPECT_EQ(errorOf(folder.File("none.txt")),
              "Cannot read library \"colours\": " + folder.File("none.txt") +
                  ": No such file or directory");
    EXPECT_EQ(errorOf(folder.Path()),
              "Cannot read library \"colours\": " + folder.Path() + ": Is a directory");
}

TEST(ValueLibraryTest, NineToOneLandsWithinOnePercentOfNinety) {
    const ValueLibrary library = ValueLibrary::Parse("often\t9\nrarely\t1\n", "odds");
    for (std::uint32_t seed : {0u, 1u, 20261207u, 0xFFFFFFFFu}) {
        const auto drawn = Draw(library, 100000, seed);
        EXPECT_NEAR(drawn.at("often") / 100000.0, 0.9, 0.01) << "seed " << seed;
    }
}

TEST(ValueLibraryTest, EveryValueComesUpInProportionToItsWeight) {
    const ValueLibrary library =
        ValueLibrary::Parse("a\t1\nb\t2\nc\t3\nd\t4\ne\t10\nf\n", "letters");
    const auto drawn = Draw(library, 210000, 7);
    const std::map<std::string, double> expected = {{"a", 1}, {"b", 2},  {"c", 3},
                                                    {"d", 4}, {"e", 10}, {"f", 1}};
    for (const auto& [value, weight] : expected) {
        EXPECT_NEAR(drawn.at(value) / 210000.0, weight / 21.0, 0.005) << value;
    }
}

TEST(ValueLibraryTest, EvenWeightsTakeOneDrawAndOthersTwoFromTheSameSeed) {
    const ValueLibrary even = ValueLibrary::Parse("a\t5\nb\t5\nc\t5\n", "even");
    const ValueLibrary uneven = ValueLibrary::Parse("a\nb\t2\n", "uneven");
    RandomSource evenRandom;
    RandomSource unevenRandom;
    RandomSource reference;
    even.Pick(evenRandom);
    uneven.Pick(unevenRandom);
    reference.NextState();
    EXPECT_EQ(evenRandom.RandomSeed(), reference.RandomSeed());
    reference.NextState();
    EXPECT_EQ(unevenRandom.RandomSeed(), reference.RandomSeed());
    EXPECT_EQ(Draw(even, 1000, 42), Draw(even, 1000, 42));
    EXPECT_EQ(Draw(uneven, 1000, 42), Draw(uneven, 1000, 42));
}

TEST(ValueLibraryTest, AMillionValuesLoadAndDraw) {
    std::string text;
    for (int i = 0; i < 1000000; ++i) {
        text += "value " + std::to_string(i) + (i % 2 == 0 ? "\t3\n" : "\n");
    }
    const ValueLibrary library = ValueLibrary::Parse(text, "big");
    ASSERT_EQ(library.Count(), 1000000u);
    EXPECT_EQ(library.Value(999999), "value 999999");
    EXPECT_EQ(library.LongestValue(), 12u);
    int even = 0;
    RandomSource random;
    for (int i = 0; i < 100000; ++i) {
        const std::string_view value = library.Pick(random);
        even += (value.back() - '0') % 2 == 0 ? 1 : 0;
    }
    EXPECT_NEAR(even / 100000.0, 0.75, 0.01);
}

}  // namespace
}  // namespace rowsmith
