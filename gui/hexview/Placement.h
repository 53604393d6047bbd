// Where the hex view opens: beside the main window where the screen has room
// (right, left, below, above), so that nothing of the main window is covered;
// on a screen too small for that, where it covers least of the main window's
// tool bar and status line, which the user keeps working with.
#pragma once

namespace pt4 {

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
};

// `main`: the main window's frame; `size`: the hex view's frame size; `screen`:
// the available part of the screen; `topStrip` and `bottomStrip`: the heights of
// the main window's caption, menu and tool bar, and of its status line, whose
// live part (address, progress, lamps) starts `liveFrom` pixels into the window.
Box PlaceBeside(const Box& main, int width, int height, const Box& screen, int topStrip,
                int bottomStrip, int liveFrom = 0);

}  // namespace pt4
