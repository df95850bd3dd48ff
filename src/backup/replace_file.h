#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace ordalis {

// Writes a file so that it is either wholly replaced or not touched at all: the bytes go to a new
// temporary file in the same folder, which is renamed over the old file only after the complete
// write and close succeeded. On any failure the temporary file is removed.
struct ReplaceFileResult
{
    enum class Stage : std::uint8_t {
        Done,
        Create, // the temporary file could not be created, or not moved to the path
        Write, // writing, flushing or closing the temporary file failed
    };

    Stage stage = Stage::Done;
    int errnoValue = 0; // of the failing call; 0 when it left none

    bool ok() const { return stage == Stage::Done; }
};

ReplaceFileResult replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace ordalis
