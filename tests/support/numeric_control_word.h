#pragma once

namespace quorvex {

// The x87 control word currently in force, for the tests of the numeric mode.
inline unsigned short numericControlWord() {
    unsigned short word = 0;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

} // namespace quorvex
