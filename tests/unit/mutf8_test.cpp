// mutf8_test.cpp: strict decoding of modified UTF-8 into UTF-16 and UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "mutf8.h"

using fileops::mutf8::isShortAscii;
using fileops::mutf8::kMalformed;
using fileops::mutf8::kTooLong;
using fileops::mutf8::toUtf16;
using fileops::mutf8::toUtf8;

namespace {

std::u16string utf16(const std::string& in, std::size_t* n = nullptr) {
    char16_t out[64];
    const std::size_t r = toUtf16(in.c_str(), out, 64);
    if (n != nullptr) *n = r;
    return r < 64 ? std::u16string(out, r) : std::u16string();
}

std::string utf8(const std::string& in, std::size_t* n = nullptr) {
    char out[64];
    const std::size_t r = toUtf8(in.c_str(), out, 64);
    if (n != nullptr) *n = r;
    return r < 64 ? std::string(out, r) : std::string();
}

TEST(Mutf8, WellFormedInputDecodes) {
    const struct {
        std::string in;
        std::u16string wide;
        std::string narrow;
    } cases[] = {
        {"", u"", ""},
        {"plain/ascii.txt", u"plain/ascii.txt", "plain/ascii.txt"},
        {"caf\xC3\xA9", u"caf\u00E9", "caf\xC3\xA9"},
        {"\xDF\xBF", u"\u07FF", "\xDF\xBF"},                         // last 2-byte code point
        {"\xE0\xA0\x80", u"\u0800", "\xE0\xA0\x80"},                 // first 3-byte code point
        {"\xEF\xBF\xBF", u"\uFFFF", "\xEF\xBF\xBF"},
        {"\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600", "\xF0\x9F\x98\x80"},  // a surrogate pair
        {"\xED\xAF\xBF\xED\xBF\xBF", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},  // the last code point
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16(c.in), c.wide) << c.in;
        EXPECT_EQ(utf8(c.in), c.narrow) << c.in;
    }
}

TEST(Mutf8, MalformedInputAndEmbeddedNulAreRefused) {
    const char* cases[] = {
        "a\xC0\x80",      "\xC0\x80" "b",  "\x80",          "a\xBF",         "\xC3",          "\xC3" "a",
        "\xE6\x97",       "\xE6" "a" "b",  "\xC0\xAF",      "\xC1\xBF",      "\xE0\x80\xAF",  "\xE0\x9F\xBF",
        "\xF0\x9F\x98\x80", "\xF8",        "\xFF",          "\xFE",
    };
    for (const char* in : cases) {
        std::size_t n16, n8;
        utf16(in, &n16);
        utf8(in, &n8);
        EXPECT_EQ(n16, kMalformed) << in;
        EXPECT_EQ(n8, kMalformed) << in;
    }
}

TEST(Mutf8, UnpairedSurrogatesPassToUtf16ButHaveNoUtf8Form) {
    const struct {
        std::string in;
        std::u16string wide;
    } cases[] = {
        {"\xED\xA0\x80", u"\xD800"},             // high alone
        {"\xED\xB0\x80", u"\xDC00"},             // low alone
        {"\xED\xB0\x80\xED\xA0\x80", u"\xDC00\xD800"},  // in the wrong order
        {"\xED\xA0\x80" "a", u"\xD800" "a"},
    };
    for (const auto& c : cases) {
        std::size_t n8;
        EXPECT_EQ(utf16(c.in), c.wide);
        utf8(c.in, &n8);
        EXPECT_EQ(n8, kMalformed);
    }
}

TEST(Mutf8, OutputThatDoesNotFitIsRefusedNotTruncated) {
    char16_t wide[4];
    EXPECT_EQ(toUtf16("abc", wide, 4), 3u);
    EXPECT_EQ(toUtf16("abcd", wide, 4), kTooLong);
    EXPECT_EQ(toUtf16("", wide, 0), kTooLong);

    char narrow[5];
    EXPECT_EQ(toUtf8("\xED\xA0\xBD\xED\xB8\x80", narrow, 5), 4u);  // 4 bytes and the NUL
    EXPECT_EQ(toUtf8("a\xED\xA0\xBD\xED\xB8\x80", narrow, 5), kTooLong);
    EXPECT_EQ(toUtf8("abcd", narrow, 5), 4u);
    EXPECT_EQ(toUtf8("abcde", narrow, 5), kTooLong);
}

TEST(Mutf8, ShortAsciiIsPlainBytesBelowTheLimit) {
    EXPECT_TRUE(isShortAscii("", 1));
    EXPECT_TRUE(isShortAscii("abc", 4));
    EXPECT_FALSE(isShortAscii("abcd", 4));  // as long as the limit
    EXPECT_FALSE(isShortAscii("ab\xC3\xA9", 260));
    EXPECT_FALSE(isShortAscii("\x7F\x80", 260));
    EXPECT_TRUE(isShortAscii("\x01\x7F", 260));
}

}  // namespace
