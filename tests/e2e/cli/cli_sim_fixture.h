#pragma once

// ordalis-cli against an in-process simulator: the links to give on its command line.
#include "sim/wall_sim.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace ordalis::test {

class CliSimTest : public testing::Test
{
protected:
    bool start(sim::SimConfig config)
    {
        sim = std::make_unique<sim::WallSim>(std::move(config));
        if (!sim->start()) {
            ADD_FAILURE() << sim->errorText();
            return false;
        }
        return true;
    }

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

    std::unique_ptr<sim::WallSim> sim;
};

} // namespace ordalis::test
