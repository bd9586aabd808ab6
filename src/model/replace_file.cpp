#include "model/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "text/errors.h"

namespace rowsmith {

namespace {

// Linux gives up on a chain of links after 40 as well.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& fileName) {
    const auto slash = fileName.rfind('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// A new name of our own in `folder`, short so that a long target name cannot push it past the
// name limit.
std::string OwnFileName(const std::string& folder, const char* suffix) {
    static std::atomic<unsigned> serial{0};
    return folder + ".rowsmith-" + std::to_string(getpid()) + "-" +
           std::to_string(serial.fetch_add(1)) + suffix;
}

// The file a save writes: `fileName` itself, or what the symbolic link there points to, after
// every link of a chain. A link that points nowhere gives the file it names, to be created.
std::string FollowLinks(const std::string& fileName) {
    std::string path = fileName;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
            throw EFCreateError("Cannot create file " + fileName);
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : FolderOf(path) + target;
    }
    throw EFCreateError("Cannot create file " + fileName);
}

bool WriteAll(int fd, const std::string& contents) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    off_t offset = 0;
    while (left > 0) {
        const ssize_t written = pwrite(fd, data, left, offset);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        offset += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, std::string& contents) {
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(fd, buffer, sizeof buffer, offset);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            return true;
        }
        contents.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

// A descriptor closed on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool Close() {
        if (fd_ < 0) {
            return true;
        }
        const int result = close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

// The new file until it has been renamed over the target: closed and removed on every way out.
class TempFile {
public:
    explicit TempFile(const std::string& fileName) {
        const std::string folder = FolderOf(fileName);
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            path_ = OwnFileName(folder, ".tmp");
            fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST) {
                error_ = errno;
                break;
            }
        }
        created_ = fd_ >= 0;
    }
    ~TempFile() {
        CloseFile();
        if (created_ && !renamed_) {
            unlink(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Why the file could not be made: the folder may not be written, say.
    int Error() const { return error_; }

    bool Write(const std::string& contents) {
        // The data must be on the disk before the rename makes it the file.
        return WriteAll(fd_, contents) && fsync(fd_) == 0 && CloseFile();
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
    int error_ = 0;
    bool created_ = false;
    bool renamed_ = false;
};

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && folder[0] == '/' ? folder : "/tmp";
    return path.ends_with('/') ? path : path + "/";
}

// The copy of a file rewritten in place, kept in the temporary folder until the new contents
// are safe.
class BackupCopy {
public:
    explicit BackupCopy(const std::string& contents) {
        const std::string folder = TemporaryFolder();
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            path_ = OwnFileName(folder, ".scn");
            // Only its owner may read it: the file may be in a shared folder for a reason.
            fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST) {
                break;
            }
        }
        if (fd < 0) {
            path_.clear();
            return;
        }
        FileDescriptor file(fd);
        kept_ = WriteAll(fd, contents) && fsync(fd) == 0 && file.Close();
        if (!kept_) {
            unlink(path_.c_str());
        }
    }

    bool Kept() const { return kept_; }
    const std::string& Path() const { return path_; }
    void Remove() {
        unlink(path_.c_str());
        kept_ = false;
    }

private:
    std::string path_;
    bool kept_ = false;
};

bool Rewrite(int fd, const std::string& contents) {
    return WriteAll(fd, contents) && ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
           fsync(fd) == 0;
}

// Overwrites the file itself: its folder may not be written, so nothing can be made beside it.
// The file keeps its inode, and with it its owner and permissions.
void RewriteInPlace(const std::string& fileName, const std::string& contents) {
    FileDescriptor file(open(fileName.c_str(), O_RDWR | O_CLOEXEC));
    std::string former;
    if (file.get() < 0 || !ReadAll(file.get(), former)) {
        throw EFCreateError("Cannot create file " + fileName);
    }
    BackupCopy backup(former);
    if (!backup.Kept()) {
        // Without a copy a failing write could lose the file; better not to start it.
        throw EFCreateError("Cannot create file " + fileName);
    }
    if (Rewrite(file.get(), contents) && file.Close()) {
        backup.Remove();
        return;
    }
    if (Rewrite(file.get(), former)) {
        backup.Remove();
        throw EWriteError("Stream write error");
    }
    throw EWriteError("Stream write error. The former contents of " + fileName + " are kept in " +
                      backup.Path());
}

bool IsRegularFile(const std::string& fileName) {
    struct stat st;
    return stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void ReplaceFile(const std::string& fileName, const std::string& contents) {
    const std::string target = FollowLinks(fileName);
    TempFile temp(target);
    if (!temp.IsOpen()) {
        const int error = temp.Error();
        if ((error == EACCES || error == EPERM) && IsRegularFile(target)) {
            RewriteInPlace(target, contents);
            return;
        }
        throw EFCreateError("Cannot create file " + fileName);
    }
    temp.KeepModeOf(target);
    if (!temp.Write(contents)) {
        throw EWriteError("Stream write error");
    }
    if (!temp.RenameTo(target)) {
        throw EFCreateError("Cannot create file " + fileName);
    }
}

}  // namespace rowsmith
