#include "ui/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

namespace {

// Splits the file into lines, remembering whether it ended with a line end and which one it uses.
std::vector<QByteArray> SplitLines(const QByteArray& data, bool& endsWithBreak, QByteArray& eol) {
    eol = data.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    std::vector<QByteArray> lines;
    endsWithBreak = data.isEmpty() || data.endsWith('\n');
    int start = 0;
    while (start < data.size()) {
        int end = data.indexOf('\n', start);
        if (end < 0) end = data.size();
        QByteArray line = data.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line.
std::optional<QByteArray> SectionOf(const QByteArray& line) {
    QByteArray t = line.trimmed();
    // Editors that save UTF-8 often put a byte-order mark before the first section.
    if (t.startsWith("\xEF\xBB\xBF")) t = t.mid(3).trimmed();
    if (!t.startsWith('[')) return std::nullopt;
    const int close = t.indexOf(']');
    if (close < 0) return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line; comments have none.
std::optional<QByteArray> KeyOf(const QByteArray& line, QByteArray* value = nullptr) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('[')) return std::nullopt;
    const int eq = t.indexOf('=');
    if (eq <= 0) return std::nullopt;
    if (value) *value = t.mid(eq + 1).trimmed();
    return t.left(eq).trimmed();
}

bool SameName(const QByteArray& a, const QString& b) {
    return QString::fromUtf8(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

std::optional<uint32_t> ParseDigits(const QString& digits, int base, uint64_t limit) {
    if (digits.isEmpty()) return std::nullopt;
    uint64_t value = 0;
    for (QChar c : digits) {
        const int d =
            c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
            : base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')
                ? c.toLower().unicode() - 'a' + 10
                : -1;
        if (d < 0) return std::nullopt;
        value = value * base + d;
        if (value > limit) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

} // namespace

std::optional<int32_t> ParseIniInteger(const QString& text) {
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t.remove(0, 1);
    }
    if (t.startsWith(QLatin1Char('$')) || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        // Hexadecimal fills all 32 bits, so $FFFFFFFF is -1 as it is in the files others wrote.
        const auto v =
            ParseDigits(t.mid(t.startsWith(QLatin1Char('$')) ? 1 : 2), 16, 0xFFFFFFFFull);
        if (!v) return std::nullopt;
        const auto s = static_cast<int32_t>(*v);
        return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(s)) : s;
    }
    const auto v = ParseDigits(t, 10, negative ? 2147483648ull : 2147483647ull);
    if (!v) return std::nullopt;
    return negative ? static_cast<int32_t>(0u - *v) : static_cast<int32_t>(*v);
}

std::optional<QString> IniReadString(const QString& path, const QString& section,
                                     const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    bool endsWithBreak;
    QByteArray eol;
    const std::vector<QByteArray> lines = SplitLines(file.readAll(), endsWithBreak, eol);
    bool inSection = false, seenSection = false;
    for (const QByteArray& line : lines) {
        if (auto name = SectionOf(line)) {
            if (seenSection) break; // only the first section of that name counts
            inSection = SameName(*name, section);
            seenSection = inSection;
            continue;
        }
        QByteArray value;
        if (inSection) {
            if (auto k = KeyOf(line, &value); k && SameName(*k, key)) {
                if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                    value.back() == value.front())
                    value = value.mid(1, value.size() - 2);
                return QString::fromUtf8(value);
            }
        }
    }
    return std::nullopt;
}

int32_t IniReadInteger(const QString& path, const QString& section, const QString& key,
                       int32_t defaultValue) {
    const auto text = IniReadString(path, section, key);
    if (!text) return defaultValue;
    return ParseIniInteger(*text).value_or(defaultValue);
}

bool IniWriteString(const QString& path, const QString& section, const QString& key,
                    const QString& value) {
    const QFileInfo info(path);
    QByteArray data;
    if (info.exists()) {
        // Without the old content the other lines could not be kept, and a read-only file stays
        // read-only even though the directory would let a new file replace it.
        if (info.isDir() || !info.isWritable()) return false;
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) return false;
        data = old.readAll();
    }
    bool endsWithBreak;
    QByteArray eol;
    std::vector<QByteArray> lines = SplitLines(data, endsWithBreak, eol);
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();

    int sectionLine = -1, keyLine = -1, lastInSection = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (auto name = SectionOf(lines[i])) {
            if (sectionLine >= 0) break;
            if (SameName(*name, section)) sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0) continue;
        if (!lines[i].trimmed().isEmpty()) lastInSection = i;
        if (auto k = KeyOf(lines[i]); k && SameName(*k, key)) {
            keyLine = i;
            break;
        }
    }
    if (keyLine >= 0) {
        lines[keyLine] = entry;
    } else if (sectionLine >= 0) {
        lines.insert(lines.begin() + lastInSection + 1, entry);
    } else {
        lines.push_back('[' + section.toUtf8() + ']');
        lines.push_back(entry);
        endsWithBreak = true;
    }
    QByteArray out;
    for (size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || endsWithBreak) out += eol;
    }

    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
