// Runs the cases (5 repetitions unless told otherwise) and ends with a table of the medians against the
// targets: each case's fraction of its bound, or for the pow speedup case its speedup over one thread.
// --loops=no-avx2, --loops=no-shortcuts or --loops=plain restrict the kernels' loop versions, to show
// what each one gains (the results are the same bits whatever the choice).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "imagemath/kernels/LoopChoice.h"

namespace {

struct Target {
    const char* figure;     // the counter the target applies to
    double least;           // its target
    const char* reference;  // the counter it is relative to, shown beside it
    double referenceUnit;
};

// By case name. The cases are named for what they measure: operation, element type, and a volume
// (512x512x256), a plane (4096x4096) or a set; all threads unless the name says otherwise.
const std::map<std::string, Target> kTargets{
    {"u8_add_volume", {"fraction_of_bound", 0.6, "bound_items_per_second", 1e9}},
    {"float_add_volume", {"fraction_of_bound", 0.85, "bound_items_per_second", 1e9}},
    {"u16_scaled_mult_volume", {"fraction_of_bound", 0.4, "bound_items_per_second", 1e9}},
    {"u8_add_plane_one_thread", {"fraction_of_bound", 0.5, "bound_items_per_second", 1e9}},
    {"u8_add_plane", {"fraction_of_bound", 0.7, "bound_items_per_second", 1e9}},
    {"float_set_add_one_image", {"fraction_of_bound", 0.6, "bound_items_per_second", 1e9}},
    {"u16_set_scaled_mult", {"fraction_of_bound", 0.6, "bound_items_per_second", 1e9}},
    {"float_pow_volume_speedup", {"speedup", 6.0, "bound_speedup", 1.0}},
    {"float_square_volume", {"fraction_of_bound", 0.5, "bound_items_per_second", 1e9}},
};

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name == "median" || (run.aggregate_name.empty() && run.repetitions <= 1)) {
                m_medians.push_back(run);
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n| case | G elements/s | figure | target | met | reference |\n");
        std::printf("|---|---|---|---|---|---|\n");
        for (const Run& run : m_medians) {
            const std::string name = run.run_name.function_name;
            const auto target = kTargets.find(name);
            if (target == kTargets.end()) {
                continue;
            }
            const Target& t = target->second;
            const double figure = counter(run, t.figure);
            std::printf("| %s | %.3f | %s %.3f | >= %.2f | %s | %s %.3f%s |\n", name.c_str(),
                        counter(run, "items_per_second") / 1e9, t.figure, figure, t.least,
                        figure >= t.least ? "yes" : "no", t.reference,
                        counter(run, t.reference) / t.referenceUnit, t.referenceUnit == 1e9 ? " G" : "");
        }
    }

private:
    static double counter(const Run& run, const char* name) {
        const auto found = run.counters.find(name);
        return found == run.counters.end() ? 0.0 : found->second.value;
    }

    std::vector<Run> m_medians;
};

// Applies and removes a --loops argument; false for an unknown choice.
bool takeLoopChoice(std::vector<char*>& args) {
    namespace kernels = Korvanta::ImageMath::kernels;
    const std::map<std::string, kernels::LoopChoice> choices{{"all", {true, true}},
                                                             {"no-avx2", {false, true}},
                                                             {"no-shortcuts", {true, false}},
                                                             {"plain", {false, false}}};
    for (auto arg = args.begin(); arg != args.end(); ++arg) {
        if (std::strncmp(*arg, "--loops=", 8) == 0) {
            const auto choice = choices.find(*arg + 8);
            if (choice == choices.end()) {
                std::fprintf(stderr, "unknown %s: use all, no-avx2, no-shortcuts or plain\n", *arg);
                return false;
            }
            kernels::setLoopChoice(choice->second);
            args.erase(arg);
            return true;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    if (!takeLoopChoice(args)) {
        return 2;
    }
    bool repetitionsGiven = false;
    for (char* arg : args) {
        repetitionsGiven = repetitionsGiven || std::strncmp(arg, "--benchmark_repetitions", 23) == 0;
    }
    char repetitions[] = "--benchmark_repetitions=5";
    char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions);
        args.push_back(aggregatesOnly);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
