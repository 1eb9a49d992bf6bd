#include "common/file_text.h"

#include <cerrno>
#include <cstdio>

#include "common/errors.h"

std::string readFileText(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw FileError::fromErrno(errno);
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        text.append(buffer, n);
        if (n < sizeof buffer)
            break;
    }
    const bool failed = std::ferror(file);
    const int err = errno;
    std::fclose(file);
    if (failed)
        throw FileError::fromErrno(err);
    return text;
}
