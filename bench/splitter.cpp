// The loader's per-line splitter: 10^6 lines of five comma-separated numbers.
#include "core/stringutils.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::vector<std::string>& lines()
{
    static const std::vector<std::string> all = [] {
        std::vector<std::string> v;
        v.reserve(1000000);
        char text[128];
        for (int i = 0; i < 1000000; ++i) {
            std::snprintf(text, sizeof text, "%d.%03d,%.6f,%.9g,-%d.5,%de-3", 59000 + i / 86400, i % 1000,
                          i * 0.001, 1.0 / (i + 1), i % 97, i % 1000);
            v.emplace_back(text);
        }
        return v;
    }();
    return all;
}

// Splits every line per iteration with the given splitter.
template <typename Split>
void splitAll(benchmark::State& state, const std::vector<std::string>& input, Split split)
{
    std::size_t tokens = 0;
    for (auto _ : state) {
        tokens = 0;
        for (const std::string& line : input)
            tokens += split(line).size();
        benchmark::DoNotOptimize(tokens);
    }
    const auto n = static_cast<std::int64_t>(input.size());
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["tokens/line"] = static_cast<double>(tokens) / static_cast<double>(n);
}

// The pattern given as text, as the loader passes it for each line.
void BM_SplitQuotedRegex_PatternText(benchmark::State& state)
{
    const std::string separator = "[,;]";
    splitAll(state, lines(), [&](const std::string& line) { return SCUtilities::splitQuotedRegex(line, separator); });
}
BENCHMARK(BM_SplitQuotedRegex_PatternText)->Unit(benchmark::kMillisecond);

// The pattern compiled once by the caller.
void BM_SplitQuotedRegex_Compiled(benchmark::State& state)
{
    const boost::regex separator = SCUtilities::compileRegex("[,;]");
    splitAll(state, lines(), [&](const std::string& line) { return SCUtilities::splitQuotedRegex(line, separator); });
}
BENCHMARK(BM_SplitQuotedRegex_Compiled)->Unit(benchmark::kMillisecond);

// Lines with a quoted field take the full token expression.
void BM_SplitQuotedRegex_QuotedField(benchmark::State& state)
{
    std::vector<std::string> quoted;
    quoted.reserve(lines().size());
    for (const std::string& line : lines())
        quoted.push_back("\"label, one\"," + line);
    splitAll(state, quoted, [](const std::string& line) { return SCUtilities::splitQuotedRegex(line, "[,;]"); });
}
BENCHMARK(BM_SplitQuotedRegex_QuotedField)->Unit(benchmark::kMillisecond);

// A separator that is a real expression (not a plain character set).
void BM_SplitQuotedRegex_ExpressionSeparator(benchmark::State& state)
{
    splitAll(state, lines(), [](const std::string& line) { return SCUtilities::splitQuotedRegex(line, ",|;"); });
}
BENCHMARK(BM_SplitQuotedRegex_ExpressionSeparator)->Unit(benchmark::kMillisecond);

} // namespace
