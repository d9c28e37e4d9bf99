// The command line of halvex, read before any window exists.
#include "app/ProgramOptions.h"

#include <gtest/gtest.h>

namespace {

TProgramOptions Parse(QStringList arguments, bool expectOk = true) {
    arguments.prepend(QStringLiteral("halvex"));
    TProgramOptions o;
    QString error;
    EXPECT_EQ(ParseProgramOptions(arguments, o, error), expectOk)
        << arguments.join(' ').toStdString() << ": " << error.toStdString();
    if (!expectOk) {
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(error.contains('\n')) << "one line";
    }
    return o;
}

TEST(ProgramOptions, NoArgumentsChangeNothing) {
    const TProgramOptions o = Parse({});
    EXPECT_FALSE(o.Help || o.Version || o.Verbose);
    EXPECT_EQ(o.Port, 0);
    EXPECT_FALSE(o.Language.has_value());
    EXPECT_TRUE(o.WireLog.isEmpty());
}

TEST(ProgramOptions, ReadsEveryOptionAndLetsQtsOwnThrough) {
    const TProgramOptions o =
        Parse({"--port", "254", "--language", "EN", "--wire-log", "/tmp/w.log", "--verbose",
               "-platform", "offscreen", "-style=Fusion", "--reverse"});
    EXPECT_EQ(o.Port, 254);
    EXPECT_EQ(o.Language, std::optional<uint8_t>(1));
    EXPECT_EQ(o.WireLog, QStringLiteral("/tmp/w.log"));
    EXPECT_TRUE(o.Verbose);
    EXPECT_EQ(Parse({"--language", "ru"}).Language, std::optional<uint8_t>(0));
    EXPECT_TRUE(Parse({"-h"}).Help);
    EXPECT_TRUE(Parse({"--help"}).Help);
    EXPECT_TRUE(Parse({"-v"}).Version);
    EXPECT_TRUE(Parse({"--version"}).Version);
}

TEST(ProgramOptions, RefusesWhatItDoesNotKnowWithOneLine) {
    const QStringList bad[] = {{"--bogus"},
                               {"-x"},
                               {"--port"},
                               {"--port", "0"},
                               {"--port", "256"},
                               {"--port", "COM3"},
                               {"--language", "de"},
                               {"--wire-log", ""},
                               {"stray"}};
    for (const QStringList& args : bad)
        Parse(args, false);
}

} // namespace
