// Costs of the window layer's hot paths. Each benchmark has a baseline in the
// same run (a plain function call, a plain loop) so that results read as
// ratios, independent of the machine.

#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/window.h>

#include <benchmark/benchmark.h>

namespace {

using namespace pixavue::platform;

LRESULT Answer(HWND, UINT message, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(message + wParam); }

WNDPROC g_saved = nullptr;
LRESULT Chained(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProc(g_saved, window, message, wParam, lParam);
}

void BM_Baseline_DirectCall(benchmark::State& state) {
  WNDPROC procedure = &Answer;
  benchmark::DoNotOptimize(procedure);
  for (auto _ : state) benchmark::DoNotOptimize(procedure(HWND{1}, WM_USER, 1, 0));
}
BENCHMARK(BM_Baseline_DirectCall);

void BM_SendMessageThroughHookChain(benchmark::State& state) {
  WindowCreateInfo info;
  info.procedure = &Answer;
  const HWND window = CreateWindow(info);
  g_saved = SubclassWindow(window, &Chained);
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(window, WM_USER, 1, 0));
  DestroyWindow(window);
}
BENCHMARK(BM_SendMessageThroughHookChain);

void BM_AdvanceClockWithManyTimers(benchmark::State& state) {
  UseVirtualClock();
  WindowCreateInfo info;
  const HWND window = CreateWindow(info);
  const auto timers = static_cast<UINT_PTR>(state.range(0));
  for (UINT_PTR id = 1; id <= timers; ++id) {
    SetTimerCallback(window, id, static_cast<UINT>(10 + id), [](HWND, UINT, UINT_PTR, DWORD) {});
  }
  for (auto _ : state) AdvanceVirtualClock(100);
  DestroyWindow(window);
  UseRealClock();
}
BENCHMARK(BM_AdvanceClockWithManyTimers)->Arg(2)->Arg(16);

}  // namespace
