// Independent pieces of work shared among threads, each done once, with the caller told as
// they are done; the results go where each piece's number says, so they are the same
// whatever the threads.
#pragma once

#include <cstddef>
#include <functional>

namespace zor {

// Calls work(k) once for each k below `count`, on up to `threads` threads (the caller's
// among them when there is one only). `done(finished, count)`, when given, is called on the
// caller's thread after each piece. The first exception a piece throws is thrown here once
// every thread has stopped.
void parallel_work(size_t count, unsigned threads, const std::function<void(size_t)>& work,
                   const std::function<void(size_t, size_t)>& done);

// The threads to use when none are asked for: the machine's cores.
unsigned available_threads();

}  // namespace zor
