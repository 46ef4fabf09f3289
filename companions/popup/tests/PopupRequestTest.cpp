// The line a web window travels in from popup.so to the popup program.
#include "PopupRequest.h"

#include <gtest/gtest.h>

namespace {

TEST(PopupRequestTest, AnyAddressAndCaptionTravelWholeInOneLine)
{
    TPopupRequest Sent;
    Sent.Number = 7;
    Sent.Link = QUrl(QStringLiteral("https://example.org/ajuda?q=ção&x=a b#topo"));
    Sent.Top = -25536;
    Sent.Left = 40;
    Sent.Width = 640;
    Sent.Height = 480;
    Sent.Delay = 2147483647;
    Sent.Style = 3;
    for (const QString& Caption : {QStringLiteral("Ajuda do Zentavo 3D — São Paulo"),
                                   QStringLiteral("two\nlines open 1 2 3"), QString()}) {
        Sent.Caption = Caption;
        const QByteArray Line = Sent.ToLine();
        EXPECT_EQ(Line.count('\n'), 1);
        EXPECT_TRUE(Line.endsWith('\n'));
        const std::optional<TPopupRequest> Received = TPopupRequest::FromLine(Line);
        ASSERT_TRUE(Received.has_value()) << Line.toStdString();
        EXPECT_EQ(Received->Caption, Caption);
        EXPECT_EQ(Received->Link, Sent.Link);
        EXPECT_EQ(std::vector<int>({Received->Number, Received->Top, Received->Left, Received->Width,
                                    Received->Height, Received->Delay, Received->Style}),
                  std::vector<int>({7, -25536, 40, 640, 480, 2147483647, 3}));
    }
}

TEST(PopupRequestTest, LinesThatAreNoRequestAreRefused)
{
    for (const char* Line :
         {"", "open", "shown 1", "open 1 2 3 4 5 6 7 aGk= aGk= extra", "open 1 2 3 x 5 6 7 aGk= aGk=",
          "open 1 2 3 4 5 6 7 !!! aGk=", "open 1 2 3 4 5 6 99999999999 aGk= aGk="})
        EXPECT_FALSE(TPopupRequest::FromLine(Line).has_value()) << Line;
}

} // namespace
