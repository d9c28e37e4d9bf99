// Every checked-in fuzz input, fed to its target: what the fuzzer once found stays mended, and
// every run exercises the targets' checks.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fuzz/FuzzTargets.h"

// Test names and messages show the target by its name.
void PrintTo(const TFuzzTarget& target, std::ostream* out) {
    *out << target.Name;
}

namespace {

class CorpusReplay : public ::testing::TestWithParam<TFuzzTarget> {};

TEST_P(CorpusReplay, EveryInputPassesItsChecks) {
    const TFuzzTarget target = GetParam();
    const QDir dir(QStringLiteral(HALVEX_CORPUS_DIR "/") + QString::fromLatin1(target.Name));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    EXPECT_FALSE(names.isEmpty()) << "no corpus in " << dir.path().toStdString();
    QString current;
    SetFuzzFailureHandler(
        [&current](const char* what) { ADD_FAILURE() << current.toStdString() << ": " << what; });
    for (const QString& name : names) {
        current = name;
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray input = file.readAll();
        target.Entry(reinterpret_cast<const uint8_t*>(input.constData()),
                     static_cast<size_t>(input.size()));
    }
    SetFuzzFailureHandler(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay,
                         ::testing::ValuesIn(FuzzTargets, FuzzTargets + FuzzTargetCount),
                         [](const ::testing::TestParamInfo<TFuzzTarget>& info) {
                             std::string name = info.param.Name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

} // namespace
