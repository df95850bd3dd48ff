#include "pages/display_status.h"

#include "app/ctavrin_app.h"
#include "link/command_exchange.h"
#include "platform/clock.h"
#include "protocol/value_names.h"

#include <QChar>

namespace ordalis {

namespace {

constexpr int kIdColumn = 0;
constexpr int kSerialColumn = 1;
constexpr int kModelColumn = 2;
constexpr int kPowerColumn = 3;
constexpr int kFirstReadingColumn = 4; // "--" from here ...
constexpr int kLastReadingColumn = 12; // ... to here for a display that is off
constexpr int kTextLength = 13;
constexpr int kLastCommonStep = 10; // step 11 is the backlight sensor's
constexpr std::uint8_t kUnusable = 100; // a result above it is no answer

constexpr std::array<const char*, DisplayStatusReader::kMaxColumns> kHeadings {"ID", "SN", "Model Name",
    "Power", "Div.XY", "Input", "Temp.", "Fan 1", "Fan 2", "Err. Code", "Max. Temp.", "Total Time",
    "Oper. Time", "BL Sensor"};

// The readings of steps 2 to 10; step s fills column s + 2.
using CellText = QString (*)(std::span<const std::uint8_t> bytes, int modelRow);
struct Reading
{
    const char* code;
    int valueLength;
    CellText text;
};
constexpr std::array<Reading, 9> kReadings {{
    {"DIV", 1, [](auto b, int) { return DisplayStatusReader::divisionCell(b[0]); }},
    {"MIN", 1, [](auto b, int model) { return DisplayStatusReader::inputCell(b[0], model); }},
    {"RTT", 1, [](auto b, int) { return DisplayStatusReader::temperatureCell(b[0]); }},
    {"RSF", 1, [](auto b, int) { return DisplayStatusReader::fanCell(b[0]); }},
    {"RS2", 1, [](auto b, int) { return DisplayStatusReader::fanCell(b[0]); }},
    {"ERR", 4, [](auto b, int) { return DisplayStatusReader::errorCell(b); }},
    {"LMT", 8, [](auto b, int) { return DisplayStatusReader::maxTemperatureCell(b); }},
    {"OTT", 4, [](auto b, int) { return DisplayStatusReader::hoursCell(b); }},
    {"OTS", 4, [](auto b, int) { return DisplayStatusReader::hoursCell(b); }},
}};

const QChar kDegreesCelsius(0x2103);

std::int32_t littleEndian32(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::int32_t>(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8
        | std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

QString hoursAndMinutes(std::int32_t minutes)
{
    return QStringLiteral("%1H%2M").arg(minutes / 60).arg(minutes % 60);
}

} // namespace

QStringList DisplayStatusReader::headings(int modelRow)
{
    QStringList texts;
    const int count = modelRow == 0 ? kMaxColumns : kMaxColumns - 1;
    for (int i = 0; i < count; ++i)
        texts.append(QString::fromLatin1(kHeadings[std::size_t(i)]));
    return texts;
}

QString DisplayStatusReader::textCell(std::span<const std::uint8_t> bytes)
{
    QString text;
    for (std::size_t i = 0; i < bytes.size() && i < std::size_t(kTextLength) && bytes[i] > 32; ++i)
        text.append(QChar(bytes[i]));
    return text;
}

QString DisplayStatusReader::powerCell(std::uint8_t value)
{
    return value != 0 ? QStringLiteral("On") : QStringLiteral("Off");
}

QString DisplayStatusReader::divisionCell(std::uint8_t value)
{
    return QStringLiteral("(%1,%2)").arg(value >> 4).arg(value & 0x0F);
}

QString DisplayStatusReader::inputCell(std::uint8_t value, int modelRow)
{
    const std::string_view name = InputSourceName(value, modelRow);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

// The displays report temperatures as signed bytes: 0xFB is -5.
QString DisplayStatusReader::temperatureCell(std::uint8_t value)
{
    return QString::number(static_cast<std::int8_t>(value)) + kDegreesCelsius;
}

QString DisplayStatusReader::fanCell(std::uint8_t value)
{
    return QStringLiteral("%1rpm").arg(value * 30);
}

QString DisplayStatusReader::errorCell(std::span<const std::uint8_t> bytes)
{
    return QString::asprintf("0x%04x", bytes[0] + 256 * bytes[1]);
}

QString DisplayStatusReader::maxTemperatureCell(std::span<const std::uint8_t> bytes)
{
    return temperatureCell(bytes[0]) + QLatin1Char('(') + hoursAndMinutes(littleEndian32(bytes.subspan(4, 4)))
        + QLatin1Char(')');
}

QString DisplayStatusReader::hoursCell(std::span<const std::uint8_t> bytes)
{
    return hoursAndMinutes(littleEndian32(bytes.first(4)));
}

DisplayStatusReader::DisplayStatusReader(CTavrinApp& app)
    : m_app(app), m_modelRow(app.settings.DisplayModel.current), m_values(kMaxDisplays * kTextLength)
{
}

void DisplayStatusReader::setStatus(const QString& text)
{
    m_status = text;
    if (statusChanged)
        statusChanged(text);
}

std::uint8_t DisplayStatusReader::readAll(const char* code, int maxCount, int valueLength)
{
    const std::optional<CommandCode> command = CommandCode::parse(code);
    return CommandExchange(m_app).ReadAllDisplays(*command, m_ids, m_values, maxCount, valueLength);
}

bool DisplayStatusReader::detect()
{
    setStatus(QStringLiteral("Device searching...please wait"));
    int n = readAll("POW", kMaxDisplays, 1);
    m_step = 1;
    if (n > kUnusable)
        n = 0;
    m_found = n;
    setStatus(QStringLiteral("Available display list: (%1 devices are found)").arg(n));
    m_rows.clear();
    if (n == 0)
        return false;

    m_powered.clear();
    m_rows.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        Row& row = m_rows[std::size_t(i)];
        row[kIdColumn] = QString::number(m_ids[std::size_t(i)]);
        row[kPowerColumn] = powerCell(m_values[std::size_t(i)]);
        if (m_values[std::size_t(i)] != 0)
            m_powered.push_back(std::uint8_t(i));
    }
    if (!m_powered.empty()) {
        Clock& clock = *m_app.services.clock;
        const int count = int(m_powered.size());
        clock.sleepMs(kPauseBetweenReadsMs);
        const int serials = readAll("SER", count, kTextLength);
        if (serials <= kUnusable) {
            fillPowered(kSerialColumn, serials, kTextLength, &textCell);
            clock.sleepMs(kPauseBetweenReadsMs);
            fillPowered(kModelColumn, readAll("MNA", count, kTextLength), kTextLength, &textCell);
        }
    }
    return true;
}

void DisplayStatusReader::fillPowered(int column, int result, int valueLength,
    const std::function<QString(std::span<const std::uint8_t>)>& text)
{
    if (result > kUnusable)
        return;
    for (int j = 0; j < result && j < int(m_powered.size()); ++j) {
        const std::size_t row = m_powered[std::size_t(j)];
        if (row < m_rows.size()) {
            const std::span<const std::uint8_t> bytes(
                m_values.data() + std::size_t(j * valueLength), std::size_t(valueLength));
            m_rows[row][std::size_t(column)] = text(bytes);
        }
    }
}

bool DisplayStatusReader::readPower()
{
    const int n = readAll("POW", m_found, 1);
    if (n > kUnusable)
        return false;
    m_powered.clear();
    for (int i = 0; i < n; ++i) {
        const std::uint8_t value = m_values[std::size_t(i)];
        if (value != 0)
            m_powered.push_back(std::uint8_t(i));
        if (std::size_t(i) >= m_rows.size())
            continue;
        Row& row = m_rows[std::size_t(i)];
        row[kPowerColumn] = powerCell(value);
        if (value == 0) {
            for (int column = kFirstReadingColumn; column <= kLastReadingColumn; ++column)
                row[std::size_t(column)] = QStringLiteral("--");
        }
    }
    return true;
}

void DisplayStatusReader::readBacklight()
{
    const int count = int(m_powered.size());
    const int low = readAll("BSL", count, 1);
    if (low > kUnusable)
        return;
    const std::vector<std::uint8_t> lowBytes(m_values.begin(), m_values.begin() + count);
    m_app.services.clock->sleepMs(kPauseBeforeHighByteMs);
    const int high = readAll("BSH", count, 1);
    // The high byte's replies decide which rows are written.
    if (high > kUnusable)
        return;
    for (int j = 0; j < high && j < count; ++j) {
        const std::size_t row = m_powered[std::size_t(j)];
        if (row < m_rows.size())
            m_rows[row][kBacklightColumn]
                = QString::number(m_values[std::size_t(j)] * 256 + lowBytes[std::size_t(j)]);
    }
}

int DisplayStatusReader::readStep()
{
    if (m_step == 1) {
        if (!readPower())
            return kRestMs;
        if (m_powered.empty())
            return kNobodyOnMs;
    } else if (m_step <= kLastCommonStep) {
        const Reading& reading = kReadings[std::size_t(m_step - 2)];
        const int count = int(m_powered.size());
        const int result = readAll(reading.code, count, reading.valueLength);
        fillPowered(m_step + 2, result, reading.valueLength,
            [&](std::span<const std::uint8_t> bytes) { return reading.text(bytes, m_modelRow); });
    } else {
        readBacklight();
    }

    if (++m_step > lastStep()) {
        m_step = 1;
        return kRestMs;
    }
    return kBetweenReadingsMs;
}

} // namespace ordalis
