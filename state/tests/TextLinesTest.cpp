#include "state/TextLines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::IsEmpty;

TEST(TextLinesTest, LineFeedCarriageReturnAndBothSplitAlike)
{
    const std::vector<std::string> Expected = {"Rio de Janeiro|BR1", "São Paulo|BR2", "Recife|BR3"};
    EXPECT_EQ(SplitLines("Rio de Janeiro|BR1\nSão Paulo|BR2\nRecife|BR3"), Expected);
    EXPECT_EQ(SplitLines("Rio de Janeiro|BR1\rSão Paulo|BR2\rRecife|BR3"), Expected);
    EXPECT_EQ(SplitLines("Rio de Janeiro|BR1\r\nSão Paulo|BR2\r\nRecife|BR3"), Expected);
    EXPECT_EQ(SplitLines("Rio de Janeiro|BR1\r\nSão Paulo|BR2\nRecife|BR3\r\n"), Expected);
}

TEST(TextLinesTest, FinalBreakAddsNothingButInnerEmptyLinesStay)
{
    EXPECT_THAT(SplitLines(""), IsEmpty());
    EXPECT_THAT(SplitLines("a\n"), ElementsAre("a"));
    EXPECT_THAT(SplitLines("a\n\nb"), ElementsAre("a", "", "b"));
    EXPECT_THAT(SplitLines("a\n\r\nb"), ElementsAre("a", "", "b"));
    EXPECT_THAT(SplitLines("a\r\rb\r"), ElementsAre("a", "", "b"));
    EXPECT_THAT(SplitLines("\n"), ElementsAre(""));
}

TEST(TextLinesTest, LeadingTextCutsOnCharacterBoundaries)
{
    EXPECT_EQ(LeadingText("abc", 5), "abc");
    EXPECT_EQ(LeadingText("abcdef", 3), "abc");
    EXPECT_EQ(LeadingText("a\xe2\x82\xac", 3), "a"); // the euro sign needs three bytes
    EXPECT_EQ(LeadingText("a\xe2\x82\xac", 4), "a\xe2\x82\xac");
    EXPECT_EQ(LeadingText("\xf0\x9f\x8c\x8d", 2), "");
}
