#pragma once

#include <utility>

namespace cli {

/// A handle of the library closed when it goes, also when the command fails on its way.
template <typename Handle, int (*close)(Handle*)>
class Closing {
public:
    Closing() = default;
    ~Closing() {
        if (handle_ != nullptr)
            close(handle_);
    }
    Closing(const Closing&) = delete;
    Closing& operator=(const Closing&) = delete;

    [[nodiscard]] Handle* get() const { return handle_; }
    [[nodiscard]] Handle** out() { return &handle_; }
    /// The handle, no longer closed here: for a close whose status the caller checks.
    [[nodiscard]] Handle* release() { return std::exchange(handle_, nullptr); }

private:
    Handle* handle_ = nullptr;
};

} // namespace cli
