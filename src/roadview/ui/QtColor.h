#pragma once

#include <QColor>

#include "roadview/RoadColors.h"

/// The Qt colour of a colour of the std-only layers.
inline QColor ToQColor(RgbColor c) { return QColor(c.r, c.g, c.b); }
