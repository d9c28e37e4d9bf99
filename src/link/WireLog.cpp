#include "link/WireLog.h"

#include <QDateTime>

QString WireLogLine(TWireEvent event, const uint8_t* data, int n, qint64 ms, bool english) {
    QString line =
        QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz "));
    switch (event) {
    case TWireEvent::Opened:
        if (Link.PortHandle) return line + QStringLiteral("COM%1 opened").arg(n);
        if (LastOpenProblem.Empty()) return QString();
        return line + QStringLiteral("COM%1: %2")
                          .arg(n)
                          .arg(QString::fromStdString(LastOpenProblem.In(english)));
    case TWireEvent::Sent:
        line += QLatin1String(">");
        break;
    case TWireEvent::Received:
        line += QLatin1String("<");
        if (n <= 0) return line + QStringLiteral(" (nothing)");
        break;
    }
    const QByteArray hex = QByteArray(reinterpret_cast<const char*>(data), n).toHex(' ').toUpper();
    return line + QLatin1Char(' ') + QString::fromLatin1(hex);
}

bool TWireLog::Open(const QString& path, QString& error) {
    File.setFileName(path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        error = QStringLiteral("%1: %2").arg(path, File.errorString());
        return false;
    }
    return true;
}

void TWireLog::Record(TWireEvent event, const uint8_t* data, int n, bool english) {
    if (!File.isOpen()) return;
    const QString line = WireLogLine(event, data, n, QDateTime::currentMSecsSinceEpoch(), english);
    if (line.isEmpty()) return;
    File.write(line.toUtf8() + '\n');
    File.flush();
}
