// Qt scales and converts large pictures on its global thread pool and waits for the pool to
// finish; a pool thread that the system refuses to start (a limit on processes or on memory)
// never runs, and the wait never ends. Before pictures are made, the pool is given the
// threads it will use, started at once and kept, and is never asked for more.
#pragma once

namespace tavrel {

// Starts the pool's threads (up to the ideal thread count) unless done before. False when the
// system starts not a single thread: Qt's scaling would then wait for ever.
bool PrepareImageThreadPool();

}  // namespace tavrel
