// driver.cpp: runs the behaviour table against the library named on the
// command line, all in one process, and ends with a count of the cases.
#include <cstdio>
#include <random>
#include <system_error>

#include "behaviour.h"

namespace fs = std::filesystem;

std::uint32_t Context::checked(std::uint32_t answer, const std::string& problem) {
    if (answer > 1) failures_.push_back("the answer was not 0 or 1 in all 32 bits: " + std::to_string(answer));
    if (!problem.empty()) failures_.push_back(problem);
    for (const std::string& p : jni_.problems()) failures_.push_back("JNI: " + p);
    jni_.reset();
    return answer;
}

std::uint32_t Context::change(const std::string& path, std::uint32_t flagSlot) {
    std::string problem;
    return checked(callChangeFileMode(exports_, jni_.env(), jni_.string(path), flagSlot, problem), problem);
}

std::uint32_t Context::remove(const std::string& path) {
    std::string problem;
    return checked(callRemoveFile(exports_, jni_.env(), jni_.string(path), problem), problem);
}

std::uint32_t Context::changeNull() {
    std::string problem;
    const std::uint32_t answer = callChangeFileMode(exports_, jni_.env(), nullptr, kTrue, problem);
    if (jni_.calls() != 0) failures_.push_back("JNI was called for a null string");
    return checked(answer, problem);
}

std::uint32_t Context::removeNull() {
    std::string problem;
    const std::uint32_t answer = callRemoveFile(exports_, jni_.env(), nullptr, problem);
    if (jni_.calls() != 0) failures_.push_back("JNI was called for a null string");
    return checked(answer, problem);
}

std::uint32_t Context::changeRefused(const std::string& path) {
    std::string problem;
    jni_.refuseNextBorrow();
    const std::uint32_t answer = callChangeFileMode(exports_, jni_.env(), jni_.string(path), kTrue, problem);
    if (jni_.calls() != 1) failures_.push_back("JNI was called again after a refused borrow");
    return checked(answer, problem);
}

std::uint32_t Context::removeRefused(const std::string& path) {
    std::string problem;
    jni_.refuseNextBorrow();
    const std::uint32_t answer = callRemoveFile(exports_, jni_.env(), jni_.string(path), problem);
    if (jni_.calls() != 1) failures_.push_back("JNI was called again after a refused borrow");
    return checked(answer, problem);
}

void Context::expect(bool ok, const char* what, int line) {
    if (!ok) failures_.push_back("line " + std::to_string(line) + ": " + what);
}

namespace {

// Makes everything below `dir` writable again and removes it.
void removeTree(const fs::path& dir) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove_all(dir, ec);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
        return 2;
    }
    const Exports exports = loadExports(argv[1]);
    JniStandIn jni;

    const fs::path scratch = fs::temp_directory_path() / ("trelvan-behaviour-" + std::to_string(std::random_device{}()));
    fs::create_directories(scratch);
    std::printf("library: %s\nscratch: %s\n", argv[1], scratch.string().c_str());

    int passed = 0, failed = 0, index = 0;
    for (const std::vector<Case>* table : {&commonCases, &platformCases}) {
        for (const Case& c : *table) {
            const fs::path dir = scratch / ("case-" + std::to_string(++index));
            fs::create_directory(dir);
            fs::current_path(dir);
            Context context(jni, exports);
            c.run(context);
            fs::current_path(scratch);
            if (context.failures().empty()) {
                ++passed;
                std::printf("ok   %s\n", c.name);
            } else {
                ++failed;
                std::printf("FAIL %s\n", c.name);
                for (const std::string& f : context.failures()) std::printf("       %s\n", f.c_str());
            }
        }
    }
    fs::current_path(scratch.parent_path());
    removeTree(scratch);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
