#include "core/FileStore.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tavrel {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

namespace {

namespace fs = std::filesystem;

// Reads up to `size` bytes, short only at the end of the file; -1 on an error.
ssize_t readSome(int fd, char* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

fs::path tempName(const fs::path& file) {
    fs::path temp = file;
    temp += ".tmp";
    return temp;
}

// Where the new bytes go and how to finish them. The content comes from `fill`, which returns
// the failure of its own source or nothing.
template <typename Fill>
std::optional<WriteFailure> replaceWith(const fs::path& file, const struct stat* newMode, Fill fill) {
    using Step = WriteFailure::Step;
    const fs::path temp = tempName(file);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return WriteFailure{Step::Create, errno};

    // The replaced file's mode and owner, else the ones asked for; a file system without them
    // (a FAT stick) refuses, which is no reason to fail.
    struct stat old {};
    const struct stat* mode = ::stat(file.c_str(), &old) == 0 ? &old : newMode;
    if (mode) {
        (void)::fchmod(fd, mode->st_mode & 07777);
        if (mode == &old && ::geteuid() == 0) (void)::fchown(fd, old.st_uid, old.st_gid);
    }

    std::optional<WriteFailure> failure = fill(fd);
    if (!failure && ::fsync(fd) != 0) failure = WriteFailure{Step::Write, errno};
    if (::close(fd) != 0 && !failure) failure = WriteFailure{Step::Write, errno};
    if (!failure && ::rename(temp.c_str(), file.c_str()) != 0) failure = WriteFailure{Step::Replace, errno};
    if (failure) {
        ::unlink(temp.c_str());
        return failure;
    }
    if (const int err = syncFolderOf(file)) return WriteFailure{Step::Sync, err};
    return std::nullopt;
}

} // namespace

std::string errorText(int error) {
    return std::generic_category().message(error);
}

bool FileRead::missing() const {
    return error == ENOENT;
}

FileRead readWholeFile(const fs::path& file) {
    FileRead result;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        result.bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = readSome(fd, buffer, sizeof buffer);
        if (n < 0) {
            result.error = errno;
            result.bytes.clear();
            break;
        }
        result.bytes.append(buffer, static_cast<size_t>(n));
        if (static_cast<size_t>(n) < sizeof buffer) break;
    }
    ::close(fd);
    return result;
}

std::optional<WriteFailure> replaceFile(const fs::path& file, std::string_view bytes) {
    return replaceWith(file, nullptr, [bytes](int fd) -> std::optional<WriteFailure> {
        if (!writeAll(fd, bytes)) return WriteFailure{WriteFailure::Step::Write, errno};
        return std::nullopt;
    });
}

std::optional<WriteFailure> copyFileOver(const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return WriteFailure{WriteFailure::Step::Read, errno};
    struct stat source {};
    if (::fstat(in, &source) != 0) {
        const int err = errno;
        ::close(in);
        return WriteFailure{WriteFailure::Step::Read, err};
    }
    auto failure = replaceWith(to, &source, [in](int out) -> std::optional<WriteFailure> {
        char buffer[65536];
        for (;;) {
            const ssize_t n = readSome(in, buffer, sizeof buffer);
            if (n < 0) return WriteFailure{WriteFailure::Step::Read, errno};
            if (!writeAll(out, std::string_view(buffer, static_cast<size_t>(n))))
                return WriteFailure{WriteFailure::Step::Write, errno};
            if (static_cast<size_t>(n) < sizeof buffer) return std::nullopt;
        }
    });
    ::close(in);
    return failure;
}

int syncFolderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (err == EINVAL || err == EROFS) err = 0; // folders cannot be synced there
    return err;
}

} // namespace tavrel
