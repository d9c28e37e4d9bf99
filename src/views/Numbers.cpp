#include "views/Numbers.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
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

// x as 18 significant decimal digits: |x| = d.ddd... * 10^exp. Rounding then works on these
// digits, half away from zero, so 3.25 shows as 3.3 and 12.5 % as 13 %, as operators expect.
struct TDecimal {
    std::string Digits;
    int Exp = 0;
    bool Negative = false;
};

static TDecimal Decompose(double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(x));
    TDecimal d;
    d.Negative = std::signbit(x);
    const char* e = std::strchr(buf, 'e');
    d.Exp = std::atoi(e + 1);
    for (const char* p = buf; p < e; ++p)
        if (*p != '.') d.Digits += *p;
    return d;
}

// Keeps the first `keep` digits, rounding half up on the next one; keep may be 0 or less.
static void RoundTo(TDecimal& d, int keep)
{
    if (keep < 0) keep = 0, d.Digits = "0";
    const bool up = keep < int(d.Digits.size()) && d.Digits[keep] >= '5';
    d.Digits.resize(keep, '0');
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
        if (i >= 0) {
            ++d.Digits[i];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exp;
            if (keep > 0) d.Digits.pop_back();
        }
    }
    if (d.Digits.empty() || d.Digits.find_first_not_of('0') == std::string::npos) {
        d.Digits = "0";
        d.Exp = 0;
        d.Negative = false;
    }
}

// General form: shortest digits, exponent without a plus sign ("1.235E4", "1E-20").
static std::string GeneralForm(std::string digits, int exp, bool neg)
{
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = neg ? "-" : "";
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    return out + "E" + std::to_string(exp);
}

QString FormatFixed(double x, int precision, int decimals)
{
    QString special;
    if (NotFinite(x, special)) return special;
    TDecimal d = Decompose(x);
    if (x == 0) d = TDecimal{"0", 0, false};
    const int integerDigits = d.Exp + 1;
    RoundTo(d, std::min(precision, integerDigits + decimals));
    if (d.Digits != "0" && d.Exp + 1 > precision) return Localised(GeneralForm(d.Digits, d.Exp, d.Negative));
    // Expand d.ddd * 10^exp into fixed form with `decimals` places, padding with zeros.
    std::string out = d.Negative ? "-" : "";
    std::string frac;
    if (d.Digits == "0") {
        out += "0";
    } else if (d.Exp >= 0) {
        for (int i = 0; i <= d.Exp; ++i) out += i < int(d.Digits.size()) ? d.Digits[i] : '0';
        if (int(d.Digits.size()) > d.Exp + 1) frac = d.Digits.substr(d.Exp + 1);
    } else {
        out += "0";
        frac = std::string(-d.Exp - 1, '0') + d.Digits;
    }
    frac.resize(decimals, '0');
    if (decimals > 0) out += "." + frac;
    return Localised(out);
}

QString FormatThreshold(double x)
{
    QString special;
    if (NotFinite(x, special)) return special;
    TDecimal d = Decompose(x);
    if (x == 0) d = TDecimal{"000", 0, false};
    else RoundTo(d, 3);
    d.Digits.resize(3, '0');
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", d.Exp < 0 ? '-' : '+', std::abs(d.Exp));
    std::string out = d.Negative ? "-" : "";
    out += d.Digits.substr(0, 1) + "." + d.Digits.substr(1) + exp;
    return Localised(out);
}

std::string ShortestFloatText(float x)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}
