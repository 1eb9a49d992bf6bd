#include <gtest/gtest.h>

#include <cerrno>

#include "common/checkedmath.h"
#include "common/errors.h"

namespace {

std::string messageOf(auto&& f)
{
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "no error";
}

TEST(CheckedMath, RaisesTheUsersFloatingPointMessages)
{
    EXPECT_EQ(messageOf([] { checked::div(1.0, 0.0); }), "Floating point division by zero");
    EXPECT_EQ(messageOf([] { checked::div(0.0, 0.0); }), "Invalid floating point operation");
    EXPECT_EQ(messageOf([] { checked::ln(0.0); }), "Floating point division by zero");
    EXPECT_EQ(messageOf([] { checked::ln(-1.0); }), "Invalid floating point operation");
    EXPECT_EQ(messageOf([] { checked::sqrt(-1.0L); }), "Invalid floating point operation");
    EXPECT_EQ(checked::div(1.0, 4.0), 0.25);
    EXPECT_EQ(messageOf([] { checked::finite(1e308 * 10); }), "Floating point overflow");
    EXPECT_EQ(messageOf([] { checked::finite(-1e308 * 10); }), "Floating point overflow");
    EXPECT_EQ(messageOf([] { checked::finite(std::nan("")); }), "Invalid floating point operation");
    EXPECT_EQ(checked::finite(-2.5), -2.5);
}

TEST(FileErrors, AMissingFileIsNamedAsSuch)
{
    EXPECT_STREQ(FileError::fromErrno(ENOENT).what(), "File not found");
    EXPECT_STRNE(FileError::fromErrno(EACCES).what(), "File not found");
}

}  // namespace
