#pragma once

#include "protocol/command_code.h"
#include "rules/step_sequence.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace ordalis {

class CTavrinApp;

// The display status table without its window: finds the displays with one read to all, then
// takes one reading per step, each a read to all displays whose replies fill one column. Its
// steps are a table on the step runner; the status dialog runs them from its timer, ordalis-cli
// from its own loop.
class DisplayStatusReader
{
public:
    static constexpr int kMaxColumns = 14;
    static constexpr int kBacklightColumn = 13; // only with display model row 0
    static constexpr int kMaxDisplays = 100;

    // Timer periods.
    static constexpr int kStartPeriodMs = 1000;
    static constexpr int kBetweenReadingsMs = 50;
    static constexpr int kRestMs = 10000; // after a cycle, and after a power reading that failed
    static constexpr int kNobodyOnMs = 5000; // after a power reading with every display off
    // Pauses inside one detection or reading.
    static constexpr std::int64_t kPauseBetweenReadsMs = 10;
    static constexpr std::int64_t kPauseBeforeHighByteMs = 50;

    using Row = std::array<QString, kMaxColumns>;

    // A column of the table: its heading and width in the dialog's pixels.
    struct Column
    {
        const char* heading;
        int width;
    };
    static const std::array<Column, kMaxColumns>& columns();

    // The column headings for a "Display Model" row.
    static QStringList headings(int modelRow);
    static int columnCount(int modelRow) { return modelRow == 0 ? kMaxColumns : kMaxColumns - 1; }

    // Cell texts from reply bytes.
    static QString textCell(std::span<const std::uint8_t> bytes); // SER, MNA
    static QString powerCell(std::uint8_t value);
    static QString divisionCell(std::uint8_t value);
    static QString inputCell(std::uint8_t value, int modelRow);
    static QString temperatureCell(std::uint8_t value);
    static QString fanCell(std::uint8_t value);
    static QString errorCell(std::span<const std::uint8_t> bytes);
    static QString maxTemperatureCell(std::span<const std::uint8_t> bytes);
    static QString hoursCell(std::span<const std::uint8_t> bytes);

    explicit DisplayStatusReader(CTavrinApp& app);

    // Finds the displays and rebuilds the rows (step 0); leaves the step at 1. True when any
    // answered, so that the cycle goes on.
    bool detect();
    // Takes the reading of the current step and returns the period until the next one.
    int readStep();
    // Runs the current step, detection included.
    StepResult runStep();

    int columnCount() const { return columnCount(m_modelRow); }
    int lastStep() const { return m_modelRow == 0 ? 11 : 10; }
    int step() const { return m_step; }
    int foundCount() const { return m_found; }
    const std::vector<std::uint8_t>& poweredRows() const { return m_powered; }
    const std::vector<Row>& rows() const { return m_rows; }
    const QString& statusText() const { return m_status; }

    // Told of every new status text before the reading that follows it blocks.
    std::function<void(const QString&)> statusChanged;

    // The steps, for the runner.
    static StepResult detectStep(DisplayStatusReader& reader, int step);
    static StepResult powerStep(DisplayStatusReader& reader, int step);
    static StepResult readingStep(DisplayStatusReader& reader, int step);
    static StepResult backlightStep(DisplayStatusReader& reader, int step);

private:
    void setStatus(const QString& text);
    // The number of replies, or nothing when the link could not be used.
    std::optional<std::uint8_t> readAll(CommandCode code, int maxCount);
    // False when the link could not be used.
    bool readPower();
    void readBacklight();
    // Writes reply j into the row of powered entry j for every reply.
    void fillPowered(int column, int result, int valueLength,
        const std::function<QString(std::span<const std::uint8_t>)>& text);
    StepResult afterReading(int step) const;

    CTavrinApp& m_app;
    int m_modelRow;
    int m_step = 0;
    int m_found = 0;
    std::vector<std::uint8_t> m_powered;
    std::vector<Row> m_rows;
    QString m_status;
    std::array<std::uint8_t, kMaxDisplays> m_ids {};
    std::vector<std::uint8_t> m_values;
};

} // namespace ordalis
