#pragma once
// The sizable rebar's slide: the visible width of each of its 25 steps follows a quarter sine,
// fast at first and slow at the end. Plain numbers, so that they can be checked anywhere.

#include <array>

namespace fw {

constexpr int kSlideSteps = 25;
// What stays of a slid-in bar at the parent's edge.
constexpr int kSlideStrip = 6;

using SlidePositions = std::array<int, kSlideSteps>;

// The positions from start to end; the first is start and the last end exactly.
SlidePositions ComputeSlidePositions(int start, int end);

// Where a new slide begins and ends. A slide still running (its next step at most 24) is
// reversed from where it stands instead of starting over.
struct SlideRange {
    int start;
    int end;
};
SlideRange SlideRangeFor(bool hide, int width, bool running, int step, const SlidePositions& current);

// The width of the bar left inside its parent at a step.
int SlideVisibleWidth(const SlidePositions& positions, int step, bool hiding);

} // namespace fw
