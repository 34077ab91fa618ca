#include "widgets/DesktopService.h"

#include <QDesktopServices>

namespace {
bool g_scripted = false;
QList<QUrl> g_opened;
} // namespace

void DesktopService::open(const QUrl& url) {
    g_opened.append(url);
    if (!g_scripted)
        QDesktopServices::openUrl(url); // nothing visible happens when no program is associated
}

void DesktopService::setScripted(bool on) {
    g_scripted = on;
    g_opened.clear();
}

const QList<QUrl>& DesktopService::opened() { return g_opened; }
