#pragma once

// Copying and searching the short texts of fields and values. Both stay
// inline in blocks of 16 bytes instead of calling memmove or memchr: on
// texts this short the call and its set-up cost more than the work, and
// the wide 512-bit variants the C library picks on some processors and
// virtual machines were measured several times slower still.

#include <QStringView>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Copies count characters; the ranges do not overlap.
inline void CopyShortText(char16_t *to, const char16_t *from, qsizetype count)
{
    if (count >= 8) {
        const char16_t *const last = from + count - 8;
        for (; from < last; from += 8, to += 8)
            __builtin_memcpy(to, from, 16);
        // The last block ends where the text does, overlapping the one before.
        __builtin_memcpy(to - (from - last), last, 16);
        return;
    }
    if (count >= 4) {
        __builtin_memcpy(to, from, 8);
        __builtin_memcpy(to + count - 4, from + count - 4, 8);
    } else if (count >= 2) {
        __builtin_memcpy(to, from, 4);
        __builtin_memcpy(to + count - 2, from + count - 2, 4);
    } else if (count == 1) {
        *to = *from;
    }
}

// Where the first c at or after `from` stands in text, or text.size().
inline qsizetype FindShortText(QStringView text, QChar c, qsizetype from = 0)
{
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    const char16_t *p = begin + from;
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi16(short(c.unicode()));
    for (; end - p >= 8; p += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (const unsigned found = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(block, needle))))
            return p - begin + (__builtin_ctz(found) >> 1);
    }
#endif
    while (p < end && *p != c.unicode())
        ++p;
    return p - begin;
}
