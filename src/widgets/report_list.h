#pragma once

#include <QString>
#include <Qt>

class QTableWidget;
class QTableWidgetItem;

namespace ordalis {

// Sets a table up as the pages' and dialogs' report-style lists are: no row headers, a grid, one
// whole row selected at a time, nothing edited in place.
void makeReportList(QTableWidget& list);

// A cell of such a list: selectable, not editable, centred vertically.
QTableWidgetItem* reportItem(const QString& text, Qt::Alignment alignment);

} // namespace ordalis
