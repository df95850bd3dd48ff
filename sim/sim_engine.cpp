#include "sim/sim_engine.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ordalis::sim {

namespace {

using Clock = LineOutput::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// 115200 baud, 8N1: ten bit times per byte.
constexpr std::chrono::nanoseconds kSerialByteTime {1'000'000'000LL * 10 / 115200};
constexpr std::string_view kDiscoveryRequest = "HF-A11ASSISTHREAD";
constexpr std::uint8_t kNoise[] = {0xFF, 0x55, 0xAA};
constexpr int kLanEachAttempts = 20;

std::vector<SimDisplay> buildDisplays(const SimConfig& config)
{
    std::vector<SimDisplay> displays;
    int position = 0;
    for (const DisplaySetup& setup : config.displays) {
        SimDisplay d(++position);
        d.setMonitorId(setup.monitorId);
        d.setPowered(setup.powered);
        d.setSilent(setup.silent);
        d.setExtraLatencyMs(setup.extraLatencyMs);
        if (config.arranged) {
            const WallArrangement& wall = *config.arranged;
            d.setValue("MAT", {std::uint8_t(wall.columns << 4 | wall.rows)});
            d.setValue("VWS", {1});
            d.setValue("VWF", {1});
            ChainModel::arrangeDivision(d, wall.fromBottom);
        }
        for (const auto& [code, value] : setup.values) {
            d.setValue(code, value);
        }
        if (setup.values.contains("MIN") && !setup.values.contains("MIS")) {
            d.followMainInput();
        }
        displays.push_back(std::move(d));
    }
    return displays;
}

std::string hex2(int v)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", v & 0xFF);
    return text;
}

} // namespace

struct SimEngine::Watch
{
    enum Kind { Wake, Serial, PortUse, Listen, Client, Udp } kind;
    TcpModule* module = nullptr;
};

SimEngine::SimEngine(SimConfig config)
    : m_config(std::move(config)), m_chain(buildDisplays(m_config)), m_faults(m_config.faults)
{
    m_chain.setArrangeOnAddressedDiv(m_config.arrangeOnAddressedDiv);
}

SimEngine::~SimEngine()
{
    stop();
}

std::string SimEngine::errorText() const
{
    std::lock_guard lock(m_errorMutex);
    return m_error;
}

bool SimEngine::start()
{
    if (running()) {
        return true;
    }
    std::string error;
    const int count = int(m_config.displays.size());
    if (count < 1 || count > kMaxDisplays) {
        error = "a chain has 1 to 100 displays, not " + std::to_string(count);
    } else if (!m_config.serial && !m_config.lan && !m_config.lanEach && !m_config.udpAddress) {
        error = "nothing to serve: no serial, LAN or UDP endpoint";
    } else if (!m_config.logPath.empty()) {
        m_log.openFile(m_config.logPath, error);
    }
    if (!error.empty()) {
        std::lock_guard lock(m_errorMutex);
        m_error = error;
        return false;
    }
    if (!openEndpoints()) {
        closeEndpoints();
        m_log.closeFile();
        return false;
    }
    m_log.setKeepRecords(m_config.keepTraffic);
    m_log.setOrigin(Clock::now());
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void SimEngine::stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        wake();
        m_thread.join();
        m_faultsChanged.notify_all();
    }
    closeEndpoints();
    m_log.closeFile();
}

bool SimEngine::openEndpoints()
{
    std::string error;
    auto fail = [&] {
        std::lock_guard lock(m_errorMutex);
        m_error = error;
        return false;
    };
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        error = "cannot make an event descriptor";
        return fail();
    }
    if (m_config.serial) {
        if (!openRawPty(m_pty, error)) {
            return fail();
        }
        const auto perByte = m_config.timing.pacing ? kSerialByteTime : std::chrono::nanoseconds {};
        m_serial = std::make_unique<SimLine>("serial", m_pty.master, false, m_chain.allPositions(), perByte);
        m_portUseFd = watchPortUse(m_pty.path);
        if (!m_config.linkPath.empty()) {
            if (!makeLink(m_config.linkPath, m_pty.path, error)) {
                return fail();
            }
            m_linkMade = true;
        }
    }
    if (m_config.lan) {
        m_lan = std::make_unique<TcpModule>("lan", m_config.lan->address, m_chain.allPositions());
        if (!m_lan->open(m_config.lan->port, m_faults.refuse, error)) {
            return fail();
        }
    }
    if (m_config.lanEach && !openLanEach()) {
        return false;
    }
    if (m_config.udpAddress) {
        m_udpFd = openUdpSocket(*m_config.udpAddress, m_config.udpPort, error);
        if (m_udpFd < 0) {
            return fail();
        }
        m_udpPort = localPort(m_udpFd);
        // One answer per LAN module: its address, a made-up MAC address and a name.
        auto answer = [](const std::string& address, int index, const std::string& name) {
            const std::string shown = address == "0.0.0.0" ? "127.0.0.1" : address;
            return shown + ",0200000000" + hex2(index) + "," + name;
        };
        if (m_lan) {
            m_discoveryAnswers.push_back(answer(m_lan->address(), 0, "WALLSIM-LAN"));
        }
        for (const auto& module : m_lanEach) {
            const int position = module->reach().front();
            m_discoveryAnswers.push_back(
                answer(module->address(), position, "WALLSIM-LAN-" + std::to_string(position)));
        }
    }
    return true;
}

