// fixture_common.cpp: the fixture's portable half.
#include <fstream>
#include <system_error>

#include "behaviour.h"

namespace fixture {

std::filesystem::path native(const std::string& utf8) { return std::filesystem::u8path(utf8); }

bool makeFile(const std::string& name) {
    std::ofstream out(native(name), std::ios::binary);
    out << "trelvan";
    return static_cast<bool>(out);
}

bool makeDirectory(const std::string& name) {
    std::error_code ec;
    return std::filesystem::create_directory(native(name), ec);
}

bool exists(const std::string& name) {
    std::error_code ec;
    return std::filesystem::symlink_status(native(name), ec).type() != std::filesystem::file_type::not_found && !ec;
}

}  // namespace fixture
