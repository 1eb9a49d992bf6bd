#include "designer/core/design_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "common/errors.h"
#include "common/numread.h"
#include "common/numtext.h"
#include "designer/core/single.h"

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

std::string setSizeProblem(const DesignState& s)
{
    const auto size = static_cast<long long>(s.setFsHz.size());
    if (size == 0 || size == s.crystalCount)
        return {};
    return "Warning -- no file saved.  The matched set holds " + integerText(size) +
           " crystals; the design has " + integerText(s.crystalCount) + ".";
}

DesignCircuit designCircuit(const DesignState& s)
{
    const int n = s.crystalCount;
    if (n < 1 || n > kMeshes)  // the tables hold ten meshes; saveCircuit() refuses before this
        throw AppError("Warning -- no file saved.  N must be from 1 to 10.");
    if (const std::string problem = setSizeProblem(s); !problem.empty())
        throw AppError(problem);
    DesignCircuit c;
    c.header = {
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
    // Offsets are taken from F as the file states it, which is what the analyser adds them to.
    const double fileFHz = readNumber(c.header[5]) * 1e6;
    auto crystal = [&](int k) {
        return s.setFsHz.empty() ? std::string("0") : generalText(s.setFsHz[k - 1] - fileFHz, 15);
    };
    c.records.push_back({"cap", "par", number(s.ce1pf)});
    for (int k = 1; k <= n; ++k) {
        c.records.push_back({"xtl", "ser", crystal(k)});
        c.records.push_back({"cap", "ser", number(s.tuningCap[k])});
        c.records.push_back({"cap", "par", number(k < n ? s.couplingCap[k] : s.cenpf)});
    }
    return c;
}

std::vector<std::string> designLines(const DesignState& s)
{
    const DesignCircuit c = designCircuit(s);
    std::vector<std::string> lines = c.header;
    for (const DesignCircuit::Record& r : c.records)
        lines.insert(lines.end(), {r.kind, r.conn, r.value});
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
