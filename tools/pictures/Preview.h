#pragma once

#include "GlobePose.h"

#include <QImage>

// A rough ray-cast of the clock's view (Earth, domes, arrow) for checking the pictures by eye: the
// camera, sizes, dome bands and blending follow the scene, the lighting only roughly.
QImage RenderPreview(const TGlobePose& Pose, const QImage& Surface, const QImage& HourDome,
                     const QImage& MinuteDome);
