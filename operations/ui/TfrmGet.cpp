#include "operations/ui/TfrmGet.h"

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

TfrmGet::TfrmGet(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("frmGet"));
    setWindowTitle(QStringLiteral("Приемане на уред"));
    setModal(true);

    eDogNo = new QLineEdit(this);
    eDogNo->setObjectName(QStringLiteral("eDogNo"));
    eDogNo->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,9}")), eDogNo));
    eDogNo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    eDogNo->setMaximumWidth(110);
    eArt = textField(this, "eArt", kArtLength);
    eArtNote = textField(this, "eArtNote", kArtNoteLength);
    eSN = textField(this, "eSN", kSerialLength);
    eDlvPrice = new MoneyEdit(this);
    eDlvPrice->setObjectName(QStringLiteral("eDlvPrice"));
    chkPayed = new QCheckBox(QStringLiteral("Незабавно изплащане"), this);
    chkPayed->setObjectName(QStringLiteral("chkPayed"));
    eSalePrice = new MoneyEdit(this);
    eSalePrice->setObjectName(QStringLiteral("eSalePrice"));
    eNames = textField(this, "eNames", kNamesLength);
    eAdres = textField(this, "eAdres", kAdresLength);
    eEGN = textField(this, "eEGN", kEgnLength);
    eLK = textField(this, "eLK", kLkLength);
    m_digits = new DigitKeyFilter(this);
    m_digits->attach(eEGN);
    m_digits->attach(eLK);
    chkPrn = new QCheckBox(QStringLiteral("Печат на договор"), this);
    chkPrn->setObjectName(QStringLiteral("chkPrn"));
    chkPrn->setChecked(true);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отказ"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    eDlvPrice->setFixedWidth(84);
    eSalePrice->setFixedWidth(84);

    auto* v = new QVBoxLayout(this);
    v->setSpacing(3);
    auto* dogRow = new QHBoxLayout;
    dogRow->addWidget(buddyLabel(QStringLiteral("Номер на договор"), eDogNo, this, true));
    dogRow->addWidget(eDogNo);
    dogRow->addStretch(1);
    v->addLayout(dogRow);

    v->addWidget(new SectionHeading(QStringLiteral(" Данни на уреда "), this));
    v->addWidget(buddyLabel(QStringLiteral("Уред - описание (напр. артикул, марка, модел)"), eArt, this));
    v->addWidget(eArt);
    v->addWidget(buddyLabel(QStringLiteral("Допълнително описание (напр. аксесоари, дефекти и др.)"), eArtNote, this,
                            false, true));
    v->addWidget(eArtNote);
    v->addWidget(buddyLabel(QStringLiteral("Сериен номер"), eSN, this));
    v->addWidget(eSN);

    v->addWidget(new SectionHeading(QStringLiteral(" Цени, обявени от продавача "), this));
    auto* prices = new QGridLayout;
    prices->addWidget(buddyLabel(QStringLiteral("Цена на изкупуване"), eDlvPrice, this), 0, 0);
    prices->addWidget(eDlvPrice, 0, 1);
    prices->addWidget(chkPayed, 0, 2);
    prices->addWidget(buddyLabel(QStringLiteral("Цена на продажба"), eSalePrice, this), 1, 0);
    prices->addWidget(eSalePrice, 1, 1);
    prices->setColumnStretch(2, 1);
    prices->setHorizontalSpacing(6);
    v->addLayout(prices);

    v->addWidget(new SectionHeading(QStringLiteral(" Данни за продавача "), this));
    v->addWidget(buddyLabel(QStringLiteral("Имена"), eNames, this));
    v->addWidget(eNames);
    v->addWidget(buddyLabel(QStringLiteral("Адрес"), eAdres, this));
    v->addWidget(eAdres);
    auto* ids = new QGridLayout;
    ids->addWidget(buddyLabel(QStringLiteral("ЕГН"), eEGN, this), 0, 0);
    ids->addWidget(buddyLabel(QStringLiteral("Лична карта"), eLK, this), 0, 1);
    ids->addWidget(eEGN, 1, 0);
    ids->addWidget(eLK, 1, 1);
    v->addLayout(ids);

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

    setTabOrder(eDogNo, eArt);
    setTabOrder(eArt, eArtNote);
    setTabOrder(eArtNote, eSN);
    setTabOrder(eSN, eDlvPrice);
    setTabOrder(eDlvPrice, chkPayed);
    setTabOrder(chkPayed, eSalePrice);
    setTabOrder(eSalePrice, eNames);
    setTabOrder(eNames, eAdres);
    setTabOrder(eAdres, eEGN);
    setTabOrder(eEGN, eLK);
    setTabOrder(eLK, chkPrn);
    setTabOrder(chkPrn, btnOk);
    setTabOrder(btnOk, btnCancel);

    // The designed 338 pixels, or wider when the system's font needs it.
    const int width = std::max(338, minimumSizeHint().width());
    setFixedSize(width, std::max(sizeHint().height(), heightForWidth(width)));

    connect(btnOk, &QPushButton::clicked, this, &TfrmGet::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmGet::btnCancelClick);
}

