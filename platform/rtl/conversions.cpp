#include "conversions.h"

#include "exception.h"
#include "formatsettings.h"
#include "strutils.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

namespace {

using uint128 = unsigned __int128;

// A decimal number as scanned from text: value = digits × 10^exponent.
struct DecimalText
{
    bool negative = false;
    std::string digits; // at least one digit, leading zeros kept
    int64_t exponent = 0;
};

// An exponent beyond this cannot give a finite double or a currency value; clamping it keeps
// "1e99999999999999999999" from overflowing the counter.
constexpr int64_t kExponentCap = 100000;

bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// [blanks] [sign] digits [separator digits] [e|E [sign] digits] [blanks], with at least one
// digit before the exponent and at least one in it.
bool ScanDecimal(const QString &text, DecimalText &out)
{
    qsizetype i = 0;
    qsizetype n = text.size();
    while (i < n && IsBlank(text.at(i)))
        ++i;
    while (n > i && IsBlank(text.at(n - 1)))
        --n;
    out = DecimalText();
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        out.negative = text.at(i) == u'-';
        ++i;
    }
    int64_t fractionDigits = 0;
    while (i < n && IsAsciiDigit(text.at(i)))
        out.digits.push_back(char(text.at(i++).unicode()));
    if (i < n && text.at(i) == FormatSettings.DecimalSeparator) {
        ++i;
        while (i < n && IsAsciiDigit(text.at(i))) {
            out.digits.push_back(char(text.at(i++).unicode()));
            ++fractionDigits;
        }
    }
    if (out.digits.empty())
        return false;
    int64_t exponent = 0;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
            negativeExponent = text.at(i) == u'-';
            ++i;
        }
        if (i >= n || !IsAsciiDigit(text.at(i)))
            return false;
        while (i < n && IsAsciiDigit(text.at(i))) {
            exponent = std::min(exponent * 10 + (text.at(i++).unicode() - u'0'), kExponentCap);
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return false;
    out.exponent = exponent - fractionDigits;
    return true;
}

[[noreturn]] void RaiseInvalidFloat(const QString &text)
{
    throw EConvertError(QStringLiteral("\"%1\" is an invalid float").arg(text));
}

} // namespace

bool TryStrToFloat(const QString &text, double &value)
{
    DecimalText number;
    if (!ScanDecimal(text, number))
        return false;
    // The digits, 'e' and the exponent, written after the digits in their own string.
    std::string &ascii = number.digits;
    const size_t digitCount = ascii.size();
    char exponent[24];
    ascii += 'e';
    ascii.append(exponent, std::to_chars(std::begin(exponent), std::end(exponent), number.exponent).ptr);
    double parsed = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed);
    if (error == std::errc::result_out_of_range) {
        // Too small to represent is zero; too large is not a number we can hold.
        const size_t firstNonZero = ascii.find_first_not_of('0');
        const int64_t magnitude = int64_t(digitCount - firstNonZero) + number.exponent;
        if (magnitude > 0)
            return false;
        parsed = 0;
    } else if (error != std::errc() || end != ascii.data() + ascii.size()) {
        return false;
    }
    value = number.negative ? -parsed : parsed;
    return true;
}

double StrToFloat(const QString &text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        RaiseInvalidFloat(text);
    return value;
}

namespace {

// The significant digits of a positive finite double: digits[0..count) with
// the first one standing for 10^exponent.
struct FloatDigits
{
    char digits[24];
    int count = 0;
    int exponent = 0;
};

constexpr int kPrecision = 15;

// Numbers with at most 15 digits and a few decimals, the common case, need
// no rounding: when n / 10^k gives back the value (the division rounds
// correctly), the value is the double nearest to that decimal, and both
// its 17-digit text and the rounding of that to 15 digits are n / 10^k.
bool ShortDigits(double magnitude, FloatDigits &out)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr double kLimit = 1e15; // 15 digits
    if (!(magnitude >= 1e-5 && magnitude < kLimit))
        return false;
    for (int k = 0; k < int(std::size(kPowers)); ++k) {
        const double scaled = magnitude * kPowers[k];
        if (scaled >= kLimit)
            return false;
        if (scaled != std::floor(scaled) || scaled / kPowers[k] != magnitude)
            continue;
        uint64_t n = uint64_t(scaled);
        int count = 1;
        while (count < 15 && scaled >= kPowers[count])
            ++count;
        // Two digits per step, from the last one back.
        static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                         "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                         "8081828384858687888990919293949596979899";
        char *p = out.digits + count;
        while (n >= 100) {
            const unsigned pair = unsigned(n % 100);
            n /= 100;
            p -= 2;
            p[0] = kPairs[2 * pair];
            p[1] = kPairs[2 * pair + 1];
        }
        if (n >= 10) {
            p[-2] = kPairs[2 * n];
            p[-1] = kPairs[2 * n + 1];
        } else {
            p[-1] = char('0' + n);
        }
        out.count = count;
        out.exponent = count - 1 - k;
        return true;
    }
    return false;
}

