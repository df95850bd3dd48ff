#include "backup/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace ordalis {

namespace {

constexpr int kNameAttempts = 16;

std::filesystem::path temporaryName(const std::filesystem::path& path, unsigned salt)
{
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", salt);
    std::filesystem::path name = path;
    name.replace_filename("." + path.filename().string() + suffix);
    return name;
}

// The temporary file gets a random name beside the target that nothing else holds yet.
bool pickTemporaryName(const std::filesystem::path& path, std::filesystem::path& temporary)
{
    std::random_device random;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = temporaryName(path, random());
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(temporary, ec))) {
            return true;
        }
    }
    return false;
}

} // namespace

ReplaceFileResult replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    using Stage = ReplaceFileResult::Stage;

    if (path.filename().empty()) {
        return {Stage::Create, ENOENT};
    }
    std::filesystem::path temporary;
    if (!pickTemporaryName(path, temporary)) {
        return {Stage::Create, EEXIST};
    }

    std::error_code ignored;
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) {
            return {Stage::Create, errno};
        }
        errno = 0;
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.flush();
        int failure = out.good() ? 0 : (errno != 0 ? errno : EIO);
        out.close();
        if (failure == 0 && out.fail()) {
            failure = errno != 0 ? errno : EIO;
        }
        if (failure != 0) {
            std::filesystem::remove(temporary, ignored);
            return {Stage::Write, failure};
        }
    }

    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ignored);
        return {Stage::Create, ec.value()};
    }
    return {};
}

} // namespace ordalis
