#include "tools/setup/ui/ShopsPage.h"

#include "tools/setup/ChainDatabase.h"
#include "tools/setup/FieldText.h"
#include "tools/setup/ShopRules.h"
#include "widgets/MessageService.h"
#include "widgets/WholeCharacters.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QString text(const QVariantMap& r, const char* c) {
    return r.value(QLatin1String(c)).toString();
}
QString yesNo(const QVariantMap& r, const char* c) {
    return RecordTableModel::yesNo(r.value(QLatin1String(c)).toBool());
}
} // namespace

ShopsPage::ShopsPage(QWidget* parent)
    : RecordEditorPage(
          QStringLiteral("Магазини"), QStringLiteral("ID"),
          {{QStringLiteral("№"), [](const QVariantMap& r) { return text(r, "ID"); }, Qt::AlignRight | Qt::AlignVCenter},
           {QStringLiteral("Име"), [](const QVariantMap& r) { return text(r, "Name"); }},
           {QStringLiteral("Адрес"), [](const QVariantMap& r) { return text(r, "Address"); }},
           {QStringLiteral("Телефон"), [](const QVariantMap& r) { return text(r, "ShopPhone"); }},
           {QStringLiteral("Активен"), [](const QVariantMap& r) { return yesNo(r, "Active"); }},
           {QStringLiteral("Отдалечен"), [](const QVariantMap& r) { return yesNo(r, "Away"); }}},
          parent) {
    setObjectName(QStringLiteral("shopsPage"));
    auto line = [](int length) {
        auto* e = new QLineEdit;
        e->setMaxLength(length);
        keepWholeCharacters(e);
        return e;
    };
    m_nameEdit = line(fieldtext::columnLength(QStringLiteral("Shops"), QStringLiteral("Name")));
    m_addressEdit = line(fieldtext::columnLength(QStringLiteral("Shops"), QStringLiteral("Address")));
    m_phoneEdit = line(fieldtext::columnLength(QStringLiteral("Shops"), QStringLiteral("ShopPhone")));
    m_activeCheck = new QCheckBox(QStringLiteral("Активен"));
    m_awayCheck = new QCheckBox(QStringLiteral("Отдалечен"));
    setRecordTitles(QStringLiteral("Нов магазин"), QStringLiteral("Магазин № %1"));
    setIntro(QStringLiteral("Магазините на веригата. При приемане и прехвърляне на уред програмата предлага "
                            "само активните магазини, които не са отдалечени. Магазин, с който има записани уреди "
                            "или движения, не се изтрива, а се прави неактивен."));
    addField(QStringLiteral("&Име"), m_nameEdit, QStringLiteral("Name"));
    m_shownName = new QLabel;
    m_shownName->setObjectName(QStringLiteral("shownName"));
    addNote(m_shownName);
    addField(QStringLiteral("&Адрес"), m_addressEdit, QStringLiteral("Address"));
    addField(QStringLiteral("&Телефон"), m_phoneEdit, QStringLiteral("ShopPhone"));
    addField(QString(), m_activeCheck, QStringLiteral("Active"));
    addField(QString(), m_awayCheck, QStringLiteral("Away"));
    connect(m_nameEdit, &QLineEdit::textChanged, this, &ShopsPage::showShownName);

    auto* del = new QPushButton(QStringLiteral("Изтриване"), this);
    del->setObjectName(QStringLiteral("deleteButton"));
    buttonRow()->insertWidget(buttonRow()->count() - 1, del);
    connect(del, &QPushButton::clicked, this, &ShopsPage::deleteCurrent);
}

QList<QVariantMap> ShopsPage::readRows() {
    return ShopRules(database()->db()).list();
}

void ShopsPage::showRecord(const QVariantMap& row) {
    const bool isNew = row.isEmpty();
    m_nameEdit->setText(text(row, "Name"));
    m_addressEdit->setText(text(row, "Address"));
    m_phoneEdit->setText(text(row, "ShopPhone"));
    m_activeCheck->setChecked(isNew || row.value(QStringLiteral("Active")).toBool());
    m_awayCheck->setChecked(!isNew && row.value(QStringLiteral("Away")).toBool());
    showShownName();
}

QVariantMap ShopsPage::formValues() const {
    return {{QStringLiteral("Name"), m_nameEdit->text()},
            {QStringLiteral("Address"), m_addressEdit->text()},
            {QStringLiteral("ShopPhone"), m_phoneEdit->text()},
            {QStringLiteral("Active"), m_activeCheck->isChecked()},
            {QStringLiteral("Away"), m_awayCheck->isChecked()}};
}

SaveOutcome ShopsPage::saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) {
    return ShopRules(database()->db()).save(id, original, edited);
}

void ShopsPage::showShownName() {
    const QString name = fieldtext::clean(m_nameEdit->text());
    if (name.size() <= ShopRules::kShownName) {
        m_shownName->clear();
        m_shownName->setVisible(false);
        return;
    }
    m_shownName->setText(QStringLiteral("В регистъра и в договорите ще се вижда „%1“.")
                             .arg(fieldtext::fit(name, ShopRules::kShownName)));
    m_shownName->setVisible(true);
}

void ShopsPage::deleteCurrent() {
    if (!database() || currentId() == 0 || !mayLeave())
        return;
    const qint64 id = currentId();
    const QString name = originalRow().value(QStringLiteral("Name")).toString();
    if (!MessageService::question(this, QStringLiteral("Да изтрия ли магазина „%1“?").arg(name),
                                  QStringLiteral("Изтриване"), QMessageBox::No))
        return;
    ShopRules rules(database()->db());
    const ShopRules::Removal r = rules.remove(id);
    switch (r.status) {
    case ShopRules::Removal::Status::Removed:
        reload();
        emit dataChanged();
        return;
    case ShopRules::Removal::Status::InUse: {
        if (!originalRow().value(QStringLiteral("Active")).toBool()) {
            MessageService::warning(this, r.message + QStringLiteral("\nТой вече е неактивен."));
            return;
        }
        const bool deactivate = MessageService::question(
            this,
            r.message + QStringLiteral("\n\nДа го направя ли неактивен? Неактивният магазин не се предлага при "
                                       "приемане и прехвърляне, а уредите и записите му остават."),
            QStringLiteral("Изтриване"), QMessageBox::Yes);
        if (!deactivate)
            return;
        const SaveOutcome out = rules.deactivate(id);
        if (!out.ok())
            MessageService::error(this, out.message);
        reload();
        selectRecord(id);
        emit dataChanged();
        return;
    }
    case ShopRules::Removal::Status::Gone:
        MessageService::warning(this, r.message);
        reload();
        emit dataChanged();
        return;
    case ShopRules::Removal::Status::EngineError:
        MessageService::error(this, r.message);
        return;
    }
}
