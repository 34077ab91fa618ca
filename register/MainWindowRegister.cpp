// The register: views, refresh, grid, detail panels, row change and the
// availability of the item commands.
#include "register/MainWindow.h"

#include "core/Formats.h"
#include "core/Money.h"
#include "db/DbError.h"
#include "operations/Clock.h"
#include "register/AboutDialog.h"
#include "register/CommandAvailability.h"
#include "register/FindWindow.h"
#include "register/PeriodRules.h"
#include "register/RegisterLoader.h"
#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QAction>
#include <QComboBox>
#include "widgets/DateEdit.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

void RegisterPartsDeleter::operator()(RegisterParts* p) const {
    delete p;
}

namespace {

QList<GridColumn> registerColumns() {
    using K = GridColumn::Kind;
    auto f = [](const char* name) { return RegisterLoader::column(QString::fromLatin1(name)); };
    QList<GridColumn> c;
    c.append({"gridShop", "Магазин", f("Shop"), K::Text, false, true, false, RegisterParts::summaryGroupName()});
    c.append({"gridDogNo", "№ договор", f("DogNo"), K::Integer, true, false});
    c.append({"gridArt", "Артикул", f("Art"), K::Text, true, false});
    c.append({"gridSerial", "Сериен №", f("Serial"), K::Text, true, false});
    c.append({"gridDateGet", "Приемане", f("DateGet"), K::Date, true, false});
    c.append({"gridDPrice", "Изк.цена", f("DlvPrice"), K::Money, true, false, true});
    c.append({"gridPayed", "Изплатен", f("Payed"), K::Check, true, true});
    c.append({"gridDatePay", "Плащане", f("Datepay"), K::Date, true, true});
    c.append({"gridSPrice", "Прод.цена", f("SalePrice"), K::Money, true, false, true});
    c.append({"gridSaled", "Продаден", f("Saled"), K::Check, true, true});
    c.append({"gridDatesale", "Продажба", f("Datesale"), K::Date, true, false});
    return c;
}

// A heading of a detail panel: highlight colour, lime text.
QLabel* heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, parent->palette().color(QPalette::Highlight));
    p.setColor(QPalette::WindowText, QColor(0x00, 0xFF, 0x00));
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setMinimumHeight(l->fontMetrics().height() + 4);
    return l;
}

} // namespace

