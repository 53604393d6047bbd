#include "base/Colour.h"

namespace pt4 {

Rgb ColourRgb(Colour c) {
  switch (c) {
    case Colour::Navy:
      return {0, 0, 128};
    case Colour::Maroon:
      return {128, 0, 0};
    case Colour::Green:
      return {0, 128, 0};
    case Colour::Red:
      return {255, 0, 0};
    case Colour::Lime:
      return {0, 255, 0};
    case Colour::Yellow:
      return {255, 255, 0};
    case Colour::Aqua:
      return {0, 255, 255};
    case Colour::Olive:
      return {128, 128, 0};
    case Colour::Black:
      return {0, 0, 0};
  }
  return {0, 0, 0};
}

}  // namespace pt4
