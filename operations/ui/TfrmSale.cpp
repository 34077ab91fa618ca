#include "operations/ui/TfrmSale.h"

#include "db/DbError.h"
#include "documents/ui/SaleContractWindow.h"
#include "operations/Clock.h"
#include "operations/Operations.h"
#include "operations/Validation.h"
#include "operations/ui/ContractData.h"
#include "operations/ui/DialogSupport.h"
#include "operations/ui/MoneyEdit.h"
#include "operations/ui/SectionHeading.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QLineEdit* textField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(TfrmSale::kClientLength);
    return e;
}

QLabel* itemLabel(QWidget* parent, const char* name, bool emphasised) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (emphasised) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00)); // maroon
        l->setPalette(p);
    }
    return l;
}

} // namespace

using dialogs::focusAndSelect;

TfrmSale::TfrmSale(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("frmSale"));
    setWindowTitle(QStringLiteral("Продажба"));
    setModal(true);

    lbArt = itemLabel(this, "lbArt", true);
    lbArtInfo = itemLabel(this, "lbArtInfo", false);
    lbArtInfo->setWordWrap(true);
    lbSN = itemLabel(this, "lbSN", true);
    lbSN->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ePrice = new MoneyEdit(this);
    ePrice->setObjectName(QStringLiteral("ePrice"));
    ePrice->setMaximumWidth(120);
    eNames = textField(this, "eNames");
    eAdres = textField(this, "eAdres");
    eInfo = textField(this, "eInfo");
    eSaleInfo = textField(this, "eSaleInfo");
    chkPrn = new QCheckBox(QStringLiteral("Печат на договор"), this);
    chkPrn->setObjectName(QStringLiteral("chkPrn"));
    chkPrn->setChecked(true);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отказ"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto buddy = [this](const QString& text, QWidget* w) {
        auto* l = new QLabel(text, this);
        l->setBuddy(w);
        return l;
    };

    auto* v = new QVBoxLayout(this);
    v->setSpacing(3);
    auto* head = new QHBoxLayout;
    head->addWidget(lbArt, 1);
    head->addWidget(lbSN);
    v->addLayout(head);
    v->addWidget(lbArtInfo);

    auto* priceHeading = new SectionHeading(QStringLiteral(" Цена за продажба "), this);
    priceHeading->label()->setBuddy(ePrice);
    v->addWidget(priceHeading);
    v->addWidget(ePrice);

    v->addWidget(new SectionHeading(QStringLiteral(" Данни за клиента "), this));
    auto* g = new QGridLayout;
    g->addWidget(buddy(QStringLiteral("Имена"), eNames), 0, 0);
    g->addWidget(eNames, 0, 1);
    g->addWidget(buddy(QStringLiteral("Адрес"), eAdres), 1, 0);
    g->addWidget(eAdres, 1, 1);
    v->addLayout(g);
    v->addWidget(buddy(QStringLiteral("Доп.информация - телефони, ЕГН и др."), eInfo));
    v->addWidget(eInfo);

    auto* noteHeading = new SectionHeading(QStringLiteral(" Допълнително описание за продажбата "), this);
    noteHeading->label()->setBuddy(eSaleInfo);
    v->addWidget(noteHeading);
    v->addWidget(eSaleInfo);

    v->addSpacing(6);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    v->addWidget(rule);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkPrn);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    v->addLayout(buttons);

    setTabOrder(ePrice, eNames);
    setTabOrder(eNames, eAdres);
    setTabOrder(eAdres, eInfo);
    setTabOrder(eInfo, eSaleInfo);
    setTabOrder(eSaleInfo, chkPrn);
    setTabOrder(chkPrn, btnOk);
    setTabOrder(btnOk, btnCancel);

    setFixedWidth(380);

    connect(btnOk, &QPushButton::clicked, this, &TfrmSale::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSale::btnCancelClick);
}

void TfrmSale::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmSale::FormShow() {
    m_stale = false;
    lbArt->setText(m_item.art);
    lbArtInfo->setText(m_item.artNote);
    lbSN->setText(m_item.serial);
    ePrice->setValue(m_item.salePrice);
    eNames->setText(m_item.clientNames);
    eAdres->setText(m_item.clientAdres);
    eInfo->setText(m_item.clientInfo);
    eSaleInfo->setText(m_item.saleInfo);
    focusAndSelect(ePrice);
}

void TfrmSale::btnOkClick() {
    btnOk->setFocus(Qt::OtherFocusReason);
    ePrice->normalize();
    const money::Cents price = ePrice->value();

    if (const auto refusal = validation::checkSalePrice(price)) {
        MessageService::error(this, refusal->message);
        focusAndSelect(ePrice);
        return;
    }
    if (validation::salePriceBelowPayout(price, m_item.dlvPrice) &&
        !MessageService::question(this, validation::belowPayoutQuestion(), QStringLiteral("Съобщение"))) {
        focusAndSelect(ePrice);
        return;
    }
    eNames->setText(validation::trimmed(eNames->text()));
    eAdres->setText(validation::trimmed(eAdres->text()));
    if (const auto refusal = validation::checkBuyer(eNames->text(), eAdres->text())) {
        MessageService::error(this, refusal->message);
        focusAndSelect(refusal->field == validation::SaleField::Adres ? eAdres : eNames);
        return;
    }

    ops::SaleInput in;
    in.id = m_item.id;
    in.price = price;
    in.names = eNames->text();
    in.adres = eAdres->text();
    in.info = eInfo->text();
    in.saleInfo = eSaleInfo->text();
    const ops::Result r = underWaitCursor([&] { return ops::sale(ops::Context{m_db, m_clerk}, in); });
    if (!dialogs::booked(this, r, &m_stale))
        return;
    if (chkPrn->isChecked())
        printContract();
    accept();
}

void TfrmSale::printContract() {
    SaleContractValues v;
    try {
        const std::optional<Item> sold = Item::load(m_db, m_item.id);
        v = contractdata::saleValues(sold.value_or(m_item), contractdata::activeFirm(m_db), Clock::today());
    } catch (const DbError& e) {
        // The sale is booked; only the contract cannot be made.
        MessageService::error(this, e.message());
        return;
    }
    v.clientName = eNames->text();
    v.clientAddress = eAdres->text();
    v.clientInfo = eInfo->text();
    v.more = eSaleInfo->text();
    v.price = ePrice->text();
    v.salePrice = money::toLeva(ePrice->value());
    if (m_details) {
        v.salorName = m_details(QStringLiteral("DlvNames"));
        v.salorAddress = m_details(QStringLiteral("DlvAdres"));
        v.salorEgn = m_details(QStringLiteral("DlvEGN"));
        v.salorLk = m_details(QStringLiteral("DlvLK"));
    }
    SaleContractWindow contract(this);
    if (!m_templateDir.isEmpty())
        contract.setTemplateDir(m_templateDir);
    contract.setValues(v);
    contract.loadTemplate();
    contract.preview();
}

void TfrmSale::btnCancelClick() {
    btnCancel->setFocus(Qt::OtherFocusReason);
    reject();
}
