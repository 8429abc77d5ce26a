#pragma once
#include <QString>

namespace plat {

// The program's log: one line for each thing that went wrong out of the
// user's sight (why a library was refused). On stderr in the program; tests
// read the lines instead.
class Log {
public:
    virtual ~Log() = default;
    virtual void write(const QString& line) = 0;
};

// Each line to stderr, as UTF-8, with the newline.
class StderrLog final : public Log {
public:
    void write(const QString& line) override;
};

} // namespace plat
