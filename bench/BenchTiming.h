#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

// The median of some timings (the mean of the middle two for an even count).
inline double Median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs f repeats times; the median time of one run in milliseconds.
template <typename F>
double medianMs(int repeats, F&& f)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return Median(times);
}
