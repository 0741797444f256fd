#include "tests/engine/test_support.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vexel::testing {

const char kSimpleHead[] = "<html><head><title>t</title></head><body>";

ScratchDir::ScratchDir() {
    std::random_device random;
    for (;;) {
        std::ostringstream name;
        name << "vexel-test-" << std::hex << random() << random();
        root_ = std::filesystem::temp_directory_path() / name.str();
        if (std::filesystem::create_directory(root_)) {
            return;
        }
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_, ec);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 255);
    }
    return bytes;
}

uint64_t Fingerprint(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

std::string PageWithBody(const std::string& body) {
    return kSimpleHead + body;
}

}  // namespace vexel::testing
