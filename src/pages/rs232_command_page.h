#pragma once

#include "pages/page_frame.h"

namespace ordalis {

// The RS232 command page: hand-made frames and their replies. For now its frame: logo, panel, title and
// bottom strip.
class CPAGE5 final : public CPageFrame
{
    Q_OBJECT

public:
    explicit CPAGE5(UiContext& ui, QWidget* parent = nullptr);
};

} // namespace ordalis
