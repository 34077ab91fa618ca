#include "widgets/MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace {
bool g_scripted = false;
QList<QMessageBox::StandardButton> g_answers;
QList<MessageService::Shown> g_shown;
std::function<void(const MessageService::Shown&)> g_observer;

// A splash stays on top of every window; no message may be hidden behind it,
// so a splash gives way to each box.
void hideSplashScreens() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowType() == Qt::SplashScreen && w->isVisible())
            w->hide();
}

QMessageBox::StandardButton firstButton(QMessageBox::StandardButtons buttons) {
    for (int b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
        if (buttons.testFlag(QMessageBox::StandardButton(b)))
            return QMessageBox::StandardButton(b);
    return QMessageBox::Ok;
}
} // namespace

QMessageBox::StandardButton MessageService::ask(QWidget* parent, const QString& text, const QString& caption,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon) {
    hideSplashScreens();
    g_shown.append({text, caption, buttons, defaultButton, icon});
    if (g_observer)
        g_observer(g_shown.last());
    if (g_scripted) {
        if (!g_answers.isEmpty())
            return g_answers.takeFirst();
        return defaultButton != QMessageBox::NoButton ? defaultButton : firstButton(buttons);
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    // The buttons speak the clerk's language, whatever translations are installed.
    for (const auto& [button, words] : {std::pair{QMessageBox::Yes, "Да"}, std::pair{QMessageBox::No, "Не"},
                                        std::pair{QMessageBox::Cancel, "Отказ"}})
        if (QAbstractButton* b = box.button(button))
            b->setText(QString::fromUtf8(words));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    box.setObjectName(QStringLiteral("messageBox"));
    const bool cursorOverridden = QApplication::overrideCursor() != nullptr;
    if (cursorOverridden)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = QMessageBox::StandardButton(box.exec());
    if (cursorOverridden)
        QApplication::restoreOverrideCursor();
    return answer;
}

void MessageService::error(QWidget* parent, const QString& text, const QString& caption) {
    ask(parent, text, caption, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Critical);
}

void MessageService::warning(QWidget* parent, const QString& text, const QString& caption) {
    ask(parent, text, caption, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Warning);
}

bool MessageService::question(QWidget* parent, const QString& text, const QString& caption,
                              QMessageBox::StandardButton defaultButton) {
    return ask(parent, text, caption, QMessageBox::Yes | QMessageBox::No, defaultButton, QMessageBox::Question) ==
           QMessageBox::Yes;
}

void MessageService::setScripted(bool on) {
    g_scripted = on;
    g_answers.clear();
}
bool MessageService::isScripted() { return g_scripted; }
void MessageService::queueAnswer(QMessageBox::StandardButton answer) { g_answers.append(answer); }
void MessageService::setObserver(std::function<void(const Shown&)> observer) { g_observer = std::move(observer); }
const QList<MessageService::Shown>& MessageService::shown() { return g_shown; }
QString MessageService::lastText() { return g_shown.isEmpty() ? QString() : g_shown.last().text; }
void MessageService::clearShown() { g_shown.clear(); }
