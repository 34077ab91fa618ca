#include "operations/ui/WorklistWindow.h"

#include "core/Formats.h"
#include "core/ProgramSettings.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Worklist.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const char* const kOwedSummary = "owedShop";

// The source columns of both lists; the appliance's Id is the last, hidden.
enum WaitingField { WShop, WDogNo, WArt, WConsignor, WDateGet, WDays, WDlv, WSale, WItem, WCount };
enum OwedField { OShop, ODogNo, OArt, OConsignor, OAddress, ODateSale, ODays, OOwed, OSale, OItem, OCount };

QList<GridColumn> waitingColumns() {
    using K = GridColumn::Kind;
    return {{"gridShop", "Магазин", WShop, K::Text, true, true},
            {"gridDogNo", "№ договор", WDogNo, K::Integer, true, false},
            {"gridArt", "Артикул", WArt, K::Text, true, false},
            {"gridConsignor", "Доверител", WConsignor, K::Text, true, false},
            {"gridDateGet", "Приемане", WDateGet, K::Date, true, false},
            {"gridDays", "Чака, дни", WDays, K::Integer, true, false},
            {"gridDPrice", "Изк.цена", WDlv, K::Money, true, false, true},
            {"gridSPrice", "Прод.цена", WSale, K::Money, true, false, true}};
}

QList<GridColumn> owedColumns() {
    using K = GridColumn::Kind;
    // Whom to pay, where, and how much first; then the appliance.
    return {{"gridShop", "Магазин", OShop, K::Text, false, true, false, QString::fromLatin1(kOwedSummary)},
            {"gridDogNo", "№ договор", ODogNo, K::Integer, true, false},
            {"gridConsignor", "Доверител", OConsignor, K::Text, true, false},
            {"gridAddress", "Адрес", OAddress, K::Text, true, false},
            {"gridOwed", "Дължимо", OOwed, K::Money, true, false, true},
            {"gridDatesale", "Продажба", ODateSale, K::Date, true, false},
            {"gridDays", "Дни от продажбата", ODays, K::Integer, true, false},
            {"gridArt", "Артикул", OArt, K::Text, true, false},
            {"gridSPrice", "Прод.цена", OSale, K::Money, true, false, true}};
}

QLabel* heading(const QString& name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QString itemCount(int n) { return n == 1 ? QStringLiteral("1 уред") : QStringLiteral("%1 уреда").arg(n); }

} // namespace

