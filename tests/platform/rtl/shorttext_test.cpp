#include "shorttext.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Characters whose low or high byte is that of the one looked for, so that
// a search comparing bytes instead of characters would stop on them.
constexpr char16_t kComma = u',';
constexpr char16_t kLookAlikes[] = {u'\u2C00', u'\u012C', u'\u2C2C', u'a'};

} // namespace

TEST(ShortText, CopyTakesEveryLengthExactlyAndWritesNothingBeyond)
{
    for (qsizetype count = 0; count <= 40; ++count) {
        std::vector<char16_t> from(static_cast<size_t>(count));
        for (qsizetype i = 0; i < count; ++i)
            from[size_t(i)] = char16_t(0x100 + i);
        std::vector<char16_t> to(size_t(count) + 2, u'#');
        CopyShortText(to.data() + 1, from.data(), count);
        EXPECT_EQ(to.front(), u'#') << count;
        EXPECT_EQ(to.back(), u'#') << count;
        EXPECT_TRUE(std::equal(from.begin(), from.end(), to.begin() + 1)) << count;
    }
}

TEST(ShortText, FindStopsAtTheFirstOccurrenceOnly)
{
    for (qsizetype length = 0; length <= 40; ++length) {
        std::vector<char16_t> text(static_cast<size_t>(length));
        for (qsizetype i = 0; i < length; ++i)
            text[size_t(i)] = kLookAlikes[i % std::size(kLookAlikes)];
        const QStringView view(text.data(), length);
        EXPECT_EQ(FindShortText(view, kComma), length) << length;
        for (qsizetype at = 0; at < length; ++at) {
            text[size_t(at)] = kComma;
            if (at + 1 < length)
                text[size_t(length - 1)] = kComma; // a later one is not taken
            EXPECT_EQ(FindShortText(view, kComma), at) << length << " " << at;
            // A search that starts past it finds the later one, or the end.
            EXPECT_EQ(FindShortText(view, kComma, at + 1), at + 1 < length ? length - 1 : length);
            text[size_t(at)] = kLookAlikes[at % std::size(kLookAlikes)];
            text[size_t(length - 1)] = kLookAlikes[(length - 1) % std::size(kLookAlikes)];
        }
    }
}
