// How the long calculations (the level map, the reflection-path search) run:
// the choice between the reference run, which tests every face on the
// calling thread, and the fast run, which hands its work to one worker
// thread per core and asks a FaceIndex which faces to test; and the worker
// runner they share.
//
// Both runs give the same results, bit for bit and in the same order: the
// workers write only into slots of their own and the caller merges the
// slots in item order, and the index leaves out only faces that the exact
// tests would reject. The one exception is the phase of the coherent sums,
// which the fast run forms by products: a level may then lie one unit in
// the last place of its float from the reference's. The calling thread keeps the progress window and its
// Cancel; the workers call no service.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

struct CalcExecution {
  unsigned threads = 0;   // worker threads: 0 one per core, 1 the calling thread alone
  bool faceIndex = true;  // false: every face is tested, as the reference does
  // The coherent sums of the level map take one complex phase per arrival
  // and form the phases of the bands from it (ReceiverContext::onePhase);
  // false: a sine and cosine per band, as the reference does.
  bool onePhase = true;
};
// The reference run: the calling thread, every face, a sine and cosine per
// band.
inline constexpr CalcExecution kReferenceExecution{1, false, false};

// The threads an execution asks for: its count, or one per core for 0.
unsigned WorkerThreadCount(const CalcExecution& execution);

// Runs work(worker, item) for the items 0 .. count - 1, handed out in
// increasing order to up to `threads` worker threads (numbered from 0),
// while the calling thread calls poll() after every `interval` and once
// more when the work is done. A poll that returns true, or a stop() that
// does, ends the run: no further item starts. Returns false, having run
// nothing, when no worker thread could be started.
template <typename Work, typename Stop, typename Poll>
bool RunOnWorkers(uint32_t count, unsigned threads, std::chrono::milliseconds interval, Work&& work, Stop&& stop,
                  Poll&& poll) {
  std::mutex mutex;
  std::condition_variable finished;
  unsigned running = 0;
  std::atomic<uint32_t> next{0};
  std::atomic<bool> stopped{false};
  auto worker = [&](unsigned w) {
    for (uint32_t i; !stopped.load(std::memory_order_relaxed) && !stop() && (i = next.fetch_add(1)) < count;)
      work(w, i);
    {
      std::lock_guard<std::mutex> lock(mutex);
      --running;
    }
    finished.notify_one();
  };
  std::vector<std::thread> workers;
  for (unsigned w = 0; w < threads; ++w) {
    std::lock_guard<std::mutex> lock(mutex);
    try {
      workers.emplace_back(worker, w);
    } catch (const std::system_error&) {
      break;  // as many workers as the system gives
    }
    ++running;
  }
  if (workers.empty()) return false;
  {
    std::unique_lock<std::mutex> lock(mutex);
    for (bool done = false; !done;) {
      done = finished.wait_for(lock, interval, [&] { return running == 0; });
      if (stopped.load(std::memory_order_relaxed)) continue;
      lock.unlock();
      if (poll()) stopped.store(true, std::memory_order_relaxed);
      lock.lock();
    }
  }
  for (std::thread& w : workers) w.join();
  return true;
}
