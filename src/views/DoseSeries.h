#pragma once
// Every point of the dose-rate chart, kept compactly, with what the chart needs per new point at
// a cost that does not grow with the series: the running mean, the key range, and a min/max
// envelope of at most a given number of columns.
//
// The chart grows by one point a second for as long as the program runs; drawing a week of
// points one by one makes every redraw crawl. Above twice the plot's width in pixels the chart
// gets a min/max pair per bucket instead, read from a pyramid of buckets (level L holds the
// minimum and maximum of 2^L consecutive points) that each new point updates in O(log n). The
// small levels are not stored: their envelopes are only wanted while the series is short, and
// are then read from the points themselves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TDosePoint {
    double X;
    double Y;
};

class TDoseSeries {
  public:
    // Points arrive in time order; an earlier time (the PC clock set back) is kept as it came.
    // A point whose time or value is not a finite number is not stored.
    void Append(double x, float y);
    void Clear();

    size_t Size() const { return xs_.size(); }
    bool Empty() const { return xs_.empty(); }
    double X(size_t i) const { return xs_[i]; }
    float Y(size_t i) const { return ys_[i]; }
    double Mean() const { return xs_.empty() ? 0.0 : sum_ / double(xs_.size()); }
    double MinX() const { return minX_; }
    double MaxX() const { return maxX_; }
    // Largest and smallest value of all points; 0 when empty.
    float MaxY() const;
    float MinY() const;
    // False once a point arrived with an earlier time than the one before.
    bool Ordered() const { return ordered_; }

    // The points to draw in at most about `columns` columns: every point while there are at most
    // 2 * columns of them, otherwise `columns` groups of consecutive points of nearly equal
    // length, each as its minimum and then its maximum at the time of its first point: a
    // vertical stroke per column, as a dense line draws anyway.
    void Envelope(int columns, std::vector<TDosePoint>& out) const;
    // True when Envelope(columns) hands every point as it is.
    bool AllPoints(int columns) const;

    // Bytes held by the store, reserved capacity included.
    size_t MemoryBytes() const;

  private:
    struct TBucket {
        float Min, Max;
    };
    static constexpr int FirstStoredLevel = 4;
    static constexpr int LastLevel = 32; // one bucket holds any series that fits the indexes
    std::vector<double> xs_;
    std::vector<float> ys_;
    // levels_[k] is pyramid level FirstStoredLevel + k.
    std::vector<std::vector<TBucket>> levels_;
    double sum_ = 0;
    double minX_ = 0, maxX_ = 0;
    bool ordered_ = true;
};

// Every point as CSV (header row, CR LF): the time as the chart shows it, local standard time
// with its offset from UTC, and the dose rate in uSv/h as the shortest text of the float kept.
std::string DoseSeriesCsv(const TDoseSeries& series);
