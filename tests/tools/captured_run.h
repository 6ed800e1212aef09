#pragma once
#include <sstream>
#include <string>

// What one quillonctl command gave back: its exit code and both streams.
struct Outcome {
    int code;
    std::string out;
    std::string err;
};

// Runs `command(out, err)` and keeps what it wrote.
template <typename Command>
Outcome Capture(Command&& command)
{
    std::ostringstream out, err;
    const int code = command(out, err);
    return {code, out.str(), err.str()};
}
