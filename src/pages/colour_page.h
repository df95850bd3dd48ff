#pragma once

#include "pages/page_frame.h"

namespace ordalis {

// The colour adjustment page: picture and colour settings of the target displays. For now its frame: logo,
// panel, title and bottom strip.
class CPAGE2 final : public CPageFrame
{
    Q_OBJECT

public:
    explicit CPAGE2(UiContext& ui, QWidget* parent = nullptr);
};

} // namespace ordalis
