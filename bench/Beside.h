#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <type_traits>

// Runs the floor and the operation in every iteration and reports both times and their ratio, so
// that each figure is read beside its floor from the same run. The two take turns at going first,
// so that neither always finds the caches warmed by the other.
template <typename Floor, typename Operation>
void MeasureBeside(benchmark::State& state, Floor floor, Operation operation)
{
    using Clock = std::chrono::steady_clock;
    double floorSeconds = 0;
    double operationSeconds = 0;
    // Work that returns a time (seconds) has timed itself, leaving out what it does not measure.
    auto timed = [](auto&& work) {
        const auto start = Clock::now();
        if constexpr (std::is_same_v<decltype(work()), double>)
            return work();
        else
            work();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    bool floorFirst = true;
    for (auto _ : state) {
        double floorTime = 0;
        double operationTime = 0;
        if (floorFirst) {
            floorTime = timed(floor);
            operationTime = timed(operation);
        } else {
            operationTime = timed(operation);
            floorTime = timed(floor);
        }
        floorFirst = !floorFirst;
        floorSeconds += floorTime;
        operationSeconds += operationTime;
        state.SetIterationTime(operationTime);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floorSeconds / n * 1000;
    state.counters["op_ms"] = operationSeconds / n * 1000;
    state.counters["ratio"] = operationSeconds / floorSeconds;
}

// Seconds from a start taken with steady_clock, for work that times itself.
inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The collection sizes every growing benchmark runs at, measured by wall time in milliseconds.
inline void CollectionSizes(benchmark::internal::Benchmark* b)
{
    for (const int recordings : {1000, 8192, 32767, 131072})
        b->Arg(recordings);
    b->UseManualTime()->MinTime(2)->Unit(benchmark::kMillisecond);
}
