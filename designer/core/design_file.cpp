#include "design_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "errors.h"
#include "numtext.h"
#include "single.h"

namespace {

// Numbers go out as general (15) of their single-precision values: ".02" typed as the
// motional inductance is written 0.0199999995529652, the value the design used.
std::string number(float value)
{
    return generalText(static_cast<double>(value), 15);
}

// Permissions for the new file: the old file's, or what a plain create would give.
mode_t newFileMode(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::vector<std::string> designLines(const DesignState& s)
{
    const int n = s.crystalCount;
    if (n < 1 || n > kMeshes)  // the tables hold ten meshes; saveCircuit() refuses before this
        throw AppError("Warning -- no file saved.  N must be from 1 to 10.");
    std::vector<std::string> lines{
        integerText(3LL * n + 2),
        "100",  // inductor Q: the design has no inductors
        number(s.rend),
        number(s.rend),
        "1",
        number(s.fmhz),
        number(s.lm),
        number(s.c0pf),
        number(s.qu),
        // The sweep, like every number in the file, is written from a single value:
        // 0.05 * 333 goes out as 16.6499996185303, not 16.65.
        number(store(-2.0L * s.bw)),
        number(store(4.0L * s.bw)),
        number(store(0.05L * s.bw)),
        number(s.bw),
        "60",
        "10",
    };
    auto record = [&lines](const char* kind, const char* conn, const std::string& value) {
        lines.insert(lines.end(), {kind, conn, value});
    };
    record("cap", "par", number(s.ce1pf));
    for (int k = 1; k <= n; ++k) {
        record("xtl", "ser", "0");
        record("cap", "ser", number(s.tuningCap[k]));
        record("cap", "par", number(k < n ? s.couplingCap[k] : s.cenpf));
    }
    lines.emplace_back("rlb");
    return lines;
}

void writeLinesReplacing(const std::string& path, const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";

    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (dir.empty())
        dir = ".";
    std::string temp = (dir / ".mirabo-XXXXXX").string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw FileError::fromErrno(errno);

    auto fail = [&](int err, bool open) {
        if (open)
            ::close(fd);
        ::unlink(temp.c_str());
        throw FileError::fromErrno(err);
    };
    if (::fchmod(fd, newFileMode(path)) != 0)
        fail(errno, true);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, true);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        fail(errno, true);
    if (::close(fd) != 0)
        fail(errno, false);
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        fail(errno, false);
}
