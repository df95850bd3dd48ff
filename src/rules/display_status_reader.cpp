#include "rules/display_status_reader.h"

#include "app/ctavrin_app.h"
#include "link/command_exchange.h"
#include "platform/waiter.h"
#include "protocol/page_commands.h"
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

constexpr CommandCode kPow("POW");
constexpr CommandCode kSer("SER");
constexpr CommandCode kMna("MNA");
constexpr CommandCode kBsl("BSL");
constexpr CommandCode kBsh("BSH");

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

using CellText = QString (*)(std::span<const std::uint8_t> bytes, int modelRow);

QString division(std::span<const std::uint8_t> b, int)
{
    return DisplayStatusReader::divisionCell(b[0]);
}
QString input(std::span<const std::uint8_t> b, int modelRow)
{
    return DisplayStatusReader::inputCell(b[0], modelRow);
}
QString temperature(std::span<const std::uint8_t> b, int)
{
    return DisplayStatusReader::temperatureCell(b[0]);
}
QString fan(std::span<const std::uint8_t> b, int)
{
    return DisplayStatusReader::fanCell(b[0]);
}
QString error(std::span<const std::uint8_t> b, int)
{
    return DisplayStatusReader::errorCell(b);
}
QString maxTemperature(std::span<const std::uint8_t> b, int)
{
    return DisplayStatusReader::maxTemperatureCell(b);
}
QString hours(std::span<const std::uint8_t> b, int)
{
    return DisplayStatusReader::hoursCell(b);
}

// The readings of steps 2 to 10, one read to all each; the value lengths are the protocol's.
struct Reading
{
    int step;
    CommandCode code;
    int column;
    CellText text;
};
constexpr std::array<Reading, 9> kReadings {{
    {2, "DIV", 4, &division},
    {3, "MIN", 5, &input},
    {4, "RTT", 6, &temperature},
    {5, "RSF", 7, &fan},
    {6, "RS2", 8, &fan},
    {7, "ERR", 9, &error},
    {8, "LMT", 10, &maxTemperature},
    {9, "OTT", 11, &hours},
    {10, "OTS", 12, &hours},
}};

// The column of "BL Sensor" exists for "Display Model" row 0 only, and so does its step.
constexpr std::array<DisplayStatusReader::Column, DisplayStatusReader::kMaxColumns> kColumns {{
    {"ID", 30},
    {"SN", 120},
    {"Model Name", 120},
    {"Power", 50},
    {"Div.XY", 50},
    {"Input", 60},
    {"Temp.", 50},
    {"Fan 1", 70},
    {"Fan 2", 70},
    {"Err. Code", 70},
    {"Max. Temp.", 110},
    {"Total Time", 90},
    {"Oper. Time", 90},
    {"BL Sensor", 70},
}};

constexpr std::array<Step<DisplayStatusReader>, 4> kSteps {{
    {0, "detect", &DisplayStatusReader::detectStep},
    {1, "POW", &DisplayStatusReader::powerStep},
    {2, "readings", &DisplayStatusReader::readingStep},
    {DisplayStatusReader::kBacklightColumn - 2, "BSL", &DisplayStatusReader::backlightStep},
}};

} // namespace

const std::array<DisplayStatusReader::Column, DisplayStatusReader::kMaxColumns>&
DisplayStatusReader::columns()
{
    return kColumns;
}

