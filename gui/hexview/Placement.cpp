#include "gui/hexview/Placement.h"

#include <algorithm>
#include <climits>

namespace pt4 {

namespace {
constexpr int kGap = 8;

int Overlap(const Box& a, const Box& b) {
  const int w = std::min(a.Right(), b.Right()) - std::max(a.x, b.x);
  const int h = std::min(a.Bottom(), b.Bottom()) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

bool Inside(const Box& b, const Box& screen) {
  return b.x >= screen.x && b.y >= screen.y && b.Right() <= screen.Right() &&
         b.Bottom() <= screen.Bottom();
}

int Clamp(int v, int lo, int hi) {
  return std::max(lo, std::min(v, std::max(lo, hi)));
}
}  // namespace

Box PlaceBeside(const Box& main, int width, int height, const Box& screen, int topStrip,
                int bottomStrip, int liveFrom) {
  const int alongX = Clamp(main.x, screen.x, screen.Right() - width);
  const int alongY = Clamp(main.y, screen.y, screen.Bottom() - height);
  const Box beside[] = {{main.Right() + kGap, alongY, width, height},
                        {main.x - width - kGap, alongY, width, height},
                        {alongX, main.Bottom() + kGap, width, height},
                        {alongX, main.y - height - kGap, width, height}};
  for (const Box& b : beside) {
    if (Inside(b, screen) && Overlap(b, main) == 0) return b;
  }
  // No room: the screen's corners, by what they cover of the tool bar and the live
  // part of the status line, then of its labels, then of the rest.
  const Box top{main.x, main.y, main.w, topStrip};
  const Box live{main.x + liveFrom, main.Bottom() - bottomStrip, main.w - liveFrom, bottomStrip};
  const Box labels{main.x, main.Bottom() - bottomStrip, liveFrom, bottomStrip};
  const int left = screen.x, right = std::max(screen.x, screen.Right() - width);
  const int up = screen.y, down = std::max(screen.y, screen.Bottom() - height);
  const Box corners[] = {{right, up, width, height},
                         {left, up, width, height},
                         {right, down, width, height},
                         {left, down, width, height}};
  Box best = corners[0];
  long long bestCost = LLONG_MAX;
  for (const Box& b : corners) {
    const long long cost =
        (static_cast<long long>(Overlap(b, top)) + Overlap(b, live)) * 1'000'000LL +
        static_cast<long long>(Overlap(b, labels)) * 1'000LL + Overlap(b, main);
    if (cost < bestCost) {
      bestCost = cost;
      best = b;
    }
  }
  return best;
}

}  // namespace pt4
