#pragma once

#include <QString>
#include <QWidget>

namespace ordalis {

// Every control keeps the numeric id its dialog gives it, so code and tests can find it
// by id as the operator finds it by its place. The id is held in the object name.
inline QString controlObjectName(int id)
{
    return QStringLiteral("ctl_%1").arg(id);
}

template<typename Id> inline void setControlId(QWidget* widget, Id id)
{
    widget->setObjectName(controlObjectName(static_cast<int>(id)));
}

template<typename T = QWidget, typename Id> inline T* findControl(const QWidget* root, Id id)
{
    return root->findChild<T*>(controlObjectName(static_cast<int>(id)));
}

} // namespace ordalis
