// Expected values of these tables were produced by Free Pascal 3.2.2's SysUtils with the same
// format settings; rows marked as deliberate differences say why they differ.
#include "conversions.h"
#include "exception.h"
#include "formatsettings.h"

#include <QDate>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

enum Style { kUs, kDe, kDeAmPm };

void ApplyStyle(Style style)
{
    FormatSettings = TFormatSettings::Defaults();
    if (style == kUs)
        return;
    FormatSettings.DecimalSeparator = u',';
    FormatSettings.ThousandSeparator = u'.';
    FormatSettings.DateSeparator = u'.';
    FormatSettings.TimeSeparator = u':';
    FormatSettings.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    FormatSettings.LongDateFormat = QStringLiteral("dddd, d. mmmm yyyy");
    FormatSettings.ShortTimeFormat = QStringLiteral("hh:nn");
    FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
    if (style == kDeAmPm) {
        FormatSettings.TimeAMString = QStringLiteral("vorm.");
        FormatSettings.TimePMString = QStringLiteral("nachm.");
    }
}

template<typename Row>
class SettingsTest : public ::testing::TestWithParam<Row>
{
protected:
    void TearDown() override { ResetFormatSettings(); }
};

class Conversions : public ::testing::Test
{
protected:
    void SetUp() override { ApplyStyle(kUs); }
    void TearDown() override { ResetFormatSettings(); }
};

const auto kRowName = [](const auto &info) { return std::string(info.param.name); };

QString U(const char *text)
{
    return QString::fromUtf8(text);
}

int CurrentYear()
{
    return QDate::currentDate().year();
}

// ---- FloatToStr

struct FloatToStrRow
{
    const char *name;
    Style style;
    double value;
    const char *text;
};

const FloatToStrRow kFloatToStrRows[] = {
    {"Zero", kUs, 0.0, "0"},
    {"NegativeZero", kUs, -0.0, "0"},
    {"PointOnePlusPointTwo", kUs, 0.30000000000000004, "0.3"},
    {"OneThird", kUs, 0.3333333333333333, "0.333333333333333"},
    {"OneE20", kUs, 1e+20, "1E20"},
    {"NegativeTiny", kUs, -2.5e-10, "-2.5E-10"},
    {"EighteenDigitInteger", kUs, 1.2345678901234568e+17, "1.23456789012346E17"},
    {"FifteenNines", kUs, 999999999999999.0, "999999999999999"},
    {"OneE15", kUs, 1000000000000000.0, "1E15"},
    {"RoundsUpToOneE15", kUs, 999999999999999.9, "1E15"},
    {"FifteenDigitInteger", kUs, 123456789012345.0, "123456789012345"},
    {"SixteenDigitInteger", kUs, 1234567890123456.0, "1.23456789012346E15"},
    {"OnePointFiveEMinus7", kUs, 1.5e-07, "1.5E-7"},
    {"OneEMinus5StaysFixed", kUs, 1e-05, "0.00001"},
    {"BelowOneEMinus5", kUs, 9.9e-06, "9.9E-6"},
    {"OneSeventh", kUs, 0.14285714285714285, "0.142857142857143"},
    {"TwoThirds", kUs, 0.6666666666666666, "0.666666666666667"},
    {"SmallestDenormal", kUs, 5e-324, "4.94065645841247E-324"},
    {"Denormal", kUs, 1e-310, "9.99999999999997E-311"},
    {"LargestDouble", kUs, 1.7976931348623157e+308, "1.79769313486232E308"},
    {"TieRoundsAwayFromZero", kUs, 1000000000000025.0, "1.00000000000003E15"},
    {"HalfAtFifteenDigitsRoundsUp", kUs, 100000000000000.5, "100000000000001"},
    {"SeventeenDigitsDecideTheRounding", kUs, 9.883447461352235, "9.88344746135224"},
    {"TwoPointSixSevenFive", kUs, 2.675, "2.675"},
    {"NegativeLarge", kUs, -1e+20, "-1E20"},
    {"MinusTwoPow63", kUs, -9.223372036854776e+18, "-9.22337203685478E18"},
    {"PlusInfinity", kUs, std::numeric_limits<double>::infinity(), "+Inf"},
    {"MinusInfinity", kUs, -std::numeric_limits<double>::infinity(), "-Inf"},
    {"NotANumber", kUs, std::numeric_limits<double>::quiet_NaN(), "Nan"},
    {"CommaDecimal", kDe, 2.5, "2,5"},
    {"CommaDecimalExponent", kDe, -2.5e-10, "-2,5E-10"},
    {"CommaPointOnePlusPointTwo", kDe, 0.30000000000000004, "0,3"},
};

using FloatToStrTest = SettingsTest<FloatToStrRow>;

TEST_P(FloatToStrTest, WritesTheShortestTextOfFifteenDigits)
{
    ApplyStyle(GetParam().style);
    EXPECT_EQ(FloatToStr(GetParam().value), U(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Rows, FloatToStrTest, ::testing::ValuesIn(kFloatToStrRows), kRowName);

struct FloatSample
{
    double value;
    const char *text;
};

// Random values and random bit patterns.
const FloatSample kFloatSamples[] = {
    {-95240.89298036275, "-95240.8929803628"},
    {6.037951474724463e+29, "6.03795147472446E29"},
    {1.680166256617709e+266, "1.68016625661771E266"},
    {-96335.35880086932, "-96335.3588008693"},
    {8.695410723138328e-18, "8.69541072313833E-18"},
    {-5.984009685093657e+66, "-5.98400968509366E66"},
    {23817.278083611047, "23817.278083611"},
    {6.668944481951217e+20, "6.66894448195122E20"},
    {1.3411079827671688e-192, "1.34110798276717E-192"},
    {-106813.69448600325, "-106813.694486003"},
    {22761.56163335105, "22761.5616333511"},
    {-2.471417988383651e+173, "-2.47141798838365E173"},
    {386876.96508247824, "386876.965082478"},
    {1.3769230273286143e-05, "0.0000137692302732861"},
    {4.201212419249933e+250, "4.20121241924993E250"},
    {307845.0670676809, "307845.067067681"},
    {6.540064341207137e-20, "6.54006434120714E-20"},
    {3.701772901656526e-290, "3.70177290165653E-290"},
    {663403.2506999562, "663403.250699956"},
    {1.5684842805263397e-28, "1.56848428052634E-28"},
    {-1.1937126864956989e+160, "-1.1937126864957E160"},
    {-516113.9726695705, "-516113.97266957"},
    {0.12707433030230972, "0.12707433030231"},
    {1.800213046451972e+235, "1.80021304645197E235"},
    {181918.8869361151, "181918.886936115"},
    {2.7578923975834023e-16, "2.7578923975834E-16"},
    {5.654411402250841e+54, "5.65441140225084E54"},
    {-453.69558641675394, "-453.695586416754"},
    {0.6962045787013313, "0.696204578701331"},
    {1.1258992597715162e+35, "1.12589925977152E35"},
    {-186442.52422964282, "-186442.524229643"},
    {5.961409620651786e+29, "5.96140962065179E29"},
    {4.48880712297644e-206, "4.48880712297644E-206"},
    {415619.24299589894, "415619.242995899"},
    {3.837494953139949e-16, "3.83749495313995E-16"},
    {2.788017578831962e+48, "2.78801757883196E48"},
    {-940496.1754348354, "-940496.175434835"},
    {6.06828034592115e-24, "6.06828034592115E-24"},
    {9.864696090544821e-176, "9.86469609054482E-176"},
    {693167.2437623574, "693167.243762357"},
    {4.47862178535341e-29, "4.47862178535341E-29"},
    {-1.1301839483341071e-80, "-1.13018394833411E-80"},
    {-998910.125888859, "-998910.125888859"},
    {2.8874567325665e+28, "2.8874567325665E28"},
    {3.610588900573506e+271, "3.61058890057351E271"},
    {-249073.58020009205, "-249073.580200092"},
    {0.0007380092289871122, "0.000738009228987112"},
    {-5.59818787271577e-227, "-5.59818787271577E-227"},
    {258909.8244680483, "258909.824468048"},
    {8.006597728089858e-13, "8.00659772808986E-13"},
    {3.172388923813564e-201, "3.17238892381356E-201"},
    {-377580.7420524118, "-377580.742052412"},
    {0.00011363456001630864, "0.000113634560016309"},
    {-2.671920137368832e+213, "-2.67192013736883E213"},
    {-764016.6411608984, "-764016.641160898"},
    {3.2174915400381695e-24, "3.21749154003817E-24"},
    {8.324325179096505e-235, "8.32432517909651E-235"},
    {-70120.30784753698, "-70120.307847537"},
    {53814096271924.91, "53814096271924.9"},
    {2.2480005775930857e-76, "2.24800057759309E-76"},
};

TEST_F(Conversions, FloatToStrAgreesOnRandomValues)
{
    for (const FloatSample &sample : kFloatSamples)
        EXPECT_EQ(FloatToStr(sample.value), U(sample.text)) << sample.text;
}

// The classic text made the long way, as the runtime defines it: 17 correctly
// rounded significant digits from printf, rounded half up to 15, trailing
// zeros dropped, fixed notation for decimal exponents -5 to 14.
std::string ClassicFloatText(double value)
{
    if (value == 0)
        return "0";
    char text[40];
    std::snprintf(text, sizeof text, "%.16e", std::fabs(value)); // d.dddddddddddddddde±x
    std::string digits = text[0] + std::string(text + 2, 16);
    int exponent = std::atoi(text + 19);
    const bool up = digits[15] >= '5';
    digits.resize(15);
    if (up) {
        int i = 14;
        while (i >= 0 && digits[size_t(i)] == '9')
            digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++digits[size_t(i)];
        } else {
            digits = "1" + digits.substr(0, 14);
            ++exponent;
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    const int count = int(digits.size());
    if (exponent >= 0 && exponent < 15) {
        const int whole = exponent + 1;
        out += count > whole ? digits.substr(0, size_t(whole)) + "." + digits.substr(size_t(whole))
                             : digits + std::string(size_t(whole - count), '0');
    } else if (exponent < 0 && exponent >= -5) {
        out += "0." + std::string(size_t(-exponent - 1), '0') + digits;
    } else {
        out += digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : "") + "E" + std::to_string(exponent);
    }
    return out;
}

// The common numbers of a workbook (few digits, few decimals) take a quicker
// way than rounding 17 digits; both must give the same text for every value.
TEST_F(Conversions, FloatToStrMatchesTheClassicRoundingOnManyValues)
{
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            ASSERT_EQ(FloatToStr(value).toStdString(), ClassicFloatText(value)) << "bit pattern " << bits;
        }
    }
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};
    for (int i = 0; i < 400000; ++i) {
        // Up to 17 digits with up to 17 decimals: around the 15-digit limit
        // and the 1E-5 and 1E15 edges of the fixed notation.
        const int digits = 1 + int(random() % 17);
        const uint64_t n = random() % uint64_t(kPowers[digits]);
        const double scaled = double(n) / kPowers[random() % 18];
        const double value = random() % 2 ? -scaled : scaled;
        ASSERT_EQ(FloatToStr(value).toStdString(), ClassicFloatText(value)) << n << " at " << value;
    }
}

