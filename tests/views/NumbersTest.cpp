#include <cmath>
#include <QLocale>
#include <gtest/gtest.h>

#include "views/Numbers.h"

namespace {

struct TFixedCase {
    double X;
    int Precision, Decimals;
    const char* Text;
};

// Rounding is half away from zero on the decimal digits, and the significant-digit limit both
// pads with zeros and, past the integer digits it allows, falls back to exponent form.
TEST(Numbers, FixedForm) {
    QLocale::setDefault(QLocale::c());
    const TFixedCase cases[] = {
        {0.123, 8, 3, "0.123"},      {9.9996, 8, 3, "10.000"},    {999.97, 4, 1, "1000.0"},
        {3.25, 4, 1, "3.3"},         {12.5, 15, 0, "13"},         {-12.5, 15, 0, "-13"},
        {12.3456, 4, 3, "12.350"},   {1234.5678, 4, 1, "1235.0"}, {12345.6, 4, 1, "1.235E4"},
        {-0.0001, 4, 1, "0.0"},      {0.0006, 8, 3, "0.001"},     {0.0, 8, 3, "0.000"},
        {-12.5, 4, 1, "-12.5"},      {1e20, 8, 3, "1E20"},
    };
    for (const TFixedCase& c : cases)
        EXPECT_EQ(FormatFixed(c.X, c.Precision, c.Decimals), QString::fromLatin1(c.Text))
            << c.X << " " << c.Precision << " " << c.Decimals;
    EXPECT_EQ(FormatFixed(std::nan(""), 8, 3), "NAN");
    EXPECT_EQ(FormatFixed(-INFINITY, 8, 3), "-INF");
}

TEST(Numbers, ThresholdFormAndLocaleSeparator) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(FormatThreshold(0.3), "3.00E-01");
    EXPECT_EQ(FormatThreshold(10), "1.00E+01");
    EXPECT_EQ(FormatThreshold(0), "0.00E+00");
    EXPECT_EQ(FormatThreshold(1.125), "1.13E+00");
    EXPECT_EQ(FormatThreshold(-0.00012345), "-1.23E-04");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(FormatThreshold(0.3), "3,00E-01");
    EXPECT_EQ(FormatFixed(0.123, 8, 3), "0,123");
    QLocale::setDefault(QLocale::c());
}

} // namespace
