// syscall_probe: makes exactly one call of an export of libTrelvan.so,
// between two getppid() system calls that mark it for strace, and counts
// the heap allocations made during the call.
//
//   syscall_probe LIBRARY change|remove PATH
#include <fcntl.h>
#include <jni.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "library.h"

// Every allocation in the process passes through these, the library's too.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);
static bool counting = false;
static int allocations = 0;
extern "C" void* malloc(size_t n) { allocations += counting; return __libc_malloc(n); }
extern "C" void* calloc(size_t n, size_t m) { allocations += counting; return __libc_calloc(n, m); }
extern "C" void* realloc(void* p, size_t n) { allocations += counting; return __libc_realloc(p, n); }
extern "C" void* aligned_alloc(size_t a, size_t n) { allocations += counting; return __libc_memalign(a, n); }

namespace {

// A JVM that lends a string's bytes in place, allocating nothing itself.
const char* JNICALL lend(JNIEnv*, jstring s, jboolean*) { return reinterpret_cast<const char*>(s); }
void JNICALL giveBack(JNIEnv*, jstring, const char*) {}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s LIBRARY change|remove PATH\n", argv[0]);
        return 2;
    }
    const Exports exports = loadExports(argv[1]);
    std::string unused;

    JNINativeInterface_ table;
    std::memset(&table, 0, sizeof table);
    table.GetStringUTFChars = lend;
    table.ReleaseStringUTFChars = giveBack;
    JNIEnv env;
    env.functions = &table;

    const bool removing = std::strcmp(argv[2], "remove") == 0;
    const char* path = argv[3];
    close(open(path, O_CREAT | O_WRONLY, 0644));
    chmod(path, removing ? 0444 : 0644);
    jstring string = reinterpret_cast<jstring>(const_cast<char*>(path));

    getppid();
    counting = true;
    const std::uint32_t answer = removing ? callRemoveFile(exports, &env, string, unused)
                                          : callChangeFileMode(exports, &env, string, JNI_TRUE, unused);
    counting = false;
    getppid();

    unlink(path);
    std::printf("answer %d allocations %d\n", static_cast<int>(answer), allocations);
    return answer == 1 ? 0 : 1;
}
