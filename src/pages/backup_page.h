#pragma once

#include "pages/page_frame.h"

namespace ordalis {

// The back-up and restore page: all displays' settings to and from a file. For now its frame: logo, panel,
// title and bottom strip.
class CPAGE7 final : public CPageFrame
{
    Q_OBJECT

public:
    explicit CPAGE7(UiContext& ui, QWidget* parent = nullptr);
};

} // namespace ordalis
