// The INI integer rule on its own; reading and writing files is covered through prog.ini.
#include <gtest/gtest.h>

#include "base/IniFile.h"

TEST(IniFileTest, IntegerTexts) {
    struct {
        const char* text;
        std::optional<int32_t> value;
    } const cases[] = {
        {"0", 0},
        {"1", 1},
        {"+12", 12},
        {"-1", -1},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"$100000000", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"1.0", std::nullopt},
        {"12a", std::nullopt},
        {"--1", std::nullopt},
        {"٣", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseIniInteger(QString::fromUtf8(c.text)), c.value);
    }
}

TEST(IniFileTest, EveryLineKeepsItsOwnEnding) {
    struct {
        const char* before;
        const char* after;
    } const cases[] = {
        {"", "[Common]\nLanguage=1\n"},
        // The changed line keeps its end; the lines around it keep theirs.
        {"a=1\r\n[Common]\nLanguage=0\r\nb=2\n", "a=1\r\n[Common]\nLanguage=1\r\nb=2\n"},
        // A new key takes the end of the line it follows.
        {"[Common]\r\nTheme=x\n[Tail]\r\n", "[Common]\r\nTheme=x\nLanguage=1\n[Tail]\r\n"},
        {"[Common]\nTheme=x\r\n\n[Tail]\n", "[Common]\nTheme=x\r\nLanguage=1\r\n\n[Tail]\n"},
        // A last line without an end gets the end of the line before it.
        {"x=1\r\ny=2", "x=1\r\ny=2\r\n[Common]\r\nLanguage=1\r\n"},
        {"[Common]\nTheme=x", "[Common]\nTheme=x\nLanguage=1\n"},
        // A lone CR is no line end, and other bytes pass as they are.
        {"a\rb\n\r\n\xff", "a\rb\n\r\n\xff\r\n[Common]\r\nLanguage=1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        EXPECT_EQ(IniSetString(QByteArray(c.before), QStringLiteral("Common"),
                               QStringLiteral("Language"), QStringLiteral("1")),
                  QByteArray(c.after));
    }
}

TEST(IniFileTest, BinaryFileGainsOnlyTheNewLines) {
    // Random bytes with every kind of line end and NUL bytes, but no "[" to start a section.
    QByteArray binary;
    uint32_t x = 12345;
    for (int i = 0; i < 1000000; ++i) {
        x = x * 1103515245u + 12345u;
        const char c = static_cast<char>(x >> 24);
        binary += c == '[' ? '\0' : c;
    }
    const QByteArray out =
        IniSetString(binary, QStringLiteral("Common"), QStringLiteral("Language"), "1");
    ASSERT_TRUE(out.startsWith(binary));
    const QByteArray added = out.mid(binary.size());
    EXPECT_TRUE(added == "\n[Common]\nLanguage=1\n" || added == "\r\n[Common]\r\nLanguage=1\r\n" ||
                added == "[Common]\nLanguage=1\n" || added == "[Common]\r\nLanguage=1\r\n")
        << added.toStdString();
    EXPECT_EQ(IniFindString(out, QStringLiteral("common"), QStringLiteral("LANGUAGE")),
              QStringLiteral("1"));
}
