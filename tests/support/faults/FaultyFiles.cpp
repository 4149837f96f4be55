#include "FaultyFiles.h"

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

namespace tavrel::faults {
namespace {

// Calls on files whose path ends with `name` fail with `error` (writes once their budget is spent).
struct Fault {
    std::string name;
    int error = 0;
    bool hits(int fd) const;
};

struct State {
    std::mutex mutex;
    Fault write, sync, truncate;
    std::size_t writeBudget = 0;
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

bool Fault::hits(int fd) const {
    return !name.empty() && pathOf(fd).ends_with(name);
}

int failWith(int error) {
    errno = error;
    return -1;
}

template <typename Fn> Fn next(const char* name) {
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

} // namespace

void failWritesAfter(const std::string& name, std::size_t bytes, int error) {
    std::lock_guard lock(state().mutex);
    state().write = {name, error};
    state().writeBudget = bytes;
}

void failSyncs(const std::string& name, int error) {
    std::lock_guard lock(state().mutex);
    state().sync = {name, error};
}

void failTruncates(const std::string& name, int error) {
    std::lock_guard lock(state().mutex);
    state().truncate = {name, error};
}

bool replacedDurably(const std::filesystem::path& file) {
    const std::string temp = file.string() + ".tmp";
    const std::string steps[] = {"fsync " + temp, "rename " + temp + " " + file.string(),
                                 "fsync " + file.parent_path().string()};
    std::size_t found = 0;
    std::lock_guard lock(state().mutex);
    for (const std::string& entry : state().record)
        if (found < std::size(steps) && entry == steps[found]) ++found;
    return found == std::size(steps);
}

void reset() {
    std::lock_guard lock(state().mutex);
    State& s = state();
    s.write = s.sync = s.truncate = {};
    s.record.clear();
}

} // namespace tavrel::faults

using tavrel::faults::failWith;
using tavrel::faults::next;
using tavrel::faults::pathOf;
using tavrel::faults::state;

extern "C" ssize_t write(int fd, const void* buf, size_t count) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    {
        std::lock_guard lock(state().mutex);
        if (state().write.hits(fd)) {
            if (state().writeBudget == 0) return failWith(state().write.error);
            count = std::min(count, state().writeBudget);
            state().writeBudget -= count;
        }
    }
    return real(fd, buf, count);
}

extern "C" int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    {
        std::lock_guard lock(state().mutex);
        state().record.push_back("fsync " + pathOf(fd));
        if (state().sync.hits(fd)) return failWith(state().sync.error);
    }
    return real(fd);
}

extern "C" int ftruncate(int fd, off_t length) noexcept {
    static const auto real = next<int (*)(int, off_t)>("ftruncate");
    {
        std::lock_guard lock(state().mutex);
        if (state().truncate.hits(fd)) return failWith(state().truncate.error);
    }
    return real(fd, length);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    {
        std::lock_guard lock(state().mutex);
        state().record.push_back(std::string("rename ") + from + " " + to);
    }
    return real(from, to);
}
