#include "base/WholeFile.h"

#include <QSaveFile>
#include <QString>

bool WriteFileWhole(const std::string& path, const std::string& content, std::string& error) {
    const QString name = QString::fromStdString(path);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(content.data(), qint64(content.size())) != qint64(content.size()) ||
        !file.commit()) {
        error = path + ": " + file.errorString().toStdString();
        return false;
    }
    error.clear();
    return true;
}
