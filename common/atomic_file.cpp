#include "common/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/errors.h"

namespace {

// Where a save really goes: the target of a symbolic link, so the link survives.
std::string resolvedTarget(const std::string& name)
{
    struct stat st;
    if (lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(name.c_str(), nullptr)) {
            std::string target = real;
            std::free(real);
            return target;
        }
    }
    return name;
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

mode_t modeFor(const std::string& target)
{
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view text)
{
    const std::string target = resolvedTarget(path);
    std::string temp = directoryOf(target) + "/.save-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0 && errno == ENOENT)
        throw FileError("Cannot write " + path + ": the folder does not exist");
    if (fd < 0)
        throw FileError::fromErrno(errno);

    int err = 0;
    if (fchmod(fd, modeFor(target)) != 0)
        err = errno;
    std::size_t done = 0;
    while (err == 0 && done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno != EINTR)
                err = errno;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (err == 0 && fsync(fd) != 0)
        err = errno;
    if (close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && std::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0) {
        unlink(temp.c_str());
        throw FileError::fromErrno(err);
    }
}
