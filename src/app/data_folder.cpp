#include "app/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ordalis {

namespace {

constexpr char kDataFolderVariable[] = "ORDALIS_DATA_DIR";

QString documentsFolder()
{
#ifdef Q_OS_WIN
    // The Public Documents folder, common to all users.
    const QString publicProfile = qEnvironmentVariable("PUBLIC");
    if (!publicProfile.isEmpty())
        return QDir::fromNativeSeparators(publicProfile) + QStringLiteral("/Documents");
#endif
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void createLevel(const QString& path)
{
    if (!QFileInfo::exists(path))
        QDir().mkdir(path);
}

} // namespace

QString BuildDataFolderUnder(const QString& documentsRoot)
{
    const QString company = documentsRoot + QStringLiteral("/Corvane");
    const QString folder = company + QStringLiteral("/Ordalis");
    // mkdir, not mkpath: a missing documents folder stays missing.
    createLevel(company);
    createLevel(folder);
    return folder;
}

QString BuildDataFolder()
{
    const QString overridden = qEnvironmentVariable(kDataFolderVariable);
    if (!overridden.isEmpty()) {
        const QString folder = QDir(overridden).absolutePath();
        QDir().mkpath(folder);
        return folder;
    }
    return BuildDataFolderUnder(documentsFolder());
}

} // namespace ordalis
