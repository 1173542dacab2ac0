// stress: several processes, each with several threads, make random
// changeFileMode and removeFile calls through the real library on one shared
// set of files, directories and links, for a bounded time. Then:
//   - no process crashed;
//   - an entry is gone exactly when one removeFile on it answered 1 (never
//     two), and no directory is gone;
//   - a file or directory still there never had a changeFileMode answer 0;
//   - no link target changed: each still there, its mode and content as set;
//   - every borrowed string was given back.
//
//   stress LIBRARY [SECONDS]
#include <fcntl.h>
#include <jni.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "library.h"

namespace {

constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kFiles = 300;
constexpr int kDirectories = 12;
constexpr int kLinks = 24;

// A thread-safe JVM stand-in: each borrow is a fresh copy, counted.
std::atomic<long> borrowed{0}, released{0};
const char* JNICALL lend(JNIEnv*, jstring s, jboolean*) {
    ++borrowed;
    return strdup(reinterpret_cast<const char*>(s));
}
void JNICALL giveBack(JNIEnv*, jstring, const char* chars) {
    ++released;
    std::free(const_cast<char*>(chars));
}

enum class Kind { file, directory, link };
struct Entry {
    std::string path;
    Kind kind;
};

// What one process saw, per entry: removes answered 1, changes answered 0.
struct Tally {
    int removed[kFiles + kDirectories + kLinks];
    int changeFailed[kFiles + kDirectories + kLinks];
    long calls;
    long unbalancedBorrows;
};

std::string targetOf(int i) { return "targets/t" + std::to_string(i); }
mode_t targetMode(int i) { return i % 2 ? 0444 : 0640; }

std::vector<Entry> makeFixture() {
    mkdir("shared", 0755);
    mkdir("targets", 0755);
    std::vector<Entry> entries;
    for (int i = 0; i < kFiles; ++i) {
        const std::string p = "shared/f" + std::to_string(i);
        close(open(p.c_str(), O_CREAT | O_WRONLY, 0644));
        chmod(p.c_str(), i % 2 ? 0444 : 0644);
        entries.push_back({p, Kind::file});
    }
    for (int i = 0; i < kDirectories; ++i) {
        const std::string p = "shared/d" + std::to_string(i);
        mkdir(p.c_str(), i % 2 ? 0555 : 0755);
        entries.push_back({p, Kind::directory});
    }
    for (int i = 0; i < kLinks; ++i) {
        const int fd = open(targetOf(i).c_str(), O_CREAT | O_WRONLY, 0644);
        (void)!write(fd, "target", 6);
        close(fd);
        chmod(targetOf(i).c_str(), targetMode(i));
        const std::string p = "shared/l" + std::to_string(i);
        (void)!symlink(("../" + targetOf(i)).c_str(), p.c_str());
        entries.push_back({p, Kind::link});
    }
    return entries;
}

void work(const Exports& exports, const std::vector<Entry>& entries, Tally& tally, double seconds) {
    JNINativeInterface_ table;
    std::memset(&table, 0, sizeof table);
    table.GetStringUTFChars = lend;
    table.ReleaseStringUTFChars = giveBack;

    std::atomic<long> calls{0};
    std::vector<std::atomic<int>> removed(entries.size()), changeFailed(entries.size());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            JNIEnv env;
            env.functions = &table;
            std::mt19937 random(static_cast<unsigned>(getpid() * 31 + t));
            std::string unused;
            while (std::chrono::steady_clock::now() < deadline) {
                const std::size_t i = random() % entries.size();
                const jstring path = reinterpret_cast<jstring>(const_cast<char*>(entries[i].path.c_str()));
                const unsigned dice = random() % 50000;
                if (dice == 0) {
                    if (callRemoveFile(exports, &env, path, unused) == 1) ++removed[i];
                } else if (callChangeFileMode(exports, &env, path, dice % 2, unused) != 1) {
                    ++changeFailed[i];
                }
                ++calls;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        tally.removed[i] = removed[i];
        tally.changeFailed[i] = changeFailed[i];
    }
    tally.calls = calls;
    tally.unbalancedBorrows = borrowed - released;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LIBRARY [SECONDS]\n", argv[0]);
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 15;
    const Exports exports = loadExports(argv[1]);

    char dir[] = "/tmp/trelvan-stress-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) return std::perror("FAIL scratch"), 1;
    const std::vector<Entry> entries = makeFixture();

    // Each process hands its tally back through a pipe.
    std::vector<std::pair<pid_t, int>> children;
    for (int p = 0; p < kProcesses; ++p) {
        int fds[2];
        if (pipe(fds) != 0) return std::perror("FAIL pipe"), 1;
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            static Tally tally;
            work(exports, entries, tally, seconds);
            const bool sent = write(fds[1], &tally, sizeof tally) == static_cast<ssize_t>(sizeof tally);
            _exit(sent ? 0 : 3);
        }
        close(fds[1]);
        children.push_back({pid, fds[0]});
    }

    int failures = 0;
    long calls = 0;
    std::vector<int> removed(entries.size()), changeFailed(entries.size());
    for (auto [pid, fd] : children) {
        static Tally tally;
        const bool got = read(fd, &tally, sizeof tally) == static_cast<ssize_t>(sizeof tally);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("FAIL a process died (status %d)\n", status);
            ++failures;
            continue;
        }
        if (tally.unbalancedBorrows != 0) {
            std::printf("FAIL %ld borrowed strings were not given back\n", tally.unbalancedBorrows);
            ++failures;
        }
        calls += tally.calls;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            removed[i] += tally.removed[i];
            changeFailed[i] += tally.changeFailed[i];
        }
    }

    int gone = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        struct stat st;
        const bool exists = lstat(e.path.c_str(), &st) == 0;
        gone += !exists;
        const char* problem = nullptr;
        if (removed[i] > 1) problem = "removed by more than one call";
        else if (exists && removed[i] == 1) problem = "answered as removed, but still there";
        else if (!exists && removed[i] == 0) problem = "gone, though no removeFile answered 1";
        else if (e.kind == Kind::directory && !exists) problem = "a directory was removed";
        else if (e.kind != Kind::link && exists && changeFailed[i] > 0) problem = "changeFileMode failed on it";
        if (problem != nullptr) {
            std::printf("FAIL %s: %s\n", e.path.c_str(), problem);
            ++failures;
        }
    }
    for (int i = 0; i < kLinks; ++i) {
        struct stat st;
        char content[16] = {};
        const int fd = open(targetOf(i).c_str(), O_RDONLY);
        const bool read6 = fd >= 0 && read(fd, content, sizeof content) == 6;
        if (fd >= 0) close(fd);
        if (lstat(targetOf(i).c_str(), &st) != 0 || (st.st_mode & 07777) != targetMode(i) || !read6 ||
            std::strcmp(content, "target") != 0) {
            std::printf("FAIL %s: a link's target changed\n", targetOf(i).c_str());
            ++failures;
        }
    }

    std::printf("%ld calls in %d processes x %d threads over %.0f s; %d of %zu entries removed\n", calls, kProcesses,
                kThreads, seconds, gone, entries.size());
    (void)!std::system(("chmod -R u+w " + std::string(dir) + " && rm -rf " + dir).c_str());
    std::printf(failures == 0 ? "stress: ok\n" : "stress: %d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
