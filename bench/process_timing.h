// Timing whole processes in a benchmark: each iteration runs one command through
// the shell; the mean wall time and the mean user + system time of the processes
// are kept per benchmark name for the summary a benchmark prints after its runs.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>

inline std::map<std::string, double> g_seconds;     // mean wall time per benchmark name
inline std::map<std::string, double> g_cpuSeconds;  // mean user + system time of the processes

inline double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `command` once per iteration (manual time); a failing command ends the
// benchmark with an error.
inline void RunProcess(benchmark::State& state, const std::string& name, const std::string& command) {
    double total = 0;
    const double cpuBefore = ChildrenCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const auto end = std::chrono::steady_clock::now();
        if (status != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double runs = static_cast<double>(state.iterations());
    g_seconds[name] = total / runs;
    g_cpuSeconds[name] = (ChildrenCpuSeconds() - cpuBefore) / runs;
}
