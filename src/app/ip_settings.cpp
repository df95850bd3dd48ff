#include "app/ip_settings.h"

#include "app/ctavrin_app.h"
#include "platform/prompts.h"

#include <QFile>
#include <QSaveFile>

#include <limits>

namespace ordalis {

namespace {

constexpr QByteArrayView kBanner(kIpSettingsBanner);
constexpr QByteArrayView kIdTag("ID=");
constexpr QByteArrayView kIpTag("IP=");
constexpr char kFieldEnd = ';';
constexpr int kMaxMonitorId = 100;

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isCSpace(text[begin]))
        ++begin;
    while (end > begin && isCSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Decimal text to integer the way atoi reads it: leading white space, an optional sign,
// the digits up to the first non-digit, 0 without digits. Saturates instead of overflowing.
long long leadingInteger(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kLimit = std::numeric_limits<int>::max();
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kLimit)
            value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

// Splits off the next line (without its "\n"); false when the text is used up.
bool nextLine(QByteArrayView& rest, QByteArrayView& line)
{
    if (rest.isEmpty())
        return false;
    const qsizetype end = rest.indexOf('\n');
    if (end < 0) {
        line = rest;
        rest = {};
    } else {
        line = rest.first(end);
        rest = rest.sliced(end + 1);
    }
    return true;
}

// Stores the line's entry; false when the line does not fit the format.
bool storeLine(QByteArrayView line, IpAddressTable& table)
{
    const qsizetype idAt = line.indexOf(kIdTag);
    if (idAt < 0)
        return false;
    const qsizetype numberAt = idAt + kIdTag.size();
    const qsizetype idEnd = line.indexOf(kFieldEnd, numberAt);
    if (idEnd < 0)
        return false;
    const long long id = leadingInteger(line.sliced(numberAt, idEnd - numberAt));
    if (id < 1 || id > kMaxMonitorId)
        return false;
    const qsizetype ipAt = line.indexOf(kIpTag, idEnd);
    if (ipAt < 0)
        return false;
    const qsizetype addressAt = ipAt + kIpTag.size();
    const qsizetype ipEnd = line.indexOf(kFieldEnd, addressAt);
    if (ipEnd < 0)
        return false;
    table[static_cast<std::size_t>(id - 1)] = QString::fromUtf8(line.sliced(addressAt, ipEnd - addressAt));
    return true;
}

void report(CTavrinApp& app, const QString& text)
{
    if (app.services.prompts)
        app.services.prompts->message(text, PromptIcon::Warning);
}

} // namespace

void ParseIpSettings(QByteArrayView text, IpAddressTable& table)
{
    QByteArrayView rest = text;
    QByteArrayView line;
    if (!nextLine(rest, line) || !trimmed(line).contains(kBanner))
        return;
    while (nextLine(rest, line)) {
        line = trimmed(line);
        if (line.isEmpty())
            continue;
        if (!storeLine(line, table))
            return;
    }
}

QByteArray FormatIpSettings(const IpAddressTable& table)
{
    QByteArray text = QByteArray(kIpSettingsBanner) + '\n';
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].isEmpty())
            continue;
        text += "ID=" + QByteArray::number(static_cast<int>(i + 1)) + ";IP=" + table[i].toUtf8() + ";\n";
    }
    return text;
}

QString IpSettingsPath(const CTavrinApp& app)
{
    return app.DataFolder + QLatin1Char('/') + app.settings.IpFile.current;
}

bool LoadIpSettings(CTavrinApp& app)
{
    const QString path = IpSettingsPath(app);
    QFile file(path);
    if (!file.exists()) {
        // NewOnly: never truncates a file that appeared meanwhile.
        QFile created(path);
        if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            created.close();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        report(app,
            QStringLiteral("The IP settings file %1 could not be opened: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray text = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    ParseIpSettings(text, app.IpTable);
    if (readFailed) {
        report(app, QStringLiteral("File could not be opened %1").arg(static_cast<int>(file.error())));
        return false;
    }
    return true;
}

bool SaveIpSettings(CTavrinApp& app)
{
    const QString path = IpSettingsPath(app);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        report(app,
            QStringLiteral("The IP settings file %1 could not be created: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray text = FormatIpSettings(app.IpTable);
    // A short write (disk full, file size limit) can go unreported by write() and commit(),
    // which would put a truncated file in place of the old one: check what reached the file.
    const bool complete = file.write(text) == text.size() && file.flush() && file.size() == text.size();
    if (!complete || !file.commit()) {
        const QString cause = file.error() != QFileDevice::NoError
            ? file.errorString()
            : QStringLiteral("only part of the text could be written");
        file.cancelWriting();
        report(app, QStringLiteral("The IP settings file %1 could not be written: %2").arg(path, cause));
        return false;
    }
    return true;
}

} // namespace ordalis
