#pragma once

#include "pages/page_frame.h"

namespace ordalis {

// The video wall adjustment page: matrix, division, delays and video wall mode. For now its frame: logo,
// panel, title and bottom strip.
class CPAGE3 final : public CPageFrame
{
    Q_OBJECT

public:
    explicit CPAGE3(UiContext& ui, QWidget* parent = nullptr);
};

} // namespace ordalis
