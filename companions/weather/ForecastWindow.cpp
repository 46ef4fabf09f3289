#include "ForecastWindow.h"

#include "Condition.h"
#include "WeatherLanguage.h"
#include "WeatherPicture.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const char* Source)
{
    return TWeatherLanguage::Current().Text("TForecastWindow", Source);
}

QLabel* AddLabel(QGridLayout* Grid, const QString& Name, const QString& Text, int Row, int Column)
{
    auto* Label = new QLabel(Text);
    Label->setObjectName(Name);
    Label->setAlignment(Qt::AlignCenter);
    Grid->addWidget(Label, Row, Column);
    return Label;
}

} // namespace

TForecastWindow::TForecastWindow(const std::optional<TWeatherPlace>& Place,
                                 const std::optional<TWeatherReport>& Report)
{
    setObjectName(QStringLiteral("ZentavoForecastWindow"));
    const QString PlaceName = Place && !Place->Name.isEmpty() ? Place->Name
                              : Place                         ? Place->Code()
                                                              : QString();
    setWindowTitle(PlaceName.isEmpty()
                       ? Text(QT_TRANSLATE_NOOP("TForecastWindow", "Previsão do tempo"))
                       : Text(QT_TRANSLATE_NOOP("TForecastWindow", "Previsão do tempo - %1")).arg(PlaceName));
    auto* Layout = new QVBoxLayout(this);
    auto* Grid = new QGridLayout;
    Layout->addLayout(Grid);

    const QLocale& Language = TWeatherLanguage::Current().Locale();
    const int Days = Report ? std::min<int>(DayCount, Report->Days.size()) : 0;
    if (Days == 0) {
        auto* Message = new QLabel(
            Text(QT_TRANSLATE_NOOP("TForecastWindow", "Previsão do tempo indisponível no momento.")));
        Message->setObjectName(QStringLiteral("Unavailable"));
        Grid->addWidget(Message, 0, 0);
    }
    for (int Index = 0; Index < Days; ++Index) {
        const TWeatherReport::TDay& Day = Report->Days[Index];
        const QString Prefix = QStringLiteral("Day%1").arg(Index);
        const TCondition Condition(Day.SymbolCode);
        AddLabel(Grid, Prefix + QStringLiteral("Name"),
                 Language.dayName(Day.Date.dayOfWeek(), QLocale::ShortFormat), 0, Index)
            ->setStyleSheet(QStringLiteral("font-weight: bold"));
        AddLabel(Grid, Prefix + QStringLiteral("Date"), Day.Date.toString(QStringLiteral("dd/MM")), 1, Index);
        QLabel* Icon = AddLabel(Grid, Prefix + QStringLiteral("Icon"), QString(), 2, Index);
        const QImage Picture = TWeatherPicture::Icon(Condition, 56);
        if (!Picture.isNull())
            Icon->setPixmap(QPixmap::fromImage(Picture));
        Icon->setToolTip(Condition.Text());
        AddLabel(Grid, Prefix + QStringLiteral("Maximum"), TemperatureText(Day.Maximum) + QStringLiteral("°"),
                 3, Index)
            ->setStyleSheet(QStringLiteral("color: #b03020; font-weight: bold"));
        AddLabel(Grid, Prefix + QStringLiteral("Minimum"), TemperatureText(Day.Minimum) + QStringLiteral("°"),
                 4, Index)
            ->setStyleSheet(QStringLiteral("color: #2050a0"));
    }

    // The service's data are given under CC BY 4.0, which asks for the credit.
    auto* Credit = new QLabel(
        Text(QT_TRANSLATE_NOOP("TForecastWindow", "Dados: MET Norway (CC BY 4.0) · Ícones: Yr (MIT)")));
    Credit->setObjectName(QStringLiteral("Credit"));
    Credit->setStyleSheet(QStringLiteral("color: gray; font-size: 9px"));
    Layout->addWidget(Credit);
    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    Buttons->button(QDialogButtonBox::Close)->setText(Text(QT_TRANSLATE_NOOP("TForecastWindow", "Fechar")));
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Layout->addWidget(Buttons);
}