void TfrmGet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmGet::FormShow() {
    m_newId = -1;
    // A new appliance: everything blank but the proposal and zero prices.
    for (QLineEdit* e : {eArt, eArtNote, eSN, eNames, eAdres, eEGN, eLK})
        e->clear();
    chkPayed->setChecked(false);
    eDlvPrice->setValue(0);
    eSalePrice->setValue(0);
    int proposal = 1;
    try {
        proposal = ops::proposeContractNumber(m_db, m_shop);
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
    }
    eDogNo->setText(QString::number(proposal));
    focusAndSelect(eDogNo);
}

void TfrmGet::btnOkClick() {
    btnOk->setFocus(Qt::OtherFocusReason);
    eDlvPrice->normalize();
    eSalePrice->normalize();

    if (eDogNo->text().trimmed().isEmpty() || eDogNo->text().trimmed() == QLatin1String("-"))
        eDogNo->setText(QStringLiteral("0"));
    // Trimmed texts stay in the fields, as they will be stored.
    for (QLineEdit* e : {eArt, eNames, eAdres})
        e->setText(validation::trimmed(e->text()));

    validation::IntakeFields f;
    f.dogNo = eDogNo->text().toInt();
    f.art = eArt->text();
    f.dlvPrice = eDlvPrice->value();
    f.salePrice = eSalePrice->value();
    f.names = eNames->text();
    f.adres = eAdres->text();
    f.egn = eEGN->text();

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
            focusAndSelect(eDogNo);
            break;
        case validation::IntakeField::Art:
            eArt->setFocus(Qt::OtherFocusReason);
            break;
        case validation::IntakeField::DlvPrice:
            focusAndSelect(eDlvPrice);
            break;
        case validation::IntakeField::SalePrice:
            focusAndSelect(eSalePrice);
            break;
        case validation::IntakeField::Names:
            eNames->setFocus(Qt::OtherFocusReason);
            break;
        case validation::IntakeField::Adres:
            eAdres->setFocus(Qt::OtherFocusReason);
            break;
        case validation::IntakeField::Egn:
            eEGN->setFocus(Qt::OtherFocusReason);
            break;
        }
        return;
    }

    ops::IntakeInput in;
    in.shop = m_shop;
    in.dogNo = f.dogNo;
    in.art = f.art;
    in.artNote = eArtNote->text();
    in.serial = eSN->text();
    in.dlvPrice = f.dlvPrice;
    in.salePrice = f.salePrice;
    in.payNow = chkPayed->isChecked();
    in.names = f.names;
    in.adres = f.adres;
    in.egn = f.egn;
    in.lk = eLK->text();

    const ops::Result r = underWaitCursor([&] { return ops::intake(ops::Context{m_db, m_clerk}, in); });
    if (!r.ok()) {
        // Nothing was written: the clerk may correct (another number taken
        // meanwhile by another workstation) or simply press OK again.
        MessageService::error(this, r.message);
        if (r.status == ops::Status::Refused)
            focusAndSelect(eDogNo);
        return;
    }
    m_newId = r.id;
    if (chkPrn->isChecked())
        showContract();
    accept();
}

void TfrmGet::showContract() {
    if (!m_contract || m_newId < 0)
        return;
    Database& db = m_db;
    const qint64 id = m_newId;
    m_contract->setDataSource([&db, id]() {
        try {
            return contractdata::loadConsignment(db, id).value_or(ConsignmentContractData{});
        } catch (const DbError& e) {
            MessageService::error(nullptr, e.message());
            return ConsignmentContractData{};
        }
    });
    m_contract->exec();
}

void TfrmGet::btnCancelClick() {
    btnCancel->setFocus(Qt::OtherFocusReason);
    reject();
}
