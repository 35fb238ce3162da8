#pragma once
// The processor time of this process so far, in milliseconds: on a machine
// shared with other work it says what the wall-clock figures cannot.

#include <ctime>

inline double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
