#include "base/HardwareThreads.h"

#include <algorithm>
#include <thread>

namespace tarnwick {

unsigned HardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

} // namespace tarnwick
