#include "common/errors.h"

#include <cerrno>
#include <cstring>

ConvertError ConvertError::integer(const std::string& text)
{
    return ConvertError("'" + text + "' is not a valid integer value");
}

ConvertError ConvertError::floating(const std::string& text)
{
    return ConvertError("'" + text + "' is not a valid floating point value");
}

FileError FileError::notFound()
{
    return FileError(messages::kFileNotFound);
}

FileError FileError::fromErrno(int err)
{
    if (err == ENOENT)
        return notFound();
    return FileError(std::strerror(err));
}

FloatError FloatError::divisionByZero()
{
    return FloatError(messages::kDivisionByZero);
}

FloatError FloatError::invalidOperation()
{
    return FloatError(messages::kInvalidOperation);
}

FloatError FloatError::overflow()
{
    return FloatError(messages::kOverflow);
}
