#pragma once
// The code of the ImgTextException an action throws, 0 when it throws none.

#include "imaging/ImgObject.h"

#include <cstdint>
#include <functional>

namespace imgtest {

inline int32_t CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ImgTextException& e) {
        return e.GetCode();
    }
    return 0;
}

} // namespace imgtest
