#pragma once

#include <QString>
#include <QStringList>

// The program's own files (the item table's empty template, the sale
// contract template, the help and the manual) and where they are found:
// beside the executable, as in a build folder or a copy unpacked anywhere,
// or in the installed share folder, ../share/resale from the executable (so
// that a package unpacked under any root, or installed under any prefix,
// finds its files).
namespace programfiles {

// The program's version, as the package and the window title give it.
QString version();

// The names of the files the program ships.
QStringList shippedFiles();

// The folders looked in, in order, for a program in programDir.
QStringList searchFolders(const QString& programDir);

// The first search folder that holds any of the shipped files; programDir
// when none does. Every file the program opens is taken from this folder.
QString folder(const QString& programDir);

// The shipped files that the folder above lacks.
QStringList missingFiles(const QString& programDir);

// The folder of the sale contract template in use: a shop's own copy of
// "salecontract.rtf" in resale/ of the user's or the system's configuration
// folders (~/.config/resale, /etc/xdg/resale), which no upgrade of the
// program replaces, or else the program's folder.
QString saleContractFolder(const QString& programDir);

// "Файлът "doc_resale.html" на програмата липсва: няма го нито в /opt/x/bin, нито в /opt/x/share/resale."
QString missingText(const QString& name, const QString& programDir);

// One line per shipped file: its name and full path, or the missing text.
QStringList report(const QString& programDir);

} // namespace programfiles
