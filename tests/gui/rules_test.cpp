#include <gtest/gtest.h>

#include "gui/boxes/Boxes.h"
#include "gui/hexview/HexKeyFilter.h"
#include "gui/hexview/Placement.h"
#include "gui/look/AppTitle.h"

namespace pt4 {
namespace {

int Overlap(const Box& a, const Box& b) {
  const int w = std::min(a.Right(), b.Right()) - std::max(a.x, b.x);
  const int h = std::min(a.Bottom(), b.Bottom()) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

TEST(Placement, BesideWhereTheScreenHasRoomElseOffTheToolBarAndStatusLine) {
  const Box wide{0, 0, 2560, 1400};
  const Box main{100, 100, 640, 480};
  // Room on the right: there, level with the main window.
  Box b = PlaceBeside(main, 700, 480, wide, 85, 20);
  EXPECT_GE(b.x, main.Right());
  EXPECT_EQ(b.y, main.y);
  // The main window at the right edge: on its left.
  b = PlaceBeside({1800, 100, 640, 480}, 700, 480, wide, 85, 20);
  EXPECT_LE(b.Right(), 1800);
  // A 1280 x 1024 screen with the main window at the top left: below it.
  const Box small{0, 0, 1280, 1024};
  b = PlaceBeside({0, 0, 640, 480}, 700, 480, small, 85, 20);
  EXPECT_EQ(Overlap(b, {0, 0, 640, 480}), 0);
  EXPECT_LE(b.Bottom(), 1024);
  // Centred on a 1280 x 1024 screen: no room anywhere, and the view is taller
  // than the gap between the strips. The tool bar stays clear, and the view
  // stays on the screen.
  const Box centred{320, 272, 640, 480};
  b = PlaceBeside(centred, 700, 480, small, 85, 20, 266);
  EXPECT_EQ(Overlap(b, {centred.x, centred.y, centred.w, 85}), 0);
  // Of the status line it covers the labels first, the lamps and progress least.
  const int live = Overlap(b, {centred.x + 266, centred.Bottom() - 20, centred.w - 266, 20});
  const int labels = Overlap(b, {centred.x, centred.Bottom() - 20, 266, 20});
  EXPECT_LT(live, labels);
  EXPECT_GE(b.x, 0);
  EXPECT_LE(b.Right(), 1280);
  // A screen smaller than the view: its top left corner stays on it.
  b = PlaceBeside({0, 0, 640, 480}, 900, 800, {0, 0, 800, 600}, 85, 20);
  EXPECT_EQ(b.x, 0);
  EXPECT_EQ(b.y, 0);
}

TEST(AppTitle, FromExecutableName) {
  EXPECT_EQ(AppTitleFromPath("/usr/bin/pt4prog"), "Pt4prog");
  EXPECT_EQ(AppTitleFromPath("C:\\X\\PROGRAM.EXE"), "Program");
  EXPECT_EQ(AppTitleFromPath("./pt4prog.debug.bin"), "Pt4prog");
  EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("I/O error 5"), "I/O error 5.");
}

TEST(HexKeyFilter, DigitsGoInUpperCaseAFullCellEmptiesAndTheRestIsDropped) {
  for (char c : std::string("0123456789ABCDEF")) {
    EXPECT_EQ(HexKeyFilter(static_cast<unsigned>(c), "").insert, c);
    EXPECT_EQ(HexKeyFilter(static_cast<unsigned>(c), "7").insert, c);
  }
  EXPECT_EQ(HexKeyFilter('a', "").insert, 'A');
  EXPECT_EQ(HexKeyFilter('f', "1").insert, 'F');
  // g, G, space, backspace, Enter, Esc, z, /, :, @ and a Latin-1 letter.
  for (unsigned code :
       {0x67u, 0x47u, 0x20u, 0x08u, 0x0Du, 0x1Bu, 0x7Au, 0x2Fu, 0x3Au, 0x40u, 0xE4u}) {
    const HexKeyResult r = HexKeyFilter(code, "1");
    EXPECT_EQ(r.insert, 0) << code;
    EXPECT_FALSE(r.clearCell) << code;
    EXPECT_EQ(r.captionCode, static_cast<int>(code));
  }
  // A full cell: any key beeps and empties it, a digit too, and inserts nothing.
  for (unsigned code : {0x35u, 0x78u, 0x08u}) {
    const HexKeyResult r = HexKeyFilter(code, "AB");
    EXPECT_TRUE(r.clearCell) << code;
    EXPECT_EQ(r.insert, 0) << code;
  }
}

}  // namespace
}  // namespace pt4
