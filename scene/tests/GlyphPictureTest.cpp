#include "scene/GlyphPicture.h"

#include <gtest/gtest.h>
#include <stdexcept>

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

TEST(GlyphPicture, ResizingKeepsPixelsAndNoticesCanBeSuspended)
{
    TNoticeCounter Owner;
    TGlyphPicture Picture(&Owner);
    EXPECT_TRUE(Picture.Empty());
    Picture.SetSize(4, 2);
    Picture.SetPixel(1, 1, 0xFFFFFFFFu);
    EXPECT_EQ(Owner.Notices, 2);
    Picture.SetSize(8, 8);
    EXPECT_EQ(Picture.Pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Picture.Pixel(7, 7), 0xFF000000u); // new pixels are black

    Picture.SuspendNotice();
    Picture.Fill(0xFF102030u);
    Picture.ResumeNotice();
    EXPECT_EQ(Owner.Notices, 3);
    EXPECT_EQ(Picture.Pixel(0, 0), 0xFF102030u);
    EXPECT_THROW(Picture.SetPixel(8, 0, 0), std::out_of_range);
    Picture.SetSize(0, 5);
    EXPECT_TRUE(Picture.Empty());
    EXPECT_EQ(Picture.Width(), 0);
}