bool SimEngine::openLanEach()
{
    std::string error;
    const Endpoint& base = *m_config.lanEach;
    // Every module on the same port: with port 0 the first one picks it and the others follow,
    // trying again when another program holds it on one of the addresses.
    for (int attempt = 0; attempt < kLanEachAttempts; ++attempt) {
        m_lanEach.clear();
        int port = base.port;
        bool ok = true;
        for (int position = 1; ok && position <= m_chain.size(); ++position) {
            const auto address = offsetAddress(base.address, position - 1);
            if (!address) {
                error = "no address for display " + std::to_string(position) + " after " + base.address;
                std::lock_guard lock(m_errorMutex);
                m_error = error;
                return false;
            }
            auto module = std::make_unique<TcpModule>(
                "lan-each-" + std::to_string(position), *address, std::vector<int> {position});
            ok = module->open(port, m_faults.refuse, error);
            if (ok) {
                port = module->port();
                m_lanEach.push_back(std::move(module));
            }
        }
        if (ok) {
            return true;
        }
        if (base.port != 0) {
            break;
        }
    }
    m_lanEach.clear();
    std::lock_guard lock(m_errorMutex);
    m_error = error;
    return false;
}

void SimEngine::closeEndpoints()
{
    m_serial.reset();
    closeFd(m_portUseFd);
    closeFd(m_pty.slave);
    closeFd(m_pty.master);
    if (m_linkMade) {
        std::error_code ec;
        if (std::filesystem::read_symlink(m_config.linkPath, ec) == m_pty.path) {
            std::filesystem::remove(m_config.linkPath, ec);
        }
        m_linkMade = false;
    }
    m_lan.reset();
    m_lanEach.clear();
    closeFd(m_udpFd);
    m_udpPort = -1;
    m_discoveryAnswers.clear();
    closeFd(m_wakeFd);
}

std::vector<std::string> SimEngine::readyLines() const
{
    std::vector<std::string> lines;
    if (m_serial) {
        lines.push_back("serial " + m_pty.path);
        if (m_linkMade) {
            lines.push_back("link " + m_config.linkPath);
        }
    }
    if (m_lan) {
        lines.push_back("lan " + m_lan->address() + ":" + std::to_string(m_lan->port()));
    }
    for (const auto& module : m_lanEach) {
        lines.push_back("lan-each " + std::to_string(module->reach().front()) + " " + module->address() + ":"
            + std::to_string(module->port()));
    }
    if (m_udpFd >= 0) {
        lines.push_back("udp " + *m_config.udpAddress + ":" + std::to_string(m_udpPort));
    }
    return lines;
}

