#include "views/LiveFormat.h"

#include <cmath>
#include <ctime>

#include "views/Numbers.h"

bool FormatDoseValue(float x, TDoseText& out) {
    // The steps compare the value as it stands after each scaling, so 1000000 itself skips the
    // milli step and lands in the whole unit; a NaN meets no comparison at all.
    bool scaled = false;
    TDoseUnit unit = TDoseUnit::Micro;
    if (x < 1000) {
        scaled = true;
    } else if (x >= 1000 && x < 1000000) {
        x = static_cast<float>(x * 0.001);
        unit = TDoseUnit::Milli;
        scaled = true;
    }
    if (x >= 1000000) {
        x = static_cast<float>(x * 0.000001);
        unit = TDoseUnit::Whole;
        scaled = true;
    }
    if (!scaled) return false;
    int decimals;
    if (x < 10)
        decimals = 3;
    else if (x < 100)
        decimals = 2;
    else
        decimals = 1;
    out.Value = FormatFixed(x, 8, decimals);
    out.Unit = unit;
    return true;
}

QString DoseUnitText(TDoseUnit unit, bool dose, bool english) {
    static const char* const texts[2][2][3] = {
        {{"мкЗв/ч", "мЗв/ч", "Зв/ч"}, {"мкЗв", "мЗв", "Зв"}},
        {{"uSv/h", "mSv/h", "Sv/h"}, {"uSv", "mSv", "Sv"}},
    };
    return QString::fromUtf8(texts[english][dose][static_cast<int>(unit)]);
}

static QString RussianDayWord(uint32_t d) {
    if (d == 1) return QStringLiteral("день");
    if (d == 2 || d == 3) return QStringLiteral("дня");
    return QStringLiteral("дней");
}

QString FormatAccumulationTime(uint32_t seconds, bool english) {
    const uint32_t d = seconds / 86400;
    const uint32_t h = seconds % 86400 / 3600;
    const uint32_t m = seconds % 3600 / 60;
    const QString hours = english ? QStringLiteral(" h ") : QStringLiteral(" ч ");
    const QString minutes = english ? QStringLiteral(" min") : QStringLiteral(" мин");
    if (d > 0) {
        const QString day =
            english ? (d == 1 ? QStringLiteral("day") : QStringLiteral("days")) : RussianDayWord(d);
        return QStringLiteral(" %1 %2 %3").arg(d).arg(day).arg(h) + hours + QString::number(m) +
               minutes;
    }
    if (h > 0) return QStringLiteral(" %1").arg(h) + hours + QString::number(m) + minutes;
    return QStringLiteral(" %1").arg(m) + minutes;
}

QString FormatRemainingTime(uint32_t seconds, bool english) {
    const uint32_t h = seconds / 3600;
    const uint32_t m = seconds / 60 - 60 * h;
    const QString minutes =
        QString::number(m) + (english ? QStringLiteral(" min") : QStringLiteral(" мин"));
    if (h == 0) return minutes;
    return QString::number(h) + (english ? QStringLiteral(" hr ") : QStringLiteral(" час ")) +
           minutes;
}

TMemoryFill MemoryFill(uint32_t records, bool memoryFull) {
    if (memoryFull) return {QStringLiteral("100%"), int(ArchiveCapacity), TFillColour::Red};
    const float p = static_cast<float>(records * (1.0 / ArchiveCapacity) * 100);
    TMemoryFill fill;
    fill.Text = FormatFixed(p, 15, 0) + QLatin1Char('%');
    // A count above the capacity cannot be shown beyond a full bar.
    fill.Position = records > ArchiveCapacity ? int(ArchiveCapacity) : int(records);
    if (p <= 80)
        fill.Colour = TFillColour::Green;
    else if (p < 95)
        fill.Colour = TFillColour::Yellow;
    else if (p > 95)
        fill.Colour = TFillColour::Red;
    else
        fill.Colour = TFillColour::Keep;
    return fill;
}

double DoseAxisMax(float chartMax) {
    return double(chartMax) + double(chartMax) * (1.0 / 7);
}

int64_t SpectrumAxisMax(int32_t m) {
    return int64_t(m) + m / 7;
}

double ChartTime(int64_t secondsSince1970) {
    tzset();
    return double(secondsSince1970 - static_cast<int64_t>(timezone)) / 86400.0 + 25569.0;
}

double ChartKey(double chartTime) {
    return (chartTime - 25569.0) * 86400.0;
}
