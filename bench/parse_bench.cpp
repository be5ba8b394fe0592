#include "allocation_counter.h"
#include "common/number_text.h"
#include "record/data_record_class.h"
#include "support/fake_clock.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

using marlume::record::DataRecordClass;

constexpr std::array<std::string_view, 8> kSentences { "123.4,-2.5,1.8", "124.0,-2.4,1.7", "359.9,0.1,-0.3",
    "0.2,10.5,-12.25", "87.6,3.0,4.0", "271.3,-45.2,44.9", "180.0,0.0,0.0", "12.8,-0.7,0.6" };

constexpr double kGoalSentencesPerSecond = 5e6;

// Sentences as the sensor sends them, one after another, with or without an event collecting.
void parseSentences(benchmark::State& state, bool averaging)
{
    const marlume::testing::FakeClock clock;
    DataRecordClass record(clock);
    if (averaging)
        record.startAvg();
    std::size_t next = 0;
    std::size_t accepted = 0;
    const std::size_t allocationsBefore = marlume::bench::allocationCount();
    for (auto _ : state) {
        const bool ok = record.parseString(kSentences[next]);
        benchmark::DoNotOptimize(ok);
        accepted += ok ? 1 : 0;
        next = (next + 1) % kSentences.size();
    }
    const std::size_t allocations = marlume::bench::allocationCount() - allocationsBefore;
    state.SetItemsProcessed(state.iterations());
    state.counters["allocations_per_accepted"]
        = accepted == 0 ? -1.0 : static_cast<double>(allocations) / static_cast<double>(accepted);
    benchmark::DoNotOptimize(record.avgTilt());
}

// Keeps the runs to print each figure beside its goal after the usual table.
class FigureReporter final : public benchmark::ConsoleReporter {
public:
    // Plain text: the figures are read by scripts as well as by people.
    FigureReporter()
        : ConsoleReporter(OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_runs.push_back(run);
        }
    }

    [[nodiscard]] const std::vector<Run>& runs() const { return m_runs; }

private:
    std::vector<Run> m_runs;
};

std::string tenths(double value)
{
    return marlume::common::numberText(static_cast<float>(std::round(value * 10) / 10));
}

void printFigures(const std::vector<benchmark::BenchmarkReporter::Run>& runs)
{
    for (const auto& run : runs) {
        const double perSecond = run.counters.at("items_per_second").value;
        const double allocations = run.counters.at("allocations_per_accepted").value;
        const std::string name = run.benchmark_name();
        std::string lines = name + ": " + tenths(perSecond / 1e6)
            + " M/s (goal >= " + tenths(kGoalSentencesPerSecond / 1e6) + " M/s)\n";
        lines += name + " heap allocations per accepted sentence: " + tenths(allocations) + " (goal 0)\n";
        std::fputs(lines.c_str(), stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::RegisterBenchmark("parseString", parseSentences, false);
    benchmark::RegisterBenchmark("parseString while averaging", parseSentences, true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    FigureReporter reporter;
    if (benchmark::RunSpecifiedBenchmarks(&reporter) == 0)
        return 1;
    printFigures(reporter.runs());
    return reporter.runs().empty() ? 1 : 0;
}
