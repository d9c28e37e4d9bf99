// halvex-screenshots as a process: its pictures repeat from run to run, and --compare finds every
// picture that changed, went or came.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TRun {
    int Status = -1;
    QString Output;
};

TRun Screenshots(const QStringList& arguments, const QString& workDir,
                 const QString& zone = QString()) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!zone.isEmpty()) env.insert(QStringLiteral("TZ"), zone);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral(HALVEX_SCREENSHOTS_PATH), arguments);
    if (!p.waitForFinished(120000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput())};
}

void Picture(const QString& path, QRgb corner = qRgb(10, 20, 30)) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(200, 200, 200));
    image.setPixel(39, 29, corner);
    ASSERT_TRUE(image.save(path));
}

TEST(ScreenshotCompare, ListsChangedMissingAndNewPictures) {
    QTemporaryDir root;
    const QString oldDir = root.filePath("old"), newDir = root.filePath("new");
    QDir().mkpath(oldDir);
    QDir().mkpath(newDir);
    for (const char* name : {"same.png", "changed.png", "gone.png"})
        Picture(oldDir + '/' + name);
    Picture(newDir + "/same.png");
    Picture(newDir + "/changed.png", qRgb(10, 20, 31)); // one channel of one pixel off by one
    Picture(newDir + "/added.png");

    const TRun run = Screenshots({"--compare", oldDir, newDir}, root.path());
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(run.Output.contains("differs changed.png: 1 pixels")) << qPrintable(run.Output);
    EXPECT_TRUE(run.Output.contains("missing gone.png")) << qPrintable(run.Output);
    EXPECT_TRUE(run.Output.contains("new added.png")) << qPrintable(run.Output);
    EXPECT_FALSE(run.Output.contains("same.png")) << qPrintable(run.Output);
    EXPECT_FALSE(run.Output.contains("identical")) << qPrintable(run.Output);

    // A picture of another size differs as a whole, however its pixels compare.
    QImage(41, 30, QImage::Format_RGB32).save(newDir + "/gone.png");
    EXPECT_TRUE(Screenshots({"--compare", oldDir, newDir}, root.path())
                    .Output.contains("differs gone.png: size 40x30, now 41x30"));

    const TRun same = Screenshots({"--compare", oldDir, oldDir}, root.path());
    EXPECT_EQ(same.Status, 0);
    EXPECT_EQ(same.Output, "3 pictures identical\n");

    EXPECT_EQ(Screenshots({"--compare", oldDir, root.filePath("none")}, root.path()).Status, 2);
}

// Two runs in different zones of the machine give the same pictures; another start time shows.
TEST(ScreenshotCommand, PicturesRepeatExactlyAndFollowTheStartTime) {
    QTemporaryDir root;
    const QString a = root.filePath("a"), b = root.filePath("b"), c = root.filePath("c");
    ASSERT_EQ(Screenshots({a}, root.path(), "UTC0").Status, 0);
    ASSERT_EQ(Screenshots({b}, root.path(), "EST5EDT,M3.2.0,M11.1.0").Status, 0);
    const TRun same = Screenshots({"--compare", a, b}, root.path());
    EXPECT_EQ(same.Status, 0) << qPrintable(same.Output);
    EXPECT_TRUE(
        QRegularExpression("^[1-9][0-9]* pictures identical\n$").match(same.Output).hasMatch())
        << qPrintable(same.Output);

    ASSERT_EQ(Screenshots({"--start", "2026-01-02T03:04:05", c}, root.path()).Status, 0);
    const TRun other = Screenshots({"--compare", a, c}, root.path());
    EXPECT_EQ(other.Status, 1);
    EXPECT_TRUE(other.Output.contains("differs main-ru-1-measurement.png"))
        << qPrintable(other.Output);

    for (const char* start : {"2026-02-30T10:00:00", "2026-06-15", "-1", "99999999999999"})
        EXPECT_EQ(Screenshots({"--start", start, c}, root.path()).Status, 2) << start;
}

} // namespace
