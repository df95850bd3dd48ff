// Writes the set-up dialogs as PNG files for the documentation; scripts/screenshots runs it:
//   xvfb-run -a build/dev/tests/gui/setup/setup_screenshots docs/screenshots
// The dialogs run on the fake link and virtual timers with made-up answers.
#include "pages/status_dialog.h"
#include "rules/auto_setup_steps.h"
#include "setup/auto_setup_dialog.h"
#include "setup/ip_search_dialog.h"
#include "setup/layout_wizard.h"
#include "setup/progress_box.h"
#include "tests/gui/support/fake_ui.h"
#include "widgets/control_id.h"
#include "widgets/fonts.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace ordalis;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}

std::vector<std::uint8_t> text13(const char* text)
{
    std::vector<std::uint8_t> out(13, 0);
    for (std::size_t i = 0; text[i] && i < 13; ++i)
        out[i] = std::uint8_t(text[i]);
    return out;
}

class Shots
{
public:
    explicit Shots(QString folder) : m_folder(std::move(folder)) { QDir().mkpath(m_folder); }

    bool save(QWidget& widget, const QString& name)
    {
        widget.show();
        widget.raise();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        const bool saved = widget.grab().save(path);
        QTextStream(stdout) << (saved ? "wrote " : "FAILED ") << path << "\n";
        return saved;
    }

    // A modal dialog: saved from inside its own loop, then closed.
    bool saveModal(QDialog& dialog, const QString& name)
    {
        bool saved = false;
        QTimer::singleShot(200, &dialog, [&] {
            saved = save(dialog, name);
            dialog.done(QDialog::Rejected);
        });
        dialog.exec();
        return saved;
    }

private:
    QString m_folder;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    InstallFontSubstitutes();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    Shots shots(folder);

    test::FakeApp fakes;
    test::FakeUi fakeUi(fakes);
    fakes.hosts.addresses = {QStringLiteral("192.0.2.5")};
    CTavrinApp& app = fakes.app;
    FakeSerialLine& line = fakes.line;
    VirtualTimerService& timers = fakeUi.timers;
    UiContext& ui = fakeUi.ui;

    app.WallColumns = 3;
    app.WallRows = 3;
    app.FirstDisplayAtBottom = 1;
    app.settings.ComPort.setBoth(1);
    app.settings.IpAddress.setBoth(QStringLiteral("192.0.2.20"));
    app.settings.TelnetPort.setBoth(23);
    app.settings.DisplayModel.setBoth(2);
    for (int i = 0; i < 9; ++i)
        app.IpTable[std::size_t(i)] = QStringLiteral("192.0.2.%1").arg(20 + i);

    bool ok = true;
    for (int kind : {0, 1, 2}) {
        app.ConnectionKind = std::uint8_t(kind);
        CLayoutSetupDLg wizard(ui);
        ok = shots.save(wizard, QStringLiteral("layout-wizard-kind%1").arg(kind)) && ok;
    }

    CAutoSetup1Dlg choice;
    ok = shots.save(choice, QStringLiteral("auto-setup-choice")) && ok;

    app.ConnectionKind = 0;
    app.PendingPowerAction = 2;
    {
        CProcessbox box(
            ui, AutoSetupSteps::operation(ConnectionKind(app.ConnectionKind), app.PendingPowerAction == 3));
        for (int i = 0; i < 4; ++i)
            box.advanceBar();
        ok = shots.save(box, QStringLiteral("progress-box")) && ok;
        box.hide();
    }

    // Discovery after a search with two wireless modules answering.
    app.settings.LanType.setBoth(1);
    fakeUi.datagrams.answerEverySend(
        {{120, "192.0.2.31,020000A1B2C3,WIFI-MODULE-1"}, {180, "192.0.2.32,020000A1B2C4,WIFI-MODULE-2"}});
    {
        CIpSearchDlg search(ui);
        search.IpText = QStringLiteral("192.0.2.20");
        QTimer::singleShot(50, &search, [&] {
            search.SearchDisplays();
            auto* list = findControl<QWidget>(&search, IpSearchControl::DeviceList);
            list->setFocus();
        });
        ok = shots.saveModal(search, QStringLiteral("discovery")) && ok;
    }

    // Three displays, the second off.
    app.settings.DisplayModel.setBoth(0);
    const auto answer
        = [&](const char* code, const std::vector<std::pair<int, std::vector<std::uint8_t>>>& replies) {
              line.replyToNextWrite(test::readAllReplies(code, replies));
          };
    answer("POW", {{1, {1}}, {2, {0}}, {3, {1}}});
    answer("SER", {{1, text13("A3K0012345")}, {3, text13("A3K0012347")}});
    answer("MNA", {{1, text13("KV-870")}, {3, text13("KV-870")}});
    answer("POW", {{1, {1}}, {2, {0}}, {3, {1}}});
    answer("DIV", {{1, {0x13}}, {3, {0x33}}});
    answer("MIN", {{1, {9}}, {3, {13}}});
    answer("RTT", {{1, {38}}, {3, {0xFB}}});
    answer("RSF", {{1, {40}}, {3, {41}}});
    answer("RS2", {{1, {39}}, {3, {40}}});
    answer("ERR", {{1, bytes({0, 0, 0, 0})}, {3, bytes({0x34, 0x12, 0, 0})}});
    answer("LMT", {{1, bytes({52, 0, 0, 0, 0x3D, 0x0B, 0, 0})}, {3, bytes({47, 0, 0, 0, 0x10, 0x0E, 0, 0})}});
    answer("OTT", {{1, bytes({0x40, 0x9C, 0, 0})}, {3, bytes({0x8C, 0xA0, 0, 0})}});
    answer("OTS", {{1, bytes({0x2C, 0x01, 0, 0})}, {3, bytes({0x3D, 0x00, 0, 0})}});
    answer("BSL", {{1, {0x20}}, {3, {0x10}}});
    answer("BSH", {{1, {0x01}}, {3, {0x01}}});
    {
        LogMessageDlg status(ui);
        timers.advanceUntil([&] { return line.writes().size() == 15; }, 20000);
        ok = shots.save(status, QStringLiteral("display-status")) && ok;
        status.hide();
    }
    return ok ? 0 : 1;
}
