#include <gtest/gtest.h>

#include <vector>

#include "common/program_info.h"
#include "common/version.h"

namespace {

TEST(ProgramInfo, AnswersOnlyALoneHelpOrVersion)
{
    const std::string help = "Usage: tool FILE\n";
    const std::string version = std::string("tool ") + LADDER_VERSION + "\n";
    struct Case {
        std::vector<const char*> args;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {{"tool", "--version"}, version},
        {{"tool", "--help"}, help},
        {{"tool", "-h"}, help},
        {{"tool"}, std::nullopt},
        {{"tool", "a.cir"}, std::nullopt},
        {{"tool", "-version"}, std::nullopt},
        {{"tool", "--Help"}, std::nullopt},
        // A file and an option together are the program's own command line.
        {{"tool", "a.cir", "--help"}, std::nullopt},
        {{"tool", "--version", "a.cir"}, std::nullopt},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = c.args;
        argv.push_back(nullptr);
        EXPECT_EQ(programInfoText(int(c.args.size()), argv.data(), "tool", help), c.text)
            << c.args.back();
    }
}

}  // namespace
