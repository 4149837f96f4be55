#include "FaultyFiles.h"

#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

namespace tavrel::faults {
namespace {

struct State {
    std::mutex mutex;
    std::string writeName, syncName, truncateName;
    std::size_t writeBudget = 0;
    int writeError = 0, syncError = 0, truncateError = 0;
    std::vector<std::string> record;
};

State& state() {
    static State s;
    return s;
}

std::string pathOf(int fd) {
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

bool endsWith(const std::string& s, const std::string& end) {
    return !end.empty() && s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

template <typename Fn> Fn next(const char* name) {
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

} // namespace

void failWritesAfter(const std::string& name, std::size_t bytes, int error) {
    std::lock_guard lock(state().mutex);
    state().writeName = name;
    state().writeBudget = bytes;
    state().writeError = error;
}

void failSyncs(const std::string& name, int error) {
    std::lock_guard lock(state().mutex);
    state().syncName = name;
    state().syncError = error;
}

void failTruncates(const std::string& name, int error) {
    std::lock_guard lock(state().mutex);
    state().truncateName = name;
    state().truncateError = error;
}

std::vector<std::string> syncsAndRenames() {
    std::lock_guard lock(state().mutex);
    return state().record;
}

bool replacedDurably(const std::filesystem::path& file) {
    const std::string temp = file.string() + ".tmp";
    const std::string steps[] = {"fsync " + temp, "rename " + temp + " " + file.string(),
                                 "fsync " + file.parent_path().string()};
    std::size_t found = 0;
    for (const std::string& entry : syncsAndRenames())
        if (found < std::size(steps) && entry == steps[found]) ++found;
    return found == std::size(steps);
}

void reset() {
    std::lock_guard lock(state().mutex);
    State& s = state();
    s.writeName.clear();
    s.syncName.clear();
    s.truncateName.clear();
    s.record.clear();
}

} // namespace tavrel::faults

using tavrel::faults::endsWith;
using tavrel::faults::next;
using tavrel::faults::pathOf;
using tavrel::faults::State;

extern "C" ssize_t write(int fd, const void* buf, size_t count) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    {
        State& s = tavrel::faults::state();
        std::lock_guard lock(s.mutex);
        if (!s.writeName.empty() && endsWith(pathOf(fd), s.writeName)) {
            if (s.writeBudget == 0) {
                errno = s.writeError;
                return -1;
            }
            if (count > s.writeBudget) count = s.writeBudget;
            s.writeBudget -= count;
        }
    }
    return real(fd, buf, count);
}

extern "C" int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    {
        State& s = tavrel::faults::state();
        std::lock_guard lock(s.mutex);
        const std::string path = pathOf(fd);
        s.record.push_back("fsync " + path);
        if (!s.syncName.empty() && endsWith(path, s.syncName)) {
            errno = s.syncError;
            return -1;
        }
    }
    return real(fd);
}

extern "C" int ftruncate(int fd, off_t length) noexcept {
    static const auto real = next<int (*)(int, off_t)>("ftruncate");
    {
        State& s = tavrel::faults::state();
        std::lock_guard lock(s.mutex);
        if (!s.truncateName.empty() && endsWith(pathOf(fd), s.truncateName)) {
            errno = s.truncateError;
            return -1;
        }
    }
    return real(fd, length);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    {
        State& s = tavrel::faults::state();
        std::lock_guard lock(s.mutex);
        s.record.push_back(std::string("rename ") + from + " " + to);
    }
    return real(from, to);
}
