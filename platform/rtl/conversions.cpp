#include "conversions.h"

#include "exception.h"
#include "formatsettings.h"

#include <charconv>
#include <cmath>
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

bool IsBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

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
    const std::string ascii = number.digits + 'e' + std::to_string(number.exponent);
    double parsed = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed);
    if (error == std::errc::result_out_of_range) {
        // Too small to represent is zero; too large is not a number we can hold.
        const size_t firstNonZero = number.digits.find_first_not_of('0');
        const int64_t magnitude = int64_t(number.digits.size() - firstNonZero) + number.exponent;
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

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("Nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("+Inf") : QStringLiteral("-Inf");
    if (value == 0)
        return QStringLiteral("0");

    // The classic runtime first takes 17 correctly rounded digits and then rounds those half
    // up to 15; doing the same keeps every last digit equal to its output.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 16);
    const std::string_view text(buffer, size_t(result.ptr - buffer)); // d.dddddddddddddddde±x
    std::string digits;
    digits.push_back(text[0]);
    digits.append(text.substr(2, 16));
    int exponent = std::stoi(std::string(text.substr(text.find('e') + 1)));

    constexpr int kPrecision = 15;
    const bool roundUp = digits[kPrecision] >= '5';
    digits.resize(kPrecision);
    if (roundUp) {
        int i = kPrecision - 1;
        while (i >= 0 && digits[size_t(i)] == '9')
            digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++digits[size_t(i)];
        } else {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const QChar separator = FormatSettings.DecimalSeparator;
    QString out;
    if (value < 0)
        out += u'-';
    const QString all = QString::fromLatin1(digits.data(), qsizetype(digits.size()));
    if (exponent >= -5 && exponent < kPrecision) {
        if (exponent >= 0) {
            const qsizetype integerDigits = exponent + 1;
            out += all.left(integerDigits);
            if (all.size() < integerDigits)
                out += QString(integerDigits - all.size(), u'0');
            if (all.size() > integerDigits)
                out += separator + all.mid(integerDigits);
        } else {
            out += u'0';
            out += separator;
            out += QString(-exponent - 1, u'0');
            out += all;
        }
    } else {
        out += all.at(0);
        if (all.size() > 1)
            out += separator + all.mid(1);
        out += u'E';
        out += QString::number(exponent);
    }
    return out;
}

bool TryStrToCurr(const QString &text, Currency &value)
{
    DecimalText number;
    if (!ScanDecimal(text, number))
        return false;
    std::string digits = number.digits;
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
