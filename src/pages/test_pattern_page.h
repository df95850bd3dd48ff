#pragma once

#include "pages/page_frame.h"

namespace ordalis {

// The test pattern page: patterns drawn by the displays or full-screen by the PC. For now its frame: logo,
// panel, title and bottom strip.
class CPAGE6 final : public CPageFrame
{
    Q_OBJECT

public:
    explicit CPAGE6(UiContext& ui, QWidget* parent = nullptr);
};

} // namespace ordalis
