// bench_primitives: the primitives against the bare system calls they need,
// on tmpfs. The bare versions are the floor: lstat and a no-follow chmod
// for a mode change, and lstat and unlink for a delete.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fileops.h"

namespace {

constexpr long kFchmodat2 = 452;

const std::string& directory() {
    static const std::string dir = [] {
        char name[] = "/dev/shm/trelvan-bench-XXXXXX";
        if (mkdtemp(name) == nullptr) std::abort();
        std::atexit([] { std::system(("rm -rf " + directory()).c_str()); });
        return std::string(name);
    }();
    return dir;
}

std::string makeFile(const std::string& name, mode_t mode) {
    const std::string path = directory() + "/" + name;
    close(open(path.c_str(), O_CREAT | O_WRONLY, 0644));
    chmod(path.c_str(), mode);
    return path;
}

void bareChmod(const char* path, bool readOnly) {
    struct stat st;
    lstat(path, &st);
    const mode_t mode = readOnly ? st.st_mode & 07555 : (st.st_mode & 07777) | S_IWUSR;
    syscall(kFchmodat2, AT_FDCWD, path, mode, AT_SYMLINK_NOFOLLOW);
}

void SetFileModeToggle(benchmark::State& state, const char* name) {
    const std::string path = makeFile(name, 0644);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fileops::setFileMode(path.c_str(), S_IREAD));
        benchmark::DoNotOptimize(fileops::setFileMode(path.c_str(), S_IWRITE));
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK_CAPTURE(SetFileModeToggle, ascii, "toggle.txt");
BENCHMARK_CAPTURE(SetFileModeToggle, non_ascii, "bascule-\xC3\xA9t\xC3\xA9.txt");

void BareToggle(benchmark::State& state) {
    const std::string path = makeFile("bare-toggle.txt", 0644);
    for (auto _ : state) {
        bareChmod(path.c_str(), true);
        bareChmod(path.c_str(), false);
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BareToggle);

// removeFile's work on a read-only file: clear read-only, then delete.
void ClearAndDelete(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = makeFile("remove.txt", 0444);
        state.ResumeTiming();
        fileops::setFileMode(path.c_str(), S_IWRITE);
        benchmark::DoNotOptimize(fileops::deletePath(path.c_str()));
    }
}
BENCHMARK(ClearAndDelete);

void BareClearAndDelete(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = makeFile("bare-remove.txt", 0444);
        state.ResumeTiming();
        bareChmod(path.c_str(), false);
        struct stat st;
        lstat(path.c_str(), &st);
        unlink(path.c_str());
    }
}
BENCHMARK(BareClearAndDelete);

}  // namespace

BENCHMARK_MAIN();
