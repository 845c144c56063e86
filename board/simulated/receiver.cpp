#include "receiver.h"

namespace board::simulated {

void SimReceiver::start(Mode mode) {
    mode_ = mode;
    nextFileCell_ = 0;
    cells_.fill(0);
}

void SimReceiver::reset() { start(Mode::Stopped); }

} // namespace board::simulated
