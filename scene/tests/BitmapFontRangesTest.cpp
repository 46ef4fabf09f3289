#include "scene/BitmapFontRanges.h"

#include <gtest/gtest.h>

using namespace Scene;

namespace {

// Counts the notices that reach the top of an owner chain.
class TNoticeCounter : public TGLUpdateAbleObject
{
public:
    void NotifyChange(TGLUpdateAbleObject*) override { ++Notices; }
    int Notices = 0;
};

} // namespace

TEST(BitmapFontRange, StartAndStopDragEachOtherAlong)
{
    TBitmapFontRange Range;
    Range.SetStopASCII('z');
    Range.SetStartASCII('a');
    EXPECT_EQ(Range.CharacterCount(), 26);

    Range.SetStartASCII(200); // above the stop: the stop follows
    EXPECT_EQ(Range.StartASCII(), 200);
    EXPECT_EQ(Range.StopASCII(), 200);
    Range.SetStopASCII(' '); // below the start: the start follows
    EXPECT_EQ(Range.StartASCII(), ' ');
    EXPECT_EQ(Range.StopASCII(), ' ');
    EXPECT_EQ(Range.CharacterCount(), 1);

    Range.SetStartGlyphIdx(-4);
    EXPECT_EQ(Range.StartGlyphIdx(), 0);
    Range.SetStartGlyphIdx(7);
    EXPECT_EQ(Range.StartGlyphIdx(), 7);
}

TEST(BitmapFontRanges, CountsCharactersAndNotifiesItsOwnerOncePerChange)
{
    TNoticeCounter Font;
    TBitmapFontRanges Ranges(&Font);
    TBitmapFontRange& Printable = Ranges.Add(32, 125);
    EXPECT_EQ(Font.Notices, 1);
    Ranges.Add(200, 100); // stop below start: one character
    EXPECT_EQ(Font.Notices, 2);
    EXPECT_EQ(Ranges.Items(1).StartASCII(), 200);
    EXPECT_EQ(Ranges.Items(1).StopASCII(), 200);
    EXPECT_EQ(Ranges.CharacterCount(), 94 + 1);

    Printable.SetStopASCII(255); // a change of an item reaches the font
    EXPECT_EQ(Font.Notices, 3);
    EXPECT_EQ(Ranges.CharacterCount(), 224 + 1); // overlapping codes count twice
    EXPECT_TRUE(Ranges.Contains(' '));
    EXPECT_FALSE(Ranges.Contains(31));

    Ranges.Delete(0);
    EXPECT_EQ(Font.Notices, 4);
    EXPECT_FALSE(Ranges.Contains(' '));
    EXPECT_THROW(Ranges.Delete(5), std::out_of_range);
    Ranges.Clear();
    EXPECT_EQ(Ranges.Count(), 0);
    EXPECT_EQ(Font.Notices, 5);
    Ranges.Clear(); // nothing left to change
    EXPECT_EQ(Font.Notices, 5);
}
