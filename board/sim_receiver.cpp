#include "sim_receiver.h"

namespace board {

void SimReceiver::start(Mode mode) {
    mode_ = mode;
    nextFileCell_ = 0;
    cells_.fill(0);
}

void SimReceiver::reset() { start(Mode::Stopped); }

} // namespace board
