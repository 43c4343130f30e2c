#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace NumberText {

namespace {

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Past leading white space and one sign, as the C runtime reads numbers;
// whether the sign was a minus.
bool skipSpaceAndSign(const char*& p, const char* end)
{
    while (p < end && isCSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    return negative;
}

// The first number of the text, as the C runtime would find it.
double leadingReal(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    const bool negative = skipSpaceAndSign(p, end);
    // A number starts with a digit or a point: "inf" and "nan" are words here,
    // and from_chars takes no sign of its own.
    if (p == end || !((*p >= '0' && *p <= '9') || *p == '.'))
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument)
        return 0.0;
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone: saturate as strtod does.
        value = std::numeric_limits<double>::infinity();
        // An underflow is reported the same way; tell them apart by the exponent.
        for (const char* q = p; q < result.ptr; ++q) {
            if (*q == 'e' || *q == 'E') {
                if (q + 1 < result.ptr && q[1] == '-')
                    value = 0.0;
                break;
            }
        }
    }
    return negative ? -value : value;
}

}  // namespace

double ToReal(const QString& text)
{
    return leadingReal(text.toLatin1());
}

std::int32_t ToInt32(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    const bool negative = skipSpaceAndSign(p, end);
    std::int64_t value = 0;
    const std::int64_t limit = negative ? -std::int64_t(std::numeric_limits<std::int32_t>::min())
                                        : std::int64_t(std::numeric_limits<std::int32_t>::max());
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return std::int32_t(negative ? -value : value);
}

QString FormatPrecision(double value, int decimals)
{
    // to_chars rounds the exact binary value, as the C runtime does, and
    // never looks at the locale.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, 40));
    if (result.ec != std::errc())
        return QString();
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString FormatFixed(double value, int decimals)
{
    if (decimals == 0) {
        if (std::isnan(value))
            return QStringLiteral("0");
        constexpr double top = 9.2e18;
        const double whole = std::trunc(std::clamp(value, -top, top));
        return QString::number(static_cast<qint64>(whole));
    }
    return FormatPrecision(value, decimals);
}

QString FormatLf(double value)
{
    return FormatPrecision(value, 6);
}

bool HasWordCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 65 && c.unicode() <= 122)
            return true;
    }
    return false;
}

}  // namespace NumberText
