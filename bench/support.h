#pragma once

#include <cstddef>

namespace kestrun::bench {

// Peak resident memory of this process so far, in bytes (VmHWM).
std::size_t peak_resident_bytes();
// Sets the peak back to the current resident size, so one benchmark's peak is its own.
void reset_peak_resident();

}  // namespace kestrun::bench