WorklistWindow::WorklistWindow(Database& db, ProgramSettings* settings, const QString& daysKey, QWidget* parent)
    : QDialog(parent), m_db(db), m_settings(settings), m_daysKey(daysKey) {
    setObjectName(QStringLiteral("frmWaiting"));
    setWindowTitle(QStringLiteral("Чакащи"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    m_daysEdit = new QSpinBox(this);
    m_daysEdit->setObjectName(QStringLiteral("eDays"));
    m_daysEdit->setRange(0, 36500);
    int days = worklist::kDefaultDays;
    if (m_settings) {
        bool ok = false;
        const int kept = m_settings->value(m_daysKey).toInt(&ok);
        if (ok && kept >= m_daysEdit->minimum() && kept <= m_daysEdit->maximum())
            days = kept;
    }
    m_daysEdit->setValue(days);
    auto* label = new QLabel(QStringLiteral("&Непродадени повече от"), this);
    label->setBuddy(m_daysEdit);
    m_refreshButton = new QPushButton(QStringLiteral("Обновяване"), this);
    m_refreshButton->setObjectName(QStringLiteral("btnRefresh"));
    m_refreshButton->setDefault(true);
    top->addWidget(label);
    top->addWidget(m_daysEdit);
    top->addWidget(new QLabel(QStringLiteral("дни"), this));
    top->addWidget(m_refreshButton);
    top->addStretch(1);
    layout->addLayout(top);

    auto makeGrid = [this](const char* name, const QList<GridColumn>& columns, GridTableModel*& table) {
        table = new GridTableModel(this);
        auto* g = new GroupingGrid(this);
        g->setObjectName(QString::fromLatin1(name));
        g->setColumns(columns);
        g->setSourceModel(table);
        return g;
    };
    m_waitingGrid = makeGrid("gridWaiting", waitingColumns(), m_waitingTable);
    m_waitingGrid->keepAsDefaultArrangement();
    m_owedGrid = makeGrid("gridOwed", owedColumns(), m_owedTable);
    const int owedColumn = m_owedGrid->columnByName(QStringLiteral("gridOwed"));
    m_owedGrid->model()->setSummaryText([owedColumn](const GroupingModel::GroupSummary& s) {
        if (s.summaryGroup != QLatin1String(kOwedSummary))
            return QString();
        return QStringLiteral("%1, дължимо на доверителите: %2 лв.")
            .arg(itemCount(s.rowCount), formats::moneyGrouped(money::toLeva(s.sums.value(owedColumn))));
    });
    m_owedGrid->groupBy(OShop);
    m_owedGrid->keepAsDefaultArrangement();

    auto section = [this](QLabel*& headingLabel, const char* headingName, GroupingGrid* grid, const char* printName,
                          void (WorklistWindow::*print)()) {
        auto* box = new QWidget(this);
        auto* v = new QVBoxLayout(box);
        v->setContentsMargins(0, 0, 0, 0);
        auto* row = new QHBoxLayout;
        headingLabel = heading(QString::fromLatin1(headingName), box);
        auto* printButton = new QPushButton(QStringLiteral("Печат"), box);
        printButton->setObjectName(QString::fromLatin1(printName));
        printButton->setAutoDefault(false);
        connect(printButton, &QPushButton::clicked, this, print);
        row->addWidget(headingLabel, 1);
        row->addWidget(printButton);
        v->addLayout(row);
        v->addWidget(grid, 1);
        return box;
    };
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("splitWorklist"));
    split->setChildrenCollapsible(false);
    split->addWidget(section(m_waitingHeading, "lblWaiting", m_waitingGrid, "btnPrintWaiting", &WorklistWindow::printWaiting));
    split->addWidget(section(m_owedHeading, "lblOwed", m_owedGrid, "btnPrintOwed", &WorklistWindow::printOwed));
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    auto* buttons = new QHBoxLayout;
    auto* close = new QPushButton(QStringLiteral("Затваряне"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_refreshButton, &QPushButton::clicked, this, &WorklistWindow::refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_waitingGrid->view(), &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { chooseFrom(m_waitingGrid, m_waitingTable, i, false); });
    connect(m_owedGrid->view(), &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { chooseFrom(m_owedGrid, m_owedTable, i, true); });
    resize(1100, 760);
}

int WorklistWindow::days() const { return m_daysEdit->value(); }

void WorklistWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    refresh();
}

void WorklistWindow::rememberDays() {
    if (!m_settings)
        return;
    m_settings->setValue(m_daysKey, days());
    m_settings->sync();
}

void WorklistWindow::refresh() {
    const QDate today = Clock::today();
    const int n = days();
    rememberDays();
    QList<worklist::Waiting> waiting;
    QList<worklist::Owed> owed;
    try {
        waiting = worklist::waiting(m_db, today, n);
        owed = worklist::owed(m_db, today);
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
        return;
    }
    QVector<QVariant> w;
    w.reserve(waiting.size() * WCount);
    for (const worklist::Waiting& i : std::as_const(waiting))
        w << i.shopName << i.dogNo << i.art << i.consignor << i.dateGet << i.days << money::toLeva(i.dlvPrice)
          << money::toLeva(i.salePrice) << i.id;
    m_waitingTable->reset({QStringLiteral("Shop"), QStringLiteral("DogNo"), QStringLiteral("Art"),
                           QStringLiteral("DlvNames"), QStringLiteral("DateGet"), QStringLiteral("Days"),
                           QStringLiteral("DlvPrice"), QStringLiteral("SalePrice"), QStringLiteral("Id")},
                          std::move(w));
    QVector<QVariant> o;
    o.reserve(owed.size() * OCount);
    for (const worklist::Owed& i : std::as_const(owed))
        o << i.shopName << i.dogNo << i.art << i.consignor << i.address
          << (i.dateSale.isValid() ? QVariant(i.dateSale) : QVariant()) << i.days << money::toLeva(i.owed)
          << money::toLeva(i.salePrice) << i.id;
    m_owedTable->reset({QStringLiteral("Shop"), QStringLiteral("DogNo"), QStringLiteral("Art"),
                        QStringLiteral("DlvNames"), QStringLiteral("DlvAdres"), QStringLiteral("Datesale"),
                        QStringLiteral("Days"), QStringLiteral("DlvPrice"), QStringLiteral("SalePrice"),
                        QStringLiteral("Id")},
                       std::move(o));
    money::Cents owedSum = 0;
    for (const worklist::ShopOwed& s : worklist::owedPerShop(owed))
        owedSum += s.owed;
    m_waitingHeading->setText(QStringLiteral("Непродадени повече от %1 дни (приети преди %2): %3")
                                  .arg(n)
                                  .arg(formats::date(worklist::waitingBefore(today, n)), itemCount(int(waiting.size()))));
    m_owedHeading->setText(QStringLiteral("Продадени, но неизплатени: %1, дължимо на доверителите %2 лв.")
                               .arg(itemCount(int(owed.size())), formats::moneyGrouped(money::toLeva(owedSum))));
    for (GroupingGrid* g : {m_waitingGrid, m_owedGrid}) {
        g->expandAll();
        if (!g->hasOwnWidths())
            g->fitColumns();
        g->focusFirstRow();
    }
}

void WorklistWindow::chooseFrom(GroupingGrid* grid, GridTableModel* table, const QModelIndex& index, bool sold) {
    const int row = grid->model()->sourceRow(index);
    if (row < 0)
        return; // a shop's heading opens and closes its group
    emit itemChosen(table->value(row, sold ? OItem : WItem).toLongLong(), sold);
}

void WorklistWindow::printWaiting() {
    if (m_waitingTable->rowCount() == 0)
        return;
    GridPrinter printer(m_waitingGrid);
    printer.setTitle(QStringLiteral("Непродадени повече от %1 дни към %2").arg(days()).arg(formats::date(Clock::today())));
    printer.preview(this);
}

void WorklistWindow::printOwed() {
    if (m_owedTable->rowCount() == 0)
        return;
    m_owedGrid->expandAll();
    GridPrinter printer(m_owedGrid);
    printer.setTitle(QStringLiteral("Продадени, но неизплатени уреди към %1").arg(formats::date(Clock::today())));
    printer.preview(this);
}
