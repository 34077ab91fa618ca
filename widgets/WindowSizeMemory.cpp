#include "widgets/WindowSizeMemory.h"

#include "core/ProgramSettings.h"

#include <QEvent>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

namespace {
const char* const kRestored = "resaleSizeRestored";
}

WindowSizeMemory::WindowSizeMemory(ProgramSettings* settings, QWidget* exception, QObject* parent)
    : QObject(parent), m_settings(settings), m_exception(exception) {}

bool WindowSizeMemory::isResizable(const QWidget* w) {
    if (w->layout() && w->layout()->sizeConstraint() == QLayout::SetFixedSize)
        return false;
    return w->minimumSize() != w->maximumSize();
}

QString WindowSizeMemory::sizeKey(const QWidget* w) {
    return QStringLiteral("Windows/%1/Size").arg(w->objectName());
}

QString WindowSizeMemory::maximisedKey(const QWidget* w) {
    return QStringLiteral("Windows/%1/Maximised").arg(w->objectName());
}

bool WindowSizeMemory::concerns(const QWidget* w) const {
    // A message box fits its own text each time.
    if (!w || !w->isWindow() || w == m_exception || w->objectName().isEmpty() || qobject_cast<const QMessageBox*>(w))
        return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

bool WindowSizeMemory::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t != QEvent::Polish && t != QEvent::Show && t != QEvent::Hide)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!concerns(w))
        return false;
    // Polish comes before the window is first placed; Show catches a
    // window polished before this object was installed.
    if ((t == QEvent::Polish || t == QEvent::Show) && !w->property(kRestored).toBool()) {
        w->setProperty(kRestored, true);
        restore(w);
    } else if (t == QEvent::Hide && w->property(kRestored).toBool()) {
        remember(w);
    }
    return false;
}

void WindowSizeMemory::restore(QWidget* w) {
    if (!isResizable(w))
        return;
    const QVariant saved = m_settings->value(sizeKey(w));
    const QVariant maximised = m_settings->value(maximisedKey(w));
    if (maximised.isValid() && maximised.toBool()) {
        w->setWindowState(w->windowState() | Qt::WindowMaximized);
        return;
    }
    if (!saved.canConvert<QSize>())
        return;
    QSize size = saved.toSize();
    if (!size.isValid() || size.isEmpty())
        return;
    if (const QScreen* s = w->screen())
        size = size.boundedTo(s->availableGeometry().size());
    size = size.expandedTo(w->minimumSize()).boundedTo(w->maximumSize());
    if (maximised.isValid())
        w->setWindowState(w->windowState() & ~Qt::WindowMaximized);
    w->resize(size);
}

void WindowSizeMemory::remember(QWidget* w) {
    if (!isResizable(w))
        return;
    const bool maximised = w->isMaximized();
    const QSize size = maximised && w->normalGeometry().isValid() ? w->normalGeometry().size() : w->size();
    m_settings->setValue(sizeKey(w), size);
    m_settings->setValue(maximisedKey(w), maximised);
    m_settings->sync();
}
