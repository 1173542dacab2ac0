// call_direct.cpp: calling the exports where arguments travel in registers
// (x86-64). The flag's register is given a full 32-bit value: the callee must
// look at its low 8 bits only.
#include "library.h"

std::uint32_t callChangeFileMode(const Exports& exports, JNIEnv* env, jstring path, std::uint32_t flagSlot,
                                 std::string&) {
    using Fn = std::uint32_t(JNICALL*)(JNIEnv*, jclass, jstring, std::uint32_t);
    return reinterpret_cast<Fn>(exports.changeFileMode)(env, nullptr, path, flagSlot);
}

std::uint32_t callRemoveFile(const Exports& exports, JNIEnv* env, jstring path, std::string&) {
    using Fn = std::uint32_t(JNICALL*)(JNIEnv*, jclass, jstring);
    return reinterpret_cast<Fn>(exports.removeFile)(env, nullptr, path);
}
