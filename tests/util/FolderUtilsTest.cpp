// Creating a folder with its missing parents.
#include "core/FolderUtils.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(FolderUtils, CreateDirectories)
{
    zoxtest::TempDir tmp;
    const std::string root = tmp.path().string();
    struct Step {
        std::string path;
        bool result;
        const char *mustExist;
    };
    const Step steps[] = {
        {root + "/a/b/c", true, "a/b/c"},   // all three created
        {root + "/a/b/c", false, "a/b/c"},  // exists already
        {root + "/a/b/c/", false, "a/b/c"}, // trailing separator skipped
        {root + "/x/y/", true, "x/y"},
        {root + "/a/d", true, "a/d"},       // parent exists
        {"abc", false, nullptr},            // no separator
        {"", false, nullptr},
        {"/", false, nullptr},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.path);
        EXPECT_EQ(CreateDirectories(s.path), s.result);
        if (s.mustExist) {
            EXPECT_TRUE(fs::is_directory(tmp.path() / s.mustExist));
        }
    }
    EXPECT_FALSE(fs::exists("abc"));
}

TEST(FolderUtils, ParentIsAFile)
{
    zoxtest::TempDir tmp;
    tmp.write("file", "x");
    EXPECT_FALSE(CreateDirectories((tmp.path() / "file" / "sub").string()));
}
