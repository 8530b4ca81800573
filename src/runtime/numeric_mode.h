#pragma once

namespace quorvex {

// Puts the x87 unit into the mode every extended operation of the model is
// defined in: 64-bit significand, round to nearest (ties to even), every
// exception masked so that IEEE default results apply. Faults the model cares
// about are detected by the model itself, never trapped.
void setNumericMode();

} // namespace quorvex
