#pragma once

// Lets a long-running program stop cleanly when it is asked to stop
// (interrupt, terminate, hang-up): after WatchStopRequests such a signal only
// raises a flag the program polls, and a second one ends it at once. A write
// past the process's file size limit then fails with an error the program
// reports, instead of ending it.
namespace platform {

void WatchStopRequests();
bool StopRequested();

} // namespace platform
