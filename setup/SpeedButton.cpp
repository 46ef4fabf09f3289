#include "SpeedButton.h"

TSpeedButton::TSpeedButton(QWidget* Parent) : QToolButton(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}
