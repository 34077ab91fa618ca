#include "tools/setup/ui/KindsPage.h"

#include "db/DbError.h"
#include "operations/Operations.h"
#include "tools/setup/ChainDatabase.h"
#include "tools/setup/KindUsage.h"
#include "tools/setup/RecordTableModel.h"
#include "widgets/MessageService.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QList<RecordTableModel::Column> kindColumns() {
    return {{QStringLiteral("№"),
             [](const QVariantMap& r) {
                 const qint64 id = r.value(QStringLiteral("ID")).toLongLong();
                 return id == 0 ? QString() : QString::number(id);
             },
             Qt::AlignRight | Qt::AlignVCenter},
            {QStringLiteral("Вид"),
             [](const QVariantMap& r) {
                 return r.value(QStringLiteral("type")).toString() + (r.value(QStringLiteral("program")).toBool()
                                                                          ? QStringLiteral("  (записва го този модул)")
                                                                          : QString());
             }},
            {QStringLiteral("Записи"),
             [](const QVariantMap& r) { return r.value(QStringLiteral("entries")).toString(); },
             Qt::AlignRight | Qt::AlignVCenter}};
}

QList<QVariantMap> rowsOf(const QList<KindUsage::Kind>& kinds) {
    QList<QVariantMap> out;
    for (const KindUsage::Kind& k : kinds)
        out.append({{QStringLiteral("ID"), k.id},
                    {QStringLiteral("type"), k.name},
                    {QStringLiteral("entries"), k.entries},
                    {QStringLiteral("program"), k.program}});
    return out;
}

QTableView* listOf(RecordTableModel* model, const QString& name, QWidget* parent) {
    auto* v = new QTableView(parent);
    v->setObjectName(name);
    v->setModel(model);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->verticalHeader()->setVisible(false);
    v->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    v->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    return v;
}
} // namespace

KindsPage::KindsPage(QWidget* parent) : SetupPage(QStringLiteral("Видове приходи и разходи"), parent) {
    setObjectName(QStringLiteral("kindsPage"));
    m_income = new RecordTableModel(QStringLiteral("ID"), kindColumns(), this);
    m_expense = new RecordTableModel(QStringLiteral("ID"), kindColumns(), this);
    auto* incomeLabel = new QLabel(QStringLiteral("Видове &приходи"), this);
    auto* expenseLabel = new QLabel(QStringLiteral("Видове &разходи"), this);
    QTableView* income = listOf(m_income, QStringLiteral("incomeKinds"), this);
    QTableView* expense = listOf(m_expense, QStringLiteral("expenseKinds"), this);
    incomeLabel->setBuddy(income);
    expenseLabel->setBuddy(expense);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("kindsNote"));
    m_note->setWordWrap(true);
    m_note->setText(QStringLiteral("Видовете се поддържат от основната програма на пакета и тук само се показват. "
                                   "Модулът записва продажбите като „%1“, а изплащанията като „%2“; вид, който още "
                                   "липсва, се добавя при първото записване.")
                        .arg(ops::saleKind(), ops::payoutKind()));
    auto* refresh = new QPushButton(QStringLiteral("Обнови"), this);
    refresh->setObjectName(QStringLiteral("refreshButton"));
    connect(refresh, &QPushButton::clicked, this, &KindsPage::reload);

    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(incomeLabel);
    left->addWidget(income, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(expenseLabel);
    right->addWidget(expense, 1);
    lists->addLayout(left);
    lists->addLayout(right);
    auto* heading = new QLabel(title(), this);
    heading->setObjectName(QStringLiteral("heading"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.3);
    heading->setFont(hf);
    auto* page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addWidget(m_note);
    page->addLayout(lists, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refresh);
    buttons->addStretch(1);
    page->addLayout(buttons);
    setEnabled(false);
}

void KindsPage::setDatabase(ChainDatabase* db) {
    m_db = db;
    setEnabled(db != nullptr);
    reload();
}

void KindsPage::reload() {
    if (!m_db) {
        m_income->setRows({});
        m_expense->setRows({});
        return;
    }
    try {
        KindUsage usage(m_db->db());
        m_income->setRows(rowsOf(usage.income()));
        m_expense->setRows(rowsOf(usage.expense()));
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
    }
}
