// syscall_probe: makes exactly one call of an export of libTrelvan.so,
// between two getppid() system calls that mark it for strace, and counts
// the heap allocations made during the call.
//
//   syscall_probe LIBRARY change|remove PATH
#include <dlfcn.h>
#include <fcntl.h>
#include <jni.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

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
    void* library = dlopen(argv[1], RTLD_NOW);
    if (library == nullptr) return std::fprintf(stderr, "%s\n", dlerror()), 2;
    using Change = jint(JNICALL*)(JNIEnv*, jclass, jstring, jboolean);
    using Remove = jint(JNICALL*)(JNIEnv*, jclass, jstring);
    auto change = reinterpret_cast<Change>(dlsym(library, "Java_zorbel_jni_FileSystemHandler_changeFileMode"));
    auto remove = reinterpret_cast<Remove>(dlsym(library, "Java_zorbel_jni_FileSystemHandler_removeFile"));
    if (change == nullptr || remove == nullptr) return std::fprintf(stderr, "exports missing\n"), 2;

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
    const jint answer = removing ? remove(&env, nullptr, string) : change(&env, nullptr, string, JNI_TRUE);
    counting = false;
    getppid();

    unlink(path);
    std::printf("answer %d allocations %d\n", static_cast<int>(answer), allocations);
    return answer == 1 ? 0 : 1;
}
