#include "sim/scenario_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <initializer_list>

namespace ordalis::sim {

namespace {

class Reader
{
public:
    explicit Reader(SimConfig& config) : m_config(config) { }

    bool read(const QJsonObject& root);
    std::string error;

private:
    bool fail(const QString& where, const std::string& what)
    {
        error = where.toStdString() + ": " + what;
        return false;
    }
    bool onlyKeys(const QJsonObject& object, const QString& where, std::initializer_list<const char*> keys);
    bool integer(
        const QJsonObject& object, const QString& key, const QString& where, int low, int high, int& out);
    bool boolean(const QJsonObject& object, const QString& key, const QString& where, bool& out);
    bool positions(
        const QJsonObject& object, const QString& key, const QString& where, std::vector<int>& out);
    bool display(const QJsonObject& object, const QString& where, DisplaySetup& setup);
    bool faults(const QJsonObject& object);
    bool timing(const QJsonObject& object);

    SimConfig& m_config;
};

bool Reader::onlyKeys(
    const QJsonObject& object, const QString& where, std::initializer_list<const char*> keys)
{
    for (const QString& key : object.keys()) {
        bool known = false;
        for (const char* k : keys) {
            known = known || key == QLatin1String(k);
        }
        if (!known) {
            return fail(where, "unknown key \"" + key.toStdString() + "\"");
        }
    }
    return true;
}

bool Reader::integer(
    const QJsonObject& object, const QString& key, const QString& where, int low, int high, int& out)
{
    if (!object.contains(key)) {
        return true;
    }
    const QJsonValue v = object.value(key);
    const double d = v.toDouble(-1e9);
    if (!v.isDouble() || d != double(int(d)) || d < low || d > high) {
        return fail(where + "." + key,
            "not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    out = int(d);
    return true;
}

bool Reader::boolean(const QJsonObject& object, const QString& key, const QString& where, bool& out)
{
    if (!object.contains(key)) {
        return true;
    }
    if (!object.value(key).isBool()) {
        return fail(where + "." + key, "not true or false");
    }
    out = object.value(key).toBool();
    return true;
}

bool Reader::positions(
    const QJsonObject& object, const QString& key, const QString& where, std::vector<int>& out)
{
    if (!object.contains(key)) {
        return true;
    }
    if (!object.value(key).isArray()) {
        return fail(where + "." + key, "not a list of positions");
    }
    for (const QJsonValue& v : object.value(key).toArray()) {
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d != double(int(d)) || d < 1 || d > double(m_config.displays.size())) {
            return fail(where + "." + key,
                "not a chain position from 1 to " + std::to_string(m_config.displays.size()));
        }
        out.push_back(int(d));
    }
    return true;
}

bool Reader::display(const QJsonObject& object, const QString& where, DisplaySetup& setup)
{
    if (!onlyKeys(object, where,
            {"id", "power", "silent", "slowMs", "modelName", "serialNumber", "project", "tableVersion",
                "values"})
        || !integer(object, "id", where, 0, 255, setup.monitorId)
        || !boolean(object, "power", where, setup.powered) || !boolean(object, "silent", where, setup.silent)
        || !integer(object, "slowMs", where, 0, 60000, setup.extraLatencyMs)) {
        return false;
    }
    for (const auto& [key, code, length] :
        {std::tuple {"modelName", "MNA", 13}, std::tuple {"serialNumber", "SER", 13}}) {
        if (object.contains(key)) {
            if (!object.value(key).isString()) {
                return fail(where + "." + key, "not a text");
            }
            setup.values[code]
                = SimDisplay::asciiField(object.value(key).toString().toStdString(), std::size_t(length));
        }
    }
    for (const auto& [key, code] : {std::pair {"project", "PJD"}, std::pair {"tableVersion", "RTV"}}) {
        int v = -1;
        if (!integer(object, key, where, 0, 255, v)) {
            return false;
        }
        if (v >= 0) {
            setup.values[code] = {std::uint8_t(v)};
        }
    }
    if (object.contains("values") && !object.value("values").isObject()) {
        return fail(where + ".values", "not an object of command codes");
    }
    const QJsonObject values = object.value("values").toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QString at = where + ".values." + it.key();
        std::optional<Bytes> bytes;
        if (it.value().isString()) {
            bytes = parseHexBytes(it.value().toString().toStdString());
        } else if (it.value().isDouble() && it.value().toDouble() >= 0 && it.value().toDouble() <= 255
            && it.value().toDouble() == double(it.value().toInt())) {
            bytes = Bytes {std::uint8_t(it.value().toInt())};
        }
        if (!bytes) {
            return fail(at, "not hex bytes or a number from 0 to 255");
        }
        const std::string code = it.key().toStdString();
        if (std::string why = checkValue(code, *bytes); !why.empty()) {
            return fail(at, why);
        }
        setup.values[code] = *bytes;
    }
    return true;
}

bool Reader::faults(const QJsonObject& object)
{
    const QString where = "faults";
    SimFaults& f = m_config.faults;
    std::vector<int> silent;
    std::vector<int> off;
    if (!onlyKeys(object, where,
            {"echo", "split", "splitPauseMs", "slowMs", "garbage", "garbageEvery", "dropAfter", "refuse",
                "silent", "off"})
        || !boolean(object, "echo", where, f.echo) || !integer(object, "split", where, 0, 64, f.splitBytes)
        || !integer(object, "splitPauseMs", where, 0, 60000, f.splitPauseMs)
        || !integer(object, "slowMs", where, 0, 60000, f.slowMs)
        || !boolean(object, "garbage", where, f.garbage)
        || !integer(object, "garbageEvery", where, 1, 1000, f.garbageEvery)
        || !integer(object, "dropAfter", where, 0, 1'000'000, f.dropAfterFrames)
        || !boolean(object, "refuse", where, f.refuse) || !positions(object, "silent", where, silent)
        || !positions(object, "off", where, off)) {
        return false;
    }
    for (int p : silent) {
        m_config.displays[std::size_t(p - 1)].silent = true;
    }
    for (int p : off) {
        m_config.displays[std::size_t(p - 1)].powered = false;
    }
    return true;
}

bool Reader::timing(const QJsonObject& object)
{
    const QString where = "timing";
    SimTiming& t = m_config.timing;
    return onlyKeys(object, where, {"latencyMs", "latencyStepMs", "pacing"})
        && integer(object, "latencyMs", where, 0, 60000, t.latencyMs)
        && integer(object, "latencyStepMs", where, 0, 1000, t.latencyStepMs)
        && boolean(object, "pacing", where, t.pacing);
}

bool Reader::read(const QJsonObject& root)
{
    if (!onlyKeys(root, "scenario", {"wall", "displays", "faults", "timing"})) {
        return false;
    }
    for (const char* key : {"wall", "faults", "timing"}) {
        if (root.contains(key) && !root.value(key).isObject()) {
            return fail(key, "not an object");
        }
    }
    if (root.contains("displays") && !root.value("displays").isArray()) {
        return fail("displays", "not a list");
    }
    const QJsonObject wall = root.value("wall").toObject();
    const QJsonArray displays = root.value("displays").toArray();
    int columns = 0;
    int rows = 0;
    bool arranged = false;
    QString corner = "top-left";
    if (root.contains("wall")) {
        if (!onlyKeys(wall, "wall", {"columns", "rows", "arranged", "firstDisplay"})
            || !integer(wall, "columns", "wall", 1, 15, columns)
            || !integer(wall, "rows", "wall", 1, 15, rows) || !boolean(wall, "arranged", "wall", arranged)) {
            return false;
        }
        if (wall.contains("firstDisplay")) {
            corner = wall.value("firstDisplay").toString();
        }
        if (corner != "top-left" && corner != "bottom-left") {
            return fail("wall.firstDisplay", "not \"top-left\" or \"bottom-left\"");
        }
        if (columns == 0 || rows == 0) {
            return fail("wall", "needs columns and rows");
        }
    }
    const int count = std::max<int>(int(displays.size()), columns * rows);
    if (count < 1 || count > kMaxDisplays) {
        return fail("scenario", "a chain has 1 to 100 displays, not " + std::to_string(count));
    }
    m_config.displays = SimConfig::chain(count).displays;
    for (int i = 0; i < int(displays.size()); ++i) {
        const QString where = QString("displays[%1]").arg(i);
        if (!displays[i].isObject()) {
            return fail(where, "not an object");
        }
        if (!display(displays[i].toObject(), where, m_config.displays[std::size_t(i)])) {
            return false;
        }
    }
    if (arranged) {
        m_config.arranged = WallArrangement {columns, rows, corner == "bottom-left"};
    }
    return faults(root.value("faults").toObject()) && timing(root.value("timing").toObject());
}

} // namespace

bool loadScenarioText(const std::string& json, SimConfig& config, std::string& error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (!document.isObject()) {
        error = "scenario: not a JSON object"
            + (parseError.error != QJsonParseError::NoError ? " (" + parseError.errorString().toStdString()
                        + " at " + std::to_string(parseError.offset) + ")"
                                                            : std::string());
        return false;
    }
    SimConfig read = config;
    Reader reader(read);
    if (!reader.read(document.object())) {
        error = reader.error;
        return false;
    }
    config = read;
    return true;
}

bool loadScenarioFile(const std::string& path, SimConfig& config, std::string& error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read the scenario " + path + ": " + file.errorString().toStdString();
        return false;
    }
    if (!loadScenarioText(file.readAll().toStdString(), config, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace ordalis::sim
