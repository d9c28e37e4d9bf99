#pragma once
// The time axis of the dose-rate and archive charts.
#include <QPointer>
#include <qcustomplot.h>

// Ticks on whole seconds, minutes and hours of the clock (1, 2, 5, 10, 15, 30 s ...), where the
// stock date-time ticker would also step by 2.5 s or 2.5 min and read 12, :15, :17, :20. With a
// `graph` given, the axis writes no labels while that graph has no point: an empty chart would
// otherwise date its 0..1 range to 01.01.70.
class TTimeTicker : public QCPAxisTickerDateTime {
  public:
    explicit TTimeTicker(QCPGraph* graph = nullptr) : Graph(graph) {}

  protected:
    double getTickStep(const QCPRange& range) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override;

  private:
    QPointer<QCPGraph> Graph;
};
