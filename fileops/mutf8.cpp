// mutf8.cpp: strict modified UTF-8 decoding.
#include "mutf8.h"

namespace fileops::mutf8 {
namespace {

constexpr bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
constexpr bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// nextUnit: reads one sequence at `p` into one UTF-16 unit and steps past it.
// Answers false on a malformed or overlong sequence and on an encoded NUL.
// Never reads past the terminating NUL: a NUL is never a continuation byte.
bool nextUnit(const unsigned char*& p, char16_t& unit) {
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        unit = lead;
        p += 1;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        if (!isContinuation(p[1])) return false;
        const unsigned value = (lead & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        if (value < 0x80) return false;  // C0 80 (NUL) and overlong forms
        unit = static_cast<char16_t>(value);
        p += 2;
        return true;
    }
    if ((lead & 0xF0) == 0xE0) {
        if (!isContinuation(p[1]) || !isContinuation(p[2])) return false;
        const unsigned value = (lead & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        if (value < 0x800) return false;  // overlong
        unit = static_cast<char16_t>(value);
        p += 3;
        return true;
    }
    return false;  // a stray continuation byte, or a lead of a form the JVM never writes
}

}  // namespace

bool isShortAscii(const char* in, std::size_t limit) {
    for (std::size_t i = 0; i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (c == 0) return true;
        if (c >= 0x80) return false;
    }
    return false;
}

std::size_t toUtf16(const char* in, char16_t* out, std::size_t capacity) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    std::size_t n = 0;
    while (*p != 0) {
        char16_t unit;
        if (!nextUnit(p, unit)) return kMalformed;
        if (n + 1 >= capacity) return kTooLong;
        out[n++] = unit;
    }
    if (capacity == 0) return kTooLong;
    out[n] = 0;
    return n;
}

std::size_t toUtf8(const char* in, char* out, std::size_t capacity) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    std::size_t n = 0;
    while (*p != 0) {
        char16_t unit;
        if (!nextUnit(p, unit)) return kMalformed;

        unsigned long codePoint = unit;
        if (isLowSurrogate(unit)) return kMalformed;
        if (isHighSurrogate(unit)) {
            char16_t low;
            if (*p == 0 || !nextUnit(p, low) || !isLowSurrogate(low)) return kMalformed;
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00u);
        }

        unsigned char bytes[4];
        std::size_t length;
        if (codePoint < 0x80) {
            bytes[0] = static_cast<unsigned char>(codePoint);
            length = 1;
        } else if (codePoint < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | codePoint >> 6);
            bytes[1] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
            length = 2;
        } else if (codePoint < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | codePoint >> 12);
            bytes[1] = static_cast<unsigned char>(0x80 | (codePoint >> 6 & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
            length = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | codePoint >> 18);
            bytes[1] = static_cast<unsigned char>(0x80 | (codePoint >> 12 & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (codePoint >> 6 & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
            length = 4;
        }
        if (n + length >= capacity) return kTooLong;
        for (std::size_t i = 0; i < length; ++i) out[n++] = static_cast<char>(bytes[i]);
    }
    if (capacity == 0) return kTooLong;
    out[n] = 0;
    return n;
}

}  // namespace fileops::mutf8
