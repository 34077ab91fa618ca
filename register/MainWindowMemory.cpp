// How the clerk left the main window, brought back at the next start: the
// window's placement (per user of the computer: it belongs to the screen),
// and per clerk the register's arrangement, view and period. Everything is
// kept in the program's own settings, never in the suite's.
#include "register/MainWindow.h"

#include "core/ProgramSettings.h"
#include "operations/Clock.h"
#include "register/PeriodRules.h"
#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "widgets/DateEdit.h"
#include "widgets/GroupingGrid.h"
#include "widgets/WindowPlacement.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

const QString kScreen = QStringLiteral("Window/Screen");
const QString kGeometry = QStringLiteral("Window/Geometry");
const QString kMaximised = QStringLiteral("Window/Maximised");

placement::Screen describe(const QScreen* s) {
    return {s->name(), s->geometry(), s->availableGeometry()};
}

QStringList names(const QVariant& v) {
    QStringList list = v.toStringList();
    list.removeAll(QString());
    return list;
}

} // namespace

QString MainWindow::clerkKey(const QString& name) const {
    return QStringLiteral("Clerks/%1/%2").arg(userId()).arg(name);
}

void MainWindow::placeWindow() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    std::optional<placement::Placement> saved;
    const QVariant geometry = m_settings->value(kGeometry);
    if (geometry.typeId() == QMetaType::QRect)
        saved = placement::Placement{m_settings->value(kScreen).toString(), geometry.toRect(),
                                     m_settings->value(kMaximised).toBool()};
    QList<placement::Screen> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.append(describe(s));
    const placement::Placement p =
        placement::restore(saved, screens, describe(primary), QSize(785, 550), minimumSize());
    m_placedAsLeft = p.asLeft;
    for (QScreen* s : QGuiApplication::screens())
        if (s->name() == p.screen)
            setScreen(s);
    setGeometry(p.normal);
    if (p.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::rememberWindow() {
    if (const QScreen* s = screen())
        m_settings->setValue(kScreen, s->name());
    const bool maximised = isMaximized();
    const QRect normal = maximised && normalGeometry().isValid() ? normalGeometry() : geometry();
    m_settings->setValue(kGeometry, normal);
    m_settings->setValue(kMaximised, maximised);
    rememberRegister();
}

void MainWindow::restoreRegister() {
    if (!m_register)
        return;
    // An arrangement that no longer fits the grid's columns (saved by
    // another version) leaves the default one.
    if (m_settings->value(clerkKey(QStringLiteral("Register/Order"))).isValid()) {
        GridArrangement a;
        a.order = names(m_settings->value(clerkKey(QStringLiteral("Register/Order"))));
        a.hidden = names(m_settings->value(clerkKey(QStringLiteral("Register/Hidden"))));
        bool fits = true;
        for (const QString& entry : names(m_settings->value(clerkKey(QStringLiteral("Register/Widths"))))) {
            bool number = false;
            const int width = entry.section(QLatin1Char(':'), 1).toInt(&number);
            fits = fits && number;
            a.widths.insert(entry.section(QLatin1Char(':'), 0, 0), width);
        }
        a.groups = names(m_settings->value(clerkKey(QStringLiteral("Register/Groups"))));
        for (const QString& entry : names(m_settings->value(clerkKey(QStringLiteral("Register/Sort"))))) {
            const QString order = entry.section(QLatin1Char(':'), 1);
            fits = fits && (order == QLatin1String("asc") || order == QLatin1String("desc"));
            a.sort.append({entry.section(QLatin1Char(':'), 0, 0), order == QLatin1String("desc")});
        }
        if (fits)
            m_register->grid->arrange(a);
    }

    bool number = false;
    const int view = m_settings->value(clerkKey(QStringLiteral("View"))).toInt(&number);
    if (number && view >= 0 && view < m_viewCombo->count())
        m_viewCombo->setCurrentIndex(view);
    const QDate today = Clock::today();
    const auto [from, to] = PeriodRules::restored(
        QDate::fromString(m_settings->value(clerkKey(QStringLiteral("From"))).toString(), Qt::ISODate),
        QDate::fromString(m_settings->value(clerkKey(QStringLiteral("To"))).toString(), Qt::ISODate), today);
    m_toDateEdit->setDate(to);
    m_fromDateEdit->setDate(from);
}

void MainWindow::rememberRegister() {
    if (m_rememberTimer)
        m_rememberTimer->stop();
    if (!m_register || !m_shown)
        return;
    const GridArrangement a = m_register->grid->arrangement();
    QStringList widths, sort;
    for (auto it = a.widths.cbegin(); it != a.widths.cend(); ++it)
        widths.append(QStringLiteral("%1:%2").arg(it.key()).arg(it.value()));
    for (const auto& key : a.sort)
        sort.append(key.column + (key.descending ? QStringLiteral(":desc") : QStringLiteral(":asc")));
    m_settings->setValue(clerkKey(QStringLiteral("Register/Order")), a.order);
    m_settings->setValue(clerkKey(QStringLiteral("Register/Hidden")), a.hidden);
    m_settings->setValue(clerkKey(QStringLiteral("Register/Widths")), widths);
    m_settings->setValue(clerkKey(QStringLiteral("Register/Groups")), a.groups);
    m_settings->setValue(clerkKey(QStringLiteral("Register/Sort")), sort);
    m_settings->setValue(clerkKey(QStringLiteral("View")), m_viewCombo->currentIndex());
    m_settings->setValue(clerkKey(QStringLiteral("From")), m_fromDateEdit->date().toString(Qt::ISODate));
    m_settings->setValue(clerkKey(QStringLiteral("To")), m_toDateEdit->date().toString(Qt::ISODate));
    m_settings->sync();
}
