// The windows' colours and fonts: the core's colours as Qt's, and the faces of
// the original look with the installed stand-ins for them.
#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>

#include "base/Colour.h"

namespace pt4 {

QColor ToQColor(Colour c);
QColor Silver();
// A face from `families`, the first one installed, at a pixel height.
QFont PixelFont(const QStringList& families, int pixels, bool bold = false);
QFont FixedFont(int pixels);  // stands in for Fixedsys and Terminal
QFont ArialBold(int pixels);

}  // namespace pt4
