#include <gtest/gtest.h>

#include "base/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(WriteFileWhole, WritesReplacesAndFailsWithoutLeavingAnything) {
    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath(QStringLiteral("a.csv")).toStdString();
    std::string error = "stale";
    ASSERT_TRUE(WriteFileWhole(path, "first,longer\r\n", error)) << error;
    EXPECT_TRUE(error.empty());
    ASSERT_TRUE(WriteFileWhole(path, "x\r\n", error)) << error;
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("x\r\n"));
    f.close();

    const std::string missing =
        QDir(dir.path()).filePath(QStringLiteral("no/such/b.csv")).toStdString();
    EXPECT_FALSE(WriteFileWhole(missing, "x", error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;

    // A folder in place of the file: refused, the folder and the rest untouched.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d")));
    const std::string folder = QDir(dir.path()).filePath(QStringLiteral("d")).toStdString();
    EXPECT_FALSE(WriteFileWhole(folder, "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("a.csv"), QStringLiteral("d")}));
}