QStringList DisplayStatusReader::headings(int modelRow)
{
    QStringList texts;
    for (int i = 0; i < columnCount(modelRow); ++i)
        texts.append(QString::fromLatin1(kColumns[std::size_t(i)].heading));
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

std::optional<std::uint8_t> DisplayStatusReader::readAll(CommandCode code, int maxCount)
{
    const std::optional<std::uint8_t> count = CommandExchange(m_app).ReadAllDisplays(
        code, m_ids, m_values, maxCount, int(replyValueLength(code)));
    // A count above the lists' length is no answer either.
    if (count && *count > kMaxDisplays)
        return std::nullopt;
    return count;
}

StepResult DisplayStatusReader::runStep()
{
    return ordalis::runStep(StepTable<DisplayStatusReader>(kSteps), m_step, *this, kBetweenReadingsMs);
}

bool DisplayStatusReader::detect()
{
    m_step = 0;
    runStep();
    return m_found > 0;
}

int DisplayStatusReader::readStep()
{
    return runStep().periodMs;
}

StepResult DisplayStatusReader::detectStep(DisplayStatusReader& reader, int)
{
    reader.setStatus(QStringLiteral("Device searching...please wait"));
    const int n = reader.readAll(kPow, kMaxDisplays).value_or(0);
    reader.m_found = n;
    reader.setStatus(QStringLiteral("Available display list: (%1 devices are found)").arg(n));
    reader.m_rows.clear();
    if (n == 0)
        return {kStartPeriodMs, StepPhase::Continue, 1};

    reader.m_powered.clear();
    reader.m_rows.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        Row& row = reader.m_rows[std::size_t(i)];
        row[kIdColumn] = QString::number(reader.m_ids[std::size_t(i)]);
        row[kPowerColumn] = powerCell(reader.m_values[std::size_t(i)]);
        if (reader.m_values[std::size_t(i)] != 0)
            reader.m_powered.push_back(std::uint8_t(i));
    }
    if (!reader.m_powered.empty()) {
        Waiter& waiter = *reader.m_app.services.waiter;
        const int count = int(reader.m_powered.size());
        const auto text = [](std::span<const std::uint8_t> bytes) { return textCell(bytes); };
        waiter.pause(kPauseBetweenReadsMs);
        if (const std::optional<std::uint8_t> serials = reader.readAll(kSer, count)) {
            reader.fillPowered(kSerialColumn, *serials, kTextLength, text);
            waiter.pause(kPauseBetweenReadsMs);
            if (const std::optional<std::uint8_t> names = reader.readAll(kMna, count))
                reader.fillPowered(kModelColumn, *names, kTextLength, text);
        }
    }
    return {kStartPeriodMs, StepPhase::Continue, 1};
}

void DisplayStatusReader::fillPowered(int column, int result, int valueLength,
    const std::function<QString(std::span<const std::uint8_t>)>& text)
{
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
    const std::optional<std::uint8_t> n = readAll(kPow, m_found);
    if (!n)
        return false;
    m_powered.clear();
    for (int i = 0; i < *n; ++i) {
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

StepResult DisplayStatusReader::powerStep(DisplayStatusReader& reader, int step)
{
    if (!reader.readPower())
        return {kRestMs, StepPhase::Continue, step};
    if (reader.m_powered.empty())
        return {kNobodyOnMs, StepPhase::Continue, step};
    return reader.afterReading(step);
}

StepResult DisplayStatusReader::readingStep(DisplayStatusReader& reader, int step)
{
    const Reading& reading = kReadings[std::size_t(step - kReadings.front().step)];
    const int valueLength = int(replyValueLength(reading.code));
    if (const std::optional<std::uint8_t> result
        = reader.readAll(reading.code, int(reader.m_powered.size()))) {
        reader.fillPowered(reading.column, *result, valueLength,
            [&](std::span<const std::uint8_t> bytes) { return reading.text(bytes, reader.m_modelRow); });
    }
    return reader.afterReading(step);
}

void DisplayStatusReader::readBacklight()
{
    const int count = int(m_powered.size());
    if (!readAll(kBsl, count))
        return;
    const std::vector<std::uint8_t> lowBytes(m_values.begin(), m_values.begin() + count);
    m_app.services.waiter->pause(kPauseBeforeHighByteMs);
    // The high byte's replies decide which rows are written.
    const std::optional<std::uint8_t> high = readAll(kBsh, count);
    if (!high)
        return;
    for (int j = 0; j < *high && j < count; ++j) {
        const std::size_t row = m_powered[std::size_t(j)];
        if (row < m_rows.size())
            m_rows[row][kBacklightColumn]
                = QString::number(m_values[std::size_t(j)] * 256 + lowBytes[std::size_t(j)]);
    }
}

StepResult DisplayStatusReader::backlightStep(DisplayStatusReader& reader, int step)
{
    reader.readBacklight();
    return reader.afterReading(step);
}

StepResult DisplayStatusReader::afterReading(int step) const
{
    // A cycle ends with a rest before the next power reading.
    if (step >= lastStep())
        return {kRestMs, StepPhase::Continue, 1};
    return {kBetweenReadingsMs, StepPhase::Continue, step + 1};
}

} // namespace ordalis
