#pragma once

// Header-only and free of the test framework: the fuzz targets use it as well.

#include "util/beeper.h"

namespace testing_support {

/// Counts the beeps with which an editor refuses a keystroke.
class CountingBeeper final : public util::Beeper {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

} // namespace testing_support
