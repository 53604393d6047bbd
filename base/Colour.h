// The named colours of the dump and of the reports' lines, as the window draws
// them and the terminal approximates them.
#pragma once

namespace pt4 {

enum class Colour { Navy, Maroon, Green, Red, Lime, Yellow, Aqua, Olive, Black };
struct Rgb {
  int r, g, b;
};
Rgb ColourRgb(Colour c);
constexpr Rgb kSilver{192, 192, 192};

}  // namespace pt4
