#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QObject;

// What the setup dialog reaches of the main window: the two properties it
// edits beside the clock's record, the live previews, and the steps that
// follow every opening.
class TSetUpHost
{
public:
    virtual ~TSetUpHost() = default;
    virtual int Alpha() const = 0;
    virtual bool Lighting() const = 0;
    virtual void SetLighting(bool Value) = 0;
    virtual QRect WindowGeometry() const = 0;
    virtual QSize ScreenSize() const = 0;
    virtual void SetMoonEnabled(bool Value) = 0;
    virtual void ShowMessage(const QString& Text) = 0;

    // The live previews: the zone list, the transparency bar, the sun-light box.
    virtual void GMTChange(QObject* Sender) = 0;
    virtual void AlphaBarrChange(QObject* Sender) = 0;
    virtual void SumLightClick(QObject* Sender) = 0;

    // The window was asked to close while the dialog was open: the dialog
    // ends as Cancel and the window's own close saves, with no online run.
    virtual bool IsClosing() const { return false; }

    // After the dialog, whatever its result.
    virtual void SetSystemParams() = 0;
    virtual void ApplyGMT() = 0;
    virtual void SaveSettings() = 0;
};
