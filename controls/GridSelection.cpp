#include "controls/GridSelection.h"

uint32_t ParkMillerStep(uint32_t key) {
    int64_t k = key;
    int64_t next = 16807 * (k % 127773) - 2836 * (k / 127773);
    if (next < 0) next += 2147483647;
    return static_cast<uint32_t>(next);
}
