// platform.h: the host file system as the primitives need it.
//
// One implementation per platform (win/, posix/), chosen at build time; the
// unit tests link a substitute in their place. Every operation takes the path
// as the JVM lends it (modified UTF-8) and turns it into the host's own form
// itself, refusing names that cannot be carried over unchanged.
#pragma once

#include <cstdint>

// The attribute word's vocabulary, as the Windows file API spells it. On
// Windows <windows.h> defines the same names with the same values.
#ifndef FILE_ATTRIBUTE_READONLY
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#endif
#ifndef INVALID_FILE_ATTRIBUTES
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#endif

namespace fileops::platform {

// getAttributes: the 32-bit attribute word of the entry at `path` itself
// (never of a link's target), or INVALID_FILE_ATTRIBUTES when there is none,
// it cannot be read, or the path is not a usable name. Bit
// FILE_ATTRIBUTE_READONLY tells whether the entry is read-only; a platform may
// keep in the other bits whatever setAttributes needs to restore them.
std::uint32_t getAttributes(const char* path);

// setAttributes: sets the settable attributes of the entry at `path` from a
// word that getAttributes answered, with at most bit FILE_ATTRIBUTE_READONLY
// changed. Answers true when done; false leaves the entry as it was. Never
// acts on a link's target.
bool setAttributes(const char* path, std::uint32_t attributes);

// deleteFile: deletes the file at `path`. Answers true when it is gone; false
// when it was refused, as DeleteFileA refuses it: a read-only file, a
// directory, a missing entry, an unusable name. A symbolic link is removed
// as the link itself.
bool deleteFile(const char* path);

}  // namespace fileops::platform
