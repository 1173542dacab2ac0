// fileops.h: the file primitives the JNI bridge puts together.
//
// Both primitives take the path exactly as the JVM lends it: a NUL-terminated
// string in modified UTF-8. Each answers 0 for success and -1 for failure and
// never says why. Neither keeps state, locks or allocates beyond the call, so
// any number of threads may call them at once.
#pragma once

// The permission mask, in the POSIX permission-bit layout. <sys/stat.h> on
// POSIX and MinGW's headers define these names with the same values; where
// they are already defined, theirs stand.
#ifndef S_IWRITE
#define S_IWRITE 0x0080
#endif
#ifndef S_IREAD
#define S_IREAD 0x0100
#endif
static_assert(S_IWRITE == 0x0080 && S_IREAD == 0x0100, "the mask uses the POSIX layout");

namespace fileops {

// setFileMode: sets or clears the read-only attribute of the file or
// directory at `path`. Only bit S_IWRITE of `mode` is looked at: set, the
// entry is made writable; clear, read-only. Every other attribute is written
// back as it was read. Answers 0, or -1 when the attributes cannot be read or
// written (then nothing has changed). Never follows a symbolic link in the
// last path component.
int setFileMode(const char* path, int mode);

// deletePath: deletes the file at `path`. Answers 0 when it is gone, -1 when
// the platform refused: a read-only file, a directory, a missing entry, an
// unusable name. Never touches the read-only attribute itself, and removes a
// symbolic link rather than its target.
int deletePath(const char* path);

}  // namespace fileops
