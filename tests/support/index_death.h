#pragma once

#include <string>

// What a failed container index leaves on standard error, exactly and
// nothing else: the message line, an empty line and the termination line.
inline std::string indexFailureOutput(const std::string& message) {
    return "^" + message + "\n\nAbnormal program termination\n$";
}
