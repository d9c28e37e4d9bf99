#include "views/DoseSeries.h"

#include "views/LiveFormat.h"
#include "views/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

void TDoseSeries::Append(double x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (levels_.empty()) levels_.resize(LastLevel - FirstStoredLevel + 1);
    const size_t index = xs_.size();
    if (index == 0) {
        minX_ = maxX_ = x;
    } else {
        if (x < xs_.back()) ordered_ = false;
        minX_ = std::min(minX_, x);
        maxX_ = std::max(maxX_, x);
    }
    xs_.push_back(x);
    ys_.push_back(y);
    sum_ += y;
    for (size_t k = 0; k < levels_.size(); ++k) {
        std::vector<TBucket>& level = levels_[k];
        const size_t bucket = index >> (FirstStoredLevel + k);
        if (bucket == level.size()) {
            level.push_back({y, y});
        } else {
            TBucket& b = level[bucket];
            b.Min = std::min(b.Min, y);
            b.Max = std::max(b.Max, y);
        }
    }
}

void TDoseSeries::Clear() {
    // Give the memory back: a cleared week of points should not stay reserved.
    std::vector<double>().swap(xs_);
    std::vector<float>().swap(ys_);
    levels_.clear();
    levels_.shrink_to_fit();
    sum_ = 0;
    minX_ = maxX_ = 0;
    ordered_ = true;
}

float TDoseSeries::MaxY() const {
    return xs_.empty() ? 0.0f : levels_.back().front().Max;
}

float TDoseSeries::MinY() const {
    return xs_.empty() ? 0.0f : levels_.back().front().Min;
}

bool TDoseSeries::AllPoints(int columns) const {
    return columns < 1 || xs_.size() <= 2 * size_t(columns);
}

void TDoseSeries::Envelope(int columns, std::vector<TDosePoint>& out) const {
    out.clear();
    const size_t n = xs_.size();
    if (AllPoints(columns)) {
        out.reserve(n);
        for (size_t i = 0; i < n; ++i)
            out.push_back({xs_[i], ys_[i]});
        return;
    }
    // The smallest level with at most 2 * columns buckets has more than `columns` of them;
    // merging them into exactly `columns` groups of one or two keeps the drawn count the same
    // whatever the length of the series.
    int level = 1;
    while (level < LastLevel && ((n - 1) >> level) + 1 > 2 * size_t(columns))
        ++level;
    const size_t buckets = ((n - 1) >> level) + 1;
    const size_t groups = std::min(buckets, size_t(columns));
    out.reserve(2 * groups);
    const std::vector<TBucket>* stored =
        level >= FirstStoredLevel ? &levels_[level - FirstStoredLevel] : nullptr;
    for (size_t g = 0; g < groups; ++g) {
        const size_t firstBucket = g * buckets / groups;
        const size_t endBucket = (g + 1) * buckets / groups;
        float lo, hi;
        if (stored) {
            lo = (*stored)[firstBucket].Min;
            hi = (*stored)[firstBucket].Max;
            for (size_t b = firstBucket + 1; b < endBucket; ++b) {
                lo = std::min(lo, (*stored)[b].Min);
                hi = std::max(hi, (*stored)[b].Max);
            }
        } else {
            // Fewer than 2 * columns * 2^FirstStoredLevel points: a pass over them is bounded.
            const size_t first = firstBucket << level;
            const size_t end = std::min(n, endBucket << level);
            const auto range = std::minmax_element(ys_.begin() + first, ys_.begin() + end);
            lo = *range.first;
            hi = *range.second;
        }
        const double x = xs_[firstBucket << level];
        out.push_back({x, lo});
        out.push_back({x, hi});
    }
}

size_t TDoseSeries::MemoryBytes() const {
    size_t bytes = sizeof(*this) + xs_.capacity() * sizeof(double) +
                   ys_.capacity() * sizeof(float) +
                   levels_.capacity() * sizeof(std::vector<TBucket>);
    for (const auto& level : levels_)
        bytes += level.capacity() * sizeof(TBucket);
    return bytes;
}

std::string DoseSeriesCsv(const TDoseSeries& series) {
    tzset();
    const long east = -long(timezone);
    char offset[32];
    std::snprintf(offset, sizeof offset, "%c%02ld:%02ld", east < 0 ? '-' : '+',
                  std::labs(east) / 3600, std::labs(east) % 3600 / 60);
    std::string out = "time,dose_rate,unit\r\n";
    for (size_t i = 0; i < series.Size(); ++i) {
        // Chart times are whole seconds of local standard time counted in days; rounding undoes
        // the division's last bit.
        const std::time_t local = std::time_t(std::llround(ChartKey(series.X(i))));
        std::tm t{};
        char stamp[96] = "";
        if (gmtime_r(&local, &t))
            std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d%s", t.tm_year + 1900,
                          t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, offset);
        out += std::string(stamp) + ',' + ShortestFloatText(series.Y(i)) + ",uSv/h\r\n";
    }
    return out;
}
