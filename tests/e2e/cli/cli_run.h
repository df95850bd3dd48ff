#pragma once

// Runs the built ordalis-cli binary and keeps what it printed.
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace ordalis::test {

struct CliRun
{
    int exitCode = -1; // -1: it did not end normally in time
    std::string out;
    std::string err;

    std::vector<std::string> lines() const { return split(out); }
    std::vector<std::string> errLines() const { return split(err); }

    static std::vector<std::string> split(const std::string& text)
    {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

inline CliRun runCli(const QStringList& args,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 20000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ORDALIS_CLI_PATH), args);
    CliRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

} // namespace ordalis::test
