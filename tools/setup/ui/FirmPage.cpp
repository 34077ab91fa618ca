#include "tools/setup/ui/FirmPage.h"

#include "tools/setup/ChainDatabase.h"
#include "tools/setup/FieldText.h"
#include "tools/setup/FirmRules.h"
#include "widgets/WholeCharacters.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString kFirm = QStringLiteral("MyInfo");
QString text(const QVariantMap& r, const char* c) {
    return r.value(QLatin1String(c)).toString();
}
} // namespace

FirmPage::FirmPage(QWidget* parent)
    : RecordEditorPage(
          QStringLiteral("Собствена фирма"), QStringLiteral("ID"),
          {{QStringLiteral("№"), [](const QVariantMap& r) { return text(r, "ID"); }, Qt::AlignRight | Qt::AlignVCenter},
           {QStringLiteral("Име"), [](const QVariantMap& r) { return text(r, "Name"); }},
           {QStringLiteral("Булстат"), [](const QVariantMap& r) { return text(r, "BULSTAT"); }},
           {QStringLiteral("МОЛ"), [](const QVariantMap& r) { return text(r, "MOL"); }},
           {QStringLiteral("Активна"),
            [](const QVariantMap& r) { return RecordTableModel::yesNo(r.value(QStringLiteral("Active")).toBool()); }}},
          parent) {
    setObjectName(QStringLiteral("firmPage"));
    auto line = [](const QString& column) {
        auto* e = new QLineEdit;
        e->setMaxLength(fieldtext::columnLength(kFirm, column));
        keepWholeCharacters(e);
        return e;
    };
    m_nameEdit = line(QStringLiteral("Name"));
    m_bulstatEdit = line(QStringLiteral("BULSTAT"));
    m_taxNumberEdit = line(QStringLiteral("DNUM"));
    m_responsibleEdit = line(QStringLiteral("MOL"));
    m_addressEdit = line(QStringLiteral("Adres"));
    m_infoEdit = line(QStringLiteral("Info"));
    m_vatCheck = new QCheckBox(QStringLiteral("Регистрирана по ДДС"));
    m_activeCheck = new QCheckBox(QStringLiteral("Активна"));
    setRecordTitles(QStringLiteral("Нова фирма"), QStringLiteral("Фирма № %1"));
    setIntro(QStringLiteral("Фирмата, чиито данни се печатат във всеки договор. Точно една фирма е активна: "
                            "отметнете „Активна“ на друга фирма, за да я смените."));
    addField(QStringLiteral("&Име на фирмата"), m_nameEdit, QStringLiteral("Name"));
    addField(QStringLiteral("&Булстат"), m_bulstatEdit, QStringLiteral("BULSTAT"));
    addField(QStringLiteral("&Номер по НДР"), m_taxNumberEdit, QStringLiteral("DNUM"));
    addField(QStringLiteral("&МОЛ"), m_responsibleEdit, QStringLiteral("MOL"));
    addField(QStringLiteral("&Адрес"), m_addressEdit, QStringLiteral("Adres"));
    addField(QStringLiteral("&Допълнително"), m_infoEdit, QStringLiteral("Info"));
    addField(QString(), m_vatCheck, QStringLiteral("DDS"));
    addField(QString(), m_activeCheck, QStringLiteral("Active"));
}

QList<QVariantMap> FirmPage::readRows() {
    return FirmRules(database()->db()).list();
}

void FirmPage::rowsRead() {
    if (!database()) {
        setPageNote(QString());
        return;
    }
    qint64 active = 0;
    for (const QVariantMap& r : model()->rows())
        active += r.value(QStringLiteral("Active")).toBool() ? 1 : 0;
    if (model()->rowCount() == 0)
        setPageNote(QStringLiteral("Въведете данните на фирмата: договорите ги печатат."));
    else if (active == 0)
        setPageNote(QStringLiteral("Няма активна фирма: изберете фирмата, чиито данни да печатат договорите, и "
                                   "отметнете „Активна“."));
    else if (active > 1)
        setPageNote(QStringLiteral("Активни са %1 фирми, а договорите печатат само една: отметнете „Активна“ на "
                                   "фирмата, която да остане.")
                        .arg(active));
    else
        setPageNote(QString());
}

void FirmPage::showRecord(const QVariantMap& row) {
    const bool isNew = row.isEmpty();
    m_nameEdit->setText(text(row, "Name"));
    m_bulstatEdit->setText(text(row, "BULSTAT"));
    m_taxNumberEdit->setText(text(row, "DNUM"));
    m_responsibleEdit->setText(text(row, "MOL"));
    m_addressEdit->setText(text(row, "Adres"));
    m_infoEdit->setText(text(row, "Info"));
    m_vatCheck->setChecked(!isNew && row.value(QStringLiteral("DDS")).toBool());
    m_activeCheck->setChecked(isNew ? model()->rowCount() == 0 : row.value(QStringLiteral("Active")).toBool());
}

QVariantMap FirmPage::formValues() const {
    return {{QStringLiteral("Name"), m_nameEdit->text()},      {QStringLiteral("BULSTAT"), m_bulstatEdit->text()},
            {QStringLiteral("DNUM"), m_taxNumberEdit->text()}, {QStringLiteral("MOL"), m_responsibleEdit->text()},
            {QStringLiteral("Adres"), m_addressEdit->text()},  {QStringLiteral("Info"), m_infoEdit->text()},
            {QStringLiteral("DDS"), m_vatCheck->isChecked()},  {QStringLiteral("Active"), m_activeCheck->isChecked()}};
}

SaveOutcome FirmPage::saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) {
    return FirmRules(database()->db()).save(id, original, edited);
}
