#include "ui/TimeTicker.h"

double TTimeTicker::getTickStep(const QCPRange& range) {
    // The stock choice also sets how day and month ticks are placed; keep it from a day up.
    const double stock = QCPAxisTickerDateTime::getTickStep(range);
    if (stock >= 86400) return stock;
    const double ideal = range.size() / (mTickCount + 1e-10);
    // Never below a second: the labels show whole seconds.
    return pickClosest(ideal, {1, 2, 5, 10, 15, 30, 60, 2 * 60, 5 * 60, 10 * 60, 15 * 60, 30 * 60,
                               3600, 2 * 3600, 3 * 3600, 6 * 3600, 12 * 3600, 86400});
}

QString TTimeTicker::getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                                  int precision) {
    if (Graph && Graph->dataCount() == 0) return QString();
    return QCPAxisTickerDateTime::getTickLabel(tick, locale, formatChar, precision);
}
