// The register: views, refresh, grid, detail panels, row change and the
// availability of the item commands.
#include "register/TfrmResale.h"

#include "core/Formats.h"
#include "core/Money.h"
#include "db/DbError.h"
#include "operations/Clock.h"
#include "register/AboutDialog.h"
#include "register/CommandAvailability.h"
#include "register/PeriodRules.h"
#include "register/RegisterLoader.h"
#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "register/TfrmFind.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

void RegisterPartsDeleter::operator()(RegisterParts* p) const { delete p; }

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

void TfrmResale::buildRegisterArea(QWidget* host) {
    reg.reset(new RegisterParts);
    auto* h = new QHBoxLayout(host);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);

    reg->table = new GridTableModel(host);
    reg->grid = new GroupingGrid(host);
    reg->grid->setObjectName(QStringLiteral("grid"));
    reg->grid->setColumns(registerColumns());
    reg->grid->model()->setSummaryText([](const GroupingModel::GroupSummary& s) {
        if (s.summaryGroup != RegisterParts::summaryGroupName())
            return QString();
        const int dlv = 5, sale = 8; // gridDPrice, gridSPrice
        return QStringLiteral("Сума по изкупни цени: %1, Сума по продажни цени: %2")
            .arg(formats::moneyGrouped(money::toLeva(s.sums.value(dlv))),
                 formats::moneyGrouped(money::toLeva(s.sums.value(sale))));
    });
    reg->grid->setSourceModel(reg->table);
    reg->grid->groupBy(0);
    h->addWidget(reg->grid, 1);

    // Detail panels at the right.
    reg->details = new QWidget(host);
    reg->details->setObjectName(QStringLiteral("pDetails"));
    reg->details->setFixedWidth(183);
    auto* v = new QVBoxLayout(reg->details);
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
        w->setObjectName(QString::fromLatin1(column));
        reg->fields.insert(QString::fromLatin1(column), w);
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
    QWidget* d = reg->details;
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
    h->addWidget(reg->details);

    connect(reg->grid, &GroupingGrid::currentRowChanged, this, &TfrmResale::gridChangeNode);
    connect(reg->grid, &GroupingGrid::columnChooserClosed, this, &TfrmResale::gridEndColumnsCustomizing);
}

void TfrmResale::createRegisterDialogs() {
    if (!reg)
        return;
    if (!reg->find)
        reg->find = new TfrmFind(this);
    if (!reg->about)
        reg->about = new AboutDialog(this);
}

void TfrmResale::FormShow() {
    if (QScreen* s = screen(); s && s->geometry().width() == 800)
        setWindowState(windowState() | Qt::WindowMaximized);
    cmbFilter->setCurrentIndex(RegisterView::InStock);
    const QDate today = Clock::today();
    ToDate->setDate(today);
    FromDate->setDate(PeriodRules::initialFrom(today));
    cmbFilterChange();
    cmbFilter->setFocus();
    btnRefreshClick();
}

void TfrmResale::cmbFilterChange() {
    const bool period = RegisterView::usesPeriod(cmbFilter->currentIndex());
    FromDate->setEnabled(period);
    ToDate->setEnabled(period);
    btnRefresh->setEnabled(true);
}

void TfrmResale::ToDateChange() {
    const QDate to = PeriodRules::clampTo(ToDate->date(), FromDate->date(), Clock::today());
    if (to != ToDate->date())
        ToDate->setDate(to);
    btnRefresh->setEnabled(true);
}

void TfrmResale::FromDateChange() {
    const QDate from = PeriodRules::clampFrom(FromDate->date(), ToDate->date());
    if (from != FromDate->date())
        FromDate->setDate(from);
    btnRefresh->setEnabled(true);
}

namespace {

// Loads the statement into the register; false (the grid empty, the error
// shown) when the engine refuses it.
bool runStatement(TfrmResale* w, const RegisterStatement& s) {
    w->reg->statement = s;
    try {
        RegisterLoader::load(w->db(), s, w->reg->table);
        return true;
    } catch (const DbError& e) {
        w->reg->table->clear();
        MessageService::error(w, e.message());
        return false;
    }
}

void showFirstRow(TfrmResale* w) {
    GroupingGrid* grid = w->reg->grid;
    grid->expandAll();
    grid->focusFirstRow();
    grid->fitColumns();
    grid->setFocus();
}

} // namespace

