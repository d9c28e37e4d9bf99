#include "base/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// One line of the file and the line end that followed it ("\n", "\r\n" or nothing on a last line
// without one); the end is kept per line because files edited on several systems mix them.
struct TIniLine {
    QByteArray text;
    QByteArray end;
};

std::vector<TIniLine> SplitLines(const QByteArray& data) {
    std::vector<TIniLine> lines;
    int start = 0;
    while (start < data.size()) {
        int stop = data.indexOf('\n', start);
        TIniLine line;
        if (stop < 0) {
            line.text = data.mid(start);
            stop = data.size();
        } else if (stop > start && data[stop - 1] == '\r') {
            line.text = data.mid(start, stop - 1 - start);
            line.end = "\r\n";
        } else {
            line.text = data.mid(start, stop - start);
            line.end = "\n";
        }
        lines.push_back(line);
        start = stop + 1;
    }
    return lines;
}

// The line end a new line takes: that of the nearest line before it that has one.
QByteArray EndBefore(const std::vector<TIniLine>& lines, int index) {
    for (int i = std::min(index, static_cast<int>(lines.size())) - 1; i >= 0; --i)
        if (!lines[i].end.isEmpty()) return lines[i].end;
    return "\n";
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

std::optional<QByteArray> IniReadFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Only a regular file is read: a FIFO would block the program before its first window and a
    // device such as /dev/zero would never end. The type is checked before opening, since opening
    // some devices already acts on them, and again on what was opened, in case it was swapped.
    struct stat st;
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > IniFileLimit)
        return std::nullopt;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    QByteArray data;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        // One byte over the limit tells a file that grew since it was looked at.
        data.resize(IniFileLimit + 1);
        qsizetype got = 0;
        while (got < data.size()) {
            const ssize_t n = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            got += n;
        }
        data.resize(got);
        ok = ok && got <= IniFileLimit;
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return data;
}

std::optional<QString> IniFindString(const QByteArray& text, const QString& section,
                                     const QString& key) {
    bool inSection = false, seenSection = false;
    for (const TIniLine& line : SplitLines(text)) {
        if (auto name = SectionOf(line.text)) {
            if (seenSection) break; // only the first section of that name counts
            inSection = SameName(*name, section);
            seenSection = inSection;
            continue;
        }
        QByteArray value;
        if (inSection) {
            if (auto k = KeyOf(line.text, &value); k && SameName(*k, key)) {
                if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                    value.back() == value.front())
                    value = value.mid(1, value.size() - 2);
                return QString::fromUtf8(value);
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> IniReadString(const QString& path, const QString& section,
                                     const QString& key) {
    const auto text = IniReadFile(path);
    if (!text) return std::nullopt;
    return IniFindString(*text, section, key);
}

int32_t IniReadInteger(const QString& path, const QString& section, const QString& key,
                       int32_t defaultValue) {
    const auto text = IniReadString(path, section, key);
    if (!text) return defaultValue;
    return ParseIniInteger(*text).value_or(defaultValue);
}

QByteArray IniSetString(const QByteArray& text, const QString& section, const QString& key,
                        const QString& value) {
    std::vector<TIniLine> lines = SplitLines(text);
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();

    int sectionLine = -1, keyLine = -1, lastInSection = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (auto name = SectionOf(lines[i].text)) {
            if (sectionLine >= 0) break;
            if (SameName(*name, section)) sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0) continue;
        if (!lines[i].text.trimmed().isEmpty()) lastInSection = i;
        if (auto k = KeyOf(lines[i].text); k && SameName(*k, key)) {
            keyLine = i;
            break;
        }
    }
    if (keyLine >= 0) {
        lines[keyLine].text = entry;
    } else {
        // A new line goes after a line that must then end; a last line without an end gets the
        // one the lines before it use.
        const int at = sectionLine >= 0 ? lastInSection + 1 : static_cast<int>(lines.size());
        if (at > 0 && lines[at - 1].end.isEmpty()) lines[at - 1].end = EndBefore(lines, at - 1);
        const QByteArray end = EndBefore(lines, at);
        if (sectionLine >= 0) {
            lines.insert(lines.begin() + at, TIniLine{entry, end});
        } else {
            lines.push_back(TIniLine{'[' + section.toUtf8() + ']', end});
            lines.push_back(TIniLine{entry, end});
        }
    }
    QByteArray out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    for (const TIniLine& line : lines)
        out += line.text + line.end;
    return out;
}

bool IniWriteString(const QString& path, const QString& section, const QString& key,
                    const QString& value) {
    const QFileInfo info(path);
    QByteArray data;
    if (info.exists()) {
        // Without the old content the other lines could not be kept, and a read-only file stays
        // read-only even though the directory would let a new file replace it. What is not a file
        // that could be read (a FIFO, a device, too big) is not replaced either.
        if (!info.isWritable()) return false;
        const auto old = IniReadFile(path);
        if (!old) return false;
        data = *old;
    }
    const QByteArray out = IniSetString(data, section, key, value);
    // A file the next start could not read would lose the language without a word.
    if (out.size() > IniFileLimit) return false;

    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
