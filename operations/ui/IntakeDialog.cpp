#include "operations/ui/IntakeDialog.h"

#include "db/DbError.h"
#include "documents/ui/ConsignmentContractWindow.h"
#include "operations/Operations.h"
#include "operations/Validation.h"
#include "operations/ui/ContractData.h"
#include "operations/ui/DialogSupport.h"
#include "operations/ui/DigitKeyFilter.h"
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
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QLineEdit* textField(QWidget* parent, const char* name, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    keepWholeCharacters(e);
    return e;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent, bool bold = false, bool wrap = false) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    l->setWordWrap(wrap);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

} // namespace

using dialogs::focusAndSelect;

IntakeDialog::IntakeDialog(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("frmGet"));
    setWindowTitle(QStringLiteral("Приемане на уред"));
    setModal(true);

    m_contractNumberEdit = new QLineEdit(this);
    m_contractNumberEdit->setObjectName(QStringLiteral("eDogNo"));
    m_contractNumberEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,9}")), m_contractNumberEdit));
    m_contractNumberEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_contractNumberEdit->setMaximumWidth(110);
    m_applianceEdit = textField(this, "eArt", kArtLength);
    m_applianceNoteEdit = textField(this, "eArtNote", kArtNoteLength);
    m_serialEdit = textField(this, "eSN", kSerialLength);
    m_purchasePriceEdit = new MoneyEdit(this);
    m_purchasePriceEdit->setObjectName(QStringLiteral("eDlvPrice"));
    m_payNowCheck = new QCheckBox(QStringLiteral("Незабавно изплащане"), this);
    m_payNowCheck->setObjectName(QStringLiteral("chkPayed"));
    m_salePriceEdit = new MoneyEdit(this);
    m_salePriceEdit->setObjectName(QStringLiteral("eSalePrice"));
    m_namesEdit = textField(this, "eNames", kNamesLength);
    m_addressEdit = textField(this, "eAdres", kAdresLength);
    m_personalNumberEdit = textField(this, "eEGN", kEgnLength);
    m_idCardEdit = textField(this, "eLK", kLkLength);
    m_digits = new DigitKeyFilter(this);
    m_digits->attach(m_personalNumberEdit);
    m_digits->attach(m_idCardEdit);
    m_printCheck = new QCheckBox(QStringLiteral("Печат на договор"), this);
    m_printCheck->setObjectName(QStringLiteral("chkPrn"));
    m_printCheck->setChecked(true);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("btnOk"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Отказ"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_cancelButton->setAutoDefault(false);
    m_purchasePriceEdit->setFixedWidth(84);
    m_salePriceEdit->setFixedWidth(84);

    auto* v = new QVBoxLayout(this);
    v->setSpacing(3);
    auto* dogRow = new QHBoxLayout;
    dogRow->addWidget(buddyLabel(QStringLiteral("Номер на договор"), m_contractNumberEdit, this, true));
    dogRow->addWidget(m_contractNumberEdit);
    dogRow->addStretch(1);
    v->addLayout(dogRow);

    v->addWidget(new SectionHeading(QStringLiteral(" Данни на уреда "), this));
    v->addWidget(buddyLabel(QStringLiteral("Уред - описание (напр. артикул, марка, модел)"), m_applianceEdit, this));
    v->addWidget(m_applianceEdit);
    v->addWidget(buddyLabel(QStringLiteral("Допълнително описание (напр. аксесоари, дефекти и др.)"),
                            m_applianceNoteEdit, this, false, true));
    v->addWidget(m_applianceNoteEdit);
    v->addWidget(buddyLabel(QStringLiteral("Сериен номер"), m_serialEdit, this));
    v->addWidget(m_serialEdit);

    v->addWidget(new SectionHeading(QStringLiteral(" Цени, обявени от продавача "), this));
    auto* prices = new QGridLayout;
    prices->addWidget(buddyLabel(QStringLiteral("Цена на изкупуване"), m_purchasePriceEdit, this), 0, 0);
    prices->addWidget(m_purchasePriceEdit, 0, 1);
    prices->addWidget(m_payNowCheck, 0, 2);
    prices->addWidget(buddyLabel(QStringLiteral("Цена на продажба"), m_salePriceEdit, this), 1, 0);
    prices->addWidget(m_salePriceEdit, 1, 1);
    prices->setColumnStretch(2, 1);
    prices->setHorizontalSpacing(6);
    v->addLayout(prices);

    v->addWidget(new SectionHeading(QStringLiteral(" Данни за продавача "), this));
    v->addWidget(buddyLabel(QStringLiteral("Имена"), m_namesEdit, this));
    v->addWidget(m_namesEdit);
    v->addWidget(buddyLabel(QStringLiteral("Адрес"), m_addressEdit, this));
    v->addWidget(m_addressEdit);
    auto* ids = new QGridLayout;
    ids->addWidget(buddyLabel(QStringLiteral("ЕГН"), m_personalNumberEdit, this), 0, 0);
    ids->addWidget(buddyLabel(QStringLiteral("Лична карта"), m_idCardEdit, this), 0, 1);
    ids->addWidget(m_personalNumberEdit, 1, 0);
    ids->addWidget(m_idCardEdit, 1, 1);
    v->addLayout(ids);

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

    setTabOrder(m_contractNumberEdit, m_applianceEdit);
    setTabOrder(m_applianceEdit, m_applianceNoteEdit);
    setTabOrder(m_applianceNoteEdit, m_serialEdit);
    setTabOrder(m_serialEdit, m_purchasePriceEdit);
    setTabOrder(m_purchasePriceEdit, m_payNowCheck);
    setTabOrder(m_payNowCheck, m_salePriceEdit);
    setTabOrder(m_salePriceEdit, m_namesEdit);
    setTabOrder(m_namesEdit, m_addressEdit);
    setTabOrder(m_addressEdit, m_personalNumberEdit);
    setTabOrder(m_personalNumberEdit, m_idCardEdit);
    setTabOrder(m_idCardEdit, m_printCheck);
    setTabOrder(m_printCheck, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    // The designed 338 pixels, or wider when the system's font needs it.
    const int width = std::max(338, minimumSizeHint().width());
    setFixedSize(width, std::max(sizeHint().height(), heightForWidth(width)));

    connect(m_okButton, &QPushButton::clicked, this, &IntakeDialog::book);
    connect(m_cancelButton, &QPushButton::clicked, this, &IntakeDialog::cancel);
    accessible::nameFromBuddies(this);
}

void IntakeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        startNewItem();
}

