#include "setup/progress_box.h"

#include "app/ctavrin_app.h"
#include "platform/timer_service.h"
#include "widgets/control_id.h"
#include "widgets/dialog_units.h"
#include "widgets/ui_context.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>

namespace ordalis {

CProcessbox::CProcessbox(UiContext& ui, const TimedOperation& operation, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_ui(ui),
      m_operation(operation)
{
    setModal(true);
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits units(dialogFont);
    setFixedSize(units.size(230, 180));

    m_title = new QLabel(QString::fromLatin1(operation.title), this);
    setControlId(m_title, ProcessboxControl::Title);
    m_title->setFont(DialogUnits::boldArial(24));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setGeometry(units.rect(7, 20, 216, 30));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(units.rect(7, 58, 216, 2));

    m_message = new QLabel(QString::fromLatin1(operation.message), this);
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

    TimedContext context {m_ui.app, *this};
    const StepResult result = runStep(m_operation.steps, state.step, context, kTickMs);
    if (result.phase != StepPhase::Continue) {
        m_timer->stop();
        m_succeeded = result.phase == StepPhase::Succeeded;
        m_ending = true;
        done(m_succeeded ? QDialog::Accepted : QDialog::Rejected);
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
