#include "jobs/StopPoint.h"

#include <signal.h>

#include <cstdlib>
#include <cstring>

void StopPoint(const char* name)
{
    // Read at every call: cheap, and a test sets it before the start.
    const char* at = std::getenv("ORLAT_STOP_AT");
    if (at != nullptr && std::strcmp(at, name) == 0) ::raise(SIGSTOP);
}
