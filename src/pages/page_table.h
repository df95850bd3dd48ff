#pragma once

#include <array>
#include <cstdint>

namespace ordalis {

// The number of each page's template: what travels in a page request.
enum class PageNumber : int {
    Home = 138,
    Colour = 141,
    WallAdjustment = 142,
    RemoteControl = 146,
    Rs232Command = 147,
    TestPattern = 148,
    BackUp = 274,
};

// What a page asks the home page for.
enum class PageAction : int {
    Exit = 3,
    Follow = 8, // the sending page moved: the home page follows it
    GoHome = 17,
    GoColour = 18,
    GoWallAdjustment = 19,
    GoRemoteControl = 20,
    GoRs232Command = 21,
    GoTestPattern = 22,
    GoBackUp = 23,
};

struct PageRequest
{
    int sender = 0; // page number
    int action = 0;
};

// Ids of the frame's own controls where a page template gives none.
enum class FrameControl : int {
    About = 1019,
    Exit = 1037,
    ExitOnValuePages = 1047, // the video wall adjustment and remote control pages
    BottomStrip = 1078,
    StatusLine = 1152,
    Title = 1053,
    PanelItemFirst = 1901, // panel position p has the id 1900 + p
    Logo = 1910,
    Separator = 1911,
    TitleWithoutTemplateId = 1912, // pages whose template uses 1053 for a value field
};

struct PageInfo
{
    PageNumber number;
    int panelPosition; // 1 at the top
    PageAction goTo; // the action of its panel item
    const char* title;
    int titleId;
    int exitId;
    int titleGrowth; // the title font is this many pixels taller than the dialog font
    bool hasStatusLine;
};

// In panel order.
inline constexpr int kTitleId = static_cast<int>(FrameControl::Title);
inline constexpr int kOtherTitleId = static_cast<int>(FrameControl::TitleWithoutTemplateId);
inline constexpr int kExitId = static_cast<int>(FrameControl::Exit);
inline constexpr int kValueExitId = static_cast<int>(FrameControl::ExitOnValuePages);
inline constexpr std::array<PageInfo, 7> kPages {{
    {PageNumber::Home, 1, PageAction::GoHome, "Video Wall Configuration", kTitleId, kExitId, 8, false},
    {PageNumber::WallAdjustment, 2, PageAction::GoWallAdjustment, "Video Wall Adjustment", kOtherTitleId,
        kValueExitId, 6, true},
    {PageNumber::Colour, 3, PageAction::GoColour, "Color Adjustment", kOtherTitleId, kExitId, 8, true},
    {PageNumber::RemoteControl, 4, PageAction::GoRemoteControl, "Remote Control", kOtherTitleId, kValueExitId,
        8, true},
    {PageNumber::Rs232Command, 5, PageAction::GoRs232Command, "RS232 Command", kTitleId, kExitId, 8, false},
    {PageNumber::TestPattern, 6, PageAction::GoTestPattern, "Test Pattern", kOtherTitleId, kExitId, 8, true},
    {PageNumber::BackUp, 7, PageAction::GoBackUp, "Back Up / Restore", kOtherTitleId, kExitId, 8, false},
}};

// The page's row, or nullptr for a number that names no page.
constexpr const PageInfo* pageInfo(int number)
{
    for (const PageInfo& page : kPages) {
        if (static_cast<int>(page.number) == number)
            return &page;
    }
    return nullptr;
}

// The page a go-to action leads to, or nullptr for any other action.
constexpr const PageInfo* pageForAction(int action)
{
    for (const PageInfo& page : kPages) {
        if (static_cast<int>(page.goTo) == action)
            return &page;
    }
    return nullptr;
}

constexpr int panelItemId(int position)
{
    return static_cast<int>(FrameControl::PanelItemFirst) - 1 + position;
}

} // namespace ordalis
