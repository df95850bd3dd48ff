#pragma once

#include "link/command_exchange.h"
#include "link/lan_link.h"
#include "tests/support/case_name.h"
#include "tests/support/fake_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace ordalis::test {

// A piece of the line's answer arriving ms after the exchange started.
inline ScriptedChunk at(std::int64_t ms, const char* bytes)
{
    return {ms, hex(bytes)};
}

enum class Op { Write, Read };

// Display 5's frames that the exchange tables share.
inline constexpr const char* kBrl5 = "07 05 02 42 52 4C 32 08";
inline constexpr const char* kAck5 = "07 05 00 42 52 4C 32 08";
inline constexpr const char* kBri5 = "07 05 01 42 52 49 08";
inline constexpr const char* kBriReply5 = "07 05 00 42 52 49 3C 08";

// A message box as a test expects it.
struct Box
{
    const char* text;
    PromptIcon icon;
};

inline std::vector<std::string> boxTexts(const std::vector<MessagePrompt>& prompts)
{
    std::vector<std::string> texts;
    for (const MessagePrompt& p : prompts)
        texts.push_back(p.text.toStdString() + "|" + std::to_string(int(p.icon)));
    return texts;
}

inline std::vector<std::string> boxTexts(const std::vector<Box>& boxes)
{
    std::vector<std::string> texts;
    for (const Box& b : boxes)
        texts.push_back(std::string(b.text) + "|" + std::to_string(int(b.icon)));
    return texts;
}

// The application on the fake link and virtual clock.
class LinkFixture : public FakeApp
{
public:
    static constexpr const char* kEarlierError = "earlier failure";

    LinkFixture()
    {
        app.LastErrorText = QString::fromLatin1(kEarlierError);
        app.ShowErrorBoxes = false;
        app.settings.ComPort.setBoth(1);
        app.settings.TelnetPort.setBoth(23);
        app.settings.IpAddress.setBoth(QStringLiteral("127.0.0.10"));
    }

    // Puts a LAN wall in place with every connection usable: one record per address.
    void useLan(
        ConnectionKind kind, std::vector<QString> addresses, std::uint8_t columns = 0, std::uint8_t rows = 1)
    {
        app.ConnectionKind = std::uint8_t(kind);
        app.WallColumns = columns ? columns : std::uint8_t(addresses.size());
        app.WallRows = rows;
        int id = 1;
        for (const QString& address : addresses) {
            IPixy record;
            record.address = address;
            record.monitorId = id++;
            app.DisplayList.push_back(std::move(record));
            network.peer(address, 23);
        }
        LanLink lan(app);
        for (std::size_t i = 0; i < app.DisplayList.size(); ++i) {
            lan.ConnectDisplaySocket(int(i) + 1);
            app.DisplayList[i].status = 0;
        }
        network.deliverEvents();
        clock.clearSleeps();
    }

    // The next read from all on the serial line is answered by these displays (id, value
    // bytes), one after another from 20 ms on.
    void answerReadAll(const char* code, const std::vector<std::pair<int, const char*>>& displays)
    {
        std::vector<std::pair<int, Bytes>> values;
        for (const auto& [id, value] : displays)
            values.emplace_back(id, hex(value));
        line.replyToNextWrite(readAllReplies(code, values));
    }

    FakeLanPeer& peerOf(int number)
    {
        return network.peer(app.DisplayList[std::size_t(number) - 1].address, 23);
    }

    // Runs a table row's WriteValue or ReadValue as a page does, and checks what every such row
    // states: the result, the value a read stored (-1: none), the error text, the message boxes
    // and the time spent. What went out on the link is the caller's to check.
    template<typename Case> void exchangeAndCheck(const Case& c)
    {
        app.ShowErrorBoxes = c.showBoxes;
        app.LastTargetId = 77; // whatever the last exchange left
        CommandExchange exchange(app);
        const std::int64_t start = clock.nowMs();

        std::uint8_t value = 0xEE;
        const bool ok = c.op == Op::Write ? exchange.WriteValue(c.target, c.code, c.value)
                                          : exchange.ReadValue(c.target, c.code, value);

        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(value, c.readValue >= 0 ? c.readValue : 0xEE);
        EXPECT_EQ(app.LastErrorText.toStdString(), c.error);
        EXPECT_THAT(boxTexts(prompts.messages()), testing::ElementsAreArray(boxTexts(c.boxes)));
        EXPECT_EQ(clock.nowMs() - start, c.elapsedMs);
    }
};

} // namespace ordalis::test
