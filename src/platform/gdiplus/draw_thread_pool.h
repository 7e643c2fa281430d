#pragma once
// The threads that share the work of large draws: started on first use,
// kept for the library session, and stopped when it closes, so that no
// draw pays for starting a thread. A draw splits into parts; the calling
// thread runs part 0 itself (only it may call back into the caller) and
// takes any part no worker has started.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pixavue::platform::gdiplus {

class DrawThreadPool final {
 public:
  DrawThreadPool() = default;
  ~DrawThreadPool() { Stop(); }
  DrawThreadPool(const DrawThreadPool&) = delete;
  DrawThreadPool& operator=(const DrawThreadPool&) = delete;

  // Threads a draw can use, the calling one included: one per processor
  // (at most kMaxThreads), or 1 when workers cannot start.
  std::int32_t Threads();

  // Runs part(i) for every i < parts and returns when all have finished.
  // While another draw uses the workers, this one runs on its own thread.
  void Run(std::int32_t parts, const std::function<void(std::int32_t)>& part);

  // Joins the workers; the next Run starts them again.
  void Stop();

  static constexpr std::int32_t kMaxThreads = 8;

 private:
  struct Job;
  void Start();
  void Work();
  // Takes and runs parts of the current job until none is left.
  void RunParts(Job& job);

  std::mutex runMutex_;  // one draw at a time uses the workers
  std::mutex mutex_;     // guards everything below
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::vector<std::thread> workers_;
  bool started_ = false;
  bool stopping_ = false;
  Job* job_ = nullptr;
  std::uint64_t generation_ = 0;
  std::int32_t busy_ = 0;  // workers inside the current job
};

// The session's pool, and its end (called when the last session closes).
DrawThreadPool& SessionDrawThreads();
void StopSessionDrawThreads();

}  // namespace pixavue::platform::gdiplus
