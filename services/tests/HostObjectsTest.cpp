#include "CompanionFakes.h"
#include "services/HostBitmap.h"
#include "services/HostElement.h"
#include "services/HostPopupMenu.h"
#include "services/HostStream.h"
#include "services/HostWindow.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QDomDocument>

TEST(HostObjectsTest, TablesStartWithTheirOwnSize)
{
    QImage Image;
    QByteArray Bytes;
    TFakeWindow Window;
    TFakeMenu Menu;
    THostBitmap Bitmap(Image);
    THostStream Stream(Bytes);
    THostElement Element{QDomElement()};
    THostWindow HostWindow(Window);
    THostPopupMenu HostMenu(Menu);
    EXPECT_EQ(Bitmap.Object()->Methods->TableSize, sizeof(ZTBitmapMethods));
    EXPECT_EQ(Stream.Object()->Methods->TableSize, sizeof(ZTStreamMethods));
    EXPECT_EQ(Element.Object()->Methods->TableSize, sizeof(ZTElementMethods));
    EXPECT_EQ(HostWindow.Object()->Methods->TableSize, sizeof(ZTWindowMethods));
    EXPECT_EQ(HostMenu.Object()->Methods->TableSize, sizeof(ZTPopupMenuMethods));
}

TEST(HostObjectsTest, BitmapRefusesImpossibleSizesAndKeepsItsPicture)
{
    QImage Image(2, 2, QImage::Format_ARGB32);
    Image.fill(0xFF112233u);
    THostBitmap Host(Image);
    ZTBitmap* Bitmap = Host.Object();
    const uint32_t Pixels[4] = {};
    EXPECT_EQ(Bitmap->Methods->SetPixels(Bitmap, 3, 3, nullptr), 0);
    EXPECT_EQ(Bitmap->Methods->SetPixels(Bitmap, -2, 2, Pixels), 0);
    EXPECT_EQ(Bitmap->Methods->SetPixels(Bitmap, THostBitmap::MaximumSide + 1, 1, Pixels), 0);
    EXPECT_EQ(Bitmap->Methods->LoadFromFile(Bitmap, "no-such-picture.bmp"), 0);
    EXPECT_EQ(Image.pixel(1, 1), 0xFF112233u);
    EXPECT_EQ(Bitmap->Methods->SetPixels(Bitmap, 0, 0, nullptr), 1);
    EXPECT_TRUE(Image.isNull());
    EXPECT_EQ(Bitmap->Methods->Width(Bitmap), 0);
}

TEST(HostObjectsTest, StreamAppendsAtItsEnd)
{
    QByteArray Bytes("abc");
    THostStream Host(Bytes);
    ZTStream* Stream = Host.Object();
    EXPECT_EQ(Stream->Methods->Size(Stream), 3);
    EXPECT_EQ(Stream->Methods->Write(Stream, "de", 2), 2u);
    EXPECT_EQ(Stream->Methods->Write(Stream, nullptr, 0), 0u);
    EXPECT_EQ(Stream->Methods->Write(Stream, nullptr, 5), 0u);
    EXPECT_EQ(Stream->Methods->Size(Stream), 5);
    EXPECT_EQ(Bytes, QByteArray("abcde"));
}

TEST(HostObjectsTest, ElementCopiesTextsIntoSmallBuffersAndSkipsNonElements)
{
    QDomDocument Document;
    Document.setContent(
        QByteArray("<services><item id=\"s1\" empty=\"\"/><!-- note -->text<other/></services>"));
    THostElement Host(Document.documentElement());
    ZTElement* Element = Host.Object();
    const ZTElementMethods* Methods = Element->Methods;
    char Buffer[5] = "zzzz";
    EXPECT_EQ(Methods->Name(Element, Buffer, sizeof Buffer), 8);
    EXPECT_STREQ(Buffer, "serv");
    EXPECT_EQ(Methods->Name(Element, nullptr, 0), 8);
    ASSERT_EQ(Methods->ChildCount(Element), 2);
    ZTElement* First = Methods->Child(Element, 0);
    EXPECT_EQ(First, Methods->Child(Element, 0)) << "a child lives as long as its parent";
    EXPECT_EQ(Methods->Child(Element, 2), nullptr);
    EXPECT_EQ(Methods->Child(Element, -1), nullptr);
    EXPECT_EQ(Methods->Attribute(First, "id", Buffer, sizeof Buffer), 2);
    EXPECT_STREQ(Buffer, "s1");
    EXPECT_EQ(Methods->Attribute(First, "empty", Buffer, sizeof Buffer), 0);
    EXPECT_EQ(Methods->Attribute(First, "missing", Buffer, sizeof Buffer), -1);
    EXPECT_STREQ(Buffer, "");
    Methods->Name(Methods->Child(Element, 1), Buffer, sizeof Buffer);
    EXPECT_STREQ(Buffer, "othe");
}

TEST(HostObjectsTest, WindowAndMenuFailuresBecomeFalseInsteadOfExceptions)
{
    TFakeWindow Window;
    Window.Broken = true;
    THostWindow HostWindow(Window);
    ZTWindow* CWindow = HostWindow.Object();
    EXPECT_EQ(CWindow->Methods->SetCaption(CWindow, "x"), 0);
    EXPECT_EQ(CWindow->Methods->SetCaption(CWindow, nullptr), 0);
    EXPECT_EQ(CWindow->Methods->BrushBitmap(CWindow), nullptr);

    TFakeMenu Menu;
    Menu.Broken = true;
    THostPopupMenu HostMenu(Menu);
    EXPECT_EQ(HostMenu.Object()->Methods->Popup(HostMenu.Object(), 1, 2), 0);
}

TEST(HostObjectsTest, WindowHandsOutTheBrushThatIsAttachedNow)
{
    QImage First;
    QImage Second;
    TFakeWindow Window;
    THostWindow Host(Window);
    ZTWindow* CWindow = Host.Object();
    Window.Brush = &First;
    ZTBitmap* FirstBrush = CWindow->Methods->BrushBitmap(CWindow);
    EXPECT_EQ(FirstBrush, CWindow->Methods->BrushBitmap(CWindow));
    Window.Brush = &Second;
    ZTBitmap* SecondBrush = CWindow->Methods->BrushBitmap(CWindow);
    const uint32_t Pixel = 0xFF00FF00u;
    SecondBrush->Methods->SetPixels(SecondBrush, 1, 1, &Pixel);
    FirstBrush->Methods->SetPixels(FirstBrush, 1, 1, &Pixel);
    EXPECT_EQ(Second.pixel(0, 0), Pixel);
    EXPECT_EQ(First.pixel(0, 0), Pixel) << "an earlier brush stays usable during the call";
}
