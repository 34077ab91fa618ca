#pragma once

#include <QStringList>
#include <QUrl>

// Opens documents with the desktop's associated program (manual, help).
// Tests switch it to scripted mode and read what would have opened.
class DesktopService {
public:
    static void open(const QUrl& url);
    static void setScripted(bool on);
    static const QList<QUrl>& opened();
};
