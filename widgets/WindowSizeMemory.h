#pragma once

#include <QObject>
#include <QPointer>

class ProgramSettings;
class QWidget;

// Keeps the size of every window the clerk can resize (dialogs, tool
// windows, the print preview) between runs, by the window's object name:
// the size is put back when the window is first shown and taken when it
// hides. Fixed-size windows, windows without a name, message boxes and
// popups are left alone, and so is the one window given as the exception (the main window,
// which keeps its whole placement itself).
class WindowSizeMemory : public QObject {
    Q_OBJECT
public:
    // settings must outlive this object.
    WindowSizeMemory(ProgramSettings* settings, QWidget* exception, QObject* parent = nullptr);

    // Whether the clerk can change the window's size.
    static bool isResizable(const QWidget* window);
    // The settings key the window's size is kept under.
    static QString sizeKey(const QWidget* window);
    static QString maximisedKey(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool concerns(const QWidget* w) const;
    void restore(QWidget* w);
    void remember(QWidget* w);

    ProgramSettings* m_settings;
    QPointer<QWidget> m_exception;
};