void TfrmResale::btnRefreshClick() {
    if (!reg)
        return;
    const RegisterStatement s = RegisterView::statement(cmbFilter->currentIndex(), FromDate->date(), ToDate->date(),
                                                        db().engine());
    reg->searchMode = false;
    const bool ok = runStatement(this, s);
    if (ok)
        btnRefresh->setEnabled(false);
    gridChangeNode();
    if (reg->table->rowCount() == 0) {
        cmbFilter->setFocus();
        return;
    }
    showFirstRow(this);
    gridChangeNode();
}

void TfrmResale::bExecClick() {
    if (!reg)
        return;
    reg->searchMode = true;
    runStatement(this, RegisterStatement{qStr->text(), reg->findParams});
    btnRefresh->setEnabled(false);
    gridChangeNode();
    if (reg->table->rowCount() == 0) {
        MessageService::warning(this, QStringLiteral("Търсеният текст не е намерен!"), QStringLiteral("Съобщение"));
        if (reg->find) {
            reg->find->raise();
            reg->find->activateWindow();
            reg->find->eString->selectAll();
            reg->find->eString->setFocus();
        }
        return;
    }
    showFirstRow(this);
    gridChangeNode();
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

void TfrmResale::gridChangeNode() {
    if (!reg)
        return;
    const int row = currentSourceRow(*reg);
    const int idCol = RegisterLoader::column(QStringLiteral("Id"));
    reg->currentId = row >= 0 ? reg->table->value(row, idCol).toLongLong() : -1;
    for (auto it = reg->fields.cbegin(); it != reg->fields.cend(); ++it) {
        QString text;
        if (row >= 0) {
            const QVariant v = reg->table->value(row, RegisterLoader::column(it.key()));
            if (it.key() == QLatin1String("SalePrice") || it.key() == QLatin1String("DlvPrice"))
                text = v.isNull() ? QString() : formats::money(v.toDouble());
            else
                text = v.toString();
        }
        if (auto* e = qobject_cast<QLineEdit*>(it.value())) {
            e->setText(text);
            e->setCursorPosition(0);
        } else if (auto* p = qobject_cast<QPlainTextEdit*>(it.value())) {
            p->setPlainText(text);
        }
    }
    btnCheckClick();
}

void TfrmResale::btnCheckClick() {
    if (!reg)
        return;
    const int row = currentSourceRow(*reg);
    const bool saled = row >= 0 && reg->table->value(row, RegisterLoader::column(QStringLiteral("Saled"))).toBool();
    const bool payed = row >= 0 && reg->table->value(row, RegisterLoader::column(QStringLiteral("Payed"))).toBool();
    const CommandAvailability a = CommandAvailability::forRow(row >= 0, saled, payed);
    mnSale->setEnabled(a.sale);
    mnPay->setEnabled(a.pay);
    mnBack->setEnabled(a.back);
    mnPrices->setEnabled(a.prices);
    mnMove->setEnabled(a.move);
    mnAnul->setEnabled(a.anul);
}

qint64 TfrmResale::currentItemId() const { return reg ? reg->currentId : -1; }

bool TfrmResale::locateItem(qint64 id) {
    if (!reg || id < 0)
        return false;
    const int idCol = RegisterLoader::column(QStringLiteral("Id"));
    for (int r = 0; r < reg->table->rowCount(); ++r) {
        if (reg->table->value(r, idCol).toLongLong() == id) {
            reg->grid->selectSourceRow(r);
            gridChangeNode();
            return true;
        }
    }
    return false;
}

void TfrmResale::rerunKeeping(qint64 id) {
    if (!reg)
        return;
    runStatement(this, reg->statement);
    reg->grid->expandAll();
    if (!locateItem(id)) {
        reg->grid->focusFirstRow();
        gridChangeNode();
    }
}

QString TfrmResale::detailText(const QString& column) const {
    if (!reg)
        return {};
    QWidget* w = reg->fields.value(column);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    return {};
}
