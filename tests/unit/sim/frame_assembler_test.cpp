#include "sim/frame_assembler.h"
#include "tests/support/hex_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace ordalis::sim {
namespace {

using ordalis::test::hex;
using ordalis::test::toHex;

struct AssemblyCase
{
    const char* what;
    std::vector<const char*> pieces; // as they arrive
    std::vector<const char*> frames;
    const char* skipped;
    std::size_t pending; // bytes still waiting for the rest of a frame
};

TEST(FrameAssembly, CutsTheByteStreamIntoFrames)
{
    const AssemblyCase cases[] = {
        {"one read", {"07 05 01 42 52 49 08"}, {"07 05 01 42 52 49 08"}, "", 0},
        {"byte by byte", {"07", "05", "02", "42", "52", "4C", "32", "08"}, {"07 05 02 42 52 4C 32 08"}, "",
            0},
        {"two frames in one piece", {"07 00 01 50 4F 57 08 07 03 02 54 50 50 05 08"},
            {"07 00 01 50 4F 57 08", "07 03 02 54 50 50 05 08"}, "", 0},
        {"a frame across pieces", {"07 01 01 52", "53 32 08 07 02"}, {"07 01 01 52 53 32 08"}, "", 2},
        {"noise before a frame", {"00 FF 08 07 01 01 50 4F 57 08"}, {"07 01 01 50 4F 57 08"}, "00 FF 08", 0},
        {"wrong end byte: search again from the next byte", {"07 01 01 50 4F 57 07 01 01 50 4F 57 08"},
            {"07 01 01 50 4F 57 08"}, "07 01 01 50 4F 57", 0},
        {"broken frame then a good one", {"07 01 02 42", "07 01 01 42 52 49 08"}, {"07 01 01 42 52 49 08"},
            "07 01 02 42", 0},
        {"reply kind is no command", {"07 01 00 50 4F 57 01 08"}, {}, "07 01 00 50 4F 57 01 08", 0},
        {"unknown kind", {"07 01 03 50 4F 57 08"}, {}, "07 01 03 50 4F 57 08", 0},
        {"code letters must be upper case or digits", {"07 01 01 70 6F 77 08"}, {}, "07 01 01 70 6F 77 08",
            0},
    };
    for (const AssemblyCase& c : cases) {
        FrameAssembler assembler;
        std::vector<SimFrame> frames;
        Bytes skipped;
        for (const char* piece : c.pieces) {
            assembler.feed(hex(piece), frames, skipped);
        }
        std::vector<std::string> got;
        for (const SimFrame& f : frames) {
            got.push_back(toHex(f.bytes));
        }
        EXPECT_EQ(got, std::vector<std::string>(c.frames.begin(), c.frames.end())) << c.what;
        EXPECT_EQ(toHex(skipped), c.skipped) << c.what;
        EXPECT_EQ(assembler.pendingBytes(), c.pending) << c.what;
    }
}

TEST(FrameAssembly, ReadsTheFields)
{
    FrameAssembler assembler;
    std::vector<SimFrame> frames;
    Bytes skipped;
    assembler.feed(hex("07 0A 02 43 43 54 21 08 07 64 01 52 53 32 08"), frames, skipped);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].monitorId, 10);
    EXPECT_EQ(frames[0].kind, FrameKind::Write);
    EXPECT_EQ(frames[0].code, "CCT");
    EXPECT_EQ(frames[0].value, 0x21);
    EXPECT_EQ(frames[1].monitorId, 100);
    EXPECT_EQ(frames[1].kind, FrameKind::Read);
    EXPECT_EQ(frames[1].code, "RS2");
}

} // namespace
} // namespace ordalis::sim
