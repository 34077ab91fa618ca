#include "operations/ui/SaleDialog.h"

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
#include "widgets/AccessibleNames.h"
#include "widgets/WholeCharacters.h"

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
    e->setMaxLength(SaleDialog::kClientLength);
    keepWholeCharacters(e);
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

SaleDialog::SaleDialog(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("frmSale"));
    setWindowTitle(QStringLiteral("Продажба"));
    setModal(true);

    m_applianceLabel = itemLabel(this, "lbArt", true);
    m_applianceNoteLabel = itemLabel(this, "lbArtInfo", false);
    m_applianceNoteLabel->setWordWrap(true);
    m_serialLabel = itemLabel(this, "lbSN", true);
    m_serialLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_priceEdit = new MoneyEdit(this);
    m_priceEdit->setObjectName(QStringLiteral("ePrice"));
    m_priceEdit->setMaximumWidth(120);
    m_namesEdit = textField(this, "eNames");
    m_addressEdit = textField(this, "eAdres");
    m_buyerInfoEdit = textField(this, "eInfo");
    m_saleNoteEdit = textField(this, "eSaleInfo");
    m_printCheck = new QCheckBox(QStringLiteral("Печат на договор"), this);
    m_printCheck->setObjectName(QStringLiteral("chkPrn"));
    m_printCheck->setChecked(true);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("btnOk"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Отказ"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_cancelButton->setAutoDefault(false);

    auto buddy = [this](const QString& text, QWidget* w) {
        auto* l = new QLabel(text, this);
        l->setBuddy(w);
        return l;
    };

    auto* v = new QVBoxLayout(this);
    v->setSpacing(3);
    auto* head = new QHBoxLayout;
    head->addWidget(m_applianceLabel, 1);
    head->addWidget(m_serialLabel);
    v->addLayout(head);
    v->addWidget(m_applianceNoteLabel);

    auto* priceHeading = new SectionHeading(QStringLiteral(" Цена за продажба "), this);
    priceHeading->label()->setBuddy(m_priceEdit);
    v->addWidget(priceHeading);
    v->addWidget(m_priceEdit);

    v->addWidget(new SectionHeading(QStringLiteral(" Данни за клиента "), this));
    auto* g = new QGridLayout;
    g->addWidget(buddy(QStringLiteral("Имена"), m_namesEdit), 0, 0);
    g->addWidget(m_namesEdit, 0, 1);
    g->addWidget(buddy(QStringLiteral("Адрес"), m_addressEdit), 1, 0);
    g->addWidget(m_addressEdit, 1, 1);
    v->addLayout(g);
    v->addWidget(buddy(QStringLiteral("Доп.информация - телефони, ЕГН и др."), m_buyerInfoEdit));
    v->addWidget(m_buyerInfoEdit);

    auto* noteHeading = new SectionHeading(QStringLiteral(" Допълнително описание за продажбата "), this);
    noteHeading->label()->setBuddy(m_saleNoteEdit);
    v->addWidget(noteHeading);
    v->addWidget(m_saleNoteEdit);

    v->addSpacing(6);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    v->addWidget(rule);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_printCheck);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    v->addLayout(buttons);

    setTabOrder(m_priceEdit, m_namesEdit);
    setTabOrder(m_namesEdit, m_addressEdit);
    setTabOrder(m_addressEdit, m_buyerInfoEdit);
    setTabOrder(m_buyerInfoEdit, m_saleNoteEdit);
    setTabOrder(m_saleNoteEdit, m_printCheck);
    setTabOrder(m_printCheck, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    setFixedWidth(380);

    connect(m_okButton, &QPushButton::clicked, this, &SaleDialog::book);
    connect(m_cancelButton, &QPushButton::clicked, this, &SaleDialog::cancel);
    accessible::nameFromBuddies(this);
}

void SaleDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        showItem();
}

void SaleDialog::showItem() {
    m_stale = false;
    m_applianceLabel->setText(m_item.art);
    m_applianceNoteLabel->setText(m_item.artNote);
    m_serialLabel->setText(m_item.serial);
    m_priceEdit->setValue(m_item.salePrice);
    m_namesEdit->setText(m_item.clientNames);
    m_addressEdit->setText(m_item.clientAdres);
    m_buyerInfoEdit->setText(m_item.clientInfo);
    m_saleNoteEdit->setText(m_item.saleInfo);
    focusAndSelect(m_priceEdit);
}

void SaleDialog::book() {
    m_okButton->setFocus(Qt::OtherFocusReason);
    m_priceEdit->normalize();
    const money::Cents price = m_priceEdit->value();

    if (const auto refusal = validation::checkSalePrice(price)) {
        MessageService::error(this, refusal->message);
        focusAndSelect(m_priceEdit);
        return;
    }
    if (validation::salePriceBelowPayout(price, m_item.dlvPrice) &&
        !MessageService::question(this, validation::belowPayoutQuestion(), QStringLiteral("Съобщение"))) {
        focusAndSelect(m_priceEdit);
        return;
    }
    m_namesEdit->setText(validation::trimmed(m_namesEdit->text()));
    m_addressEdit->setText(validation::trimmed(m_addressEdit->text()));
    if (const auto refusal = validation::checkBuyer(m_namesEdit->text(), m_addressEdit->text())) {
        MessageService::error(this, refusal->message);
        focusAndSelect(refusal->field == validation::SaleField::Adres ? m_addressEdit : m_namesEdit);
        return;
    }

    ops::SaleInput in;
    in.id = m_item.id;
    in.price = price;
    in.names = m_namesEdit->text();
    in.adres = m_addressEdit->text();
    in.info = m_buyerInfoEdit->text();
    in.saleInfo = m_saleNoteEdit->text();
    const ops::Result r = underWaitCursor([&] { return ops::sale(ops::Context{m_db, m_clerk}, in); });
    if (!dialogs::booked(this, r, &m_stale))
        return;
    if (m_printCheck->isChecked())
        printContract();
    accept();
}

void SaleDialog::printContract() {
    SaleContractValues v;
    try {
        const std::optional<Item> sold = Item::load(m_db, m_item.id);
        v = contractdata::saleValues(sold.value_or(m_item), contractdata::activeFirm(m_db), Clock::today());
    } catch (const DbError& e) {
        // The sale is booked; only the contract cannot be made.
        MessageService::error(this, e.message());
        return;
    }
    v.clientName = m_namesEdit->text();
    v.clientAddress = m_addressEdit->text();
    v.clientInfo = m_buyerInfoEdit->text();
    v.more = m_saleNoteEdit->text();
    v.price = m_priceEdit->text();
    v.salePrice = money::toLeva(m_priceEdit->value());
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

void SaleDialog::cancel() {
    m_cancelButton->setFocus(Qt::OtherFocusReason);
    reject();
}
