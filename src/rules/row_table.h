#pragma once

#include "app/wall_model.h"
#include "protocol/command_code.h"

#include <cstdint>
#include <span>

namespace ordalis {

// The member of the ValueCache a value page's row shows, addressed through the table so that
// one generic step handler serves every row.
using CachedValue = std::uint8_t ValueCache::*;

// One row of a value page: its label and control ids, the command it reads and writes, its
// limits and the member of the ValueCache that holds what the displays last reported. The pages
// keep their own columns beside these (display forms, guards, follow-ups).
struct ValueRow
{
    const char* label;
    int valueId; // the field that shows the value
    int decreaseId;
    int increaseId;
    CommandCode code;
    std::uint8_t minimum;
    std::uint8_t maximum;
    CachedValue cached;
};

using RowTable = std::span<const ValueRow>;

inline std::uint8_t& cachedValue(ValueCache& cache, const ValueRow& row)
{
    return cache.*row.cached;
}

// The row whose control id is id (value field or step arrow), or nullptr.
inline const ValueRow* rowForControl(RowTable rows, int id)
{
    for (const ValueRow& row : rows) {
        if (row.valueId == id || row.decreaseId == id || row.increaseId == id)
            return &row;
    }
    return nullptr;
}

} // namespace ordalis