// ---- StrToFloat

struct StrToFloatRow
{
    const char *name;
    Style style;
    const char *text;
    bool ok;
    double value;
};

const StrToFloatRow kStrToFloatRows[] = {
    {"Plain", kUs, "1.5", true, 1.5},
    {"BlanksAround", kUs, " 1.5\t", true, 1.5},
    {"Exponent", kUs, "1e3", true, 1000.0},
    {"SignedExponent", kUs, "-2.5E-10", true, -2.5e-10},
    {"LeadingPoint", kUs, ".5", true, 0.5},
    {"TrailingPoint", kUs, "5.", true, 5.0},
    {"PointBeforeExponent", kUs, "1.e5", true, 100000.0},
    {"PlusSign", kUs, "+1.5", true, 1.5},
    {"MinusZero", kUs, "-0", true, -0.0},
    {"LeadingZeros", kUs, "00012", true, 12.0},
    {"TwentyDigits", kUs, "12345678901234567890", true, 1.2345678901234567e+19},
    {"PointOne", kUs, "0.1", true, 0.1},
    {"LargestDouble", kUs, "1.7976931348623157e308", true, 1.7976931348623157e+308},
    {"Denormal", kUs, "4.9e-324", true, 5e-324},
    {"UnderflowIsZero", kUs, "1e-400", true, 0.0},
    {"CommaRejectedWithPoint", kUs, "1,5", false, 0},
    {"Empty", kUs, "", false, 0},
    {"Blank", kUs, " ", false, 0},
    {"LoneMinus", kUs, "-", false, 0},
    {"ExponentWithoutDigits", kUs, "1e", false, 0},
    {"ThousandSeparator", kUs, "1,000.5", false, 0},
    {"TwoPoints", kUs, "1.2.3", false, 0},
    {"Hex", kUs, "0x10", false, 0},
    {"Dollar", kUs, "$10", false, 0},
    {"Letters", kUs, "abc", false, 0},
    {"TrailingGarbage", kUs, "1.5x", false, 0},
    {"BlankInside", kUs, "1 000", false, 0},
    {"DoubleSign", kUs, "--1", false, 0},
    {"FractionalExponent", kUs, "1e5.5", false, 0},
    {"FullWidthDigit", kUs, "１", false, 0},
    {"Infinity", kUs, "Infinity", false, 0},
    {"CommaDecimal", kDe, "1,5", true, 1.5},
    {"CommaExponentBlanks", kDe, " 1,5e3 ", true, 1500.0},
    {"CommaLeading", kDe, ",5", true, 0.5},
    {"CommaTrailing", kDe, "1,", true, 1.0},
    {"PointRejectedWithComma", kDe, "1.5", false, 0},
    {"GroupedRejected", kDe, "1.000,5", false, 0},
    {"TwoCommas", kDe, "1,5,5", false, 0},
};

using StrToFloatTest = SettingsTest<StrToFloatRow>;

