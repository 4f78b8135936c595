// Prints each benchmark as usual and keeps its time per pass, so that a program can print its ratios
// against a peer measured in the same run. With --benchmark_repetitions the fastest repetition counts:
// the figure least disturbed by other work on the machine.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min") {
                m_Times[name] = r.GetAdjustedRealTime();
                m_HasMin[name] = true;
            } else if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !r.error_occurred &&
                       !m_HasMin[name]) {
                m_Times[name] = r.GetAdjustedRealTime();
            }
        }
    }

    // "ours / peer = ratio", or nothing when either was not run.
    void PrintRatio(const std::string& ours, const std::string& peer) const {
        const auto a = m_Times.find(ours), b = m_Times.find(peer);
        if (a == m_Times.end() || b == m_Times.end() || b->second <= 0) return;
        std::printf("  %-28s / %-28s = %6.2f\n", ours.c_str(), peer.c_str(), a->second / b->second);
    }

  private:
    std::map<std::string, double> m_Times;
    std::map<std::string, bool> m_HasMin;
};
