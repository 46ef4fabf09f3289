#pragma once

#include "LandTopology.h"

#include <QFont>
#include <QImage>

// The clock's pictures. Sizes and the places of things follow the scene: see DialLayout.cpp.

// "SURFACE": the Earth, equirectangular, north up, Greenwich in the middle; no pixel is pure black.
QImage PaintSurface(const TLandTopology& Land, int Width = 512, int Height = 256);
// "DOMO_H": the 24 hours, light on black, labels along the lower edge (the equator side).
QImage PaintHourDome(const QFont& Font, int Width = 1024, int Height = 256);
// "DOMO_M": the 60 minutes, light on black, labels along the upper edge (the equator side).
QImage PaintMinuteDome(const QFont& Font, int Width = 1024, int Height = 256);
// "MOON": the moon button, on white; no pure white inside the moon.
QImage PaintMoon();
// "SETUP": the setup dialog's skin; everything outside its outline is the key colour.
QImage PaintSetupSkin(const QFont& Font);
// "CLOCK": the tray icon, with alpha.
QImage PaintTrayClock(int Size = 32);

// Sky blue, the colour key of the clock's windows.
inline constexpr QRgb KeyColour = 0xFFA6CAF0;
// The setup dialog samples its page colour here.
inline constexpr int SetupSampleX = 16;
inline constexpr int SetupSampleY = 12;

// Pure black turns transparent on the Earth; nudge it to the nearest colour that does not.
void ReplacePureBlack(QImage& Image);
