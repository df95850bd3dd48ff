#pragma once

class QWidget;

namespace ordalis {

struct UiContext;

// After the layout wizard's "Auto Setup": the choice dialog, the address checks, the progress
// box and the outcome's message box.
void RunAutoSetup(UiContext& ui, QWidget* parent);

} // namespace ordalis
