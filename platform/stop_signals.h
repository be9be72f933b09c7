// Ending the process at once on SIGINT, SIGTERM, SIGHUP and SIGPIPE, wherever it is (in the
// middle of decoding a picture too), without leaving temporary files behind.
#pragma once

namespace tavrel {

// Installs the handlers. A stop signal removes every file registered below, writes `message`
// (kept by pointer, may be null) to stderr unless the signal is SIGPIPE (the reader of the
// output has gone, nobody needs telling), and ends the process with status 128 + the signal's
// number: 130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP, 141 for SIGPIPE. Everything in the
// handler is async-signal-safe. Signals ignored when the process started stay ignored.
void EndProcessOnStopSignals(const char* message);

// Registers a temporary file (or empty folder) to be removed if a stop signal ends the
// process; returns its ticket, or -1 when the name is too long or all places are taken (the
// caller then stays responsible alone). Thread-safe.
int RemoveOnStop(const char* path);

// Withdraws a registration once the file has been renamed or removed. -1 is ignored.
void KeepOnStop(int ticket);

}  // namespace tavrel
