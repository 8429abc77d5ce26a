#pragma once
// The work a window does on its first show only (building what waits for the
// screen, filling a list, the first connect): the guard answers "first" once,
// whatever the shows, hides and activations that follow.
namespace wkit {

class ShowOnce {
public:
    // True on the first call only: the first show's work is the caller's to
    // do now. Every later call answers false.
    bool First()
    {
        const bool first = !done_;
        done_ = true;
        return first;
    }

    // Whether First() has answered true: the first show's work has been done
    // (or is being done).
    bool Done() const { return done_; }

private:
    bool done_ = false;
};

} // namespace wkit
