#include "fill/library_finder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fill/library_shelf.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace rowsmith {
namespace {

using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

// A user's folder and a shipped folder, each with a few libraries, and a project folder beside.
class LibraryFinderTest : public ::testing::Test {
protected:
    LibraryFinderTest() {
        for (const char* folder : {"user", "shipped", "project", "project/lists"}) {
            std::filesystem::create_directories(root.File(folder));
        }
        WriteFile(root.File("shipped/colors.txt"), "# Shipped colours\nred\n");
        WriteFile(root.File("shipped/cities.txt"), "# Shipped cities\nAmsterdam\n");
        WriteFile(root.File("shipped/readme.md"), "not a library\n");
        WriteFile(root.File("user/colors.txt"), "# My colours\nteal\nmauve\n");
        WriteFile(root.File("user/fruit.txt"), "# My fruit\npear\n");
        WriteFile(root.File("project/lists/parts.txt"), "# Parts\nbolt\nnut\n");
    }

    LibraryFinder Finder() const { return LibraryFinder(root.File("user"), root.File("shipped")); }

    std::string ErrorOf(const LibraryFinder& finder, const std::string& name) const {
        try {
            finder.Find(name, root.File("project"));
        } catch (const Exception& error) {
            return error.what();
        }
        return "";
    }

    TempDir root;
};

TEST_F(LibraryFinderTest, TheUsersLibraryWinsOverTheShippedOne) {
    EXPECT_EQ(Finder().Find("colors", ""), root.File("user/colors.txt"));
    EXPECT_EQ(Finder().Find("cities", ""), root.File("shipped/cities.txt"));
    EXPECT_EQ(Finder().Find("fruit", ""), root.File("user/fruit.txt"));
}

TEST_F(LibraryFinderTest, ANameHoldingASlashIsAPathFromTheBaseFolder) {
    EXPECT_EQ(Finder().Find("lists/parts.txt", root.File("project")),
              root.File("project/lists/parts.txt"));
    EXPECT_EQ(Finder().Find("./lists/../lists/parts.txt", root.File("project")),
              root.File("project/lists/parts.txt"));
    EXPECT_EQ(Finder().Find(root.File("user/fruit.txt"), root.File("project")),
              root.File("user/fruit.txt"));
    // A path is never looked for in the libraries' folders.
    EXPECT_EQ(Finder().Find("./colors.txt", root.File("project")), root.File("project/colors.txt"));
}

TEST_F(LibraryFinderTest, AMissingLibraryNamesWhereItWasLookedFor) {
    EXPECT_EQ(ErrorOf(Finder(), "planets"), "Library \"planets\" not found in " +
                                                root.File("user") + " or " + root.File("shipped"));
    EXPECT_EQ(ErrorOf(LibraryFinder(root.File("user"), ""), "planets"),
              "Library \"planets\" not found in " + root.File("user"));
    EXPECT_EQ(ErrorOf(Finder(), "readme"), "Library \"readme\" not found in " + root.File("user") +
                                               " or " + root.File("shipped"));
    EXPECT_EQ(ErrorOf(Finder(), ""), "No library name is given");
}

TEST_F(LibraryFinderTest, TheListHasEachNameOnceSortedWithTheFileANameFinds) {
    const auto list = Finder().List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "cities");
    EXPECT_TRUE(list[0].shipped);
    EXPECT_EQ(list[1].name, "colors");
    EXPECT_EQ(list[1].path, root.File("user/colors.txt"));
    EXPECT_FALSE(list[1].shipped);
    EXPECT_EQ(list[2].name, "fruit");
    EXPECT_TRUE(LibraryFinder(root.File("none"), "").List().empty());
}

TEST_F(LibraryFinderTest, TheUsersFolderComesFromXdgDataHome) {
    {
        ScopedEnv data("XDG_DATA_HOME", root.File("data"));
        EXPECT_EQ(LibraryFinder().UserFolder(), root.File("data/rowsmith/libraries"));
    }
    ScopedEnv home("HOME", root.Path());
    ScopedEnv relative("XDG_DATA_HOME", "not/absolute");
    EXPECT_EQ(LibraryFinder().UserFolder(), root.File(".local/share/rowsmith/libraries"));
}

TEST_F(LibraryFinderTest, TheShelfReadsEachFileOnceAndRefusesWhatItCannotRead) {
    LibraryShelf shelf(Finder(), root.File("project"));
    const ValueLibrary& colors = shelf.Library("colors");
    EXPECT_EQ(colors.Count(), 2u);
    // A file changed after the first read keeps its first contents for the rest of the fill.
    WriteFile(root.File("user/colors.txt"), "only one\n");
    EXPECT_EQ(&shelf.Library("colors"), &colors);
    EXPECT_EQ(shelf.Library("../user/colors.txt").Count(), 2u);
    EXPECT_EQ(shelf.Library("lists/parts.txt").Value(1), "nut");

    WriteFile(root.File("user/empty.txt"), "# Nothing yet\n");
    EXPECT_THROW(shelf.Library("empty"), Exception);
    EXPECT_THROW(shelf.Library("empty"), Exception);
    EXPECT_THROW(shelf.Library("lists/none.txt"), Exception);
}

}  // namespace
}  // namespace rowsmith
