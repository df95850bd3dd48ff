#pragma once

#include "app/ctavrin_app.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_prompts.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ordalis::test {

// An application object on the fakes, with a private folder for its files.
class AppFixture : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& name) const { return dir.filePath(name); }

    static QByteArray readFile(const QString& filePath)
    {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }

    static void writeFile(const QString& filePath, const QByteArray& bytes)
    {
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir dir;
    FakeClock clock;
    FakePrompts prompts;
    CTavrinApp app {Services {&clock, nullptr, &prompts}};
};

} // namespace ordalis::test
