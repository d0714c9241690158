#pragma once

#include <cstdint>

namespace QV::Platform {

// A counter that never runs backwards, in counts of monotonicFrequency() per second.
std::uint64_t monotonicCounter();
std::uint64_t monotonicFrequency();

}  // namespace QV::Platform
