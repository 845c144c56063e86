#pragma once

namespace util {

/// @brief How a rejected edit is answered: the windows implement it with the system's
/// default beep, the tests count the calls. Editing rules in every layer take one.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

} // namespace util
