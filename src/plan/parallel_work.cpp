#include "plan/parallel_work.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace zor {

unsigned available_threads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void parallel_work(size_t count, unsigned threads, const std::function<void(size_t)>& work,
                   const std::function<void(size_t, size_t)>& done) {
  threads = static_cast<unsigned>(std::min<size_t>(std::max(1u, threads), count));
  if (threads <= 1) {
    for (size_t k = 0; k < count; ++k) {
      work(k);
      if (done) done(k + 1, count);
    }
    return;
  }
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::condition_variable changed;
  size_t finished = 0;
  std::exception_ptr failure;
  auto worker = [&] {
    for (;;) {
      const size_t k = next.fetch_add(1);
      if (k >= count) return;
      std::exception_ptr error;
      try {
        work(k);
      } catch (...) {
        error = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(mutex);
      if (error && !failure) {
        failure = error;
        next = count;  // the rest is not worth doing
      }
      ++finished;
      changed.notify_one();
    }
  };
  std::vector<std::thread> pool;
  pool.reserve(threads);
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
  {
    // The caller reports, so that whoever listens is always called on one thread.
    std::unique_lock<std::mutex> lock(mutex);
    size_t told = 0;
    for (;;) {
      changed.wait(lock, [&] { return finished != told || finished == count || failure; });
      if (finished != told && done && !failure) {
        told = finished;
        lock.unlock();
        done(told, count);
        lock.lock();
      }
      told = finished;
      if (finished == count || failure) break;
    }
  }
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zor
