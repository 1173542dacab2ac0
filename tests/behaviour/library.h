// library.h: the library under test, as the JVM sees it: a file with two
// exports, called with the JNI calling convention of the target.
#pragma once

#include <jni.h>

#include <cstdint>
#include <string>

struct Exports {
    void* changeFileMode = nullptr;
    void* removeFile = nullptr;
};

// loadExports: loads the library file at `path` and looks up both exports by
// the names the JVM uses on this target. Ends the run, loudly, when the file
// or either name is missing.
Exports loadExports(const std::string& path);

// callChangeFileMode, callRemoveFile: call an export as the JVM does. The
// read-only flag is given as the whole argument slot, so that a test can set
// bits above the jboolean's low 8. Where the target's convention can be
// checked (the callee pops its own arguments on 32-bit Windows), a breach is
// appended to `problem`.
std::uint32_t callChangeFileMode(const Exports& exports, JNIEnv* env, jstring path, std::uint32_t flagSlot,
                                 std::string& problem);
std::uint32_t callRemoveFile(const Exports& exports, JNIEnv* env, jstring path, std::string& problem);