TEST_P(StrToFloatTest, ParsesWithTheDecimalSeparator)
{
    const StrToFloatRow &row = GetParam();
    ApplyStyle(row.style);
    double value = -7;
    ASSERT_EQ(TryStrToFloat(U(row.text), value), row.ok);
    if (row.ok) {
        EXPECT_EQ(value, row.value);
        EXPECT_EQ(std::signbit(value), std::signbit(row.value));
        EXPECT_EQ(StrToFloat(U(row.text)), row.value);
    } else {
        EXPECT_EQ(value, -7) << "a failed conversion leaves the output alone";
        EXPECT_THROW(StrToFloat(U(row.text)), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToFloatTest, ::testing::ValuesIn(kStrToFloatRows), kRowName);

TEST_F(Conversions, FloatRoundTripsThroughText)
{
    for (const FloatSample &sample : kFloatSamples) {
        const double value = StrToFloat(U(sample.text));
        EXPECT_EQ(FloatToStr(value), U(sample.text));
    }
}

// ---- Currency

struct StrToCurrRow
{
    const char *name;
    Style style;
    const char *text;
    bool ok;
    int64_t value;
};

const StrToCurrRow kStrToCurrRows[] = {
    {"Plain", kUs, "1.5", true, 15000LL},
    {"FourDecimals", kUs, "1.2345", true, 12345LL},
    {"FifthHalfRoundsToEvenUp", kUs, "1.23455", true, 12346LL},
    {"FifthHalfRoundsToEvenDown", kUs, "1.23445", true, 12344LL},
    {"BelowHalf", kUs, "1.234549", true, 12345LL},
    {"HalfOfSmallestToZero", kUs, "0.00005", true, 0LL},
    {"HalfOfSmallestToTwo", kUs, "0.00015", true, 2LL},
    {"TwoAndAHalfToTwo", kUs, "0.00025", true, 2LL},
    {"NegativeHalf", kUs, "-0.00015", true, -2LL},
    {"NegativeRoundsToEven", kUs, "-1.00005", true, -10000LL},
    {"Maximum", kUs, "922337203685477.5807", true, 9223372036854775807LL},
    {"Minimum", kUs, "-922337203685477.5808", true, -9223372036854775807LL - 1},
    {"AboveMaximum", kUs, "922337203685477.5808", false, 0},
    {"BelowMinimum", kUs, "-922337203685477.5809", false, 0},
    {"Exponent", kUs, "1.5e2", true, 1500000LL},
    {"ExponentNearLimit", kUs, "9.2e14", true, 9200000000000000000LL},
    {"ExponentOverflow", kUs, "1e15", false, 0},
    {"ExponentTiny", kUs, "1e-5", true, 0LL},
    {"BlanksAround", kUs, " 12.5 ", true, 125000LL},
    {"ManyDecimals", kUs, "123456789012.34567", true, 1234567890123457LL},
    {"RoundsToOne", kUs, "0.99999", true, 10000LL},
    {"TwentyDigits", kUs, "12345678901234567890", false, 0},
    {"Empty", kUs, "", false, 0},
    {"Letters", kUs, "abc", false, 0},
    {"Nan", kUs, "nan", false, 0},
    {"CommaRejectedWithPoint", kUs, "1,5", false, 0},
    {"CommaDecimal", kDe, "1,5", true, 15000LL},
    {"PointRejectedWithComma", kDe, "1.5", false, 0},
    {"GroupedRejected", kDe, "1.000,25", false, 0},
};

using StrToCurrTest = SettingsTest<StrToCurrRow>;

TEST_P(StrToCurrTest, KeepsFourDecimalsAndRoundsTheFifthToEven)
{
    const StrToCurrRow &row = GetParam();
    ApplyStyle(row.style);
    Currency value{-7};
    ASSERT_EQ(TryStrToCurr(U(row.text), value), row.ok);
    if (row.ok) {
        EXPECT_EQ(value.Value, row.value);
        EXPECT_EQ(StrToCurr(U(row.text)).Value, row.value);
    } else {
        EXPECT_EQ(value.Value, -7);
        EXPECT_THROW(StrToCurr(U(row.text)), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToCurrTest, ::testing::ValuesIn(kStrToCurrRows), kRowName);

struct CurrToStrRow
{
    const char *name;
    Style style;
    int64_t value;
    const char *text;
};

const CurrToStrRow kCurrToStrRows[] = {
    {"Zero", kUs, 0LL, "0"},
    {"SmallestUnit", kUs, 1LL, "0.0001"},
    {"MinusSmallestUnit", kUs, -1LL, "-0.0001"},
    {"One", kUs, 10000LL, "1"},
    {"OnePointFive", kUs, 15000LL, "1.5"},
    {"FourDecimals", kUs, -12345LL, "-1.2345"},
    {"Maximum", kUs, 9223372036854775807LL, "922337203685477.5807"},
    {"Minimum", kUs, -9223372036854775807LL - 1, "-922337203685477.5808"},
    {"NoExponentForLarge", kUs, 100000000000000000LL, "10000000000000"},
    {"NineteenDigits", kUs, 1234567890123456789LL, "123456789012345.6789"},
    {"CommaDecimal", kDe, -12345LL, "-1,2345"},
};

using CurrToStrTest = SettingsTest<CurrToStrRow>;

TEST_P(CurrToStrTest, WritesUpToFourDecimalsWithoutExponent)
{
    ApplyStyle(GetParam().style);
    EXPECT_EQ(CurrToStr(Currency{GetParam().value}), U(GetParam().text));
    EXPECT_EQ(StrToCurr(U(GetParam().text)).Value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Rows, CurrToStrTest, ::testing::ValuesIn(kCurrToStrRows), kRowName);

// ---- StrToDate

struct StrToDateRow
{
    const char *name;
    Style style;
    const char *shortDateFormat;
    char16_t dateSeparator;
    const char *text;
    bool ok;
    int year, month, day;
};

const StrToDateRow kStrToDateRows[] = {
    {"MonthDayYear", kUs, "m/d/yyyy", u'/', "12/31/2023", true, 2023, 12, 31},
    {"SingleDigits", kUs, "m/d/yyyy", u'/', "1/2/2023", true, 2023, 1, 2},
    {"LeapDay", kUs, "m/d/yyyy", u'/', "2/29/2024", true, 2024, 2, 29},
    {"NoLeapDay", kUs, "m/d/yyyy", u'/', "2/29/2023", false, 0, 0, 0},
    {"CenturyNotLeap", kUs, "m/d/yyyy", u'/', "2/29/1900", false, 0, 0, 0},
    {"FourHundredLeap", kUs, "m/d/yyyy", u'/', "2/29/2000", true, 2000, 2, 29},
    {"ThirtyFirstOfFebruary", kUs, "m/d/yyyy", u'/', "2/31/2023", false, 0, 0, 0},
    {"MonthThirteen", kUs, "m/d/yyyy", u'/', "13/1/2023", false, 0, 0, 0},
    {"MonthZero", kUs, "m/d/yyyy", u'/', "0/1/2023", false, 0, 0, 0},
    {"DayZero", kUs, "m/d/yyyy", u'/', "1/0/2023", false, 0, 0, 0},
    {"ThreeDigitYearIsLiteral", kUs, "m/d/yyyy", u'/', "1/2/099", true, 99, 1, 2},
    {"FourDigitSmallYear", kUs, "m/d/yyyy", u'/', "1/2/0099", true, 99, 1, 2},
    {"YearHundred", kUs, "m/d/yyyy", u'/', "1/2/100", true, 100, 1, 2},
    {"LastYear", kUs, "m/d/yyyy", u'/', "12/31/9999", true, 9999, 12, 31},
    {"YearTenThousand", kUs, "m/d/yyyy", u'/', "1/2/10000", false, 0, 0, 0},
    {"DayZeroOfTheEpoch", kUs, "m/d/yyyy", u'/', "12/30/1899", true, 1899, 12, 30},
    {"BeforeTheEpoch", kUs, "m/d/yyyy", u'/', "12/29/1899", true, 1899, 12, 29},
    {"FirstDay", kUs, "m/d/yyyy", u'/', "1/1/0001", true, 1, 1, 1},
    {"YearZero", kUs, "m/d/yyyy", u'/', "1/2/000", false, 0, 0, 0},
    {"Empty", kUs, "m/d/yyyy", u'/', "", false, 0, 0, 0},
    {"Blank", kUs, "m/d/yyyy", u'/', " ", false, 0, 0, 0},
    {"LoneSeparator", kUs, "m/d/yyyy", u'/', "/", false, 0, 0, 0},
    {"EmptyDay", kUs, "m/d/yyyy", u'/', "1//2023", false, 0, 0, 0},
    {"LeadingSeparator", kUs, "m/d/yyyy", u'/', "/1/2", false, 0, 0, 0},
    {"FourFields", kUs, "m/d/yyyy", u'/', "1/2/2023/5", false, 0, 0, 0},
    {"BlanksAround", kUs, "m/d/yyyy", u'/', " 1/2/2023 ", true, 2023, 1, 2},
    {"BlankBeforeSeparator", kUs, "m/d/yyyy", u'/', "1 /2/2023", true, 2023, 1, 2},
    {"BlankAfterSeparator", kUs, "m/d/yyyy", u'/', "1/ 2/2023", true, 2023, 1, 2},
    {"OtherSeparator", kUs, "m/d/yyyy", u'/', "1-2-2023", false, 0, 0, 0},
    {"Letters", kUs, "m/d/yyyy", u'/', "a/b/c", false, 0, 0, 0},
    {"TrailingGarbage", kUs, "m/d/yyyy", u'/', "1/2/2023x", false, 0, 0, 0},
    {"LeadingZeros", kUs, "m/d/yyyy", u'/', "001/002/2023", true, 2023, 1, 2},
    {"NegativeYear", kUs, "m/d/yyyy", u'/', "1/2/-5", false, 0, 0, 0},
    {"SignedMonth", kUs, "m/d/yyyy", u'/', "+1/2/2023", false, 0, 0, 0},
    {"FiveDigitYear", kUs, "m/d/yyyy", u'/', "1/2/20233", false, 0, 0, 0},
    {"FiveDigitYearWithZero", kUs, "m/d/yyyy", u'/', "1/2/02023", true, 2023, 1, 2},
    {"HugeNumber", kUs, "m/d/yyyy", u'/', "99999999999/1/2023", false, 0, 0, 0},
    {"TimeNotAllowed", kUs, "m/d/yyyy", u'/', "1/2/2023 12:00", false, 0, 0, 0},
    {"DayMonthYearDots", kDe, "dd.mm.yyyy", u'.', "31.12.2023", true, 2023, 12, 31},
    {"DotsSingleDigits", kDe, "dd.mm.yyyy", u'.', "1.2.2023", true, 2023, 2, 1},
    {"DotsThirtiethOfFebruary", kDe, "dd.mm.yyyy", u'.', "30.02.2023", false, 0, 0, 0},
    {"DotsThirtyFirstOfApril", kDe, "dd.mm.yyyy", u'.', "31.04.2023", false, 0, 0, 0},
    {"DotsBlanks", kDe, "dd.mm.yyyy", u'.', "1. 2. 2023", true, 2023, 2, 1},
    {"DotsSlashRejected", kDe, "dd.mm.yyyy", u'.', "1/2/2023", false, 0, 0, 0},
    {"DotsNewYearsEveBeforeEpoch", kDe, "dd.mm.yyyy", u'.', "31.12.1899", true, 1899, 12, 31},
    {"YearMonthDayDashes", kUs, "yyyy-mm-dd", u'-', "2023-12-31", true, 2023, 12, 31},
    {"YearMonthDaySingle", kUs, "yyyy-mm-dd", u'-', "2023-1-2", true, 2023, 1, 2},
    {"YearMonthDayInvalid", kUs, "yyyy-mm-dd", u'-', "2023-02-30", false, 0, 0, 0},
    {"YearMonthDayFirst", kUs, "yyyy-mm-dd", u'-', "0001-01-01", true, 1, 1, 1},
    {"YearMonthDayLast", kUs, "yyyy-mm-dd", u'-', "9999-12-31", true, 9999, 12, 31},
    {"ShortYearFormatLongYear", kUs, "yy/mm/dd", u'/', "2023/12/31", true, 2023, 12, 31},
    {"OrderFromLetters", kUs, "mm-dd-yyyy", u'/', "12/31/2023", true, 2023, 12, 31},
    {"MonthNameFormatNumbers", kUs, "dd-mmm-yyyy", u'-', "31-12-2023", true, 2023, 12, 31},
    {"MonthNamesNotParsed", kUs, "dd-mmm-yyyy", u'-', "31-Dec-2023", false, 0, 0, 0},
    {"BlankSeparator", kUs, "m d yyyy", u' ', "12 31 2023", true, 2023, 12, 31},
    {"BlankSeparatorTwice", kUs, "m d yyyy", u' ', "12  31 2023", false, 0, 0, 0},
    {"FormatWithoutSeparators", kDe, "ddmmyyyy", u'.', "31.12.2023", true, 2023, 12, 31},
    {"EmptyFormat", kUs, "", u'/', "12/31/2023", false, 0, 0, 0},
};

using StrToDateTest = SettingsTest<StrToDateRow>;

TEST_P(StrToDateTest, ReadsTheOrderOfTheShortDateFormat)
{
    const StrToDateRow &row = GetParam();
    ApplyStyle(row.style);
    FormatSettings.ShortDateFormat = U(row.shortDateFormat);
    FormatSettings.DateSeparator = row.dateSeparator;
    TDateTime value = -7;
    ASSERT_EQ(TryStrToDate(U(row.text), value), row.ok);
    if (row.ok) {
        EXPECT_EQ(value, EncodeDate(row.year, row.month, row.day));
    } else {
        EXPECT_EQ(value, -7);
        EXPECT_THROW(StrToDate(U(row.text)), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToDateTest, ::testing::ValuesIn(kStrToDateRows), kRowName);

struct MissingYearRow
{
    const char *name;
    Style style;
    const char *shortDateFormat;
    char16_t dateSeparator;
    const char *text;
    int month, day;
};

const MissingYearRow kMissingYearRows[] = {
    {"MonthDay", kUs, "m/d/yyyy", u'/', "12/31", 12, 31},
    {"MonthDayClosingSeparator", kUs, "m/d/yyyy", u'/', "1/2/", 1, 2},
    {"DayMonthDots", kDe, "dd.mm.yyyy", u'.', "1.2.", 2, 1},
    {"DayMonthNoClosingDot", kDe, "dd.mm.yyyy", u'.', "1.2", 2, 1},
    {"YearFirstFormat", kUs, "yyyy-mm-dd", u'-', "12-31", 12, 31},
    {"ShortYearFirstFormat", kUs, "yy/mm/dd", u'/', "12/31", 12, 31},
};

using MissingYearTest = SettingsTest<MissingYearRow>;

TEST_P(MissingYearTest, TakesTheCurrentYear)
{
    const MissingYearRow &row = GetParam();
    ApplyStyle(row.style);
    FormatSettings.ShortDateFormat = U(row.shortDateFormat);
    FormatSettings.DateSeparator = row.dateSeparator;
    EXPECT_EQ(StrToDate(U(row.text)), EncodeDate(CurrentYear(), row.month, row.day));
}

INSTANTIATE_TEST_SUITE_P(Rows, MissingYearTest, ::testing::ValuesIn(kMissingYearRows), kRowName);

TEST_F(Conversions, TwoDigitYearsFallIntoTheHundredYearsFromFiftyYearsBack)
{
    // In 2026 the classic runtime reads 76 as 1976 and 75 as 2075.
    const int lowest = CurrentYear() - 50;
    const auto yearOf = [](const QString &yearText) {
        int y, m, d;
        DecodeDate(StrToDate(QStringLiteral("1/2/") + yearText), y, m, d);
        return y;
    };
    EXPECT_EQ(yearOf(QString::number(lowest % 100).rightJustified(2, u'0')), lowest);
    EXPECT_EQ(yearOf(QString::number((lowest + 99) % 100).rightJustified(2, u'0')), lowest + 99);
    EXPECT_EQ(yearOf(QString::number(CurrentYear() % 100)), CurrentYear());
    // One digit counts as two; three or more digits are the year as written.
    EXPECT_EQ(yearOf(QStringLiteral("0")), yearOf(QStringLiteral("00")));
    EXPECT_EQ(yearOf(QStringLiteral("099")), 99);
}

// ---- StrToTime

struct StrToTimeRow
{
    const char *name;
    Style style;
    char16_t timeSeparator;
    const char *text;
    bool ok;
    int hour, minute, second, msec;
};

const StrToTimeRow kStrToTimeRows[] = {
    {"HoursMinutes", kUs, u':', "12:34", true, 12, 34, 0, 0},
    {"Seconds", kUs, u':', "12:34:56", true, 12, 34, 56, 0},
    {"Milliseconds", kUs, u':', "12:34:56.789", true, 12, 34, 56, 789},
    {"LastMillisecond", kUs, u':', "23:59:59.999", true, 23, 59, 59, 999},
    {"Midnight", kUs, u':', "0:0", true, 0, 0, 0, 0},
    {"MidnightPadded", kUs, u':', "00:00:00", true, 0, 0, 0, 0},
    {"HourOnly", kUs, u':', "12", true, 12, 0, 0, 0},
    {"PmAfter", kUs, u':', "1:00 PM", true, 13, 0, 0, 0},
    {"PmNoBlank", kUs, u':', "1:00PM", true, 13, 0, 0, 0},
    {"PmLowerCase", kUs, u':', "1:00 pm", true, 13, 0, 0, 0},
    {"PmBefore", kUs, u':', "PM 1:00", true, 13, 0, 0, 0},
    {"HourAndPm", kUs, u':', "1 PM", true, 13, 0, 0, 0},
    {"TwelvePmIsNoon", kUs, u':', "12:00 PM", true, 12, 0, 0, 0},
    {"TwelveAmIsMidnight", kUs, u':', "12:34 AM", true, 0, 34, 0, 0},
    {"SecondsAndPm", kUs, u':', "1:00:00 PM", true, 13, 0, 0, 0},
    {"BlanksAroundFields", kUs, u':', "1 : 00", true, 1, 0, 0, 0},
    {"FourMillisecondDigits", kUs, u':', "12:34:56.7891", false, 0, 0, 0, 0},
    {"CommaNotTheDecimal", kUs, u':', "12:34:56,789", false, 0, 0, 0, 0},
    {"EmptyMilliseconds", kUs, u':', "12:34:56.", false, 0, 0, 0, 0},
    {"Hour24", kUs, u':', "24:00", false, 0, 0, 0, 0},
    {"Minute60", kUs, u':', "23:60", false, 0, 0, 0, 0},
    {"Second60", kUs, u':', "23:59:60", false, 0, 0, 0, 0},
    {"TrailingSeparator", kUs, u':', "12:", false, 0, 0, 0, 0},
    {"LeadingSeparator", kUs, u':', ":30", false, 0, 0, 0, 0},
    {"FourFields", kUs, u':', "1:2:3:4", false, 0, 0, 0, 0},
    {"ThirteenPm", kUs, u':', "13:00 PM", false, 0, 0, 0, 0},
    {"ZeroAm", kUs, u':', "0:30 AM", false, 0, 0, 0, 0},
    {"LonePm", kUs, u':', "PM", false, 0, 0, 0, 0},
    {"UnknownMarker", kUs, u':', "1:00 XM", false, 0, 0, 0, 0},
    {"LoneLetterMarker", kUs, u':', "1:00 P", false, 0, 0, 0, 0},
    {"Empty", kUs, u':', "", false, 0, 0, 0, 0},
    {"DecimalHours", kUs, u':', "1.5", false, 0, 0, 0, 0},
    {"DotSeparatorCommaDecimal", kDe, u'.', "12.34.56,789", true, 12, 34, 56, 789},
    {"DotSeparatorRejectsColon", kDe, u'.', "12:34", false, 0, 0, 0, 0},
    {"CommaDecimalMilliseconds", kDe, u':', "12:34:56,789", true, 12, 34, 56, 789},
    {"CommaDecimalRejectsPoint", kDe, u':', "12:34:56.789", false, 0, 0, 0, 0},
};

using StrToTimeTest = SettingsTest<StrToTimeRow>;

TEST_P(StrToTimeTest, ReadsHoursMinutesSecondsAndTheDayHalf)
{
    const StrToTimeRow &row = GetParam();
    ApplyStyle(row.style);
    FormatSettings.TimeSeparator = row.timeSeparator;
    TDateTime value = -7;
    ASSERT_EQ(TryStrToTime(U(row.text), value), row.ok);
    if (row.ok) {
        EXPECT_EQ(value, EncodeTime(row.hour, row.minute, row.second, row.msec));
    } else {
        EXPECT_EQ(value, -7);
        EXPECT_THROW(StrToTime(U(row.text)), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToTimeTest, ::testing::ValuesIn(kStrToTimeRows), kRowName);

TEST_F(Conversions, DayHalfTextsComeFromTheSettings)
{
    FormatSettings.TimeAMString = QStringLiteral("vm");
    FormatSettings.TimePMString = QStringLiteral("nm");
    EXPECT_EQ(StrToTime(QStringLiteral("1:00 NM")), EncodeTime(13, 0, 0, 0));
    EXPECT_EQ(StrToTime(QStringLiteral("12:00 vm")), 0.0);
    EXPECT_EQ(StrToTime(QStringLiteral("1:00 PM")), EncodeTime(13, 0, 0, 0));
}

// ---- StrToDateTime

struct StrToDateTimeRow
{
    const char *name;
    Style style;
    const char *text;
    bool ok;
    double value;
};

const StrToDateTimeRow kStrToDateTimeRows[] = {
    {"DateAndTime", kUs, "12/31/2023 12:34:56", true, 45291.52425925926},
    {"DateOnly", kUs, "12/31/2023", true, 45291.0},
    {"TimeOnly", kUs, "12:34", true, 0.5236111111111111},
    {"WithPm", kUs, "12/31/2023 1:00 PM", true, 45291.541666666664},
    {"BeforeEpochCountsAway", kUs, "12/29/1899 06:00", true, -1.25},
    {"NoonBeforeEpoch", kUs, "12/29/1899 12:00", true, -1.5},
    {"TwoDaysBeforeEpoch", kUs, "12/28/1899 18:00", true, -2.75},
    {"FirstDayLastMillisecond", kUs, "1/1/0001 23:59:59.999", true, -693593.9999999885},
    {"TwoBlanks", kUs, "12/31/2023  12:34", true, 45291.52361111111},
    {"BlanksAround", kUs, " 12/31/2023 12:34 ", true, 45291.52361111111},
    {"HourOnlyTime", kUs, "12/31/2023 12", true, 45291.5},
    {"Milliseconds", kUs, "12/31/2023 12:34:56.789", true, 45291.5242683912},
    {"LeapDayLastMillisecond", kUs, "2/29/2024 23:59:59.999", true, 45351.999999988424},
    {"MarkerBeforeTime", kUs, "12/31/2023 PM 1:00", true, 45291.541666666664},
    {"BadTime", kUs, "12/31/2023 x", false, 0},
    {"Hour25", kUs, "12/31/2023 25:00", false, 0},
    {"BadDate", kUs, "2/30/2023 12:00", false, 0},
    {"IsoT", kUs, "12/31/2023T12:34", false, 0},
    {"Empty", kUs, "", false, 0},
    {"TimeFirst", kUs, "12:34 12/31/2023", false, 0},
    {"MarkerOnly", kUs, "12/31/2023 PM", false, 0},
    {"TrailingGarbage", kUs, "12/31/2023 1:00 PM x", false, 0},
    {"DotsDateAndTime", kDe, "31.12.2023 12:34:56", true, 45291.52425925926},
    {"DotsTwoDigitYearPm", kDe, "31.12.23 1:00 PM", true, 45291.541666666664},
    {"DotsBeforeEpoch", kDe, "29.12.1899 06:00", true, -1.25},
    {"DotsCommaMilliseconds", kDe, "31.12.2023 12:34:56,789", true, 45291.5242683912},
};

using StrToDateTimeTest = SettingsTest<StrToDateTimeRow>;

TEST_P(StrToDateTimeTest, ReadsADateWithAnOptionalTime)
{
    const StrToDateTimeRow &row = GetParam();
    ApplyStyle(row.style);
    TDateTime value = -7;
    ASSERT_EQ(TryStrToDateTime(U(row.text), value), row.ok);
    if (row.ok) {
        EXPECT_EQ(value, row.value);
    } else {
        EXPECT_EQ(value, -7);
        EXPECT_THROW(StrToDateTime(U(row.text)), EConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToDateTimeTest, ::testing::ValuesIn(kStrToDateTimeRows), kRowName);

TEST_F(Conversions, DateTimeWithBlankDateSeparator)
{
    FormatSettings.ShortDateFormat = QStringLiteral("m d yyyy");
    FormatSettings.DateSeparator = u' ';
    EXPECT_EQ(StrToDateTime(QStringLiteral("12 31 2023")), EncodeDate(2023, 12, 31));
    EXPECT_EQ(StrToDateTime(QStringLiteral("12 31 2023 12:34")),
              EncodeDate(2023, 12, 31) + EncodeTime(12, 34, 0, 0));
}

// ---- Deliberate differences from the classic runtime, which accepts these without a word.

TEST_F(Conversions, RejectsTextTheClassicRuntimeTookForNumbers)
{
    double value = 0;
    // It read "." and "E5" as 0, "1e+" as 1, and "inf"/"nan" as values no column can store;
    // too large a number became NaN instead of an error.
    for (const char *text : {".", "E5", "1e+", "inf", "nan", "1e400", "1.8e308"}) {
        EXPECT_FALSE(TryStrToFloat(U(text), value)) << text;
    }
    Currency money;
    EXPECT_FALSE(TryStrToCurr(QStringLiteral("."), money));
    EXPECT_FALSE(TryStrToCurr(QStringLiteral("1e+"), money));
    // It refused a text that rounds to the largest value; the exact reading keeps it.
    ASSERT_TRUE(TryStrToCurr(QStringLiteral("922337203685477.58074"), money));
    EXPECT_EQ(money.Value, std::numeric_limits<int64_t>::max());
    EXPECT_FALSE(TryStrToCurr(QStringLiteral("922337203685477.58075"), money));
}

TEST_F(Conversions, LoneNumberIsNoDate)
{
    // The classic runtime makes "12" the 12th of the current month.
    TDateTime value = 0;
    EXPECT_FALSE(TryStrToDate(QStringLiteral("12"), value));
    EXPECT_FALSE(TryStrToDateTime(QStringLiteral("12"), value));
    EXPECT_FALSE(TryStrToDate(QStringLiteral("31122023"), value));
}

TEST_F(Conversions, DigitsAfterTheSecondsAreAFraction)
{
    // The classic runtime reads ".7" as 7 ms.
    EXPECT_EQ(StrToTime(QStringLiteral("12:34:56.7")), EncodeTime(12, 34, 56, 700));
    EXPECT_EQ(StrToTime(QStringLiteral("12:34:56.78")), EncodeTime(12, 34, 56, 780));
    EXPECT_EQ(StrToTime(QStringLiteral("1:00:00.5 PM")), EncodeTime(13, 0, 0, 500));
}

TEST_F(Conversions, TimeOnlyWithDayHalfAndDayHalfTextsWithPoints)
{
    // The classic StrToDateTime took "1:00" for a date and failed; it also missed day-half
    // texts that end in a point.
    EXPECT_EQ(StrToDateTime(QStringLiteral("1:00 PM")), EncodeTime(13, 0, 0, 0));
    FormatSettings.TimeAMString = QStringLiteral("vorm.");
    FormatSettings.TimePMString = QStringLiteral("nachm.");
    EXPECT_EQ(StrToTime(QStringLiteral("1:00 nachm.")), EncodeTime(13, 0, 0, 0));
    EXPECT_EQ(StrToDateTime(QStringLiteral("12/31/2023 1:00 vorm.")),
              EncodeDate(2023, 12, 31) + EncodeTime(1, 0, 0, 0));
}

TEST_F(Conversions, FormatCopiesUnknownLettersAndKeepsTheDayOfWeekWithTheDate)
{
    // The classic runtime upper-cases unknown letters and refuses a lone 'a'.
    EXPECT_EQ(FormatDateTime(QStringLiteral("xyz q"), 45291.5), QStringLiteral("x230 q"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("a h"), 45291.5), QStringLiteral("a 12"));
    // A hair before midnight rounds into Monday 1 January 2024; the classic runtime still
    // named it Sunday.
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddd d mmmm yyyy"), 45291.99999999999),
              QStringLiteral("Monday 1 January 2024"));
}

TEST_F(Conversions, ErrorsNameTheText)
{
    const auto messageOf = [](const auto &convert) {
        try {
            convert();
        } catch (const EConvertError &e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(messageOf([] { StrToFloat(QStringLiteral("1,5")); }),
              QStringLiteral("\"1,5\" is an invalid float"));
    EXPECT_EQ(messageOf([] { StrToCurr(QStringLiteral("x")); }),
              QStringLiteral("\"x\" is an invalid float"));
    EXPECT_EQ(messageOf([] { StrToDate(QStringLiteral("2/30/2023")); }),
              QStringLiteral("\"2/30/2023\" is not a valid date"));
    EXPECT_EQ(messageOf([] { StrToDate(QStringLiteral("1-2-2023")); }),
              QStringLiteral("\"1-2-2023\" is not a valid date format"));
    EXPECT_EQ(messageOf([] { StrToTime(QStringLiteral("25:00")); }),
              QStringLiteral("\"25:00\" is not a valid time"));
    EXPECT_EQ(messageOf([] { StrToDateTime(QStringLiteral("12/31/2023 x")); }),
              QStringLiteral("\"12/31/2023 x\" is not a valid date and time"));
}

// ---- Date and time to text

struct ToStrRow
{
    const char *name;
    Style style;
    double value;
    const char *date;
    const char *time;
    const char *dateTime;
};

const ToStrRow kToStrRows[] = {
    {"UsEpoch", kUs, 0.0, "12/30/1899", "12:00:00 AM", "12/30/1899"},
    {"UsDateOnly", kUs, 45291.0, "12/31/2023", "12:00:00 AM", "12/31/2023"},
    {"UsAfternoon", kUs, 45291.54450238426, "12/31/2023", "1:04:05 PM", "12/31/2023 1:04:05 PM"},
    {"UsBeforeEpoch", kUs, -1.25, "12/29/1899", "6:00:00 AM", "12/29/1899 6:00:00 AM"},
    {"UsNegativeHalf", kUs, -0.5, "12/30/1899", "12:00:00 PM", "12/30/1899 12:00:00 PM"},
    {"UsNoon", kUs, 0.5, "12/30/1899", "12:00:00 PM", "12/30/1899 12:00:00 PM"},
    {"UsLeapDayLastMillisecond", kUs, 45351.999999988424, "2/29/2024", "11:59:59 PM", "2/29/2024 11:59:59 PM"},
    {"UsLastDay", kUs, 2958465.0, "12/31/9999", "12:00:00 AM", "12/31/9999"},
    {"UsFirstDay", kUs, -693593.0, "1/1/0001", "12:00:00 AM", "1/1/0001"},
    {"UsEvening", kUs, 36526.75, "1/1/2000", "6:00:00 PM", "1/1/2000 6:00:00 PM"},
    {"UsRoundsToMidnight", kUs, 1e-09, "12/30/1899", "12:00:00 AM", "12/30/1899"},
    {"UsRoundsIntoNextDay", kUs, 45291.99999999999, "1/1/2024", "12:00:00 AM", "1/1/2024"},
    {"UsOneMillisecond", kUs, 5.8e-09, "12/30/1899", "12:00:00 AM", "12/30/1899"},
    {"DeEpoch", kDe, 0.0, "30.12.1899", "00:00:00", "30.12.1899"},
    {"DeDateOnly", kDe, 45291.0, "31.12.2023", "00:00:00", "31.12.2023"},
    {"DeAfternoon", kDe, 45291.54450238426, "31.12.2023", "13:04:05", "31.12.2023 13:04:05"},
    {"DeBeforeEpoch", kDe, -1.25, "29.12.1899", "06:00:00", "29.12.1899 06:00:00"},
    {"DeNegativeHalf", kDe, -0.5, "30.12.1899", "12:00:00", "30.12.1899 12:00:00"},
    {"DeNoon", kDe, 0.5, "30.12.1899", "12:00:00", "30.12.1899 12:00:00"},
    {"DeLeapDayLastMillisecond", kDe, 45351.999999988424, "29.02.2024", "23:59:59", "29.02.2024 23:59:59"},
    {"DeLastDay", kDe, 2958465.0, "31.12.9999", "00:00:00", "31.12.9999"},
    {"DeFirstDay", kDe, -693593.0, "01.01.0001", "00:00:00", "01.01.0001"},
    {"DeEvening", kDe, 36526.75, "01.01.2000", "18:00:00", "01.01.2000 18:00:00"},
    {"DeRoundsToMidnight", kDe, 1e-09, "30.12.1899", "00:00:00", "30.12.1899"},
    {"DeRoundsIntoNextDay", kDe, 45291.99999999999, "01.01.2024", "00:00:00", "01.01.2024"},
    {"DeOneMillisecond", kDe, 5.8e-09, "30.12.1899", "00:00:00", "30.12.1899"},
};

using ToStrTest = SettingsTest<ToStrRow>;

TEST_P(ToStrTest, UsesTheShortDateAndLongTimeFormats)
{
    const ToStrRow &row = GetParam();
    ApplyStyle(row.style);
    EXPECT_EQ(DateToStr(row.value), U(row.date));
    EXPECT_EQ(TimeToStr(row.value), U(row.time));
    EXPECT_EQ(DateTimeToStr(row.value), U(row.dateTime));
}

INSTANTIATE_TEST_SUITE_P(Rows, ToStrTest, ::testing::ValuesIn(kToStrRows), kRowName);

// ---- FormatDateTime

constexpr double kAfternoon = 45291.54450238426; // Sunday 31 December 2023 13:04:05.006
constexpr double kMorning = 44931.37989635416;   // Thursday 5 January 2023 09:07:03.045

struct FormatRow
{
    const char *name;
    Style style;
    double value;
    const char *format;
    const char *text;
};

const FormatRow kFormatRows[] = {
    {"UsAfternoonDay", kUs, kAfternoon, "d", "31"},
    {"UsAfternoonDayPadded", kUs, kAfternoon, "dd", "31"},
    {"UsAfternoonShortDayName", kUs, kAfternoon, "ddd", "Sun"},
    {"UsAfternoonLongDayName", kUs, kAfternoon, "dddd", "Sunday"},
    {"UsAfternoonShortDate", kUs, kAfternoon, "ddddd", "12/31/2023"},
    {"UsAfternoonLongDate", kUs, kAfternoon, "dddddd", "Sunday, December 31, 2023"},
    {"UsAfternoonSevenDs", kUs, kAfternoon, "ddddddd", "Sunday, December 31, 2023"},
    {"UsAfternoonMonth", kUs, kAfternoon, "m", "12"},
    {"UsAfternoonMonthPadded", kUs, kAfternoon, "mm", "12"},
    {"UsAfternoonShortMonthName", kUs, kAfternoon, "mmm", "Dec"},
    {"UsAfternoonLongMonthName", kUs, kAfternoon, "mmmm", "December"},
    {"UsAfternoonFiveMs", kUs, kAfternoon, "mmmmm", "December"},
    {"UsAfternoonOneY", kUs, kAfternoon, "y", "23"},
    {"UsAfternoonTwoYs", kUs, kAfternoon, "yy", "23"},
    {"UsAfternoonThreeYs", kUs, kAfternoon, "yyy", "2023"},
    {"UsAfternoonFourYs", kUs, kAfternoon, "yyyy", "2023"},
    {"UsAfternoonHour", kUs, kAfternoon, "h", "13"},
    {"UsAfternoonHourPadded", kUs, kAfternoon, "hh", "13"},
    {"UsAfternoonThreeHs", kUs, kAfternoon, "hhh", "13"},
    {"UsAfternoonMinute", kUs, kAfternoon, "n", "4"},
    {"UsAfternoonMinutePadded", kUs, kAfternoon, "nn", "04"},
    {"UsAfternoonSecond", kUs, kAfternoon, "s", "5"},
    {"UsAfternoonSecondPadded", kUs, kAfternoon, "ss", "05"},
    {"UsAfternoonMillisecond", kUs, kAfternoon, "z", "6"},
    {"UsAfternoonTwoZs", kUs, kAfternoon, "zz", "006"},
    {"UsAfternoonMillisecondPadded", kUs, kAfternoon, "zzz", "006"},
    {"UsAfternoonShortTime", kUs, kAfternoon, "t", "1:04 PM"},
    {"UsAfternoonLongTime", kUs, kAfternoon, "tt", "1:04:05 PM"},
    {"UsAfternoonBothTimes", kUs, kAfternoon, "tt t", "1:04:05 PM 1:04 PM"},
    {"UsAfternoonAmPmLower", kUs, kAfternoon, "am/pm", "pm"},
    {"UsAfternoonAmPmUpper", kUs, kAfternoon, "AM/PM", "PM"},
    {"UsAfternoonAmPmMixed", kUs, kAfternoon, "Am/Pm", "Pm"},
    {"UsAfternoonAPLower", kUs, kAfternoon, "a/p", "p"},
    {"UsAfternoonAPUpper", kUs, kAfternoon, "A/P", "P"},
    {"UsAfternoonAmPmFromSettings", kUs, kAfternoon, "ampm", "PM"},
    {"UsAfternoonDateAndTime", kUs, kAfternoon, "c", "12/31/2023 1:04:05 PM"},
    {"UsAfternoonTwoCs", kUs, kAfternoon, "cc", "12/31/2023 1:04:05 PM"},
    {"UsAfternoonDateSeparator", kUs, kAfternoon, "/", "/"},
    {"UsAfternoonTimeSeparator", kUs, kAfternoon, ":", ":"},
    {"UsAfternoonDoubleQuoted", kUs, kAfternoon, "\"quoted d\"", "quoted d"},
    {"UsAfternoonSingleQuoted", kUs, kAfternoon, "'single m'", "single m"},
    {"UsAfternoonUnclosed", kUs, kAfternoon, "\"unclosed", "unclosed"},
    {"UsAfternoonEmptyQuotes", kUs, kAfternoon, "\"\"", ""},
    {"UsAfternoonMinuteAfterHour", kUs, kAfternoon, "h:m", "13:4"},
    {"UsAfternoonMinutesAfterHour", kUs, kAfternoon, "h:mm", "13:04"},
    {"UsAfternoonHourMinuteSecond", kUs, kAfternoon, "hh:mm:ss", "13:04:05"},
    {"UsAfternoonMinuteAfterQuoted", kUs, kAfternoon, "hh\"x\"mm", "13x04"},
    {"UsAfternoonBlankEndsTheHour", kUs, kAfternoon, "h mm", "13 12"},
    {"UsAfternoonMonthBeforeSecond", kUs, kAfternoon, "mm:ss", "12:05"},
    {"UsAfternoonMonthAfterMinute", kUs, kAfternoon, "hh:nn mm", "13:04 12"},
    {"UsAfternoonMinuteAfterSlash", kUs, kAfternoon, "h/m", "13/4"},
    {"UsAfternoonMinuteAfterOtherChar", kUs, kAfternoon, "h.m", "13.4"},
    {"UsAfternoonMinuteAfterAmPm", kUs, kAfternoon, "hAMPMm", "1PM4"},
    {"UsAfternoonMonthAfterMillisecond", kUs, kAfternoon, "hzm", "13612"},
    {"UsAfternoonMonthAfterDay", kUs, kAfternoon, "hdm", "133112"},
    {"UsAfternoonTwelveHourClock", kUs, kAfternoon, "hh:mm am/pm", "01:04 pm"},
    {"UsAfternoonTwelveHourUnpadded", kUs, kAfternoon, "h a/p", "1 p"},
    {"UsAfternoonTwelveHourSettings", kUs, kAfternoon, "h ampm", "1 PM"},
    {"UsAfternoonTimestamp", kUs, kAfternoon, "dd/mm/yyyy hh:nn:ss.zzz", "31/12/2023 13:04:05.006"},
    {"UsAfternoonUpperCaseLetters", kUs, kAfternoon, "D/M/YY H:N:S", "31/12/23 13:4:5"},
    {"UsAfternoonMonthNameAndYear", kUs, kAfternoon, "dd-mmm-yy", "31-Dec-23"},
    {"UsAfternoonTBetweenDateAndTime", kUs, kAfternoon, "yyyy-mm-ddThh:nn:ss", "2023-12-311:04 PM13:04:05"},
    {"UsAfternoonNoSeparators", kUs, kAfternoon, "hhmm", "1304"},
    {"UsAfternoonLiteralPunctuation", kUs, kAfternoon, "dd. mmmm yyyy", "31. December 2023"},
    {"UsAfternoonBlank", kUs, kAfternoon, " ", " "},
    {"UsMorningDay", kUs, kMorning, "d", "5"},
    {"UsMorningDayPadded", kUs, kMorning, "dd", "05"},
    {"UsMorningShortDayName", kUs, kMorning, "ddd", "Thu"},
    {"UsMorningLongDayName", kUs, kMorning, "dddd", "Thursday"},
    {"UsMorningShortDate", kUs, kMorning, "ddddd", "1/5/2023"},
    {"UsMorningLongDate", kUs, kMorning, "dddddd", "Thursday, January 5, 2023"},
    {"UsMorningSevenDs", kUs, kMorning, "ddddddd", "Thursday, January 5, 2023"},
    {"UsMorningMonth", kUs, kMorning, "m", "1"},
    {"UsMorningMonthPadded", kUs, kMorning, "mm", "01"},
    {"UsMorningShortMonthName", kUs, kMorning, "mmm", "Jan"},
    {"UsMorningLongMonthName", kUs, kMorning, "mmmm", "January"},
    {"UsMorningFiveMs", kUs, kMorning, "mmmmm", "January"},
    {"UsMorningOneY", kUs, kMorning, "y", "23"},
    {"UsMorningTwoYs", kUs, kMorning, "yy", "23"},
    {"UsMorningThreeYs", kUs, kMorning, "yyy", "2023"},
    {"UsMorningFourYs", kUs, kMorning, "yyyy", "2023"},
    {"UsMorningHour", kUs, kMorning, "h", "9"},
    {"UsMorningHourPadded", kUs, kMorning, "hh", "09"},
    {"UsMorningThreeHs", kUs, kMorning, "hhh", "09"},
    {"UsMorningMinute", kUs, kMorning, "n", "7"},
    {"UsMorningMinutePadded", kUs, kMorning, "nn", "07"},
    {"UsMorningSecond", kUs, kMorning, "s", "3"},
    {"UsMorningSecondPadded", kUs, kMorning, "ss", "03"},
    {"UsMorningMillisecond", kUs, kMorning, "z", "45"},
    {"UsMorningTwoZs", kUs, kMorning, "zz", "045"},
    {"UsMorningMillisecondPadded", kUs, kMorning, "zzz", "045"},
    {"UsMorningShortTime", kUs, kMorning, "t", "9:07 AM"},
    {"UsMorningLongTime", kUs, kMorning, "tt", "9:07:03 AM"},
    {"UsMorningBothTimes", kUs, kMorning, "tt t", "9:07:03 AM 9:07 AM"},
    {"UsMorningAmPmLower", kUs, kMorning, "am/pm", "am"},
    {"UsMorningAmPmUpper", kUs, kMorning, "AM/PM", "AM"},
    {"UsMorningAmPmMixed", kUs, kMorning, "Am/Pm", "Am"},
    {"UsMorningAPLower", kUs, kMorning, "a/p", "a"},
    {"UsMorningAPUpper", kUs, kMorning, "A/P", "A"},
    {"UsMorningAmPmFromSettings", kUs, kMorning, "ampm", "AM"},
    {"UsMorningDateAndTime", kUs, kMorning, "c", "1/5/2023 9:07:03 AM"},
    {"UsMorningTwoCs", kUs, kMorning, "cc", "1/5/2023 9:07:03 AM"},
    {"UsMorningDateSeparator", kUs, kMorning, "/", "/"},
    {"UsMorningTimeSeparator", kUs, kMorning, ":", ":"},
    {"UsMorningDoubleQuoted", kUs, kMorning, "\"quoted d\"", "quoted d"},
    {"UsMorningSingleQuoted", kUs, kMorning, "'single m'", "single m"},
    {"UsMorningUnclosed", kUs, kMorning, "\"unclosed", "unclosed"},
    {"UsMorningEmptyQuotes", kUs, kMorning, "\"\"", ""},
    {"UsMorningMinuteAfterHour", kUs, kMorning, "h:m", "9:7"},
    {"UsMorningMinutesAfterHour", kUs, kMorning, "h:mm", "9:07"},
    {"UsMorningHourMinuteSecond", kUs, kMorning, "hh:mm:ss", "09:07:03"},
    {"UsMorningMinuteAfterQuoted", kUs, kMorning, "hh\"x\"mm", "09x07"},
    {"UsMorningBlankEndsTheHour", kUs, kMorning, "h mm", "9 01"},
    {"UsMorningMonthBeforeSecond", kUs, kMorning, "mm:ss", "01:03"},
    {"UsMorningMonthAfterMinute", kUs, kMorning, "hh:nn mm", "09:07 01"},
    {"UsMorningMinuteAfterSlash", kUs, kMorning, "h/m", "9/7"},
    {"UsMorningMinuteAfterOtherChar", kUs, kMorning, "h.m", "9.7"},
    {"UsMorningMinuteAfterAmPm", kUs, kMorning, "hAMPMm", "9AM7"},
    {"UsMorningMonthAfterMillisecond", kUs, kMorning, "hzm", "9451"},
    {"UsMorningMonthAfterDay", kUs, kMorning, "hdm", "951"},
    {"UsMorningTwelveHourClock", kUs, kMorning, "hh:mm am/pm", "09:07 am"},
    {"UsMorningTwelveHourUnpadded", kUs, kMorning, "h a/p", "9 a"},
    {"UsMorningTwelveHourSettings", kUs, kMorning, "h ampm", "9 AM"},
    {"UsMorningTimestamp", kUs, kMorning, "dd/mm/yyyy hh:nn:ss.zzz", "05/01/2023 09:07:03.045"},
    {"UsMorningUpperCaseLetters", kUs, kMorning, "D/M/YY H:N:S", "5/1/23 9:7:3"},
    {"UsMorningMonthNameAndYear", kUs, kMorning, "dd-mmm-yy", "05-Jan-23"},
    {"UsMorningTBetweenDateAndTime", kUs, kMorning, "yyyy-mm-ddThh:nn:ss", "2023-01-059:07 AM09:07:03"},
    {"UsMorningNoSeparators", kUs, kMorning, "hhmm", "0907"},
    {"UsMorningLiteralPunctuation", kUs, kMorning, "dd. mmmm yyyy", "05. January 2023"},
    {"UsMorningBlank", kUs, kMorning, " ", " "},
    {"DeAmPmAfternoonDay", kDeAmPm, kAfternoon, "d", "31"},
    {"DeAmPmAfternoonDayPadded", kDeAmPm, kAfternoon, "dd", "31"},
    {"DeAmPmAfternoonShortDayName", kDeAmPm, kAfternoon, "ddd", "Sun"},
    {"DeAmPmAfternoonLongDayName", kDeAmPm, kAfternoon, "dddd", "Sunday"},
    {"DeAmPmAfternoonShortDate", kDeAmPm, kAfternoon, "ddddd", "31.12.2023"},
    {"DeAmPmAfternoonLongDate", kDeAmPm, kAfternoon, "dddddd", "Sunday, 31. December 2023"},
    {"DeAmPmAfternoonSevenDs", kDeAmPm, kAfternoon, "ddddddd", "Sunday, 31. December 2023"},
    {"DeAmPmAfternoonMonth", kDeAmPm, kAfternoon, "m", "12"},
    {"DeAmPmAfternoonMonthPadded", kDeAmPm, kAfternoon, "mm", "12"},
    {"DeAmPmAfternoonShortMonthName", kDeAmPm, kAfternoon, "mmm", "Dec"},
    {"DeAmPmAfternoonLongMonthName", kDeAmPm, kAfternoon, "mmmm", "December"},
    {"DeAmPmAfternoonFiveMs", kDeAmPm, kAfternoon, "mmmmm", "December"},
    {"DeAmPmAfternoonOneY", kDeAmPm, kAfternoon, "y", "23"},
    {"DeAmPmAfternoonTwoYs", kDeAmPm, kAfternoon, "yy", "23"},
    {"DeAmPmAfternoonThreeYs", kDeAmPm, kAfternoon, "yyy", "2023"},
    {"DeAmPmAfternoonFourYs", kDeAmPm, kAfternoon, "yyyy", "2023"},
    {"DeAmPmAfternoonHour", kDeAmPm, kAfternoon, "h", "13"},
    {"DeAmPmAfternoonHourPadded", kDeAmPm, kAfternoon, "hh", "13"},
    {"DeAmPmAfternoonThreeHs", kDeAmPm, kAfternoon, "hhh", "13"},
    {"DeAmPmAfternoonMinute", kDeAmPm, kAfternoon, "n", "4"},
    {"DeAmPmAfternoonMinutePadded", kDeAmPm, kAfternoon, "nn", "04"},
    {"DeAmPmAfternoonSecond", kDeAmPm, kAfternoon, "s", "5"},
    {"DeAmPmAfternoonSecondPadded", kDeAmPm, kAfternoon, "ss", "05"},
    {"DeAmPmAfternoonMillisecond", kDeAmPm, kAfternoon, "z", "6"},
    {"DeAmPmAfternoonTwoZs", kDeAmPm, kAfternoon, "zz", "006"},
    {"DeAmPmAfternoonMillisecondPadded", kDeAmPm, kAfternoon, "zzz", "006"},
    {"DeAmPmAfternoonShortTime", kDeAmPm, kAfternoon, "t", "13:04"},
    {"DeAmPmAfternoonLongTime", kDeAmPm, kAfternoon, "tt", "13:04:05"},
    {"DeAmPmAfternoonBothTimes", kDeAmPm, kAfternoon, "tt t", "13:04:05 13:04"},
    {"DeAmPmAfternoonAmPmLower", kDeAmPm, kAfternoon, "am/pm", "pm"},
    {"DeAmPmAfternoonAmPmUpper", kDeAmPm, kAfternoon, "AM/PM", "PM"},
    {"DeAmPmAfternoonAmPmMixed", kDeAmPm, kAfternoon, "Am/Pm", "Pm"},
    {"DeAmPmAfternoonAPLower", kDeAmPm, kAfternoon, "a/p", "p"},
    {"DeAmPmAfternoonAPUpper", kDeAmPm, kAfternoon, "A/P", "P"},
    {"DeAmPmAfternoonAmPmFromSettings", kDeAmPm, kAfternoon, "ampm", "nachm."},
    {"DeAmPmAfternoonDateAndTime", kDeAmPm, kAfternoon, "c", "31.12.2023 13:04:05"},
    {"DeAmPmAfternoonTwoCs", kDeAmPm, kAfternoon, "cc", "31.12.2023 13:04:05"},
    {"DeAmPmAfternoonDateSeparator", kDeAmPm, kAfternoon, "/", "."},
    {"DeAmPmAfternoonTimeSeparator", kDeAmPm, kAfternoon, ":", ":"},
    {"DeAmPmAfternoonDoubleQuoted", kDeAmPm, kAfternoon, "\"quoted d\"", "quoted d"},
    {"DeAmPmAfternoonSingleQuoted", kDeAmPm, kAfternoon, "'single m'", "single m"},
    {"DeAmPmAfternoonUnclosed", kDeAmPm, kAfternoon, "\"unclosed", "unclosed"},
    {"DeAmPmAfternoonEmptyQuotes", kDeAmPm, kAfternoon, "\"\"", ""},
    {"DeAmPmAfternoonMinuteAfterHour", kDeAmPm, kAfternoon, "h:m", "13:4"},
    {"DeAmPmAfternoonMinutesAfterHour", kDeAmPm, kAfternoon, "h:mm", "13:04"},
    {"DeAmPmAfternoonHourMinuteSecond", kDeAmPm, kAfternoon, "hh:mm:ss", "13:04:05"},
    {"DeAmPmAfternoonMinuteAfterQuoted", kDeAmPm, kAfternoon, "hh\"x\"mm", "13x04"},
    {"DeAmPmAfternoonBlankEndsTheHour", kDeAmPm, kAfternoon, "h mm", "13 12"},
    {"DeAmPmAfternoonMonthBeforeSecond", kDeAmPm, kAfternoon, "mm:ss", "12:05"},
    {"DeAmPmAfternoonMonthAfterMinute", kDeAmPm, kAfternoon, "hh:nn mm", "13:04 12"},
    {"DeAmPmAfternoonMinuteAfterSlash", kDeAmPm, kAfternoon, "h/m", "13.4"},
    {"DeAmPmAfternoonMinuteAfterOtherChar", kDeAmPm, kAfternoon, "h.m", "13.4"},
    {"DeAmPmAfternoonMinuteAfterAmPm", kDeAmPm, kAfternoon, "hAMPMm", "1nachm.4"},
    {"DeAmPmAfternoonMonthAfterMillisecond", kDeAmPm, kAfternoon, "hzm", "13612"},
    {"DeAmPmAfternoonMonthAfterDay", kDeAmPm, kAfternoon, "hdm", "133112"},
    {"DeAmPmAfternoonTwelveHourClock", kDeAmPm, kAfternoon, "hh:mm am/pm", "01:04 pm"},
    {"DeAmPmAfternoonTwelveHourUnpadded", kDeAmPm, kAfternoon, "h a/p", "1 p"},
    {"DeAmPmAfternoonTwelveHourSettings", kDeAmPm, kAfternoon, "h ampm", "1 nachm."},
    {"DeAmPmAfternoonTimestamp", kDeAmPm, kAfternoon, "dd/mm/yyyy hh:nn:ss.zzz", "31.12.2023 13:04:05.006"},
    {"DeAmPmAfternoonUpperCaseLetters", kDeAmPm, kAfternoon, "D/M/YY H:N:S", "31.12.23 13:4:5"},
    {"DeAmPmAfternoonMonthNameAndYear", kDeAmPm, kAfternoon, "dd-mmm-yy", "31-Dec-23"},
    {"DeAmPmAfternoonTBetweenDateAndTime", kDeAmPm, kAfternoon, "yyyy-mm-ddThh:nn:ss", "2023-12-3113:0413:04:05"},
    {"DeAmPmAfternoonNoSeparators", kDeAmPm, kAfternoon, "hhmm", "1304"},
    {"DeAmPmAfternoonLiteralPunctuation", kDeAmPm, kAfternoon, "dd. mmmm yyyy", "31. December 2023"},
    {"DeAmPmAfternoonBlank", kDeAmPm, kAfternoon, " ", " "},
    {"DeAmPmMorningDay", kDeAmPm, kMorning, "d", "5"},
    {"DeAmPmMorningDayPadded", kDeAmPm, kMorning, "dd", "05"},
    {"DeAmPmMorningShortDayName", kDeAmPm, kMorning, "ddd", "Thu"},
    {"DeAmPmMorningLongDayName", kDeAmPm, kMorning, "dddd", "Thursday"},
    {"DeAmPmMorningShortDate", kDeAmPm, kMorning, "ddddd", "05.01.2023"},
    {"DeAmPmMorningLongDate", kDeAmPm, kMorning, "dddddd", "Thursday, 5. January 2023"},
    {"DeAmPmMorningSevenDs", kDeAmPm, kMorning, "ddddddd", "Thursday, 5. January 2023"},
    {"DeAmPmMorningMonth", kDeAmPm, kMorning, "m", "1"},
    {"DeAmPmMorningMonthPadded", kDeAmPm, kMorning, "mm", "01"},
    {"DeAmPmMorningShortMonthName", kDeAmPm, kMorning, "mmm", "Jan"},
    {"DeAmPmMorningLongMonthName", kDeAmPm, kMorning, "mmmm", "January"},
    {"DeAmPmMorningFiveMs", kDeAmPm, kMorning, "mmmmm", "January"},
    {"DeAmPmMorningOneY", kDeAmPm, kMorning, "y", "23"},
    {"DeAmPmMorningTwoYs", kDeAmPm, kMorning, "yy", "23"},
    {"DeAmPmMorningThreeYs", kDeAmPm, kMorning, "yyy", "2023"},
    {"DeAmPmMorningFourYs", kDeAmPm, kMorning, "yyyy", "2023"},
    {"DeAmPmMorningHour", kDeAmPm, kMorning, "h", "9"},
    {"DeAmPmMorningHourPadded", kDeAmPm, kMorning, "hh", "09"},
    {"DeAmPmMorningThreeHs", kDeAmPm, kMorning, "hhh", "09"},
    {"DeAmPmMorningMinute", kDeAmPm, kMorning, "n", "7"},
    {"DeAmPmMorningMinutePadded", kDeAmPm, kMorning, "nn", "07"},
    {"DeAmPmMorningSecond", kDeAmPm, kMorning, "s", "3"},
    {"DeAmPmMorningSecondPadded", kDeAmPm, kMorning, "ss", "03"},
    {"DeAmPmMorningMillisecond", kDeAmPm, kMorning, "z", "45"},
    {"DeAmPmMorningTwoZs", kDeAmPm, kMorning, "zz", "045"},
    {"DeAmPmMorningMillisecondPadded", kDeAmPm, kMorning, "zzz", "045"},
    {"DeAmPmMorningShortTime", kDeAmPm, kMorning, "t", "09:07"},
    {"DeAmPmMorningLongTime", kDeAmPm, kMorning, "tt", "09:07:03"},
    {"DeAmPmMorningBothTimes", kDeAmPm, kMorning, "tt t", "09:07:03 09:07"},
    {"DeAmPmMorningAmPmLower", kDeAmPm, kMorning, "am/pm", "am"},
    {"DeAmPmMorningAmPmUpper", kDeAmPm, kMorning, "AM/PM", "AM"},
    {"DeAmPmMorningAmPmMixed", kDeAmPm, kMorning, "Am/Pm", "Am"},
    {"DeAmPmMorningAPLower", kDeAmPm, kMorning, "a/p", "a"},
    {"DeAmPmMorningAPUpper", kDeAmPm, kMorning, "A/P", "A"},
    {"DeAmPmMorningAmPmFromSettings", kDeAmPm, kMorning, "ampm", "vorm."},
    {"DeAmPmMorningDateAndTime", kDeAmPm, kMorning, "c", "05.01.2023 09:07:03"},
    {"DeAmPmMorningTwoCs", kDeAmPm, kMorning, "cc", "05.01.2023 09:07:03"},
    {"DeAmPmMorningDateSeparator", kDeAmPm, kMorning, "/", "."},
    {"DeAmPmMorningTimeSeparator", kDeAmPm, kMorning, ":", ":"},
    {"DeAmPmMorningDoubleQuoted", kDeAmPm, kMorning, "\"quoted d\"", "quoted d"},
    {"DeAmPmMorningSingleQuoted", kDeAmPm, kMorning, "'single m'", "single m"},
    {"DeAmPmMorningUnclosed", kDeAmPm, kMorning, "\"unclosed", "unclosed"},
    {"DeAmPmMorningEmptyQuotes", kDeAmPm, kMorning, "\"\"", ""},
    {"DeAmPmMorningMinuteAfterHour", kDeAmPm, kMorning, "h:m", "9:7"},
    {"DeAmPmMorningMinutesAfterHour", kDeAmPm, kMorning, "h:mm", "9:07"},
    {"DeAmPmMorningHourMinuteSecond", kDeAmPm, kMorning, "hh:mm:ss", "09:07:03"},
    {"DeAmPmMorningMinuteAfterQuoted", kDeAmPm, kMorning, "hh\"x\"mm", "09x07"},
    {"DeAmPmMorningBlankEndsTheHour", kDeAmPm, kMorning, "h mm", "9 01"},
    {"DeAmPmMorningMonthBeforeSecond", kDeAmPm, kMorning, "mm:ss", "01:03"},
    {"DeAmPmMorningMonthAfterMinute", kDeAmPm, kMorning, "hh:nn mm", "09:07 01"},
    {"DeAmPmMorningMinuteAfterSlash", kDeAmPm, kMorning, "h/m", "9.7"},
    {"DeAmPmMorningMinuteAfterOtherChar", kDeAmPm, kMorning, "h.m", "9.7"},
    {"DeAmPmMorningMinuteAfterAmPm", kDeAmPm, kMorning, "hAMPMm", "9vorm.7"},
    {"DeAmPmMorningMonthAfterMillisecond", kDeAmPm, kMorning, "hzm", "9451"},
    {"DeAmPmMorningMonthAfterDay", kDeAmPm, kMorning, "hdm", "951"},
    {"DeAmPmMorningTwelveHourClock", kDeAmPm, kMorning, "hh:mm am/pm", "09:07 am"},
    {"DeAmPmMorningTwelveHourUnpadded", kDeAmPm, kMorning, "h a/p", "9 a"},
    {"DeAmPmMorningTwelveHourSettings", kDeAmPm, kMorning, "h ampm", "9 vorm."},
    {"DeAmPmMorningTimestamp", kDeAmPm, kMorning, "dd/mm/yyyy hh:nn:ss.zzz", "05.01.2023 09:07:03.045"},
    {"DeAmPmMorningUpperCaseLetters", kDeAmPm, kMorning, "D/M/YY H:N:S", "5.1.23 9:7:3"},
    {"DeAmPmMorningMonthNameAndYear", kDeAmPm, kMorning, "dd-mmm-yy", "05-Jan-23"},
    {"DeAmPmMorningTBetweenDateAndTime", kDeAmPm, kMorning, "yyyy-mm-ddThh:nn:ss", "2023-01-0509:0709:07:03"},
    {"DeAmPmMorningNoSeparators", kDeAmPm, kMorning, "hhmm", "0907"},
    {"DeAmPmMorningLiteralPunctuation", kDeAmPm, kMorning, "dd. mmmm yyyy", "05. January 2023"},
    {"DeAmPmMorningBlank", kDeAmPm, kMorning, " ", " "},
};

using FormatDateTimeTest = SettingsTest<FormatRow>;

TEST_P(FormatDateTimeTest, WritesEveryPatternLetter)
{
    const FormatRow &row = GetParam();
    ApplyStyle(row.style);
    EXPECT_EQ(FormatDateTime(U(row.format), row.value), U(row.text));
}

INSTANTIATE_TEST_SUITE_P(Rows, FormatDateTimeTest, ::testing::ValuesIn(kFormatRows), kRowName);

TEST_F(Conversions, FormatsThatNameThemselvesStop)
{
    FormatSettings.ShortDateFormat = QStringLiteral("ddddd");
    FormatSettings.LongTimeFormat = QStringLiteral("tt");
    EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd|"), 45291.5), QStringLiteral("|"));
    EXPECT_EQ(TimeToStr(45291.5), QString());
}

TEST_F(Conversions, FormatOfOutOfRangeValuesGivesZeros)
{
    EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy-mm-dd mmm"), 1e300), QStringLiteral("0000-00-00 "));
    EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy"), std::numeric_limits<double>::quiet_NaN()),
              QStringLiteral("0000"));
}

} // namespace
