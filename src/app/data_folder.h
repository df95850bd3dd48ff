#pragma once

#include <QString>

namespace ordalis {

// The folder that holds the IP settings file (and the serial port links, see the link layer).
//
// ORDALIS_DATA_DIR, when set and not empty, names the data folder itself: tests and the run
// script point the program at a folder of their own with it (a relative path is taken from
// the working directory at start-up); every missing level is created.
// Otherwise it is the documents folder (on Windows the Public Documents folder shared by all
// users) followed by Corvane/Ordalis; those two levels are created when missing, the
// documents folder itself is not. A level that cannot be created is not reported: the file
// operations on the folder report their own failures.
QString BuildDataFolder();

// The second case alone: documentsRoot/Corvane/Ordalis, creating the two levels when
// documentsRoot exists. Returns the path whether or not it could be created.
QString BuildDataFolderUnder(const QString& documentsRoot);

} // namespace ordalis
