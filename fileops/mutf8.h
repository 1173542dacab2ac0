// mutf8.h: turning the JVM's modified UTF-8 into the names a host file
// system takes.
//
// Modified UTF-8 writes U+0000 as C0 80, has no 4-byte forms, and writes each
// half of a surrogate pair as its own 3-byte sequence. The decoders here are
// strict: an embedded NUL, a stray or missing continuation byte, an overlong
// form or a 4-byte lead is refused whole, so a name is never shortened or
// altered on its way to the file system. Pure code: no platform calls, no
// allocation, no state.
#pragma once

#include <cstddef>

namespace fileops::mutf8 {

// Answer of the decoders when the input is not well-formed modified UTF-8,
// holds an embedded NUL, or cannot be written in the target encoding.
inline constexpr std::size_t kMalformed = static_cast<std::size_t>(-1);
// Answer of the decoders when the decoded name does not fit the output.
inline constexpr std::size_t kTooLong = static_cast<std::size_t>(-2);

// isShortAscii: true when `in` holds only bytes 0x01..0x7F and is shorter
// than `limit` bytes. Such a string reads the same in modified UTF-8, UTF-8
// and every ANSI code page. Reads at most `limit` bytes.
bool isShortAscii(const char* in, std::size_t limit);

// toUtf16: decodes `in` into UTF-16 at `out`, which has room for `capacity`
// units including the terminating NUL. Surrogates pass through as they are,
// paired or not, as Java strings and Windows names both allow. Answers the
// number of units written before the NUL, kMalformed, or kTooLong.
std::size_t toUtf16(const char* in, char16_t* out, std::size_t capacity);

// toUtf8: decodes `in` into standard UTF-8 at `out`, which has room for
// `capacity` bytes including the terminating NUL. A surrogate pair becomes one
// 4-byte sequence; an unpaired surrogate has no UTF-8 form and is refused as
// kMalformed. Answers the number of bytes written before the NUL, kMalformed,
// or kTooLong.
std::size_t toUtf8(const char* in, char* out, std::size_t capacity);

}  // namespace fileops::mutf8
