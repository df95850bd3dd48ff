#include "widgets/report_list.h"

#include <QHeaderView>
#include <QTableWidget>

namespace ordalis {

void makeReportList(QTableWidget& list)
{
    list.verticalHeader()->hide();
    list.setShowGrid(true);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QTableWidgetItem* reportItem(const QString& text, Qt::Alignment alignment)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

} // namespace ordalis
