#pragma once
// Reading and replacing the operator's files so that no failure loses one: a whole file is read
// or the reason why not is given (never an exception), and a file is only ever replaced whole.
//
// A replace writes the new bytes beside the file under its name + ".tmp", flushes them to the
// disk, gives them the permissions (and, where allowed, the owner) of the file they replace,
// renames them over it and syncs the folder. A full disk, a crash or a power cut in between
// leaves the old file or the new one, never a mixture, and never a file that has lost its mode.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

// The system's words for an errno value ("No space left on device").
std::string errorText(int error);

struct FileRead {
    std::string bytes;
    int error = 0; // errno of the open or the read; ENOENT: there is no such file
    bool missing() const;
};

// Writes all of `data` to `fd`, across short writes and interruptions; false (errno set) on an error.
bool writeAll(int fd, std::string_view data);

// Reads the whole file.
FileRead readWholeFile(const std::filesystem::path& file);

struct WriteFailure {
    enum class Step {
        Read,    // the source of a copy could not be read
        Create,  // the temporary file could not be made
        Write,   // writing or flushing the new bytes failed
        Replace, // the rename over the old file failed
        Sync,    // the folder could not be synced after the rename
    };
    Step step;
    int error; // errno
    std::string reason() const { return errorText(error); }
};

// Replaces (or creates) `file` with `bytes`. On failure the old file is untouched, except after
// Step::Sync, where the new file is in place but may not survive a power cut.
std::optional<WriteFailure> replaceFile(const std::filesystem::path& file, std::string_view bytes);

// Copies `from` over `to` the same way; a new `to` gets the permissions of `from`.
std::optional<WriteFailure> copyFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Flushes the folder that holds `file`, so an entry just made or renamed in it is on the disk.
// Returns the errno, or 0; a file system that cannot sync folders counts as done.
int syncFolderOf(const std::filesystem::path& file);

} // namespace tavrel
