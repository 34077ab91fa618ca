#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Every message box of the program goes through here. Tests switch the
// service to scripted mode, queue the answers, and read what was shown.
class MessageService {
public:
    struct Shown {
        QString text;
        QString caption;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::Icon icon;
    };

    static QMessageBox::StandardButton ask(QWidget* parent, const QString& text, const QString& caption,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon);

    // The program's standard boxes.
    static void error(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("Грешка"));
    static void warning(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("Съобщение"));
    static void problem(QWidget* parent, const QString& text) { error(parent, text, QStringLiteral("Проблем!")); }
    // Yes/No question with a question icon; true for Yes.
    static bool question(QWidget* parent, const QString& text, const QString& caption,
                         QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

    // --- scripting, for tests ---
    static void setScripted(bool on);
    static bool isScripted();
    // Answers given to the next boxes, in order; when none is queued a
    // scripted box answers with its default button (or the first button).
    static void queueAnswer(QMessageBox::StandardButton answer);
    static const QList<Shown>& shown();
    // Called as each box comes up (scripted or not), with the box's record.
    static void setObserver(std::function<void(const Shown&)> observer);
    static QString lastText();
    static void clearShown();
};
