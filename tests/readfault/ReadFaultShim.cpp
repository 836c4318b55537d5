// Loaded with LD_PRELOAD into a program under test: read() of the file named by TALLYVEX_READ_FAULT_FILE
// fails with EIO once TALLYVEX_READ_FAULT_AFTER bytes of it have been read, as a failing disk would.
// Every other read goes through untouched.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <unistd.h>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);

size_t bytesRead = 0;

bool isFaultyFile(int fd, const char* faultyPath)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length < 0)
        return false;
    target[length] = '\0';
    return std::strcmp(target, faultyPath) == 0;
}

} // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count)
{
    static const auto realRead = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
    const char* faultyPath = std::getenv("TALLYVEX_READ_FAULT_FILE");
    if (!faultyPath || !isFaultyFile(fd, faultyPath))
        return realRead(fd, buffer, count);
    const char* after = std::getenv("TALLYVEX_READ_FAULT_AFTER");
    const size_t allowed = after ? std::strtoul(after, nullptr, 10) : 0;
    if (bytesRead >= allowed) {
        errno = EIO;
        return -1;
    }
    const ssize_t result = realRead(fd, buffer, count < allowed - bytesRead ? count : allowed - bytesRead);
    if (result > 0)
        bytesRead += size_t(result);
    return result;
}
