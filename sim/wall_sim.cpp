#include "sim/wall_sim.h"

#include "sim/sim_engine.h"

namespace ordalis::sim {

namespace {

// Changes the display at this chain position, if there is one.
template<typename Change> void changeDisplay(SimEngine& engine, int position, Change change)
{
    engine.withChain([&](ChainModel& chain) {
        if (position >= 1 && position <= chain.size()) {
            change(chain.display(position));
        }
    });
}

} // namespace

Bytes DisplaySnapshot::value(const std::string& code) const
{
    const auto it = values.find(code);
    return it == values.end() ? Bytes {} : it->second;
}

int DisplaySnapshot::byteValue(const std::string& code) const
{
    const Bytes v = value(code);
    return v.empty() ? -1 : v.front();
}

WallSim::WallSim(SimConfig config) : m_engine(std::make_unique<SimEngine>(std::move(config)))
{
}

WallSim::~WallSim() = default;

bool WallSim::start()
{
    return m_engine->start();
}

void WallSim::stop()
{
    m_engine->stop();
}

bool WallSim::running() const
{
    return m_engine->running();
}

std::string WallSim::errorText() const
{
    return m_engine->errorText();
}

std::string WallSim::serialPath() const
{
    return m_engine->serialPath();
}

int WallSim::lanPort() const
{
    return m_engine->lanModule() ? m_engine->lanModule()->port() : -1;
}

std::string WallSim::lanAddress() const
{
    return m_engine->lanModule() ? m_engine->lanModule()->address() : std::string();
}

int WallSim::lanEachPort() const
{
    const auto& modules = m_engine->lanEachModules();
    return modules.empty() ? -1 : modules.front()->port();
}

std::string WallSim::lanEachAddress(int position) const
{
    const auto& modules = m_engine->lanEachModules();
    if (position < 1 || position > int(modules.size())) {
        return {};
    }
    return modules[std::size_t(position - 1)]->address();
}

std::string WallSim::udpAddress() const
{
    return m_engine->udpAddress();
}

int WallSim::udpPort() const
{
    return m_engine->udpPort();
}

std::vector<std::string> WallSim::readyLines() const
{
    return m_engine->readyLines();
}

int WallSim::displayCount() const
{
    return m_engine->withChain([](const ChainModel& chain) { return chain.size(); });
}

DisplaySnapshot WallSim::display(int position) const
{
    return m_engine->withChain([position](const ChainModel& chain) {
        DisplaySnapshot snapshot;
        if (position < 1 || position > chain.size()) {
            return snapshot;
        }
        const SimDisplay& d = chain.display(position);
        snapshot.position = position;
        snapshot.monitorId = d.monitorId();
        snapshot.powered = d.powered();
        snapshot.silent = d.silent();
        snapshot.values = d.values();
        return snapshot;
    });
}

void WallSim::setPowered(int position, bool on)
{
    changeDisplay(*m_engine, position, [&](SimDisplay& d) { d.setPowered(on); });
}

void WallSim::setSilent(int position, bool silent)
{
    changeDisplay(*m_engine, position, [&](SimDisplay& d) { d.setSilent(silent); });
}

void WallSim::setMonitorId(int position, int id)
{
    changeDisplay(*m_engine, position, [&](SimDisplay& d) { d.setMonitorId(id); });
}

void WallSim::setExtraLatencyMs(int position, int ms)
{
    changeDisplay(*m_engine, position, [&](SimDisplay& d) { d.setExtraLatencyMs(ms); });
}

void WallSim::setValue(int position, const std::string& code, Bytes value)
{
    changeDisplay(*m_engine, position, [&](SimDisplay& d) { d.setValue(code, std::move(value)); });
}

SimFaults WallSim::faults() const
{
    return m_engine->faults();
}

void WallSim::setFaults(const SimFaults& faults)
{
    m_engine->setFaults(faults);
}

std::vector<TrafficRecord> WallSim::traffic() const
{
    return m_engine->log().records();
}

void WallSim::clearTraffic()
{
    m_engine->log().clear();
}

int WallSim::framesReceived() const
{
    return m_engine->log().framesReceived();
}

bool WallSim::waitForFramesReceived(int count, int timeoutMs) const
{
    return m_engine->log().waitForFramesReceived(count, timeoutMs);
}

bool WallSim::waitForTraffic(const std::function<bool(const TrafficRecord&)>& match, int timeoutMs) const
{
    return m_engine->log().waitForRecord(match, timeoutMs);
}

} // namespace ordalis::sim
