#include "protocol/command_catalogue.h"

#include <algorithm>

namespace ordalis {

namespace {

constexpr std::size_t kRcuIndex = 29;
constexpr std::size_t kRcuShortLength = 98; // up to and including "7:EXIT"

constexpr auto kRcuShortText = [] {
    std::array<char, kRcuShortLength + 1> text {};
    const std::string_view full = kCommandCatalogue[kRcuIndex].help;
    std::copy_n(full.begin(), kRcuShortLength, text.begin());
    text[kRcuShortLength] = ')';
    return text;
}();

constexpr std::string_view kRcuShort(kRcuShortText.data(), kRcuShortText.size());

static_assert(kCommandCatalogue[kRcuIndex].code == CommandCode("RCU"));
static_assert(kRcuShort.ends_with("6:ENTER, 7:EXIT)"));

constexpr bool isFirstFamily(int modelRow)
{
    return modelRow == 0 || modelRow == 1;
}

} // namespace

const CatalogueEntry* findCatalogueEntry(CommandCode code)
{
    const auto it = std::find_if(kCommandCatalogue.begin(), kCommandCatalogue.end(),
        [code](const CatalogueEntry& entry) { return entry.code == code; });
    return it == kCommandCatalogue.end() ? nullptr : &*it;
}

bool isOfferedForModel(const CatalogueEntry& entry, int modelRow)
{
    if (modelRow < 0 || modelRow >= kDisplayModelRows) {
        return false;
    }
    return entry.rows == ModelRows::All || !isFirstFamily(modelRow);
}

std::string_view catalogueCell(const CatalogueEntry& entry, int modelRow)
{
    return isOfferedForModel(entry, modelRow) ? entry.help.substr(0, 3) : std::string_view("---");
}

std::string_view helpTextForModel(const CatalogueEntry& entry, int modelRow)
{
    if (entry.index == kRcuIndex && isFirstFamily(modelRow)) {
        return kRcuShort;
    }
    return entry.help;
}

std::string_view commandClassTag(CommandClass commandClass)
{
    switch (commandClass) {
    case CommandClass::ReadWrite:
        return "rw";
    case CommandClass::ReadOnly:
        return "r";
    case CommandClass::WriteOnly:
        return "w";
    }
    return "rw";
}

} // namespace ordalis
