#pragma once

#include "pages/page_table.h"

class QWidget;

namespace ordalis {

class CPageFrame;
struct UiContext;

// Makes the page with that number, hidden, as a child of parent; nullptr for the home page
// and for a number that names no page.
CPageFrame* createPage(UiContext& ui, PageNumber number, QWidget* parent);

} // namespace ordalis