void IntakeDialog::startNewItem() {
    m_newId = -1;
    // A new appliance: everything blank but the proposal and zero prices.
    for (QLineEdit* e : {m_applianceEdit, m_applianceNoteEdit, m_serialEdit, m_namesEdit, m_addressEdit,
                         m_personalNumberEdit, m_idCardEdit})
        e->clear();
    m_payNowCheck->setChecked(false);
    m_purchasePriceEdit->setValue(0);
    m_salePriceEdit->setValue(0);
    int proposal = 1;
    try {
        proposal = ops::proposeContractNumber(m_db, m_shop);
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
    }
    m_contractNumberEdit->setText(QString::number(proposal));
    focusAndSelect(m_contractNumberEdit);
}

void IntakeDialog::book() {
    m_okButton->setFocus(Qt::OtherFocusReason);
    m_purchasePriceEdit->normalize();
    m_salePriceEdit->normalize();

    if (m_contractNumberEdit->text().trimmed().isEmpty() ||
        m_contractNumberEdit->text().trimmed() == QLatin1String("-"))
        m_contractNumberEdit->setText(QStringLiteral("0"));
    // Trimmed texts stay in the fields, as they will be stored.
    for (QLineEdit* e : {m_applianceEdit, m_namesEdit, m_addressEdit})
        e->setText(validation::trimmed(e->text()));

    validation::IntakeFields f;
    f.dogNo = m_contractNumberEdit->text().toInt();
    f.art = m_applianceEdit->text();
    f.dlvPrice = m_purchasePriceEdit->value();
    f.salePrice = m_salePriceEdit->value();
    f.names = m_namesEdit->text();
    f.adres = m_addressEdit->text();
    f.egn = m_personalNumberEdit->text();

    bool duplicate = false;
    try {
        duplicate = f.dogNo > 0 && ops::contractNumberUsed(m_db, m_shop, f.dogNo);
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
        return;
    }

    if (const auto refusal = validation::checkIntake(f, duplicate)) {
        MessageService::error(this, refusal->message);
        switch (refusal->field) {
        case validation::IntakeField::DogNo:
            focusAndSelect(m_contractNumberEdit);
            break;
        case validation::IntakeField::Art:
            m_applianceEdit->setFocus(Qt::OtherFocusReason);
            break;
        case validation::IntakeField::DlvPrice:
            focusAndSelect(m_purchasePriceEdit);
            break;
        case validation::IntakeField::SalePrice:
            focusAndSelect(m_salePriceEdit);
            break;
        case validation::IntakeField::Names:
            m_namesEdit->setFocus(Qt::OtherFocusReason);
            break;
        case validation::IntakeField::Adres:
            m_addressEdit->setFocus(Qt::OtherFocusReason);
            break;
        case validation::IntakeField::Egn:
            m_personalNumberEdit->setFocus(Qt::OtherFocusReason);
            break;
        }
        return;
    }

    ops::IntakeInput in;
    in.shop = m_shop;
    in.dogNo = f.dogNo;
    in.art = f.art;
    in.artNote = m_applianceNoteEdit->text();
    in.serial = m_serialEdit->text();
    in.dlvPrice = f.dlvPrice;
    in.salePrice = f.salePrice;
    in.payNow = m_payNowCheck->isChecked();
    in.names = f.names;
    in.adres = f.adres;
    in.egn = f.egn;
    in.lk = m_idCardEdit->text();

    const ops::Result r = underWaitCursor([&] { return ops::intake(ops::Context{m_db, m_clerk}, in); });
    if (!r.ok()) {
        // Nothing was written: the clerk may correct (another number taken
        // meanwhile by another workstation) or simply press OK again.
        MessageService::error(this, r.message);
        if (r.status == ops::Status::Refused)
            focusAndSelect(m_contractNumberEdit);
        return;
    }
    m_newId = r.id;
    if (m_printCheck->isChecked())
        showContract();
    accept();
}

void IntakeDialog::showContract() {
    if (!m_contract || m_newId < 0)
        return;
    QString why;
    const std::optional<ConsignmentContractData> data = contractdata::consignmentToShow(m_db, m_newId, &why);
    if (!data) {
        MessageService::error(this, why);
        return;
    }
    m_contract->setData(*data);
    m_contract->exec();
}

void IntakeDialog::cancel() {
    m_cancelButton->setFocus(Qt::OtherFocusReason);
    reject();
}
