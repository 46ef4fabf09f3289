#pragma once

#include <QToolButton>

// A small button that never takes the focus, with a number the handler it
// shares with other buttons tells them apart by.
class TSpeedButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    explicit TSpeedButton(QWidget* Parent = nullptr);

    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

private:
    int FTag = 0;
};
