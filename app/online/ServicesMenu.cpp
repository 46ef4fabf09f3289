#include "ServicesMenu.h"

#include "app/language/Translations.h"

#include "platform/Platform.h"
#include "services/AnsiText.h"
#include "services/ConfigDocument.h"
#include "services/ConfigError.h"
#include "services/HTTPConnection.h"
#include "services/WeatherChannel.h"
#include "services/WebPopup.h"
#include "state/GMT_System.h"

#include <QRegularExpression>

namespace {

QString Text(const QDomElement& Element, const char* Name)
{
    return QString::fromStdString(TConfigDocument::Attribute(Element, Name));
}

std::int32_t Short(const QDomElement& Element, const char* Name)
{
    return static_cast<std::int16_t>(TConfigDocument::IntegerAttribute(Element, Name));
}

} // namespace

TServicesMenu::TServicesMenu(TConfigDocument& Document, TGMT_System& System, Platform::TServices& Services,
                             TServicesMenuActions& Actions)
    : FDocument(Document), FSystem(System), FServices(Services), FActions(Actions)
{}

std::vector<TServicesMenu::TServiceEntry> TServicesMenu::ServiceEntries(TConfigDocument& Document)
{
    static const QRegularExpression Identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    std::vector<TServiceEntry> Entries;
    for (const QDomElement& Child : Document.Services()) {
        try {
            TServiceEntry Entry{TConfigDocument::Attribute(Child, "id"),
                                TConfigDocument::Attribute(Child, "link"),
                                TConfigDocument::Attribute(Child, "caption")};
            if (Identifier.match(QString::fromStdString(Entry.Id)).hasMatch())
                Entries.push_back(std::move(Entry));
        } catch (const EConfigError&) {
            // An entry that cannot be built loses only its own item.
        }
    }
    return Entries;
}

TServicesMenu::TWebWindow TServicesMenu::ServiceWindow(const QDomElement& Element)
{
    TWebWindow Window;
    Window.Link = ThroughAnsi(Text(Element, "link"));
    Window.Caption = ThroughAnsi(Text(Element, "caption"));
    Window.Top = TConfigDocument::IntegerAttribute(Element, "top");
    Window.Left = TConfigDocument::IntegerAttribute(Element, "left");
    Window.Width = TConfigDocument::IntegerAttribute(Element, "width");
    Window.Height = TConfigDocument::IntegerAttribute(Element, "height");
    Window.Delay = TConfigDocument::IntegerAttribute(Element, "delay");
    Window.Style = TConfigDocument::IntegerAttribute(Element, "style");
    return Window;
}

TServicesMenu::TWebWindow TServicesMenu::AboutWindow(const QDomElement& Element)
{
    TWebWindow Window;
    Window.Link = Text(Element, "link");
    Window.Caption = Text(Element, "caption");
    Window.Top = Short(Element, "top");
    Window.Left = Short(Element, "left");
    Window.Width = Short(Element, "width");
    Window.Height = Short(Element, "height");
    Window.Delay = Short(Element, "delay");
    Window.Style = 0;
    return Window;
}

void TServicesMenu::ShowWebWindow(const TWebWindow& Window, TCompanionWindow* MainWindow)
{
    TWebPopup Popup(*FServices.Libraries);
    if (Popup.LoadBrowser())
        Popup.GetBrowserWin(MainWindow, Window.Link, DocumentText(Window.Caption), Window.Top, Window.Left,
                            Window.Width, Window.Height, Window.Delay, Window.Style);
    Popup.UnloadBrowser();
}

void TServicesMenu::MenuServices(int Tag, const std::string& Name)
{
    // Whatever the item: the forecast item thus always reaches its library.
    FSystem.Connected = true;
    switch (Tag) {
    case ChannelTag:
        // A link that cannot be opened fails silently.
        FServices.Launcher->OpenUrl(
            TConfigDocument::Attribute(FDocument.Element("zentavo/library/weather/channel"), "link"));
        return;
    case ForecastTag: {
        TWeatherChannel Channel(*FServices.Libraries);
        Channel.SetForecastNode(FDocument.Element("zentavo/library/weather/forecast"));
        Channel.WeatherChannel(FActions.CompanionWindow());
        return;
    }
    case HelpTag:
        ShowWebWindow(ServiceWindow(FDocument.Element("zentavo/library/popup/help")),
                      &FActions.CompanionWindow());
        return;
    default:
        break;
    }
    if (Name.find("service") == std::string::npos)
        return;
    // The last entry of that id wins; an entry gone from a refreshed document opens nothing.
    QDomElement Entry;
    const QString Id = QString::fromStdString(Name);
    for (const QDomElement& Child : FDocument.Services())
        if (Child.hasAttribute(QStringLiteral("id")) && Child.attribute(QStringLiteral("id")) == Id)
            Entry = Child;
    if (Entry.isNull())
        return;
    ShowWebWindow(ServiceWindow(Entry), &FActions.CompanionWindow());
}

void TServicesMenu::AboutUs()
{
    ShowWebWindow(AboutWindow(FDocument.Element("zentavo/system/aboutus")), nullptr);
}

void TServicesMenu::TimerPopUp()
{
    if (!THTTPConnection(*FServices.Libraries, *FServices.Sound).getConnectionStatus())
        return;
    // The next run of the online tasks fetches the weather again.
    FSystem.ConnectCount = 0;
    FSystem.Connected = false;
    FSystem.WeatherOk = false;
    FActions.ArmOnlineTimer();
}
