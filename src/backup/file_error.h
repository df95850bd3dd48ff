#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ordalis {

// Why a file operation failed; the number is what the operator sees.
enum class FileErrorCause : std::uint8_t {
    None = 0,
    Unknown = 1,
    NotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    BadHandle = 6,
    CurrentDirectory = 7,
    DirectoryFull = 8,
    SeekFailed = 9,
    HardwareIo = 10,
    SharingViolation = 11,
    LockingViolation = 12,
    DiskFull = 13,
    PastEnd = 14,
};

// The message for each cause; "%1" stands for the path.
inline constexpr std::array<std::string_view, 15> kFileErrorMessages = {
    "No error occurred.",
    "An unknown error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains an incorrect path.",
    "Could not open %1 because there are too many open files.",
    "Access to %1 was denied.",
    "An incorrect file handle was associated with %1.",
    "Could not remove %1 because it is the current directory.",
    "Could not create %1 because the directory is full.",
    "Seek failed on %1",
    "Encountered a hardware I/O error while accessing %1.",
    "Encountered a sharing violation while accessing %1.",
    "Encountered a locking violation while accessing %1.",
    "Disk full while accessing %1.",
    "Attempted to access %1 past its end.",
};

// The message for a cause number with the path in place of "%1"; a number outside the table gives
// the unknown-error message.
std::string fileErrorMessage(int cause, std::string_view path);

// The cause for an errno value of a failed open, write, close or rename. 0 (a failure that left no
// errno) is Unknown, never None.
FileErrorCause fileErrorCauseFromErrno(int errnoValue);

} // namespace ordalis
