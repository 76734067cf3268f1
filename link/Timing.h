// Busy-wait delays on the monotonic counter: the clock edges of the cable are timed here.
#pragma once

#include <cstdint>

// Never sleeps and never returns early; 0 or less returns after one reading of the counter.
void delayMicroseconds(int32_t microseconds);
void delayMilliseconds(int32_t milliseconds);

// An ordinary sleep of the thread, for the pauses between protocol phases.
void sleepMilliseconds(int32_t milliseconds);
