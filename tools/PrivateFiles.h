#pragma once

#include <QString>

// Folders and files that only their owner may read: the database folder, the
// embedded database file and the settings that may hold a server password.
// (On Windows the folder's own access list decides; these calls keep what it says.)
namespace privatefiles {

// Creates dir with its missing parents; a folder it creates is open to its
// owner alone (rwx------). An existing folder is left as it is. False with
// *error set in words when it cannot be made.
bool makeFolder(const QString& dir, QString* error);

// Creates path empty and readable and writable by its owner alone when it
// does not exist; an existing file is left as it is.
bool createFile(const QString& path);

// Takes every permission of group and others away from an existing file.
bool restrictToOwner(const QString& path);

// Whether neither group nor others may read, write or enter path.
bool isPrivate(const QString& path);

} // namespace privatefiles
