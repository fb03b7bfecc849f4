// The unit every benchmark reports in: the CPU time of one screen memcpy
// (640 x 480 x 4 bytes), measured in the same run.
#pragma once
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

inline double threadCpuNs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e9 + t.tv_nsec;
}

// The median of several batches, measured once per run.
inline double screenMemcpyNs() {
  static double ns = [] {
    constexpr size_t PIXELS = 640 * 480;
    constexpr int BATCH = 200;
    std::vector<uint32_t> a(PIXELS, 1), b(PIXELS, 2);
    std::vector<double> batches;
    for (int k = 0; k < 9; k++) {
      double t0 = threadCpuNs();
      for (int i = 0; i < BATCH; i++) {
        a[i] = i;
        std::memcpy(b.data(), a.data(), PIXELS * sizeof(uint32_t));
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
      }
      batches.push_back((threadCpuNs() - t0) / BATCH);
    }
    std::nth_element(batches.begin(), batches.begin() + 4, batches.end());
    return batches[4];
  }();
  return ns;
}

// Runs body once per iteration and reports its CPU time per iteration in
// screen memcpys (counter "memcpys").
template <typename Body>
void inMemcpys(benchmark::State& state, Body body) {
  double base = screenMemcpyNs();
  double t0 = threadCpuNs();
  int64_t n = 0;
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
    n++;
  }
  state.counters["memcpys"] = (threadCpuNs() - t0) / std::max<int64_t>(n, 1) / base;
}
