#pragma once

#include <QString>

class QWidget;

// Folder and file choosers for the whole program. In scripted mode (tests)
// no window opens: each call takes the next queued answer (empty: cancelled).
class FileDialogService {
public:
    // The folder chosen, or empty when the user cancelled.
    static QString chooseFolder(QWidget* parent, const QString& caption, const QString& start);
    // The file to save into, or empty when the user cancelled.
    static QString saveFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter);

    // --- scripting, for tests ---
    static void setScripted(bool on);
    static void queueAnswer(const QString& path);
    static int askedCount();
};