SimFaults SimEngine::faults() const
{
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void SimEngine::setFaults(const SimFaults& faults)
{
    std::uint64_t given = 0;
    {
        std::lock_guard lock(m_mutex);
        m_faults = faults;
        given = ++m_faultsGiven;
    }
    if (!running()) {
        return;
    }
    wake();
    std::unique_lock lock(m_mutex);
    m_faultsChanged.wait_for(lock, std::chrono::seconds(2), [&] { return m_faultsTaken >= given || m_stop; });
}

void SimEngine::wake()
{
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
}

void SimEngine::logEvent(const std::string& endpoint, const std::string& text)
{
    m_log.add(Clock::now(), endpoint, "event", {}, text);
}

void SimEngine::collect(std::vector<pollfd>& fds, std::vector<Watch>& watches)
{
    auto add = [&](int fd, short events, Watch watch) {
        fds.push_back({fd, events, 0});
        watches.push_back(watch);
    };
    add(m_wakeFd, POLLIN, {Watch::Wake});
    if (m_serial) {
        add(m_serial->fd(), short(POLLIN | (m_serial->hasUnwritten() ? POLLOUT : 0)), {Watch::Serial});
        if (m_portUseFd >= 0) {
            add(m_portUseFd, POLLIN, {Watch::PortUse});
        }
    }
    for (TcpModule* module : tcpModules()) {
        if (!module->refusing()) {
            add(module->listenFd(), POLLIN, {Watch::Listen, module});
        }
        if (SimLine* client = module->client()) {
            add(client->fd(), short(POLLIN | (client->hasUnwritten() ? POLLOUT : 0)),
                {Watch::Client, module});
        }
    }
    if (m_udpFd >= 0) {
        add(m_udpFd, POLLIN, {Watch::Udp});
    }
}

void SimEngine::run()
{
    std::vector<pollfd> fds;
    std::vector<Watch> watches;
    while (!m_stop) {
        std::uint64_t given = 0;
        bool nowRefusing = false;
        {
            std::lock_guard lock(m_mutex);
            given = m_faultsGiven;
            nowRefusing = m_faults.refuse;
        }
        applyRefuse(nowRefusing);
        {
            std::lock_guard lock(m_mutex);
            m_faultsTaken = given;
        }
        m_faultsChanged.notify_all();
        fds.clear();
        watches.clear();
        collect(fds, watches);

        std::optional<Clock::time_point> due;
        auto consider = [&](SimLine* line) {
            if (line && !line->hasUnwritten()) {
                const auto next = line->output().nextDue();
                if (next && (!due || *next < *due)) {
                    due = next;
                }
            }
        };
        consider(m_serial.get());
        if (m_lan) {
            consider(m_lan->client());
        }
        for (const auto& module : m_lanEach) {
            consider(module->client());
        }
        timespec timeout {};
        timespec* wait = nullptr;
        if (due) {
            const auto left = std::max(std::chrono::nanoseconds {}, *due - Clock::now());
            timeout.tv_sec = time_t(left.count() / 1'000'000'000);
            timeout.tv_nsec = long(left.count() % 1'000'000'000);
            wait = &timeout;
        }
        if (ppoll(fds.data(), fds.size(), wait, nullptr) < 0 && errno != EINTR) {
            break;
        }
        const auto now = Clock::now();
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents != 0) {
                handle(watches[i], fds[i].revents, now);
            }
        }
        const auto after = Clock::now();
        if (m_serial) {
            service(*m_serial, after);
        }
        auto serviceModule = [&](TcpModule& module) {
            if (SimLine* client = module.client(); client && !service(*client, after)) {
                module.closeClient();
            }
        };
        if (m_lan) {
            serviceModule(*m_lan);
        }
        for (const auto& module : m_lanEach) {
            serviceModule(*module);
        }
    }
}

void SimEngine::handle(const Watch& watch, short revents, Clock::time_point now)
{
    switch (watch.kind) {
    case Watch::Wake: {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
        return;
    }
    case Watch::Serial:
        if (revents & POLLIN) {
            readLine(*m_serial, now);
        }
        return;
    case Watch::PortUse: {
        const PortUse use = readPortUse(m_portUseFd);
        for (int i = 0; i < use.opened; ++i) {
            logEvent("serial", "port opened");
        }
        if (use.closed > 0) {
            releaseExclusive(m_pty.slave);
        }
        for (int i = 0; i < use.closed; ++i) {
            logEvent("serial", "port closed");
        }
        return;
    }
    case Watch::Listen:
        while (const auto peer = watch.module->accept({})) {
            logEvent(watch.module->label(), "connected from " + *peer);
        }
        return;
    case Watch::Client: {
        SimLine* client = watch.module->client();
        if (client && (revents & (POLLIN | POLLHUP | POLLERR))) {
            if (!readLine(*client, now)) {
                logEvent(watch.module->label(), "closed by the PC");
                watch.module->closeClient();
            }
        }
        return;
    }
    case Watch::Udp:
        answerDiscovery(now);
        return;
    }
}

bool SimEngine::readLine(SimLine& line, Clock::time_point now)
{
    Bytes in;
    const bool open = line.readAvailable(in);
    std::vector<SimFrame> frames;
    Bytes skipped;
    if (!in.empty() && !line.closing() && faults().echo) {
        // The PC's own transceiver hears every byte it puts on the line, frames or not.
        line.output().push({in, now, {}, LineOutput::Note {"echo", in}});
    }
    line.assembler().feed(in, frames, skipped);
    if (!skipped.empty()) {
        m_log.add(now, line.name(), "pc", skipped, "ignored: not a frame");
    }
    for (const SimFrame& frame : frames) {
        dispatch(line, frame, now);
    }
    return open;
}

void SimEngine::dispatch(SimLine& line, const SimFrame& frame, Clock::time_point now)
{
    if (line.closing()) {
        m_log.add(now, line.name(), "pc", frame.bytes, describeBytes(frame.bytes) + " (ignored: closing)");
        return;
    }
    m_log.add(now, line.name(), "pc", frame.bytes, describeBytes(frame.bytes));
    {
        std::lock_guard lock(m_mutex);
        const SimFaults& faults = m_faults;
        for (const Answer& answer : m_chain.hear(frame, line.reach())) {
            const SimDisplay& d = m_chain.display(answer.position);
            const auto latency = milliseconds(m_config.timing.latencyMs
                + m_config.timing.latencyStepMs * answer.position + faults.slowMs + d.extraLatencyMs());
            const auto notBefore = now + latency;
            if (faults.garbage && m_answers % std::max(1, faults.garbageEvery) == 0) {
                const Bytes noise(std::begin(kNoise), std::end(kNoise));
                line.output().push({noise, notBefore, {}, LineOutput::Note {"noise", noise}});
            }
            ++m_answers;
            const std::string direction = "d" + std::to_string(answer.position);
            const std::size_t piece
                = faults.splitBytes > 0 ? std::size_t(faults.splitBytes) : answer.bytes.size();
            for (std::size_t offset = 0; offset < answer.bytes.size(); offset += piece) {
                const std::size_t end = std::min(answer.bytes.size(), offset + piece);
                LineOutput::Piece out;
                out.bytes.assign(answer.bytes.begin() + long(offset), answer.bytes.begin() + long(end));
                if (offset == 0) {
                    out.notBefore = notBefore;
                    out.note = LineOutput::Note {direction, answer.bytes};
                } else {
                    out.gapBefore = milliseconds(faults.splitPauseMs);
                }
                line.output().push(std::move(out));
            }
        }
        line.countFrame();
        if (faults.dropAfterFrames > 0 && line.fd() != m_pty.master
            && line.frames() >= faults.dropAfterFrames) {
            line.closeWhenDrained();
        }
    }
    m_log.countFrameFromPc();
}

bool SimEngine::service(SimLine& line, Clock::time_point now)
{
    Bytes out;
    std::vector<LineOutput::Started> started;
    line.output().take(now, out, started);
    for (const auto& s : started) {
        m_log.add(s.at, line.name(), s.note.direction, s.note.bytes,
            s.note.direction == "noise" ? std::string("noise") : describeBytes(s.note.bytes));
    }
    if (!line.write(out)) {
        logEvent(line.name(), "closed: the other end has gone");
        return false;
    }
    if (line.closing() && line.drained()) {
        logEvent(line.name(), "dropped after " + std::to_string(line.frames()) + " frames");
        return false;
    }
    return true;
}

void SimEngine::answerDiscovery(Clock::time_point now)
{
    for (;;) {
        char buffer[512];
        sockaddr_in peer {};
        socklen_t length = sizeof peer;
        const ssize_t n
            = ::recvfrom(m_udpFd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &length);
        if (n < 0) {
            return;
        }
        const std::string request(buffer, std::size_t(n));
        const Bytes requestBytes(request.begin(), request.end());
        if (request != kDiscoveryRequest) {
            m_log.add(now, "udp", "pc", requestBytes, "ignored: not a discovery request");
            continue;
        }
        char from[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &peer.sin_addr, from, sizeof from);
        m_log.add(now, "udp", "pc", requestBytes,
            "discovery request from " + std::string(from) + ":" + std::to_string(ntohs(peer.sin_port)));
        for (const std::string& answer : m_discoveryAnswers) {
            ::sendto(m_udpFd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&peer), length);
            m_log.add(Clock::now(), "udp", "module", Bytes(answer.begin(), answer.end()), answer);
        }
    }
}

std::vector<TcpModule*> SimEngine::tcpModules() const
{
    std::vector<TcpModule*> modules;
    if (m_lan) {
        modules.push_back(m_lan.get());
    }
    for (const auto& module : m_lanEach) {
        modules.push_back(module.get());
    }
    return modules;
}

void SimEngine::applyRefuse(bool refuse)
{
    for (TcpModule* module : tcpModules()) {
        std::string error;
        if (module->refusing() == refuse) {
            continue;
        }
        if (!module->setRefuse(refuse, error)) {
            logEvent(module->label(), error);
        } else {
            logEvent(module->label(), refuse ? "refusing connections" : "accepting connections");
        }
    }
}

} // namespace ordalis::sim
