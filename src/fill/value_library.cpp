#include "fill/value_library.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <numeric>

#include "text/errors.h"
#include "text/printable.h"

namespace rowsmith {

namespace {

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string LinePrefix(const std::string& name, std::size_t lineNumber) {
    return "Library \"" + name + "\", line " + std::to_string(lineNumber);
}

// A weight with blanks around it allowed; 0 when the text is no weight.
std::uint64_t ParseWeight(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" ");
    const std::size_t last = text.find_last_not_of(" ");
    if (first == std::string_view::npos) {
        return 0;
    }
    std::uint64_t weight = 0;
    for (char c : text.substr(first, last - first + 1)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        weight = weight * 10 + static_cast<std::uint64_t>(c - '0');
        if (weight > ValueLibrary::kMaxWeight) {
            return 0;
        }
    }
    return weight;
}

std::string ReadWholeFile(const std::string& path, const std::string& name) {
    const auto failure = [&](int error) {
        return Exception("Cannot read library \"" + name + "\": " + path + ": " +
                         std::strerror(error));
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw failure(errno);
    }
    std::string text;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else {
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                error = errno;
            }
            if (got <= 0) {
                break;
            }
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (error != 0) {
        throw failure(error);
    }
    return text;
}

}  // namespace

ValueLibrary ValueLibrary::Load(const std::string& path, const std::string& name) {
    std::string text = ReadWholeFile(path, name);
    ValueLibrary library = ReadLines(text, name);
    // The file's bytes go before the alias tables are built, to keep a large library's peak low.
    std::string().swap(text);
    library.Finish();
    return library;
}

std::vector<std::uint32_t> ValueLibrary::DistinctPositions() const {
    std::vector<std::uint32_t> positions(Count());
    std::iota(positions.begin(), positions.end(), 0u);
    std::stable_sort(positions.begin(), positions.end(),
                     [this](std::uint32_t a, std::uint32_t b) { return Value(a) < Value(b); });
    positions.erase(
        std::unique(positions.begin(), positions.end(),
                    [this](std::uint32_t a, std::uint32_t b) { return Value(a) == Value(b); }),
        positions.end());
    return positions;
}

ValueLibrary ValueLibrary::Parse(std::string_view text, const std::string& name) {
    ValueLibrary library = ReadLines(text, name);
    library.Finish();
    return library;
}

ValueLibrary ValueLibrary::ReadLines(std::string_view text, const std::string& name) {
    ValueLibrary library(name);
    // Editors on some systems start UTF-8 files with a byte order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    // One allocation each, so a large library does not pass through doubling copies.
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    library.text_.reserve(text.size());
    library.starts_.reserve(lines + 2);
    library.weights_.reserve(lines + 1);
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        library.AddLine(line, lineNumber);
    }
    return library;
}

void ValueLibrary::Finish() {
    if (Count() == 0) {
        throw Exception("Library \"" + name_ + "\" holds no values");
    }
    BuildAliasTables();
}

void ValueLibrary::AddLine(std::string_view line, std::size_t lineNumber) {
    if (!IsUtf8(line)) {
        throw Exception(LinePrefix(name_, lineNumber) + " is not UTF-8 text");
    }
    if (IsBlank(line)) {
        return;
    }
    if (line.front() == '#') {
        if (description_.empty()) {
            const std::size_t start = line.find_first_not_of(" ", 1);
            description_ = start == std::string_view::npos ? "" : line.substr(start);
        }
        return;
    }
    std::uint64_t weight = 1;
    const std::size_t tab = line.rfind('\t');
    if (tab != std::string_view::npos) {
        weight = ParseWeight(line.substr(tab + 1));
        if (weight == 0) {
            throw Exception(LinePrefix(name_, lineNumber) + ": the weight \"" +
                            std::string(line.substr(tab + 1)) +
                            "\" is not a whole number from 1 to " + std::to_string(kMaxWeight));
        }
        line = line.substr(0, tab);
    }
    if (weights_.size() == std::numeric_limits<std::uint32_t>::max()) {
        throw Exception("Library \"" + name_ + "\" holds more than 4294967295 values");
    }
    text_.append(line);
    starts_.push_back(text_.size());
    weights_.push_back(static_cast<std::uint32_t>(weight));
    longest_ = std::max(longest_, line.size());
}

void ValueLibrary::BuildAliasTables() {
    const std::size_t count = Count();
    std::uint64_t total = 0;
    bool even = true;
    for (std::uint32_t weight : weights_) {
        total += weight;
        even = even && weight == weights_.front();
    }
    if (even) {
        return;
    }
    // Each column holds `total`; value i brings weight * count of it. Whole numbers throughout,
    // so the tables are exact up to the final scaling to 2^32.
    constexpr std::uint64_t kAlways = std::uint64_t{1} << 32;
    std::vector<std::uint64_t> share(count);
    std::vector<std::uint32_t> small;
    std::vector<std::uint32_t> large;
    for (std::size_t i = 0; i < count; ++i) {
        share[i] = std::uint64_t{weights_[i]} * count;
        (share[i] < total ? small : large).push_back(static_cast<std::uint32_t>(i));
    }
    keep_.assign(count, kAlways);
    alias_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        alias_[i] = static_cast<std::uint32_t>(i);
    }
    while (!small.empty() && !large.empty()) {
        const std::uint32_t lesser = small.back();
        small.pop_back();
        const std::uint32_t greater = large.back();
        keep_[lesser] = static_cast<std::uint64_t>(
            (static_cast<unsigned __int128>(share[lesser]) << 32) / total);
        alias_[lesser] = greater;
        share[greater] -= total - share[lesser];
        if (share[greater] < total) {
            large.pop_back();
            small.push_back(greater);
        }
    }
}

}  // namespace rowsmith
