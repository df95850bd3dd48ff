#pragma once

#include "pages/page_frame.h"

namespace ordalis {

// The remote control page: the displays' remote-control keys, sources and power. For now its frame: logo,
// panel, title and bottom strip.
class CPAGE4 final : public CPageFrame
{
    Q_OBJECT

public:
    explicit CPAGE4(UiContext& ui, QWidget* parent = nullptr);
};

} // namespace ordalis
