#pragma once

#include "platform/Sound.h"
#include "services/CompanionMenu.h"
#include "services/CompanionWindow.h"
#include "platform/testing/FakeSound.h"
#include "state/UserConnection.h"

#include <cstring>
#include <fstream>
#include <QImage>
#include <stdexcept>
#include <string>
#include <vector>

// Beeps into companion.log, so that its order against the libraries' calls shows.
// Beeps go to the companions' log, so a test reads both in one order.
class TRecordingSound : public Platform::TFakeSound
{
public:
    void Beep() override { std::ofstream("companion.log", std::ios::app) << "beep\n"; }
};

class TFakeWindow : public TCompanionWindow
{
public:
    void SetCaption(const std::string& Value) override
    {
        if (Broken)
            throw std::runtime_error("window gone");
        Caption = Value;
    }
    QImage* BrushBitmap() override { return Brush; }

    std::string Caption = "watch";
    QImage* Brush = nullptr;
    bool Broken = false;
};

class TFakeMenu : public TCompanionMenu
{
public:
    void Popup(int X, int Y) override
    {
        if (Broken)
            throw std::runtime_error("menu gone");
        Points.emplace_back(X, Y);
    }
    std::vector<std::pair<int, int>> Points;
    bool Broken = false;
};

// A record whose every member is filled to a different pattern, so that a
// shift by any number of bytes shows.
inline TUserConnection PatternConnection()
{
    std::string Server, User, Pass;
    for (int Index = 0; Index < 255; ++Index) {
        Server += static_cast<char>('A' + Index % 26);
        Pass += static_cast<char>('0' + Index % 10);
    }
    for (int Index = 0; Index < 200; ++Index)
        User += static_cast<char>('a' + Index % 26);
    TUserConnection Connection;
    Connection.SetProxyServer(Server);
    Connection.SetProxyUser(User);
    Connection.SetProxyPass(Pass);
    Connection.SetProxyPort("8080");
    return Connection;
}

// PatternConnection's bytes, laid out from the offsets alone.
inline std::string PatternRecordBytes()
{
    std::string Bytes(2316, '\0');
    auto Put = [&](std::size_t Offset, const std::string& Text) {
        Bytes[Offset] = static_cast<char>(Text.size());
        std::memcpy(&Bytes[Offset + 1], Text.data(), Text.size());
    };
    const TUserConnection Pattern = PatternConnection();
    Put(12, Pattern.ProxyServer());
    Put(268, Pattern.ProxyUser());
    Put(524, Pattern.ProxyPass());
    Put(780, "8080");
    return Bytes;
}
