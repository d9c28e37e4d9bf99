// The INI integer rule on its own; reading and writing files is covered through prog.ini.
#include <gtest/gtest.h>

#include "ui/IniFile.h"

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
