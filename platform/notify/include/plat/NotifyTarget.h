#pragma once
// Plain C++ on purpose: the protocol library receives this interface and must
// not need the toolkit.
#include <cstdint>

namespace plat {

// Where a library posts or sends its window messages (a window handle on the
// original platform).
class NotifyTarget {
public:
    // Queued; may be called from any thread.
    virtual void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Synchronous when called on the target's thread; queued otherwise (then 0).
    virtual std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

protected:
    ~NotifyTarget() = default;
};

} // namespace plat
