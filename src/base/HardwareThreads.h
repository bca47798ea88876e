// How many threads are worth starting.
#pragma once

namespace tarnwick {

// The processors the program may use; 1 when that is unknown.
unsigned HardwareThreads();

} // namespace tarnwick