// The classic runtime first takes 17 correctly rounded digits and then rounds those half
// up to 15; doing the same keeps every last digit equal to its output.
void RoundedDigits(double magnitude, FloatDigits &out)
{
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 16);
    // d.dddddddddddddddde±x
    out.digits[0] = text[0];
    std::copy(text + 2, text + 18, out.digits + 1);
    const char *p = text + 19;
    const bool negative = *p == '-';
    int exponent = 0;
    for (++p; p < result.ptr; ++p)
        exponent = exponent * 10 + (*p - '0');
    out.exponent = negative ? -exponent : exponent;
    out.count = kPrecision;
    if (out.digits[kPrecision] >= '5') {
        int i = kPrecision - 1;
        while (i >= 0 && out.digits[i] == '9')
            out.digits[i--] = '0';
        if (i >= 0) {
            ++out.digits[i];
        } else {
            out.digits[0] = '1';
            std::fill(out.digits + 1, out.digits + kPrecision, '0');
            ++out.exponent;
        }
    }
}

} // namespace

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("Nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("+Inf") : QStringLiteral("-Inf");
    if (value == 0)
        return QStringLiteral("0");

    FloatDigits d;
    const double magnitude = std::fabs(value);
    if (!ShortDigits(magnitude, d))
        RoundedDigits(magnitude, d);
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;

    // The text is written straight into the string, its length worked out
    // first: building it in a buffer and copying that costs a copy of data
    // just written, which is slow on some processors.
    const bool fixed = d.exponent >= -5 && d.exponent < kPrecision;
    const int integerDigits = d.exponent + 1;
    const int magnitudeDigits = d.exponent < 0 ? -d.exponent : d.exponent;
    const int exponentDigits = magnitudeDigits >= 100 ? 3 : magnitudeDigits >= 10 ? 2 : 1;
    qsizetype length = value < 0 ? 1 : 0;
    if (!fixed)
        length += 1 + (d.count > 1 ? d.count : 0) + 1 + (d.exponent < 0 ? 1 : 0) + exponentDigits;
    else if (d.exponent >= 0)
        length += integerDigits + (d.count > integerDigits ? 1 + d.count - integerDigits : 0);
    else
        length += 2 + (-d.exponent - 1) + d.count;

    const char16_t separator = FormatSettings.DecimalSeparator.unicode();
    QString text(length, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    if (value < 0)
        *out++ = u'-';
    if (fixed) {
        if (d.exponent >= 0) {
            for (int i = 0; i < integerDigits; ++i)
                *out++ = i < d.count ? char16_t(d.digits[i]) : u'0';
            if (d.count > integerDigits) {
                *out++ = separator;
                for (int i = integerDigits; i < d.count; ++i)
                    *out++ = char16_t(d.digits[i]);
            }
        } else {
            *out++ = u'0';
            *out++ = separator;
            for (int i = 0; i < -d.exponent - 1; ++i)
                *out++ = u'0';
            for (int i = 0; i < d.count; ++i)
                *out++ = char16_t(d.digits[i]);
        }
    } else {
        *out++ = char16_t(d.digits[0]);
        if (d.count > 1) {
            *out++ = separator;
            for (int i = 1; i < d.count; ++i)
                *out++ = char16_t(d.digits[i]);
        }
        *out++ = u'E';
        if (d.exponent < 0)
            *out++ = u'-';
        out += exponentDigits;
        for (int exponent = magnitudeDigits, i = 1; i <= exponentDigits; ++i, exponent /= 10)
            out[-i] = char16_t(u'0' + exponent % 10);
    }
    Q_ASSERT(out == reinterpret_cast<const char16_t *>(text.constData()) + length);
    return text;
}

bool TryStrToCurr(const QString &text, Currency &value)
{
    DecimalText number;
    if (!ScanDecimal(text, number))
        return false;
    std::string &digits = number.digits;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    // Units of 0.0001: value = digits × 10^scale units.
    const int64_t scale = number.exponent + 4;
    constexpr size_t kMaxDigits = 19; // an int64 holds at most 19 decimal digits
    uint128 units = 0;
    if (scale >= 0) {
        if (!digits.empty() && int64_t(digits.size()) + scale > int64_t(kMaxDigits))
            return false;
        for (char c : digits)
            units = units * 10 + unsigned(c - '0');
        for (int64_t i = 0; i < scale && units != 0; ++i)
            units *= 10;
    } else {
        const int64_t kept = int64_t(digits.size()) + scale; // digits left of the cut
        if (kept > int64_t(kMaxDigits))
            return false;
        for (int64_t i = 0; i < kept; ++i)
            units = units * 10 + unsigned(digits[size_t(i)] - '0');
        if (kept >= 0 && size_t(kept) < digits.size()) {
            // Round half to even on the exact decimal digits that are cut off.
            const char first = digits[size_t(kept)];
            const bool moreAfter =
                digits.find_first_not_of('0', size_t(kept) + 1) != std::string::npos;
            if (first > '5' || (first == '5' && (moreAfter || (units & 1) != 0)))
                ++units;
        }
    }
    const uint128 limit = number.negative ? uint128(std::numeric_limits<int64_t>::max()) + 1
                                          : uint128(std::numeric_limits<int64_t>::max());
    if (units > limit)
        return false;
    value.Value = number.negative ? int64_t(0 - uint64_t(units)) : int64_t(units);
    return true;
}

Currency StrToCurr(const QString &text)
{
    Currency value;
    if (!TryStrToCurr(text, value))
        RaiseInvalidFloat(text);
    return value;
}

QString CurrToStr(Currency value)
{
    const bool negative = value.Value < 0;
    const uint64_t magnitude = negative ? 0 - uint64_t(value.Value) : uint64_t(value.Value);
    QString out = QString::number(magnitude / 10000);
    if (negative)
        out.prepend(u'-');
    QString fraction = QString::number(magnitude % 10000).rightJustified(4, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        out += FormatSettings.DecimalSeparator + fraction;
    return out;
}
