#pragma once

// ordalis-cli against an in-process simulator: the links to give on its command line.
#include "tests/e2e/sim_runner.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace ordalis::test {

class CliSimTest : public testing::Test, public SimRunner
{
protected:
    QString serial() const { return QString::fromStdString(sim->serialPath()); }
    QString lan() const { return QStringLiteral("127.0.0.1:%1").arg(sim->lanPort()); }
    // HOST:PORT,... of the modules of one per display, in chain order.
    QString lanEach() const
    {
        QStringList hosts;
        for (int k = 1; k <= sim->displayCount(); ++k)
            hosts << QStringLiteral("%1:%2")
                         .arg(QString::fromStdString(sim->lanEachAddress(k)))
                         .arg(sim->lanEachPort());
        return hosts.join(',');
    }
};

} // namespace ordalis::test
