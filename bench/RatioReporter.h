// Prints each benchmark as usual and keeps, per benchmark, the fastest of its repetitions: the figure
// least disturbed by other work on the machine. A program prints its ratios against a peer measured in
// the same run. RunInterleaved runs every benchmark at least five times, the repetitions of all
// benchmarks shuffled together, so that a slow spell of the machine spreads over all of them.
// The figures are the time the benchmark's thread ran (CPU time): on a machine shared with other work
// the wall time also counts the spells in which other programs held the core.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    static constexpr int kMinRepetitions = 5;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.iterations <= 0 || r.error_occurred) continue;
            Fastest& f = m_Fastest[r.run_name.str()];
            // In microseconds, whatever unit the benchmark prints in.
            const double t = r.GetAdjustedCPUTime() * 1e6 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            f.time = f.count == 0 ? t : std::min(f.time, t);
            ++f.count;
        }
    }

    // Time of the fastest repetition, or 0 when the benchmark was not run.
    double Time(const std::string& name) const {
        const auto it = m_Fastest.find(name);
        return it == m_Fastest.end() ? 0.0 : it->second.time;
    }

    // The fastest repetition of every benchmark run, in the order of their names.
    void PrintFastest() const {
        std::printf("\nFastest repetition of each benchmark (CPU time):\n");
        for (const auto& [name, f] : m_Fastest)
            std::printf("  %-30s %10.2f us  (of %d)\n", name.c_str(), f.time, f.count);
    }

    // "ours / peer = ratio", with the goal when there is one (the ratio must not pass it), or nothing
    // when either was not run. Fewer repetitions than five are named: such a figure is not trusted.
    void PrintRatio(const std::string& ours, const std::string& peer, double goal = 0.0) const {
        const auto a = m_Fastest.find(ours), b = m_Fastest.find(peer);
        if (a == m_Fastest.end() || b == m_Fastest.end() || b->second.time <= 0) return;
        const double ratio = a->second.time / b->second.time;
        std::printf("  %-30s / %-30s = %6.2f", ours.c_str(), peer.c_str(), ratio);
        if (goal > 0) std::printf("   goal %.2f: %s", goal, ratio <= goal ? "met" : "NOT MET");
        const int count = std::min(a->second.count, b->second.count);
        if (count < kMinRepetitions) std::printf("   (only %d repetitions)", count);
        std::printf("\n");
    }

  private:
    struct Fastest {
        double time = 0;
        int count = 0;
    };
    std::map<std::string, Fastest> m_Fastest;
};

// Runs the registered benchmarks with five interleaved repetitions each unless the command line says
// otherwise (its flags come after these and win).
inline void RunInterleaved(int argc, char** argv, RatioReporter& reporter) {
    static char repetitions[] = "--benchmark_repetitions=5";
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + (argc > 0 ? 1 : 0), {repetitions, interleave});
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
}
