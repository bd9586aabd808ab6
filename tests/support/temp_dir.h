// TempDir: a fresh folder under the system's temporary folder, removed with everything in it when
// the object goes away. Tests put their databases, scenarios and configuration files here.
#pragma once

#include <string>

namespace rowsmith::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// Whole-file helpers for tests.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);

}  // namespace rowsmith::test
