#include "views/Numbers.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

QChar DecimalSeparator()
{
    const QString s = QLocale().decimalPoint();
    return s.isEmpty() ? QChar('.') : s.at(0);
}

static QString Localised(std::string s)
{
    QString out = QString::fromLatin1(s.c_str());
    out.replace(QChar('.'), DecimalSeparator());
    return out;
}

static bool NotFinite(double x, QString& out)
{
    if (std::isnan(x)) out = QStringLiteral("NAN");
    else if (std::isinf(x)) out = x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    else return false;
    return true;
}

// Digits and decimal exponent of x rounded once to `significant` digits: x ~ d.ddd * 10^exp.
static void RoundSignificant(double x, int significant, std::string& digits, int& exp, bool& neg)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, x);
    std::string s(buf);
    neg = s[0] == '-';
    if (neg) s.erase(0, 1);
    const size_t e = s.find('e');
    exp = std::atoi(s.c_str() + e + 1);
    digits.clear();
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') digits += s[i];
}

// General form: shortest digits, exponent without a plus sign ("1.235E4", "1E-20").
static std::string GeneralForm(const std::string& digits, int exp, bool neg)
{
    std::string d = digits;
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    std::string out = neg ? "-" : "";
    out += d[0];
    if (d.size() > 1) out += "." + d.substr(1);
    return out + "E" + std::to_string(exp);
}

QString FormatFixed(double x, int precision, int decimals)
{
    QString special;
    if (NotFinite(x, special)) return special;
    if (x == 0) x = 0; // no "-0.000"
    const int integerDigits = x == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
    char buf[512];
    if (integerDigits + decimals <= precision) {
        // The decimals bound the digits: one rounding by printf is exact.
        std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
        std::string s(buf);
        if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
        return Localised(s);
    }
    std::string digits;
    int exp;
    bool neg;
    RoundSignificant(x, precision, digits, exp, neg);
    if (exp + 1 > precision) return Localised(GeneralForm(digits, exp, neg));
    // Expand d.ddd * 10^exp into fixed form with `decimals` places, padding with zeros.
    std::string out = neg ? "-" : "";
    if (exp >= 0) {
        for (int i = 0; i <= exp; ++i) out += i < int(digits.size()) ? digits[i] : '0';
        std::string frac = int(digits.size()) > exp + 1 ? digits.substr(exp + 1) : "";
        frac.resize(decimals, '0');
        if (decimals > 0) out += "." + frac;
    } else {
        std::string frac = std::string(-exp - 1, '0') + digits;
        frac.resize(decimals, '0');
        out += "0";
        if (decimals > 0) out += "." + frac;
    }
    return Localised(out);
}

QString FormatThreshold(double x)
{
    QString special;
    if (NotFinite(x, special)) return special;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2E", x);
    std::string s(buf); // d.ddE+xx with at least two exponent digits, as printf gives it
    return Localised(s);
}