void MainWindow::buildRegisterArea(QWidget* host) {
    m_register.reset(new RegisterParts);
    auto* h = new QHBoxLayout(host);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);

    m_register->table = new GridTableModel(host);
    m_register->grid = new GroupingGrid(host);
    m_register->grid->setObjectName(QStringLiteral("grid"));
    m_register->grid->setColumns(registerColumns());
    m_register->grid->model()->setSummaryText([](const GroupingModel::GroupSummary& s) {
        if (s.summaryGroup != RegisterParts::summaryGroupName())
            return QString();
        const int dlv = 5, sale = 8; // gridDPrice, gridSPrice
        return QStringLiteral("Сума по изкупни цени: %1, Сума по продажни цени: %2")
            .arg(formats::moneyGrouped(money::toLeva(s.sums.value(dlv))),
                 formats::moneyGrouped(money::toLeva(s.sums.value(sale))));
    });
    m_register->grid->setSourceModel(m_register->table);
    // Within a shop (and a sort's ties) the items stand in the order they
    // were taken in, whatever order the engine returns them in.
    m_register->grid->model()->setKeyField(RegisterLoader::column(QStringLiteral("Id")));
    m_register->grid->groupBy(0);
    m_register->grid->keepAsDefaultArrangement();
    h->addWidget(m_register->grid, 1);

    // Detail panels at the right.
    m_register->details = new QWidget(host);
    m_register->details->setObjectName(QStringLiteral("pDetails"));
    auto* v = new QVBoxLayout(m_register->details);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(1);
    auto field = [this](const char* column, bool multiline, QWidget* parent) -> QWidget* {
        QWidget* w;
        if (multiline) {
            auto* e = new QPlainTextEdit(parent);
            e->setReadOnly(true);
            e->setMaximumHeight(46);
            e->setTabChangesFocus(true);
            w = e;
        } else {
            auto* e = new QLineEdit(parent);
            e->setReadOnly(true);
            w = e;
        }
        // Read-only: a click may select text to copy, but Tab passes them by.
        w->setFocusPolicy(Qt::ClickFocus);
        w->setObjectName(QString::fromLatin1(column));
        m_register->fields.insert(QString::fromLatin1(column), w);
        return w;
    };
    auto labelled = [](const QString& text, QWidget* buddy, QWidget* parent) {
        auto* box = new QWidget(parent);
        auto* l = new QVBoxLayout(box);
        l->setContentsMargins(2, 0, 2, 0);
        l->setSpacing(0);
        auto* label = new QLabel(text, box);
        label->setBuddy(buddy);
        l->addWidget(label);
        buddy->setParent(box);
        l->addWidget(buddy);
        return box;
    };
    auto pair = [&](const QString& t1, QWidget* f1, const QString& t2, QWidget* f2, QWidget* parent) {
        auto* row = new QWidget(parent);
        auto* l = new QHBoxLayout(row);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        l->addWidget(labelled(t1, f1, row));
        l->addWidget(labelled(t2, f2, row));
        return row;
    };
    QWidget* d = m_register->details;
    v->addWidget(heading(QStringLiteral("  Данни за продавача"), d));
    v->addWidget(labelled(QStringLiteral("Имена"), field("DlvNames", false, d), d));
    v->addWidget(labelled(QStringLiteral("Адрес"), field("DlvAdres", false, d), d));
    v->addWidget(pair(QStringLiteral("ЕГН"), field("DlvEGN", false, d), QStringLiteral("Лична карта"),
                      field("DlvLK", false, d), d));
    v->addWidget(heading(QStringLiteral("  Данни за купувача"), d));
    v->addWidget(labelled(QStringLiteral("Имена"), field("ClientNames", false, d), d));
    v->addWidget(labelled(QStringLiteral("Адрес"), field("ClientAdres", false, d), d));
    v->addWidget(labelled(QStringLiteral("Други данни"), field("ClientInfo", true, d), d));
    v->addWidget(heading(QStringLiteral("  Данни за продажбата"), d));
    v->addWidget(pair(QStringLiteral("Цена продажба"), field("SalePrice", false, d), QStringLiteral("За изплащане"),
                      field("DlvPrice", false, d), d));
    v->addWidget(labelled(QStringLiteral("Доп. информация за уреда"), field("ArtNote", true, d), d));
    v->addWidget(labelled(QStringLiteral("Доп. информация за продажба"), field("SaleInfo", true, d), d));
    v->addStretch(1);
    // As wide as its widest caption needs, and never narrower than before, so
    // that no caption is cut at any window size.
    m_register->details->setFixedWidth(qMax(183, m_register->details->minimumSizeHint().width()));
    h->addWidget(m_register->details);

    connect(m_register->grid, &GroupingGrid::currentRowChanged, this, &MainWindow::showCurrentItem);
    connect(m_register->grid, &GroupingGrid::columnChooserClosed, this, &MainWindow::uncheckColumnsToggle);
    // Kept a moment after the change, so that a column dragged wider is
    // written once, not at every pixel.
    m_rememberTimer = new QTimer(this);
    m_rememberTimer->setSingleShot(true);
    m_rememberTimer->setInterval(300);
    connect(m_rememberTimer, &QTimer::timeout, this, &MainWindow::rememberRegister);
    connect(m_register->grid, &GroupingGrid::arrangementChanged, m_rememberTimer, qOverload<>(&QTimer::start));
}

void MainWindow::createRegisterDialogs() {
    if (!m_register)
        return;
    if (!m_register->find)
        m_register->find = new FindWindow(this);
    if (!m_register->about)
        m_register->about = new AboutDialog(this);
}

void MainWindow::showStartView() {
    if (QScreen* s = screen(); !m_placedAsLeft && s && s->geometry().width() == 800)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_viewCombo->setCurrentIndex(RegisterView::InStock);
    const QDate today = Clock::today();
    m_toDateEdit->setDate(today);
    m_fromDateEdit->setDate(PeriodRules::initialFrom(today));
    // The arrangement, view and period the clerk left.
    restoreRegister();
    updateFilterBar();
    m_viewCombo->setFocus();
    refreshRegister();
}

void MainWindow::updateFilterBar() {
    const bool period = RegisterView::usesPeriod(m_viewCombo->currentIndex());
    m_fromDateEdit->setEnabled(period);
    m_toDateEdit->setEnabled(period);
    m_refreshButton->setEnabled(true);
}

void MainWindow::clampToDate() {
    const QDate to = PeriodRules::clampTo(m_toDateEdit->date(), m_fromDateEdit->date(), Clock::today());
    if (to != m_toDateEdit->date())
        m_toDateEdit->setDate(to);
    m_refreshButton->setEnabled(true);
}

void MainWindow::clampFromDate() {
    const QDate from = PeriodRules::clampFrom(m_fromDateEdit->date(), m_toDateEdit->date());
    if (from != m_fromDateEdit->date())
        m_fromDateEdit->setDate(from);
    m_refreshButton->setEnabled(true);
}

