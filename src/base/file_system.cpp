#include "base/file_system.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/ansi.h"

namespace tarnwick {

namespace fs = std::filesystem;

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

namespace {

// What two names that differ only in case have in common. A name with no
// Windows-1252 form (never one copied from the simulator's disks) has its
// ASCII letters folded only.
std::string NameKey(std::string_view utf8Name) {
    if (const std::optional<std::string> ansi = Utf8ToAnsi(utf8Name)) return "A" + UpperCaseAnsi(*ansi);
    return "U" + UpperAscii(utf8Name);
}

}  // namespace

std::optional<fs::path> FindEntryNoCase(const fs::path& folder, std::string_view name) {
    std::error_code error;
    const fs::path exact = folder / fs::path(std::string(name));
    if (fs::exists(fs::symlink_status(exact, error))) return exact;
    const std::string wanted = NameKey(name);
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (NameKey(entry) == wanted && (!best || entry < *best)) best = entry;
    }
    if (!best) return std::nullopt;
    return folder / *best;
}

bool RemoveEntriesNoCase(const fs::path& folder, std::string_view name) {
    const std::string wanted = NameKey(name);
    std::vector<fs::path> matching;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (NameKey(it->path().filename().string()) == wanted && !it->is_directory(ignored))
            matching.push_back(it->path());
    }
    bool removed = !error;
    for (const fs::path& entry : matching) {
        std::error_code failed;
        fs::remove(entry, failed);
        removed = removed && !failed;
    }
    return removed;
}

std::optional<fs::path> ResolveNoCase(const fs::path& base, std::string_view relative) {
    fs::path current = base;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = relative.size();
        const std::string_view part = relative.substr(start, end - start);
        if (!part.empty() && part != ".") {
            if (part == "..") {
                current = current.parent_path();
            } else {
                auto next = FindEntryNoCase(current, part);
                if (!next) return std::nullopt;
                current = *next;
            }
        }
        start = end + 1;
    }
    return current;
}

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw FileError("cannot open " + path.string() + ": " + std::strerror(errno));
    std::vector<std::uint8_t> bytes;
    std::error_code error;
    const auto expected = fs::is_regular_file(path, error) ? fs::file_size(path, error) : 0;
    // Read straight into place; keep going past the expected size in case the
    // file grew, and stop short if it shrank.
    std::size_t filled = 0;
    bytes.resize(error ? std::size_t{1} << 16 : static_cast<std::size_t>(expected) + 1);
    while (true) {
        filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, file);
        if (filled < bytes.size()) break;
        bytes.resize(bytes.size() * 2);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw FileError("cannot read " + path.string());
    bytes.resize(filled);
    return bytes;
}

void WriteFileAtomically(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::path temporary = path;
    temporary += ".tmp-" + std::to_string(::getpid());
    {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        if (!file) throw FileError("cannot create " + temporary.string() + ": " + std::strerror(errno));
        const bool written =
            bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        const bool flushed = std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
        const int savedErrno = errno;
        const bool closed = std::fclose(file) == 0;
        if (!written || !flushed || !closed) {
            std::remove(temporary.c_str());
            throw FileError("cannot write " + path.string() + ": " + std::strerror(savedErrno));
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        throw FileError("cannot replace " + path.string() + ": " + error.message());
    }
}

}  // namespace tarnwick
