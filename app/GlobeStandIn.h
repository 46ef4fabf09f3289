#pragma once

#include <QWidget>

// The window keeps the globe's settings here until the 3D viewer and the
// globe scene take their place; the names and behaviour are theirs, so the
// settings code does not change when they arrive.
class TPlanetariumStandIn
{
public:
    float PitchAngle() const { return FPitchAngle; }
    void SetPitchAngle(float Value) { FPitchAngle = Value; }
    float RollAngle() const { return FRollAngle; }
    void SetRollAngle(float Value) { FRollAngle = Value; }
    float TurnAngle() const { return FTurnAngle; }
    void SetTurnAngle(float Value) { FTurnAngle = Value; }

private:
    float FPitchAngle = 0;
    float FRollAngle = 0;
    float FTurnAngle = 0;
};

class TCameraStandIn
{
public:
    float FocalLength() const { return FFocalLength; }
    // A camera never takes a focal length of 0 or less.
    void SetFocalLength(float Value) { FFocalLength = Value <= 0 ? 1 : Value; }

private:
    float FFocalLength = 50;
};

// The viewer's area: it clears to the window's key colour.
class TScreenViewStandIn : public QWidget
{
public:
    explicit TScreenViewStandIn(QWidget* Parent);

    struct TBuffer
    {
        bool Lighting = true;
    };
    TBuffer& Buffer() { return FBuffer; }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TBuffer FBuffer;
};
