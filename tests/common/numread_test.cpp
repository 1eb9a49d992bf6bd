#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/numread.h"

namespace {

TEST(ReadInteger, AcceptsTheIntegerGrammar)
{
    EXPECT_EQ(readInteger("10"), 10);
    EXPECT_EQ(readInteger("  -3"), -3);
    EXPECT_EQ(readInteger("+7"), 7);
    EXPECT_EQ(readInteger("2147483647"), 2147483647);
    EXPECT_EQ(readInteger("-2147483648"), -2147483647 - 1);
}

TEST(ReadInteger, RefusesAnythingElseWithTheTextInTheMessage)
{
    for (const char* text : {"", " ", "1.0", "10 ", "1e3", "0x10", "abc", "2147483648", "- 1", "+", "\t1"}) {
        try {
            readInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(ReadNumber, AcceptsTheNumberGrammar)
{
    EXPECT_DOUBLE_EQ(readNumber("250.00"), 250.0);
    EXPECT_DOUBLE_EQ(readNumber(".02"), 0.02);
    EXPECT_DOUBLE_EQ(readNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(readNumber("  -100  "), -100.0);
    EXPECT_DOUBLE_EQ(readNumber("1.5E20"), 1.5e20);
    EXPECT_DOUBLE_EQ(readNumber("5e-5"), 5e-5);
    EXPECT_DOUBLE_EQ(readNumber("+1e+3"), 1000.0);
    EXPECT_DOUBLE_EQ(readNumber("0.0199999995529652"), 0.0199999995529652);
    EXPECT_EQ(readNumber("1e-400"), 0.0);  // underflow reads as zero
}

TEST(ReadNumber, RefusesMalformedAndUnrepresentableTexts)
{
    for (const char* text : {"", ".", "-", "1e", "1e+", "1,5", "\t1", "1\t", "inf", "nan", "0x1p3", "1.2.3",
                             "1e400", "-1e400", "12a", "e5", "1 2"}) {
        try {
            readNumber(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

}  // namespace
