#include "model/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "text/errors.h"

namespace rowsmith {

namespace {

// The new file until it has been renamed over the target: closed and removed on every way out.
class TempFile {
public:
    explicit TempFile(const std::string& fileName) {
        static std::atomic<unsigned> serial{0};
        const auto slash = fileName.rfind('/');
        const std::string folder =
            slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
        // A short name of our own, so a long target name cannot push it past the name limit.
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            path_ = folder + ".rowsmith-" + std::to_string(getpid()) + "-" +
                    std::to_string(serial.fetch_add(1)) + ".tmp";
            fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST) {
                break;
            }
        }
    }
    ~TempFile() {
        CloseFile();
        if (!renamed_) {
            unlink(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    bool Write(const std::string& contents) {
        const char* data = contents.data();
        std::size_t left = contents.size();
        while (left > 0) {
            const ssize_t written = write(fd_, data, left);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        // The data must be on the disk before the rename makes it the file.
        return fsync(fd_) == 0 && CloseFile();
    }

    void KeepModeOf(const std::string& fileName) {
        struct stat former;
        if (stat(fileName.c_str(), &former) == 0 && S_ISREG(former.st_mode)) {
            fchmod(fd_, former.st_mode & 07777);
        }
    }

    bool RenameTo(const std::string& fileName) {
        renamed_ = rename(path_.c_str(), fileName.c_str()) == 0;
        return renamed_;
    }

private:
    bool CloseFile() {
        if (fd_ < 0) {
            return true;
        }
        const int result = close(fd_);
        fd_ = -1;
        return result == 0;
    }

    std::string path_;
    int fd_ = -1;
    bool renamed_ = false;
};

}  // namespace

void ReplaceFile(const std::string& fileName, const std::string& contents) {
    TempFile temp(fileName);
    if (!temp.IsOpen()) {
        throw EFCreateError("Cannot create file " + fileName);
    }
    temp.KeepModeOf(fileName);
    if (!temp.Write(contents)) {
        throw EWriteError("Stream write error");
    }
    if (!temp.RenameTo(fileName)) {
        throw EFCreateError("Cannot create file " + fileName);
    }
}

}  // namespace rowsmith
