#include "jobs/StopPoint.h"

#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

void StopPoint(const char* name)
{
    const char* at = std::getenv("ORLAT_STOP_AT");
    if (at == nullptr || std::strcmp(at, name) != 0) return;
    // The instants it has stopped at; the service's thread only.
    static std::set<std::string> stopped;
    if (stopped.insert(name).second) ::raise(SIGSTOP);
}
