<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="pt_BR">
<context>
    <name>TCondition</name>
    <message>
        <source>céu limpo</source>
        <translation>clear sky</translation>
    </message>
    <message>
        <source>poucas nuvens</source>
        <translation>fair</translation>
    </message>
    <message>
        <source>parcialmente nublado</source>
        <translation>partly cloudy</translation>
    </message>
    <message>
        <source>nublado</source>
        <translation>cloudy</translation>
    </message>
    <message>
        <source>pancadas de chuva</source>
        <translation>rain showers</translation>
    </message>
    <message>
        <source>pancadas de chuva e trovoadas</source>
        <translation>rain showers and thunder</translation>
    </message>
    <message>
        <source>pancadas de chuva com neve</source>
        <translation>sleet showers</translation>
    </message>
    <message>
        <source>pancadas de neve</source>
        <translation>snow showers</translation>
    </message>
    <message>
        <source>chuva</source>
        <translation>rain</translation>
    </message>
    <message>
        <source>chuva forte</source>
        <translation>heavy rain</translation>
    </message>
    <message>
        <source>chuva forte e trovoadas</source>
        <translation>heavy rain and thunder</translation>
    </message>
    <message>
        <source>chuva com neve</source>
        <translation>sleet</translation>
    </message>
    <message>
        <source>neve</source>
        <translation>snow</translation>
    </message>
    <message>
        <source>neve e trovoadas</source>
        <translation>snow and thunder</translation>
    </message>
    <message>
        <source>nevoeiro</source>
        <translation>fog</translation>
    </message>
    <message>
        <source>pancadas de chuva com neve e trovoadas</source>
        <translation>sleet showers and thunder</translation>
    </message>
    <message>
        <source>pancadas de neve e trovoadas</source>
        <translation>snow showers and thunder</translation>
    </message>
    <message>
        <source>chuva e trovoadas</source>
        <translation>rain and thunder</translation>
    </message>
    <message>
        <source>chuva com neve e trovoadas</source>
        <translation>sleet and thunder</translation>
    </message>
    <message>
        <source>pancadas de chuva fraca e trovoadas</source>
        <translation>light rain showers and thunder</translation>
    </message>
    <message>
        <source>pancadas de chuva forte e trovoadas</source>
        <translation>heavy rain showers and thunder</translation>
    </message>
    <message>
        <source>pancadas fracas de chuva com neve e trovoadas</source>
        <translation>light sleet showers and thunder</translation>
    </message>
    <message>
        <source>pancadas fortes de chuva com neve e trovoadas</source>
        <translation>heavy sleet showers and thunder</translation>
    </message>
    <message>
        <source>pancadas de neve fraca e trovoadas</source>
        <translation>light snow showers and thunder</translation>
    </message>
    <message>
        <source>pancadas de neve forte e trovoadas</source>
        <translation>heavy snow showers and thunder</translation>
    </message>
    <message>
        <source>chuva fraca e trovoadas</source>
        <translation>light rain and thunder</translation>
    </message>
    <message>
        <source>chuva fraca com neve e trovoadas</source>
        <translation>light sleet and thunder</translation>
    </message>
    <message>
        <source>chuva forte com neve e trovoadas</source>
        <translation>heavy sleet and thunder</translation>
    </message>
    <message>
        <source>neve fraca e trovoadas</source>
        <translation>light snow and thunder</translation>
    </message>
    <message>
        <source>neve forte e trovoadas</source>
        <translation>heavy snow and thunder</translation>
    </message>
    <message>
        <source>pancadas de chuva fraca</source>
        <translation>light rain showers</translation>
    </message>
    <message>
        <source>pancadas de chuva forte</source>
        <translation>heavy rain showers</translation>
    </message>
    <message>
        <source>pancadas fracas de chuva com neve</source>
        <translation>light sleet showers</translation>
    </message>
    <message>
        <source>pancadas fortes de chuva com neve</source>
        <translation>heavy sleet showers</translation>
    </message>
    <message>
        <source>pancadas de neve fraca</source>
        <translation>light snow showers</translation>
    </message>
    <message>
        <source>pancadas de neve forte</source>
        <translation>heavy snow showers</translation>
    </message>
    <message>
        <source>chuva fraca</source>
        <translation>light rain</translation>
    </message>
    <message>
        <source>chuva fraca com neve</source>
        <translation>light sleet</translation>
    </message>
    <message>
        <source>chuva forte com neve</source>
        <translation>heavy sleet</translation>
    </message>
    <message>
        <source>neve fraca</source>
        <translation>light snow</translation>
    </message>
    <message>
        <source>neve forte</source>
        <translation>heavy snow</translation>
    </message>
</context>
<context>
    <name>TForecastWindow</name>
    <message>
        <source>Previsão do tempo</source>
        <translation>Weather forecast</translation>
    </message>
    <message>
        <source>Previsão do tempo - %1</source>
        <translation>Weather forecast - %1</translation>
    </message>
    <message>
        <source>Previsão do tempo indisponível no momento.</source>
        <translation>The weather forecast is not available at the moment.</translation>
    </message>
    <message>
        <source>Dados: MET Norway (CC BY 4.0) · Ícones: Yr (MIT)</source>
        <translation>Data: MET Norway (CC BY 4.0) · Icons: Yr (MIT)</translation>
    </message>
    <message>
        <source>Fechar</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
