#include <gtest/gtest.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "common/errors.h"

namespace {

TEST(AtomicFile, AMissingFolderIsNamedAsSuch)
{
    const auto dir = std::filesystem::temp_directory_path() / "atomic-file-test-missing";
    std::filesystem::remove_all(dir);
    const std::string path = (dir / "plot.png").string();
    try {
        writeFileAtomically(path, "x");
        FAIL() << "written into a missing folder";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write " + path + ": the folder does not exist");
    }
    EXPECT_FALSE(std::filesystem::exists(dir));
}

}  // namespace
