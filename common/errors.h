#pragma once
// The failures every command can meet. Each carries the exact text the user sees;
// the window's event loop catches them once and shows that text in a message box.

#include <stdexcept>
#include <string>

// Base of every error that ends the running command and is shown to the user.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that should hold a number and does not.
class ConvertError : public AppError {
public:
    using AppError::AppError;
    static ConvertError integer(const std::string& text);   // "'x' is not a valid integer value"
    static ConvertError floating(const std::string& text);  // "'x' is not a valid floating point value"
};

// A file that cannot be opened, read or written.
class FileError : public AppError {
public:
    using AppError::AppError;
    static FileError notFound();                           // "File not found"
    static FileError fromErrno(int err);                   // the platform's text for errno
};

// A floating-point division by zero, invalid operation or overflow, raised by explicit checks at
// the points where it can occur, never left to the processor's flags or to signals.
class FloatError : public AppError {
public:
    using AppError::AppError;
    static FloatError divisionByZero();  // "Floating point division by zero"
    static FloatError invalidOperation(); // "Invalid floating point operation"
    static FloatError overflow();         // "Floating point overflow"
};

namespace messages {
inline constexpr const char* kFileNotFound = "File not found";
inline constexpr const char* kDivisionByZero = "Floating point division by zero";
inline constexpr const char* kInvalidOperation = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";
}  // namespace messages
