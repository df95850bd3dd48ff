#include "backup/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace ordalis {
namespace {

TEST(FileErrorMessage, NamesThePath)
{
    struct Case
    {
        int cause;
        std::string_view text;
    };
    const Case cases[] = {
        {0, "No error occurred."},
        {1, "An unknown error occurred while accessing /data/wall.bin."},
        {2, "/data/wall.bin was not found."},
        {3, "/data/wall.bin contains an incorrect path."},
        {4, "Could not open /data/wall.bin because there are too many open files."},
        {5, "Access to /data/wall.bin was denied."},
        {6, "An incorrect file handle was associated with /data/wall.bin."},
        {7, "Could not remove /data/wall.bin because it is the current directory."},
        {8, "Could not create /data/wall.bin because the directory is full."},
        {9, "Seek failed on /data/wall.bin"},
        {10, "Encountered a hardware I/O error while accessing /data/wall.bin."},
        {11, "Encountered a sharing violation while accessing /data/wall.bin."},
        {12, "Encountered a locking violation while accessing /data/wall.bin."},
        {13, "Disk full while accessing /data/wall.bin."},
        {14, "Attempted to access /data/wall.bin past its end."},
        {15, "An unknown error occurred while accessing /data/wall.bin."},
        {-1, "An unknown error occurred while accessing /data/wall.bin."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileErrorMessage(c.cause, "/data/wall.bin"), c.text) << c.cause;
    }
}

TEST(FileErrorMessage, PathIsInsertedVerbatim)
{
    EXPECT_EQ(fileErrorMessage(2, "/a/%1 100%.bin"), "/a/%1 100%.bin was not found.");
    EXPECT_EQ(fileErrorMessage(5, ""), "Access to  was denied.");
}

TEST(FileErrorCause, FromErrno)
{
    struct Case
    {
        int errnoValue;
        FileErrorCause cause;
    };
    const Case cases[] = {
        {0, FileErrorCause::Unknown},
        {ENOENT, FileErrorCause::NotFound},
        {ENOTDIR, FileErrorCause::BadPath},
        {ENAMETOOLONG, FileErrorCause::BadPath},
        {EMFILE, FileErrorCause::TooManyOpenFiles},
        {ENFILE, FileErrorCause::TooManyOpenFiles},
        {EACCES, FileErrorCause::AccessDenied},
        {EROFS, FileErrorCause::AccessDenied},
        {EISDIR, FileErrorCause::AccessDenied},
        {EBADF, FileErrorCause::BadHandle},
        {EIO, FileErrorCause::HardwareIo},
        {EBUSY, FileErrorCause::SharingViolation},
        {ENOLCK, FileErrorCause::LockingViolation},
        {ENOSPC, FileErrorCause::DiskFull},
        {EFBIG, FileErrorCause::DiskFull},
        {ESPIPE, FileErrorCause::SeekFailed},
        {EAGAIN, FileErrorCause::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileErrorCauseFromErrno(c.errnoValue), c.cause) << c.errnoValue;
    }
}

} // namespace
} // namespace ordalis
