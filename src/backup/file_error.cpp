#include "backup/file_error.h"

#include <cerrno>

namespace ordalis {

std::string fileErrorMessage(int cause, std::string_view path)
{
    const bool known = cause >= 0 && cause < int(kFileErrorMessages.size());
    const std::string_view pattern = kFileErrorMessages[known ? cause : int(FileErrorCause::Unknown)];
    std::string text(pattern);
    if (const auto at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, path);
    }
    return text;
}

FileErrorCause fileErrorCauseFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return FileErrorCause::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
    case EXDEV: // the temporary file could not be moved across file systems
        return FileErrorCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
    case ENOTEMPTY:
        return FileErrorCause::AccessDenied;
    case EBADF:
        return FileErrorCause::BadHandle;
    case EBUSY:
    case ETXTBSY:
        return FileErrorCause::SharingViolation;
    case ENOLCK:
    case EDEADLK:
        return FileErrorCause::LockingViolation;
    case EMLINK:
        return FileErrorCause::DirectoryFull;
    case ESPIPE:
        return FileErrorCause::SeekFailed;
    case EIO:
        return FileErrorCause::HardwareIo;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileErrorCause::DiskFull;
    default:
        return FileErrorCause::Unknown;
    }
}

} // namespace ordalis
