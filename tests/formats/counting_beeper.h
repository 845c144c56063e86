#pragma once

#include "board/beeper.h"

namespace formats_testing {

class CountingBeeper : public board::Beeper {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

} // namespace formats_testing