bool MainWindow::runStatement(const RegisterStatement& s) {
    m_register->statement = s;
    m_register->loaded = false;
    m_register->detailsId = -1; // read again for the current item
    try {
        RegisterLoader::load(db(), s, m_register->table);
        m_register->loaded = true;
        return true;
    } catch (const DbError& e) {
        m_register->table->clear();
        MessageService::error(this, e.message());
        return false;
    }
}

RegisterStatement MainWindow::viewStatement() {
    return RegisterView::statement(m_viewCombo->currentIndex(), m_fromDateEdit->date(), m_toDateEdit->date(),
                                   db().engine());
}

void MainWindow::showFirstRow() {
    GroupingGrid* grid = m_register->grid;
    grid->expandAll();
    grid->focusFirstRow();
    if (!grid->hasOwnWidths())
        grid->fitColumns();
    grid->setFocus();
}

void MainWindow::refreshRegister() {
    if (!m_register)
        return;
    const RegisterStatement s = viewStatement();
    m_register->searchMode = false;
    const bool ok = runStatement(s);
    if (ok)
        m_refreshButton->setEnabled(false);
    rememberRegister(); // the view and period the clerk chose
    showCurrentItem();
    if (m_register->table->rowCount() == 0) {
        m_viewCombo->setFocus();
        return;
    }
    showFirstRow();
    showCurrentItem();
}

void MainWindow::search(const RegisterStatement& statement) {
    m_searchStatementField->setText(statement.sql);
    if (m_register)
        m_register->findParams = statement.params;
    runSearch();
}

void MainWindow::runSearch() {
    if (!m_register)
        return;
    m_register->searchMode = true;
    const bool ran = runStatement(RegisterStatement{m_searchStatementField->text(), m_register->findParams});
    m_refreshButton->setEnabled(false);
    showCurrentItem();
    if (!ran) {
        // The engine's message has been shown; the text was not looked for.
        if (m_register->find)
            m_register->find->focusSearchText();
        return;
    }
    if (m_register->table->rowCount() == 0) {
        MessageService::warning(this, QStringLiteral("Търсеният текст не е намерен!"), QStringLiteral("Съобщение"));
        if (m_register->find)
            m_register->find->focusSearchText();
        return;
    }
    showFirstRow();
    showCurrentItem();
}

namespace {

// The item the register's current row names: a data row is itself; a group
// row names the first item under it; with no current row, the first listed.
int currentSourceRow(const RegisterParts& r) {
    if (r.table->rowCount() == 0)
        return -1;
    GroupingModel* m = r.grid->model();
    QModelIndex idx = r.grid->view()->currentIndex();
    if (!idx.isValid())
        idx = m->index(0, 0);
    while (idx.isValid() && m->isGroup(idx))
        idx = m->index(0, 0, idx.siblingAtColumn(0));
    return m->sourceRow(idx);
}

} // namespace

void MainWindow::showCurrentItem() {
    if (!m_register)
        return;
    const int row = currentSourceRow(*m_register);
    const int idCol = RegisterLoader::column(QStringLiteral("Id"));
    m_register->currentId = row >= 0 ? m_register->table->value(row, idCol).toLongLong() : -1;
    if (m_register->detailsId != m_register->currentId) {
        // Read when the current item changes, not with every row of the list.
        m_register->detailValues.clear();
        m_register->detailsId = m_register->currentId;
        if (m_register->currentId >= 0) {
            try {
                m_register->detailValues = RegisterLoader::details(db(), m_register->currentId);
            } catch (const DbError&) {
                m_register->detailsId = -1; // the panels stay empty; the next row change tries again
            }
        }
    }
    for (auto it = m_register->fields.cbegin(); it != m_register->fields.cend(); ++it) {
        QString text;
        if (row >= 0) {
            if (!RegisterLoader::isListed(it.key())) {
                text = m_register->detailValues.value(it.key());
            } else {
                const QVariant v = m_register->table->value(row, RegisterLoader::column(it.key()));
                if (it.key() == QLatin1String("SalePrice") || it.key() == QLatin1String("DlvPrice"))
                    text = v.isNull() ? QString() : formats::moneyGrouped(v.toDouble());
                else
                    text = v.toString();
            }
        }
        if (auto* e = qobject_cast<QLineEdit*>(it.value())) {
            e->setText(text);
            e->setCursorPosition(0);
        } else if (auto* p = qobject_cast<QPlainTextEdit*>(it.value())) {
            p->setPlainText(text);
        }
    }
    updateCommands();
}

