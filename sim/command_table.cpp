#include "sim/command_table.h"

#include <array>

namespace ordalis::sim {

namespace {

using enum Access;

// Start values are those of a display fresh from the box: picture settings in the middle of
// their range, a single-display wall, no pattern, no lock.
constexpr std::array kCommands = {
    CommandInfo {"POW", ReadWrite, 1, 1, "power"},
    CommandInfo {"MIN", ReadWrite, 1, 9, "main input"},
    CommandInfo {"BRI", ReadWrite, 1, 50, "backlight"},
    CommandInfo {"BRL", ReadWrite, 1, 50, "brightness"},
    CommandInfo {"BLC", ReadWrite, 1, 1, "backlight on/off"},
    CommandInfo {"CON", ReadWrite, 1, 50, "contrast"},
    CommandInfo {"HUE", ReadWrite, 1, 50, "hue"},
    CommandInfo {"SAT", ReadWrite, 1, 50, "saturation"},
    CommandInfo {"USR", ReadWrite, 1, 128, "red gain"},
    CommandInfo {"USG", ReadWrite, 1, 128, "green gain"},
    CommandInfo {"USB", ReadWrite, 1, 128, "blue gain"},
    CommandInfo {"UOR", ReadWrite, 1, 50, "red offset"},
    CommandInfo {"UOG", ReadWrite, 1, 50, "green offset"},
    CommandInfo {"UOB", ReadWrite, 1, 50, "blue offset"},
    CommandInfo {"CCT", ReadWrite, 1, 33, "colour temperature step"},
    CommandInfo {"COT", ReadWrite, 1, 1, "colour temperature preset"},
    CommandInfo {"GAC", ReadWrite, 1, 1, "gamma"},
    CommandInfo {"PHA", ReadWrite, 1, 32, "VGA phase"},
    CommandInfo {"CLO", ReadWrite, 1, 50, "VGA clock"},
    CommandInfo {"HOR", ReadWrite, 1, 50, "VGA horizontal position"},
    CommandInfo {"VER", ReadWrite, 1, 50, "VGA vertical position"},
    CommandInfo {"ADJ", WriteOnly, 1, 0, "VGA auto adjust"},
    CommandInfo {"SHA", ReadWrite, 1, 12, "sharpness"},
    CommandInfo {"PSC", ReadWrite, 1, 0, "PIP size"},
    CommandInfo {"PIN", ReadWrite, 1, 1, "PIP source"},
    CommandInfo {"PPO", ReadWrite, 1, 0, "PIP position"},
    CommandInfo {"SWA", ReadWrite, 1, 0, "PIP swap"},
    CommandInfo {"ASP", ReadWrite, 1, 0, "aspect"},
    CommandInfo {"ZOM", ReadWrite, 1, 0, "zoom"},
    CommandInfo {"BRA", ReadWrite, 1, 0, "baud rate"},
    CommandInfo {"RCU", WriteOnly, 1, 0, "remote key"},
    CommandInfo {"ALL", WriteOnly, 1, 0, "reset all"},
    CommandInfo {"KLC", ReadWrite, 1, 0, "key lock"},
    CommandInfo {"SER", ReadOnly, 13, 0, "serial number"},
    CommandInfo {"MNA", ReadOnly, 13, 0, "model name"},
    CommandInfo {"GVE", ReadOnly, 6, 0, "firmware version"},
    CommandInfo {"RTV", ReadOnly, 1, 12, "table version"},
    CommandInfo {"FMS", ReadWrite, 1, 0, "IRFM synchronisation"},
    CommandInfo {"RXY", ReadOnly, 25, 0, "luminance and chromaticity"},
    CommandInfo {"VOL", ReadWrite, 1, 50, "volume"},
    CommandInfo {"MUT", ReadWrite, 1, 0, "mute"},
    CommandInfo {"SCM", ReadWrite, 1, 0, "scheme"},
    CommandInfo {"RTT", ReadOnly, 1, 38, "temperature"},
    CommandInfo {"RSF", ReadOnly, 1, 40, "fan speed"},
    CommandInfo {"RS2", ReadOnly, 1, 41, "second fan speed"},
    CommandInfo {"SID", ReadWrite, 1, 0, "show monitor ID"},
    CommandInfo {"CID", ReadWrite, 1, 1, "monitor ID"},
    CommandInfo {"VWS", ReadWrite, 1, 0, "video wall"},
    CommandInfo {"VWF", ReadWrite, 1, 0, "frame compensation"},
    CommandInfo {"MAT", ReadWrite, 1, 0x11, "matrix"},
    CommandInfo {"DIV", ReadWrite, 1, 0x11, "division"},
    CommandInfo {"VAU", WriteOnly, 1, 0, "automatic arrangement"},
    CommandInfo {"DID", ReadWrite, 1, 0, "DVI amplification"},
    CommandInfo {"ATT", ReadWrite, 1, 0, "anti-tearing"},
    CommandInfo {"VDL", ReadWrite, 1, 0, "video delay"},
    CommandInfo {"POD", ReadWrite, 1, 0, "power-on delay"},
    CommandInfo {"POE", ReadWrite, 1, 0, "power-on delay fraction"},
    CommandInfo {"WFS", ReadWrite, 1, 1, "wake from sleep"},
    CommandInfo {"VWM", ReadWrite, 1, 0, "calibration mode"},
    CommandInfo {"TPP", WriteOnly, 1, 255, "internal test pattern"},
    CommandInfo {"PJD", ReadOnly, 1, 24, "project number"},
    // Bits 0-4 follow the main input; bit 5 tells that a signal is present.
    CommandInfo {"MIS", ReadOnly, 1, 0x29, "input status"},
    CommandInfo {"ERR", ReadOnly, 4, 0, "error code"},
    CommandInfo {"LMT", ReadOnly, 8, 0, "highest temperature"},
    CommandInfo {"OTT", ReadOnly, 4, 0, "total time"},
    CommandInfo {"OTS", ReadOnly, 4, 0, "operating time"},
    CommandInfo {"BSL", ReadOnly, 1, 0x2C, "backlight sensor low"},
    CommandInfo {"BSH", ReadOnly, 1, 0x01, "backlight sensor high"},
};

} // namespace

const CommandInfo* findCommand(std::string_view code)
{
    for (const CommandInfo& info : kCommands) {
        if (info.code == code) {
            return &info;
        }
    }
    return nullptr;
}

std::size_t commandCount()
{
    return kCommands.size();
}

const CommandInfo& commandAt(std::size_t index)
{
    return kCommands.at(index);
}

} // namespace ordalis::sim
