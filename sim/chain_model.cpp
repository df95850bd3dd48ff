#include "sim/chain_model.h"

#include "sim/command_table.h"

#include <optional>

namespace ordalis::sim {

namespace {

constexpr int kHighestId = 100;
constexpr std::uint8_t kArrangeDivision = 0x11;
constexpr std::uint8_t kArrangeFromBottom = 0x20;
constexpr std::uint8_t kArrangeFromTop = 0xA0;

// A display that is off still runs its standby controller: it knows its power and nothing else.
bool hearsWhileOff(const std::string& code)
{
    return code == "POW";
}

// The source keys of the remote control switch the main input as MIN does.
std::optional<std::uint8_t> inputOfKey(std::uint8_t key)
{
    switch (key) {
    case 8:
        return 0; // VGA
    case 9:
        return 1; // DVI
    case 10:
        return 9; // HDMI1
    case 11:
        return 10; // HDMI2
    case 12:
        return 13; // DisplayPort
    default:
        return std::nullopt;
    }
}

} // namespace

ChainModel::ChainModel(std::vector<SimDisplay> displays) : m_displays(std::move(displays))
{
}

std::vector<int> ChainModel::allPositions() const
{
    std::vector<int> out;
    for (int p = 1; p <= size(); ++p) {
        out.push_back(p);
    }
    return out;
}

std::vector<Answer> ChainModel::hear(const SimFrame& frame, std::span<const int> reach)
{
    std::vector<Answer> answers;
    const CommandInfo* info = findCommand(frame.code);
    if (!info) {
        return answers;
    }
    const bool toAll = frame.monitorId == 0;

    if (frame.kind == FrameKind::Read) {
        if (info->access == Access::WriteOnly) {
            return answers;
        }
        for (int position : reach) {
            const SimDisplay& d = display(position);
            if ((!toAll && d.monitorId() != frame.monitorId) || (!d.powered() && !hearsWhileOff(frame.code))
                || d.silent()) {
                continue;
            }
            answers.push_back({position, buildReply(d.monitorId(), frame.code, d.value(frame.code))});
        }
        return answers;
    }

    if (frame.kind != FrameKind::Write || info->access == Access::ReadOnly) {
        return answers;
    }
    // A write to all displays is acknowledged once, by the first display that took it and can
    // still talk; the automatic division arrangement is not acknowledged at all.
    const bool acknowledged = !(toAll && frame.code == "DIV" && frame.value == kArrangeDivision);
    int nextId = frame.value;
    for (int position : reach) {
        SimDisplay& d = display(position);
        if ((!toAll && d.monitorId() != frame.monitorId) || (!d.powered() && !hearsWhileOff(frame.code))) {
            continue;
        }
        if (!apply(d, frame, toAll, nextId) || d.silent() || !acknowledged || (toAll && !answers.empty())) {
            continue;
        }
        answers.push_back({position, buildReply(d.monitorId(), frame.code, {frame.value})});
    }
    return answers;
}

bool ChainModel::apply(SimDisplay& d, const SimFrame& frame, bool toAll, int& nextId) const
{
    const std::string& code = frame.code;
    const std::uint8_t v = frame.value;
    if (code == "CID") {
        // To all: each display takes the next number along the chain, starting at the value.
        const int id = toAll ? nextId : v;
        if (id < 1 || id > kHighestId) {
            return false;
        }
        d.setMonitorId(id);
        ++nextId;
        return true;
    }
    if (code == "SID") {
        return true;
    }
    if (code == "DIV" && v == kArrangeDivision && (toAll || m_arrangeOnAddressedDiv)) {
        arrangeDivision(d, false);
        return true;
    }
    if (code == "VAU") {
        d.setValue(code, {v});
        if (v == kArrangeFromBottom || v == kArrangeFromTop) {
            arrangeDivision(d, v == kArrangeFromBottom);
        }
        return true;
    }
    if (code == "ALL") {
        d.resetSettings();
    } else {
        d.setValue(code, {v});
    }
    if (code == "RCU") {
        if (const auto input = inputOfKey(v)) {
            d.setValue("MIN", {*input});
        }
    }
    if (code == "MIN" || code == "ALL" || code == "RCU") {
        d.followMainInput();
    }
    return true;
}

void ChainModel::arrangeDivision(SimDisplay& d, bool fromBottom)
{
    // Left to right along the first display's row, back along the next one.
    const Bytes mat = d.value("MAT");
    if (mat.empty()) {
        return;
    }
    const std::uint8_t matrix = mat.front();
    const int columns = matrix >> 4;
    const int rows = matrix & 0x0F;
    const int id = d.monitorId();
    if (columns == 0 || rows == 0 || id < 1 || id > columns * rows) {
        return;
    }
    const int a = id - 1;
    const int k = a / columns;
    const int p = a % columns;
    const int x = k % 2 == 0 ? p + 1 : columns - p;
    const int y = fromBottom ? rows - k : k + 1;
    d.setValue("DIV", {std::uint8_t(x << 4 | y)});
}

} // namespace ordalis::sim
