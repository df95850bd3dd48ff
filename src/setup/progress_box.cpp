#include "setup/progress_box.h"

#include "app/ctavrin_app.h"
#include "setup/dialog_units.h"
#include "setup/timer_service.h"
#include "setup/ui_context.h"
#include "widgets/control_id.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>

#include <array>

namespace ordalis {

namespace {

struct BoxTexts
{
    const char* title;
    const char* message;
};

// Indexed by PendingPowerAction.
constexpr std::array<BoxTexts, 4> kBoxTexts {{
    {"Power On", "Power On is processing, please wait for 5 seconds."},
    {"Power Off", "Power Off is processing, please wait for 5 seconds."},
    {"Video Wall Auto Setup", "Video Wall Auto Setup is processing..."},
    {"Monitor ID Auto Sort", "Monitor ID Auto Sort is processing..."},
}};
constexpr BoxTexts kTemplateTexts {"Video Wall Auto Setup", "Auto setup is processing ..."};

const BoxTexts& textsFor(int action)
{
    return action >= 0 && action < static_cast<int>(kBoxTexts.size()) ? kBoxTexts[action] : kTemplateTexts;
}

} // namespace

QString CProcessbox::titleFor(int pendingPowerAction)
{
    return QString::fromLatin1(textsFor(pendingPowerAction).title);
}

QString CProcessbox::messageFor(int pendingPowerAction)
{
    return QString::fromLatin1(textsFor(pendingPowerAction).message);
}

CProcessbox::CProcessbox(UiContext& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ui(ui)
{
    setModal(true);
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits units(dialogFont);
    setFixedSize(units.size(230, 180));

    m_title = new QLabel(QString::fromLatin1(kTemplateTexts.title), this);
    setControlId(m_title, ProcessboxControl::Title);
    m_title->setFont(DialogUnits::boldArial(24));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setGeometry(units.rect(7, 20, 216, 30));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(units.rect(7, 58, 216, 2));

    m_message = new QLabel(QString::fromLatin1(kTemplateTexts.message), this);
    setControlId(m_message, ProcessboxControl::Message);
    m_message->setFont(DialogUnits::boldArial(10));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setGeometry(units.rect(7, 75, 216, 36));

    m_bar = new QProgressBar(this);
    setControlId(m_bar, ProcessboxControl::ProgressBar);
    m_bar->setRange(0, kBarMaximum);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(units.rect(20, 130, 190, 14));

    const int action = m_ui.app.PendingPowerAction;
    m_title->setText(titleFor(action));
    m_message->setText(messageFor(action));

    m_timer = m_ui.timers.createTimer([this] { OnTimer(); });
}

CProcessbox::~CProcessbox() = default;

bool CProcessbox::run()
{
    m_succeeded = false;
    m_ending = false;
    m_timer->start(kTickMs);
    exec();
    m_timer->stop();
    return m_succeeded;
}

const TimedOperation& CProcessbox::currentOperation() const
{
    const int action = m_ui.app.PendingPowerAction;
    if (action == 2 || action == 3) {
        return m_ui.app.ConnectionKind == static_cast<std::uint8_t>(ConnectionKind::LanEach)
            ? m_ui.timedSteps.perDisplay
            : m_ui.timedSteps.chain;
    }
    return m_ui.timedSteps.power;
}

void CProcessbox::advanceBar()
{
    const int next = m_bar->value() + 1;
    m_bar->setValue(next > kBarMaximum ? m_bar->minimum() : next);
}

void CProcessbox::OnTimer()
{
    ProcessboxState& state = m_ui.processbox;
    if (state.busy)
        return;
    state.busy = true;
    advanceBar();

    StepContext context {m_ui.app, *this, state.step};
    if (RunTimedStep(currentOperation(), context)) {
        m_timer->stop();
        m_succeeded = context.ok;
        m_ending = true;
        done(context.ok ? QDialog::Accepted : QDialog::Rejected);
    }
    state.busy = false;
}

void CProcessbox::reject()
{
}

void CProcessbox::closeEvent(QCloseEvent* event)
{
    if (!m_ending)
        event->ignore();
}

} // namespace ordalis