void MainWindow::updateCommands() {
    if (!m_register)
        return;
    const int row = currentSourceRow(*m_register);
    const bool saled =
        row >= 0 && m_register->table->value(row, RegisterLoader::column(QStringLiteral("Saled"))).toBool();
    const bool payed =
        row >= 0 && m_register->table->value(row, RegisterLoader::column(QStringLiteral("Payed"))).toBool();
    const CommandAvailability a = CommandAvailability::forRow(row >= 0, saled, payed);
    m_saleAction->setEnabled(a.sale);
    m_payoutAction->setEnabled(a.pay);
    m_returnAction->setEnabled(a.back);
    m_priceChangeAction->setEnabled(a.prices);
    m_transferAction->setEnabled(a.move);
    m_annulAction->setEnabled(a.anul);
}

qint64 MainWindow::currentItemId() const {
    return m_register ? m_register->currentId : -1;
}

bool MainWindow::locateItem(qint64 id) {
    if (!m_register || id < 0)
        return false;
    const int r = m_register->table->findRow(RegisterLoader::column(QStringLiteral("Id")), QVariant(qlonglong(id)));
    if (r < 0)
        return false;
    m_register->grid->selectSourceRow(r);
    showCurrentItem();
    return true;
}

qint64 MainWindow::neighbourId(qint64 id) const {
    if (!m_register || id < 0)
        return -1;
    const int idCol = RegisterLoader::column(QStringLiteral("Id"));
    const int r = m_register->table->findRow(idCol, QVariant(qlonglong(id)));
    if (r < 0)
        return -1;
    const int next = m_register->grid->neighbourOfSourceRow(r);
    return next >= 0 ? m_register->table->value(next, idCol).toLongLong() : -1;
}

void MainWindow::setInPlaceUpdates(bool on) {
    if (m_register)
        m_register->inPlace = on;
}

bool MainWindow::inPlaceUpdates() const { return m_register && m_register->inPlace; }

bool MainWindow::updateInPlace(qint64 id, AfterOperation how, bool newItem) {
    RegisterParts& r = *m_register;
    if (!r.inPlace || !r.loaded || id < 0)
        return false;
    if (how == AfterOperation::Refresh) {
        // The refresh would run the chosen view's statement: only when the
        // register shows just that can one row stand for all of it.
        const RegisterStatement s = viewStatement();
        if (r.searchMode || s.sql != r.statement.sql || s.params != r.statement.params)
            return false;
    }
    std::optional<QVector<QVariant>> row;
    try {
        row = RegisterLoader::loadItem(db(), r.statement, id);
    } catch (const DbError&) {
        return false; // the whole statement runs and says what the engine says
    }
    const qint64 next = newItem ? -1 : neighbourId(id);
    r.detailsId = -1; // the item's own details have changed
    const int idCol = RegisterLoader::column(QStringLiteral("Id"));
    const int at = r.table->findRow(idCol, QVariant(qlonglong(id)));
    if (row && at >= 0)
        r.table->setRow(at, *row);
    else if (row)
        r.table->appendRow(*row);
    else if (at >= 0)
        r.table->removeRow(at);
    GroupingGrid* grid = r.grid;
    grid->expandAll(); // a shop's group that has just appeared opens like the others

    if (how == AfterOperation::Refresh) {
        m_refreshButton->setEnabled(false);
        rememberRegister();
        if (r.table->rowCount() == 0) {
            showCurrentItem();
            m_viewCombo->setFocus();
            return true;
        }
        if (!grid->hasOwnWidths())
            grid->widenColumnsFor(row ? r.table->findRow(idCol, QVariant(qlonglong(id))) : -1);
        grid->setFocus();
    }
    // The item stays current while it is listed, else the row that followed it.
    if (!locateItem(id) && (newItem || !locateItem(next))) {
        grid->focusFirstRow();
        showCurrentItem();
    }
    return true;
}

void MainWindow::rerunKeeping(qint64 id) {
    if (!m_register)
        return;
    if (updateInPlace(id, AfterOperation::Rerun, false))
        return;
    const qint64 next = neighbourId(id);
    runStatement(m_register->statement);
    m_register->grid->expandAll();
    if (!locateItem(id) && !locateItem(next)) {
        m_register->grid->focusFirstRow();
        showCurrentItem();
    }
}

void MainWindow::refreshKeeping(qint64 id) {
    if (!m_register)
        return;
    if (updateInPlace(id, AfterOperation::Refresh, false))
        return;
    // The item operated on stays current while the view still lists it;
    // when it has left the view, the row that followed it.
    const qint64 next = neighbourId(id);
    refreshRegister();
    if (!locateItem(id))
        locateItem(next);
}

void MainWindow::refreshShowing(qint64 id) {
    if (!m_register)
        return;
    if (updateInPlace(id, AfterOperation::Refresh, true))
        return;
    refreshRegister();
    if (id >= 0)
        locateItem(id);
}

QString MainWindow::detailText(const QString& column) const {
    if (!m_register)
        return {};
    QWidget* w = m_register->fields.value(column);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    return {};
}
