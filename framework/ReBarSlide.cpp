#include "framework/ReBarSlide.h"

#include <cmath>

namespace fw {

SlidePositions ComputeSlidePositions(int start, int end) {
    constexpr double kPi = 3.1415926535;
    SlidePositions p{};
    for (int i = 0; i < kSlideSteps; ++i) {
        double degrees = 0.1 + i * 90.0 / kSlideSteps;
        p[i] = start + static_cast<int>(std::sin(degrees * kPi / 180.0) * (end - start));
    }
    p[0] = start;
    p[kSlideSteps - 1] = end;
    return p;
}

SlideRange SlideRangeFor(bool hide, int width, bool running, int step, const SlidePositions& current) {
    SlideRange r{kSlideStrip, width};
    if (running && step >= 0 && step <= kSlideSteps - 1) {
        int now = current[step];
        if (hide)
            r.end = now;
        else
            r.start = current[kSlideSteps - 1] - now + kSlideStrip;
    }
    return r;
}

int SlideVisibleWidth(const SlidePositions& positions, int step, bool hiding) {
    if (step < 0) step = 0;
    if (step > kSlideSteps - 1) step = kSlideSteps - 1;
    return hiding ? positions[kSlideSteps - 1] - positions[step] + kSlideStrip : positions[step];
}

} // namespace fw
