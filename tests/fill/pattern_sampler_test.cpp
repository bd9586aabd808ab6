// The pattern editor's samples where another column's setting cannot give a value: a circle
// among other columns, a library that cannot be read, no libraries at all. Each shows the
// column by name and ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "fill/library_shelf.h"
#include "fill/pattern_sampler.h"
#include "model/ff_list.h"
#include "model/fill_methods.h"
#include "temp_dir.h"

namespace rowsmith::test {
namespace {

class PatternSamplerTest : public ::testing::Test {
protected:
    PatternSamplerTest() {
        std::filesystem::create_directories(folder.File("libraries"));
        WriteFile(folder.File("libraries/pets.txt"), "# Pets\ncat\n");
        sources.libraries = &shelf;
    }

    void AddColumn(const std::string& name, std::int32_t method, const std::string& value) {
        auto setting = std::make_unique<TFillField>(name);
        setting->SetFillMethod(method);
        setting->SetFillValue(value);
        settings.Add(std::move(setting));
        sources.columns.push_back(name);
        sources.sizes.push_back(0);
        sources.settings = &settings;
    }

    std::vector<std::string> Samples(const std::string& pattern) {
        PatternSampler sampler(sources, "code");
        EXPECT_EQ("", sampler.Refusal(pattern));
        RandomSource random;
        random.SetRandomSeed(7);
        std::vector<std::string> samples = sampler.Samples(pattern, 3, random);
        unresolved = sampler.Unresolved();
        return samples;
    }

    TempDir folder;
    LibraryShelf shelf{LibraryFinder(folder.File("libraries"), {}), folder.Path()};
    TFFList settings;
    ValueSources sources;
    std::vector<std::string> unresolved;
};

TEST_F(PatternSamplerTest, ColumnsInACircleOfTheirOwnAreShownByName) {
    AddColumn("a", fmPattern, "{b}x");
    AddColumn("b", fmPattern, "{a}");
    AddColumn("code", fmPattern, "");
    for (const std::string& sample : Samples("{a}-{pets}")) {
        EXPECT_EQ(0u, sample.find('[')) << sample;
        EXPECT_TRUE(sample.ends_with("x-cat")) << sample;
    }
    EXPECT_EQ(1u, unresolved.size());
}

TEST_F(PatternSamplerTest, ASettingThatCannotServeIsShownByName) {
    AddColumn("first", fmLibrary, "missing");
    AddColumn("last", fmPattern, "{nowhere|upper");
    AddColumn("code", fmPattern, "");
    EXPECT_EQ(std::vector<std::string>(3, "[first] [last] cat"), Samples("{first} {last} {pets}"));
    EXPECT_EQ((std::vector<std::string>{"first", "last"}), unresolved);

    // Without libraries to read, a library column is no more than its name.
    sources.libraries = nullptr;
    settings.Items(0).SetFillValue("pets");
    EXPECT_EQ(std::vector<std::string>(3, "[first]"), Samples("{first}"));
}

}  // namespace
}  // namespace rowsmith::test
