#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

struct Summary {
    double median = 0;
    double p99 = 0;
    double min = 0;
};

inline Summary summarize(std::vector<double> samples)
{
    Summary s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    s.min = samples.front();
    s.median = samples[samples.size() / 2];
    s.p99 = samples[std::min(samples.size() - 1, size_t(double(samples.size()) * 0.99))];
    return s;
}

inline void printRow(const char* what, const Summary& s, const char* unit = "ms")
{
    std::printf("  %-58s median %8.2f %s   p99 %8.2f %s   min %8.2f %s\n", what, s.median, unit, s.p99, unit,
        s.min, unit);
}

} // namespace bench
