#include "widgets/FileDialogService.h"

#include <QFileDialog>
#include <QStringList>

namespace {
bool g_scripted = false;
QStringList g_answers;
int g_asked = 0;
} // namespace

QString FileDialogService::chooseFolder(QWidget* parent, const QString& caption, const QString& start) {
    ++g_asked;
    if (g_scripted)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getExistingDirectory(parent, caption, start, QFileDialog::ShowDirsOnly);
}

QString FileDialogService::saveFile(QWidget* parent, const QString& caption, const QString& start,
                                    const QString& filter) {
    ++g_asked;
    if (g_scripted)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, start, filter);
}

void FileDialogService::setScripted(bool on) {
    g_scripted = on;
    g_answers.clear();
    g_asked = 0;
}

void FileDialogService::queueAnswer(const QString& path) {
    g_answers.append(path);
}

int FileDialogService::askedCount() {
    return g_asked;
}
