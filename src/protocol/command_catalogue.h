#pragma once

#include "protocol/command_code.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ordalis {

// What the console may do with a catalogue command.
enum class CommandClass : std::uint8_t {
    ReadWrite,
    ReadOnly, // sent only as a read frame
    WriteOnly, // sent only as a write frame
};

// The "Display Model" rows a command is offered for: rows 0 and 1 form one family, 2 to 6 the other.
enum class ModelRows : std::uint8_t {
    All, // rows 0-6
    Rows2To6, // the second family only
};

inline constexpr int kDisplayModelRows = 7;

struct CatalogueEntry
{
    std::uint8_t index;
    CommandCode code;
    ModelRows rows;
    CommandClass commandClass;
    std::string_view help; // starts with the code; "\n" separates lines
};

// The commands the operator can browse and send from the console, in the order of their cells.
// clang-format off
inline constexpr std::array<CatalogueEntry, 55> kCommandCatalogue = {{
    {0, "POW", ModelRows::All, CommandClass::ReadWrite,
        "POW (50 4F 57): Power On/Off control (0:Off, 1:On)\n"
        "Example:\n"
        "Power on the Display (Monitor ID=1).\n"
        "==>07 01 02 50 4F 57 01 08"},
    {1, "MIN", ModelRows::All, CommandClass::ReadWrite,
        "MIN (4D 49 4E): Main input source select (0:VGA, 1:DVI, 9:HDMI1, 10:HDMI2, 13:DisplayPort, 14:OPS, 16:DisplayPort2)\n"
        "Example:\n"
        "Select the HDMI1 input for the Display (Monitor ID=5).\n"
        "==>07 05 02 4D 49 4E 09 08"},
    {2, "BRI", ModelRows::All, CommandClass::ReadWrite,
        "BRI (42 52 49): Backlight adjust (0~100)\n"
        "Example:\n"
        "Read the Backlight value from the Display (Monitor ID=5).\n"
        "==>07 05 01 42 52 49 08"},
    {3, "BRL", ModelRows::All, CommandClass::ReadWrite,
        "BRL (42 52 4C): Brightness adjust (0~100)"},
    {4, "BLC", ModelRows::All, CommandClass::ReadWrite,
        "BLC (42 4C 43): Backlight On/Off control. (0:Off, 1:On)\n"
        "Example:\n"
        "Turn backlight off for all Display.\n"
        "==>07 00 02 42 4C 43 00 08"},
    {5, "CON", ModelRows::All, CommandClass::ReadWrite,
        "CON (43 4F 4E): Contrast adjust (0~100)"},
    {6, "HUE", ModelRows::All, CommandClass::ReadWrite,
        "HUE (48 55 45): Hue adjust (0~100)"},
    {7, "SAT", ModelRows::All, CommandClass::ReadWrite,
        "SAT (53 41 54): Saturation adjust (0~100)"},
    {8, "USR", ModelRows::All, CommandClass::ReadWrite,
        "USR (55 53 52): Red gain adjust (0~255)(mapping to OSD 128~383)\n"
        "Example:\n"
        "Adjust the Red gain to 383 for the Display (Monitor ID=0x06).\n"
        "==>07 06 02 55 53 52 FF 08"},
    {9, "USG", ModelRows::All, CommandClass::ReadWrite,
        "USG (55 53 47): Green gain adjust (0~255)(mapping to OSD 128~383)"},
    {10, "USB", ModelRows::All, CommandClass::ReadWrite,
        "USB (55 53 42): Blue gain adjust (0~255)(mapping to OSD 128~383)"},
    {11, "UOR", ModelRows::All, CommandClass::ReadWrite,
        "UOR (55 4F 52): Red offset adjust (0~100)(mapping to OSD -50~50)"},
    {12, "UOG", ModelRows::All, CommandClass::ReadWrite,
        "UOG (55 4F 47): Green offset adjust (0~100)(mapping to OSD -50~50)"},
    {13, "UOB", ModelRows::All, CommandClass::ReadWrite,
        "UOB (55 4F 42): Blue offset adjust (0~100)(mapping to OSD -50~50)"},
    {14, "CCT", ModelRows::All, CommandClass::ReadWrite,
        "CCT (43 43 54): Color temperature adjust (0~64)(mapping to OSD 3200K~9600K)\n"
        "Example:\n"
        "Adjust the color temperature to 6500K for the Display (Monitor ID=0x0A).\n"
        "==>07 0A 02 43 43 54 21 08"},
    {15, "GAC", ModelRows::All, CommandClass::ReadWrite,
        "GAC (47 41 43): Gamma adjust (0:Gamma native, 1:Gamma 2.2)\n"
        "Example:\n"
        "Adjust the Gamma to 2.2 for the Display (Monitor ID=0x0A).\n"
        "==>07 0A 02 47 41 43 01 08"},
    {16, "PHA", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "PHA (50 48 41): VGA Phase adjust (0~63)"},
    {17, "CLO", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "CLO (43 4C 4F): VGA Clock adjust (0~100)"},
    {18, "HOR", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "HOR (48 4F 52): VGA Horizontal position adjust"},
    {19, "VER", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "VER (56 45 52): VGA Vertical position adjust"},
    {20, "ADJ", ModelRows::Rows2To6, CommandClass::WriteOnly,
        "ADJ (41 44 4A): VGA Auto adjust (0)\n"
        "Example:\n"
        "Execute VGA auto adjust for the Display (Monitor ID=1).\n"
        "==>07 01 02 41 44 4A 00 08"},
    {21, "SHA", ModelRows::All, CommandClass::ReadWrite,
        "SHA (53 48 41): Sharpness adjust (0~24). The max value may be different for specific models."},
    {22, "PSC", ModelRows::All, CommandClass::ReadWrite,
        "PSC (50 53 43): PIP adjust (0:PIP Off, 1:PIP Small, 2:PIP Medium, 3:PIP Large)"},
    {23, "PIN", ModelRows::All, CommandClass::ReadWrite,
        "PIN (50 49 4E): PIP Source select (0:VGA, 1:DVI, 9:HDMI1, 10:HDMI2, 13:DisplayPort, 14:OPS, 16:DisplayPort2)"},
    {24, "PPO", ModelRows::All, CommandClass::ReadWrite,
        "PPO (50 50 4F): PIP Position select (0: Bottom-Left, 1:Bottom-Right, 2:Top-Left, 3:Top-Right)"},
    {25, "SWA", ModelRows::All, CommandClass::ReadWrite,
        "SWA (53 57 41): PIP/Main swap (0)\n"
        "Example:\n"
        "Swap the Main and PIP for the Display (Monitor ID=0x0A).\n"
        "==>07 0A 02 53 57 41 00 08"},
    {26, "ASP", ModelRows::All, CommandClass::ReadWrite,
        "ASP (41 53 50): Aspect adjust (0:Native, 1:Full Screen, 2:Pillar Box(4:3), 3:Letter Box)"},
    {27, "ZOM", ModelRows::All, CommandClass::ReadWrite,
        "ZOM (5A 4F 4D): Zoom adjust (0:Zoom in, 1:Zoom out)"},
    {28, "BRA", ModelRows::All, CommandClass::ReadWrite,
        "BRA (42 52 41): RS232 Baud rate select (0:115200, 1:38400, 2:19200, 3:9600)"},
    {29, "RCU", ModelRows::All, CommandClass::WriteOnly,
        "RCU (52 43 55): Remote key control (0:MENU, 1:INFO, 2:UP, 3:DOWN, 4:LEFT, 5:RIGHT, 6:ENTER, 7:EXIT, 8:VGA, 9:DVI, 10:HDMI1, 11:HDMI2, 12:DisplayPort, 18:SOURCE, 19:P-SOURCE, 20:PIP, 21:P-POSITION, 22:SWAP, 23:SCALING, 24:FREEZE, 25:MUTE, 26:BRIGHT, 27:CONTRAST, 28:AUTO, 29:VOLUME+, 30:VOLUME-)\n"
        "Example:\n"
        "Send [Menu] key to all Display. ==> 07 00 02 52 43 55 00 08"},
    {30, "ALL", ModelRows::All, CommandClass::WriteOnly,
        "ALL (41 4C 4C): Reset all (0)\n"
        "Example:\n"
        "Reset all for all Display.\n"
        "==>07 00 02 41 4C 4C 00 08"},
    {31, "KLC", ModelRows::All, CommandClass::ReadWrite,
        "KLC (4B 4C 43): Key lock control (0:Un-luck keys, 1:Lock keys)"},
    {32, "SER", ModelRows::All, CommandClass::ReadOnly,
        "SER (53 45 52): Read serial number (13 bytes ASCII)\n"
        "Example:\n"
        "Read the serial number from the Display (Monitor ID=5).\n"
        "==>07 05 01 53 45 52 08"},
    {33, "MNA", ModelRows::All, CommandClass::ReadOnly,
        "MNA (4D 4E 41): Read model name (13 bytes ASCII)\n"
        "Example:\n"
        "Read the model name from the Display (Monitor ID=5).\n"
        "==>07 05 01 4D 4E 41 08"},
    {34, "GVE", ModelRows::All, CommandClass::ReadOnly,
        "GVE (47 56 45): Read firmware version (6 bytes ASCII)\n"
        "Example:\n"
        "Read the firmware version from the Display (Monitor ID=5).\n"
        "==>07 05 01 47 56 45 08"},
    {35, "RTV", ModelRows::All, CommandClass::ReadOnly,
        "RTV (52 54 56): Read RS232 table version"},
    {36, "FMS", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "FMS (46 4D 53): IRFM synchronization (0~15)"},
    {37, "RXY", ModelRows::All, CommandClass::ReadOnly,
        "RXY (52 58 59): Read Luminance and color chromaticity"},
    {38, "VOL", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "VOL (56 4F 4C): Volume adjust (0~100)"},
    {39, "MUT", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "MUT (4D 55 54): Mute On/Off control (0:Off, 1:On)"},
    {40, "SCM", ModelRows::All, CommandClass::ReadWrite,
        "SCM (53 43 4D): Scheme select (0:User, 1:Sport, 2:Game, 3:Cinema, 4:Vivid)"},
    {41, "RTT", ModelRows::All, CommandClass::ReadOnly,
        "RTT (52 54 54): Read thermal sensor in Celsius degree (-128 ~ +127 degree Celsius)."},
    {42, "RSF", ModelRows::All, CommandClass::ReadOnly,
        "RSF (52 53 46): Read fan speed in RPM (= 30 x ReplyValue)"},
    {43, "SID", ModelRows::All, CommandClass::ReadOnly,
        "SID (53 49 44): Show monitor ID (0)\n"
        "Show the Monitor ID for all Display.\n"
        "==>07 00 02 53 49 44 00 08"},
    {44, "CID", ModelRows::All, CommandClass::ReadWrite,
        "CID (43 49 44): Change Monitor ID (1~25). In broadcast setting mode, this command is used to auto sort the Monitor ID sequentially (The Value Byte need to be 0x01.).\n"
        "Example:\n"
        "Auto sort the Monitor ID for all Display.\n"
        "==>07 00 02 43 49 44 01 08"},
    {45, "VWS", ModelRows::All, CommandClass::ReadWrite,
        "VWS (56 57 53): Video wall ON/OFF (0:Off, 1:On)\n"
        "Example:\n"
        "Turn on the Video Wall feature for all Display.\n"
        "==>07 00 02 56 57 53 01 08"},
    {46, "VWF", ModelRows::All, CommandClass::ReadWrite,
        "VWF (56 57 46): Video wall frame compensation select (0:Off, 1: On)\n"
        "Example:\n"
        "Turn on the frame compensation for all Display.\n"
        "==>07 00 02 56 57 46 01 08"},
    {47, "MAT", ModelRows::All, CommandClass::ReadWrite,
        "MAT (4D 41 54): Video wall matrix X/Y adjust (Bit7~4: Matrix X, Bit3~0: Matrix Y)\n"
        "Example:\n"
        "Set Matrix X=3, Matrix Y=2 for all Display.\n"
        "==>07 00 02 4D 41 54 32 08"},
    {48, "DIV", ModelRows::All, CommandClass::ReadWrite,
        "DIV (44 49 56): Video wall division X/Y adjust  (Bit7~4: Division X, Bit3~0: Division Y). In broadcast setting mode, this command is used to auto arrange the Division X/Y (The Value Byte need to be 0x11).\n"
        "Example:\n"
        "Auto arrange the Division X/Y for all Display.\n"
        "==>07 00 02 44 49 56 11 08"},
    {49, "DID", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "DID (44 49 44): DVI Amplification/Indemnity (0:Off, 1:On)"},
    {50, "POD", ModelRows::All, CommandClass::ReadWrite,
        "POD (50 4F 44): Integral part of Power On Delay (0~30 mapping to OSD 0, 1, 2, …, 30 sec).\n"
        "Example:\n"
        "Adjust the Integral part of Power on delay to 20 seconds for the Display (Monitor ID=0x11).\n"
        "==>07 11 02 50 4F 44 14 08"},
    {51, "POE", ModelRows::All, CommandClass::ReadWrite,
        "POE (50 4F 45): Fractional part of Power On Delay (0~19 mapping to OSD 0, 0.05, 0.10, …, 0.95 sec).\n"
        "Example:\n"
        "Adjust the fractional part of Power on delay to 0.45 seconds for the Display (Monitor ID=0x11).\n"
        "==>07 11 02 50 4F 45 09 08"},
    {52, "WFS", ModelRows::All, CommandClass::ReadWrite,
        "WFS (57 46 53): Wake Up From Sleep mode control(0:VGA Only, 1:VGA,Digital,RS232, 2:Never Sleep)\n"
        "Example:\n"
        "Adjust the WFS Mode to Never Sleep for the Display (Monitor ID=0x01).\n"
        "==>07 01 02 57 46 53 02 08"},
    {53, "VWM", ModelRows::All, CommandClass::ReadWrite,
        "VWM (56 57 4D): Calibration mode select(0:Single Display, 1:Multi-Display)\n"
        "Example:\n"
        "Adjust the Calibration Mode to Multi-Display for the Display (Monitor ID=0x01).\n"
        "==>07 01 02 56 57 4D 01 08"},
    {54, "ATT", ModelRows::Rows2To6, CommandClass::ReadWrite,
        "ATT (41 54 54): Anti-tearing mode select(0:Off, 1:Auto, 2:Odd, 3:Even)\n"
        "Example:\n"
        "Adjust the Anti-tearing Mode to Auto for the Display (Monitor ID=0x01).\n"
        "==>07 01 02 41 54 54 01 08"},
}};
// clang-format on

// The entry for a code, or nullptr when the code is not in the catalogue.
const CatalogueEntry* findCatalogueEntry(CommandCode code);

// Whether the command is offered for a "Display Model" row (0-6; any other row offers nothing).
bool isOfferedForModel(const CatalogueEntry& entry, int modelRow);

// The console cell of an entry: its code, or "---" when it is not offered for the model row.
std::string_view catalogueCell(const CatalogueEntry& entry, int modelRow);

// The help text shown for a model row. The first family has only the keys 0 to 7, so its RCU text
// stops after "7:EXIT" and is closed with ")".
std::string_view helpTextForModel(const CatalogueEntry& entry, int modelRow);

// "rw", "r" or "w".
std::string_view commandClassTag(CommandClass commandClass);

} // namespace ordalis
