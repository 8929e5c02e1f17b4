// The line a benchmark prints for each of its figures, beside its own text, for the benchmark command
// (tools/bench.sh), which gathers them into one table:
//   FIGURE: <what> | <value> <unit> | <reference> <value> <unit> | ratio <value / reference> | aim <aim>
// The reference is measured in the same run; the aim says which way the ratio (or the value) should go.
#pragma once

#include <cstdio>

namespace bench {

inline void PrintFigure(const char* what, double value, const char* unit, const char* reference, double referenceValue,
                        const char* aim) {
    char ratio[32] = "ratio n/a";
    if (referenceValue != 0) std::snprintf(ratio, sizeof ratio, "ratio %.2f", value / referenceValue);
    std::printf("FIGURE: %s | %.3f %s | %s %.3f %s | %s | aim %s\n", what, value, unit, reference, referenceValue,
                unit, ratio, aim);
    std::fflush(stdout);
}

}  // namespace bench
