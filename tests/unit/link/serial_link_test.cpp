#include "link/port_names.h"
#include "link/serial_link.h"
#include "link_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

class SerialLinkTest : public LinkFixture, public testing::Test
{
protected:
    void open(int mode)
    {
        app.ComPortHandle = serial.OpenComPort(mode);
        ASSERT_NE(app.ComPortHandle, nullptr);
        app.ComPortOpen = true;
    }
    SerialLink serial {app};
};

TEST_F(SerialLinkTest, OpenModes)
{
    struct Case
    {
        int mode;
        bool opens;
        std::uint32_t timeoutBase;
    };
    for (const Case& c :
        {Case {1, true, 1500}, Case {2, true, 0}, Case {0, false, 1500}, Case {3, false, 1500}}) {
        app.ReadTimeoutBase = 77;
        app.settings.ComPort.setBoth(3);
        std::unique_ptr<SerialPort> port = serial.OpenComPort(c.mode);
        EXPECT_EQ(port != nullptr, c.opens) << c.mode;
        EXPECT_EQ(app.ReadTimeoutBase, c.timeoutBase) << c.mode;
        EXPECT_EQ(app.portName, QStringLiteral("/dev/ttyS2"));
        EXPECT_FALSE(app.ComPortOpen) << "the caller stores the port";
    }
    line.setOpenFails(true);
    EXPECT_EQ(serial.OpenComPort(1), nullptr);
    // A number with no device behind it is not opened at all.
    line.setOpenFails(false);
    app.settings.ComPort.setBoth(200);
    const int opensBefore = line.opens();
    EXPECT_EQ(serial.OpenComPort(1), nullptr);
    EXPECT_EQ(line.opens(), opensBefore);
}

TEST_F(SerialLinkTest, ReadDeadlineFollowsTheLastTarget)
{
    struct Case
    {
        int mode;
        int lastTargetId;
        std::int64_t waitedMs;
        int storedAfter = -1; // -1: unchanged
    };
    for (const Case& c :
        {Case {1, 0, 1500}, Case {1, 25, 2250}, Case {1, 120, 4500, 100}, Case {2, 0, 0}, Case {2, 3, 90}}) {
        open(c.mode);
        app.LastTargetId = std::uint8_t(c.lastTargetId);
        std::array<std::uint8_t, 8> reply {};
        reply.fill(0xEE);
        const std::int64_t start = clock.nowMs();
        EXPECT_FALSE(serial.ReadSerialExact(reply));
        EXPECT_EQ(clock.nowMs() - start, c.waitedMs) << c.mode << " " << c.lastTargetId;
        EXPECT_EQ(app.LastTargetId, c.storedAfter >= 0 ? c.storedAfter : c.lastTargetId);
        EXPECT_EQ(reply[0], 0xEE) << "left unchanged";
        serial.close();
    }
}

TEST_F(SerialLinkTest, ZeroDeadlineTakesWhatIsBuffered)
{
    open(2);
    line.arriveAt(clock.nowMs(), hex("07 01 00 42"));
    std::array<std::uint8_t, 3> some {};
    EXPECT_TRUE(serial.ReadSerialExact(some));
    EXPECT_EQ(toHex(Bytes(some.begin(), some.end())), "07 01 00");
    std::array<std::uint8_t, 2> more {};
    EXPECT_FALSE(serial.ReadSerialExact(more)) << "one byte left, none coming";
}

TEST_F(SerialLinkTest, PiecesAssembleUntilTheDeadline)
{
    open(1);
    app.LastTargetId = 1;
    const std::int64_t start = clock.nowMs();
    line.arriveAt(start + 5, hex("07"));
    line.arriveAt(start + 800, hex("01 00 42 52"));
    line.arriveAt(start + 1530, hex("49 3C 08 99"));
    std::array<std::uint8_t, 8> reply {};
    EXPECT_TRUE(serial.ReadSerialExact(reply));
    EXPECT_EQ(toHex(Bytes(reply.begin(), reply.end())), "07 01 00 42 52 49 3C 08");
    EXPECT_EQ(clock.nowMs() - start, 1530);
    EXPECT_EQ(line.buffered(), 1u) << "the byte after the reply stays";

    // More than 128 bytes is never asked of the port.
    std::array<std::uint8_t, 129> tooMany {};
    EXPECT_FALSE(serial.ReadSerialExact(tooMany));
}

TEST_F(SerialLinkTest, FailedWriteClosesThePort)
{
    open(1);
    EXPECT_TRUE(serial.write(hex("07 01 01 50 4F 57 08")));
    line.failNextWrite();
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(serial.write(hex("07 01 01 50 4F 57 08")));
    EXPECT_EQ(clock.nowMs() - start, 1000);
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_EQ(app.ComPortHandle, nullptr);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(serial.write(hex("07")));
}

TEST(PortNames, DeviceTable)
{
    const std::pair<int, const char*> cases[] = {
        {1, "/dev/ttyS0"},
        {3, "/dev/ttyS2"},
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"},
        {97, ""},
        {0, ""},
        {-1, ""},
    };
    for (const auto& [number, path] : cases)
        EXPECT_EQ(comPortPath(number, QString()), QString::fromLatin1(path)) << number;
}

TEST(PortNames, LinkInTheDataFolderComesFirst)
{
    QTemporaryDir data;
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("ports")));
    const QString link = data.filePath(QStringLiteral("ports/COM3"));
    // A dangling link still names the port: opening it is what fails.
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/pts/9"), link));
    EXPECT_EQ(comPortPath(3, data.path()), link);
    EXPECT_EQ(comPortPath(4, data.path()), QStringLiteral("/dev/ttyS3"));
    EXPECT_EQ(comPortPath(120, data.path()), QString());
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), data.filePath(QStringLiteral("ports/COM120"))));
    EXPECT_EQ(comPortPath(120, data.path()), data.filePath(QStringLiteral("ports/COM120")));
}

} // namespace
} // namespace ordalis::test
