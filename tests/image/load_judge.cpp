// Loads each file named on standard input, one name a line, as the programs load
// an image for the chip (its name's format, else its content; every bit kept),
// and prints a line for each: "NAME<TAB>loaded<TAB>HEX" with the 256 words, or
// "NAME<TAB>refused<TAB>MESSAGE".
#include <iostream>
#include <string>

#include "image/RomFile.h"

int main() {
  std::string name;
  while (std::getline(std::cin, name)) {
    pt4::RomImage image;
    image.RomSize = 256;
    try {
      pt4::LoadRom(name, image, 0xFF, false);
      static const char kDigits[] = "0123456789ABCDEF";
      std::string hex;
      for (int a = 0; a < 256; ++a) {
        hex += kDigits[image.RomBuffer[a] >> 4];
        hex += kDigits[image.RomBuffer[a] & 0x0F];
      }
      std::cout << name << "\tloaded\t" << hex << "\n";
    } catch (const pt4::Error& e) {
      std::cout << name << "\trefused\t" << e.what() << "\n";
    }
  }
  return 0;
}
