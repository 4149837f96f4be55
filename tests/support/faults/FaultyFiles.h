#pragma once
// Faults of the file system made inside the test process: the C library's write, fsync,
// ftruncate and rename are wrapped (link FaultyFiles.cpp into the test program) and fail for the
// files a test names, as a full disk or a failing medium would. Everything else passes through.

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrel::faults {

// Writes to a file whose path ends with `name` take `bytes` more bytes in all, then fail with
// `error`.
void failWritesAfter(const std::string& name, std::size_t bytes, int error = ENOSPC);
// fsync and ftruncate of a file whose path ends with `name` fail with `error`.
void failSyncs(const std::string& name, int error = EIO);
void failTruncates(const std::string& name, int error = EIO);

// Whether the fsyncs and renames since the last reset() show `file` replaced the durable way: its temporary
// file flushed, renamed over it, then the folder flushed.
bool replacedDurably(const std::filesystem::path& file);

// No faults, an empty record.
void reset();

// Resets when the test ends, whatever happens in it.
struct Scope {
    Scope() { reset(); }
    ~Scope() { reset(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

} // namespace tavrel::faults
