#include "wall_session.h"

#include "app/display_list.h"
#include "link/lan_link.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace ordalis::cli {

namespace {

constexpr int kComPort = 1;
constexpr int kConnectLimitMs = 3000;

} // namespace

PromptAnswer StreamPrompts::showMessage(const MessagePrompt& prompt)
{
    m_err << prompt.text.toStdString() << '\n';
    return PromptAnswer::Ok;
}

WallSession::WallSession(const WallOptions& options, int modelRow, std::ostream& err)
    : m_options(options),
      m_err(err),
      m_prompts(err),
      m_app(Services {&m_clock, &m_prompts, &m_serialPorts, &m_lanConnections, &m_hosts})
{
    m_app.WallColumns = std::uint8_t(options.columns);
    m_app.WallRows = std::uint8_t(options.rows);
    m_app.FirstDisplayAtBottom = options.bottomLeft ? 1 : 0;
    m_app.settings.DisplayModel.setBoth(std::uint8_t(modelRow));
    m_app.settings.ProjectId.setBoth(24);
    m_app.settings.ComPort.setBoth(kComPort);
    m_app.DataFolder = m_dataFolder.path();
    // No boxes to click away: failures are printed by the commands.
    m_app.ShowErrorBoxes = false;
}

WallSession::~WallSession()
{
    m_app.DisplayList.clear();
    m_app.ComPortHandle.reset();
}

bool WallSession::open()
{
    if (!m_options.lan.empty()) {
        const std::size_t colon = m_options.lan.rfind(':');
        bool portOk = false;
        const int port = colon == std::string::npos
            ? 23
            : QString::fromStdString(m_options.lan.substr(colon + 1)).toInt(&portOk);
        if (colon != std::string::npos && !portOk) {
            m_err << "ordalis-cli: --lan takes ADDRESS[:PORT]\n";
            return false;
        }
        m_app.ConnectionKind = std::uint8_t(ConnectionKind::Lan);
        m_app.settings.IpAddress.setBoth(QString::fromStdString(m_options.lan.substr(0, colon)));
        m_app.settings.TelnetPort.setBoth(port);
        BuildDisplayList(m_app);
        LanLink(m_app).ConnectDisplaySocket(0);
        const QDeadlineTimer deadline(kConnectLimitMs);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            IPixy& record = m_app.DisplayList.front();
            if (record.connection && record.connection->state == CClientSocket::kStateWritable) {
                record.status = 0;
                return true;
            }
        }
        m_err << m_options.lan << " connection fail!\n";
        return false;
    }
    m_app.ConnectionKind = std::uint8_t(ConnectionKind::Serial);
    if (!m_options.serialPath.empty()) {
        QDir(m_dataFolder.path()).mkpath(QStringLiteral("ports"));
        QFile::link(QString::fromStdString(m_options.serialPath),
            m_dataFolder.filePath(QStringLiteral("ports/COM%1").arg(kComPort)));
    }
    return true;
}

} // namespace ordalis::cli
