#include "archive/ArchiveText.h"

#include "base/Language.h"
#include "views/Numbers.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>

const char* const ExportFileName = "archive.txt";

namespace {

// printf's %g with precision 6, always with "." (to_chars ignores the locale that Qt sets).
std::string General(double x) {
    if (std::isnan(x)) return std::signbit(x) ? "-nan" : "nan";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

QString TwoDigits(int n) {
    return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n);
}

} // namespace

std::string ExportLine(const DecodedRecord& r) {
    std::string line = std::to_string(r.Hours) + ':' + std::to_string(r.Minutes) + ':' +
                       std::to_string(r.Seconds) + ' ' + General(r.Value) + ' ';
    if (r.Kind == MeasurementKind::DoseRate)
        line += 'G';
    else if (r.Kind == MeasurementKind::BetaFlux)
        line += 'B';
    if (r.HasCoordinates)
        line += " Lat: " + General(double(r.Latitude)) + " Long: " + General(double(r.Longitude));
    line += "\r\n";
    return line;
}

void AppendExportLine(const DecodedRecord& record) {
    const std::string line = ExportLine(record);
    if (std::FILE* f = std::fopen(ExportFileName, "ab")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
}

QString TimeStampText(const DecodedRecord& r) {
    return TwoDigits(r.Hours) + ':' + TwoDigits(r.Minutes) + ':' + TwoDigits(r.Seconds) + ' ' +
           TwoDigits(r.Day) + '/' + TwoDigits(r.Month) + '/' + TwoDigits(r.Year - 2000);
}

QString ArchiveValueText(double value) {
    return FormatFixed(value, 6, 3);
}

bool ValueTextAbove(const QString& text, float threshold) {
    const QString t = text.trimmed();
    double value;
    if (t == QLatin1String("INF"))
        value = HUGE_VAL;
    else if (t == QLatin1String("-INF"))
        value = -HUGE_VAL;
    else {
        bool ok = false;
        value = QLocale().toDouble(t, &ok);
        if (!ok) return false;
    }
    return value > double(threshold);
}

std::optional<QString> WorkingTimeText(const TWorkingTime& w) {
    const QString d = QString::number(w.Days), h = QString::number(w.Hours),
                  m = QString::number(w.Minutes);
    if (LanguageIndex == 0) {
        if (w.Days != 0) {
            const char* word = w.Days == 1 ? "день" : (w.Days == 2 || w.Days == 3) ? "дня" : "дней";
            return QStringLiteral(" %1 %2 %3 ч %4 мин").arg(d, QString::fromUtf8(word), h, m);
        }
        if (w.Hours != 0) return QStringLiteral(" %1 ч %2 мин").arg(h, m);
        if (w.Minutes != 0) return QStringLiteral(" %1 мин").arg(m);
        return QStringLiteral(" 0 мин");
    }
    if (LanguageIndex == 1) {
        if (w.Days != 0)
            return QStringLiteral("%1 %2 %3 h %4 min")
                .arg(d, w.Days == 1 ? QStringLiteral("day") : QStringLiteral("days"), h, m);
        if (w.Hours != 0) return QStringLiteral("%1 h %2 min").arg(h, m);
        if (w.Minutes != 0) return QStringLiteral("%1 min").arg(m);
        return QStringLiteral("0 min");
    }
    return std::nullopt;
}

std::optional<QString> KindHeader(MeasurementKind kind) {
    switch (kind) {
    case MeasurementKind::DoseRate:
        return LangText("МЭД, мкЗв/ч", "Dose rate, uSv/h");
    case MeasurementKind::Activity:
        return LangText("ОА, Бк/г", "VA, Bk/g");
    case MeasurementKind::BetaFlux:
        return LangText("Бета, 1/(мин*см2)", "Beta, 1/(min*cm2)");
    case MeasurementKind::AlphaFlux:
        return LangText("Альфа, 1/(мин*см2)", "Alpha, 1/(min*cm2)");
    }
    return std::nullopt;
}

std::optional<QString> DamagedAnswersText(const std::vector<int>& slotNumbers) {
    const auto pattern = LangText(
        "Повреждённые ответы: %1 (записи %2). Эти строки могут повторять предыдущую запись.",
        "Damaged answers: %1 (records %2). These rows may repeat the record before them.");
    if (!pattern) return std::nullopt;
    QStringList numbers;
    for (size_t i = 0; i < slotNumbers.size() && i < 10; ++i)
        numbers << QString::number(slotNumbers[i]);
    QString list = numbers.join(QStringLiteral(", "));
    if (slotNumbers.size() > 10) list += QStringLiteral(", …");
    return pattern->arg(slotNumbers.size()).arg(list);
}
