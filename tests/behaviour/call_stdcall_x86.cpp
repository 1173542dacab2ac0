// call_stdcall_x86.cpp: calling the exports as a 32-bit Windows JVM does,
// with every argument in a 4-byte stack slot, and checking that the callee
// pops exactly its argument bytes (stdcall) and answers in the whole of EAX.
#include <cstdio>

#include "library.h"

namespace {

// stdcallWithSlots: pushes `count` 4-byte slots (the last first), calls
// `function`, and answers EAX. `unpopped` receives the bytes the callee left
// on the stack (negative: it popped too many). The stack pointer is restored
// from a callee-saved register whatever the callee did.
std::uint32_t stdcallWithSlots(void* function, const std::uint32_t* slots, std::uint32_t count, long& unpopped) {
    std::uint32_t result;
    std::uint32_t counter = count;  // ECX: the slots still to push, then the bytes left
    asm volatile(
        "movl %%esp, %%edi\n\t"
        "1:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%edx,%%ecx,4)\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *%%esi\n\t"
        "movl %%edi, %%ecx\n\t"
        "subl %%esp, %%ecx\n\t"
        "movl %%edi, %%esp\n\t"
        : "=a"(result), "+c"(counter), "+d"(slots)
        : "S"(function)
        : "edi", "memory", "cc");
    unpopped = static_cast<std::int32_t>(counter);
    return result;
}

std::uint32_t call(void* function, const std::uint32_t* slots, std::uint32_t count, const char* name,
                   std::string& problem) {
    long unpopped = 0;
    const std::uint32_t answer = stdcallWithSlots(function, slots, count, unpopped);
    if (unpopped != 0) {
        char text[160];
        std::snprintf(text, sizeof text, "%s left %ld bytes of its %u on the stack; ", name, unpopped,
                      static_cast<unsigned>(count * 4));
        problem += text;
    }
    return answer;
}

std::uint32_t slot(const void* p) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p)); }

}  // namespace

std::uint32_t callChangeFileMode(const Exports& exports, JNIEnv* env, jstring path, std::uint32_t flagSlot,
                                 std::string& problem) {
    const std::uint32_t slots[] = {slot(env), 0xDEADBEEF, slot(path), flagSlot};
    return call(exports.changeFileMode, slots, 4, "changeFileMode", problem);
}

std::uint32_t callRemoveFile(const Exports& exports, JNIEnv* env, jstring path, std::string& problem) {
    const std::uint32_t slots[] = {slot(env), 0xDEADBEEF, slot(path)};
    return call(exports.removeFile, slots, 3, "removeFile", problem);
}
