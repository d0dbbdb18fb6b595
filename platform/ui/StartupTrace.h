// The start-up breakdown: with ABONIX_TRACE_STARTUP=1 in the environment,
// each step of the start prints "Startup/<step> <ms>" on standard error, the
// milliseconds counted from the process's start (its exec), so a slower
// start shows at once where it lost its time. Each step is printed once.
#pragma once

namespace ui {

// Records a step; costs a flag test when tracing is off.
void startup_step(const char* step);

}  // namespace ui
