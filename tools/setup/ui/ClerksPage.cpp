#include "tools/setup/ui/ClerksPage.h"

#include "tools/setup/ChainDatabase.h"
#include "tools/setup/ClerkRules.h"
#include "tools/setup/FieldText.h"
#include "tools/setup/RightsLevels.h"
#include "tools/setup/ShopRules.h"
#include "widgets/WholeCharacters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString kClerks = QStringLiteral("CLERKS");
QString text(const QVariantMap& r, const char* c) {
    return r.value(QLatin1String(c)).toString();
}
} // namespace

ClerksPage::ClerksPage(QWidget* parent)
    : RecordEditorPage(
          QStringLiteral("Служители"), QStringLiteral("ID"),
          {{QStringLiteral("№"), [](const QVariantMap& r) { return text(r, "ID"); }, Qt::AlignRight | Qt::AlignVCenter},
           {QStringLiteral("Потребител"), [](const QVariantMap& r) { return text(r, "Nick"); }},
           {QStringLiteral("Име"), [](const QVariantMap& r) { return text(r, "Name"); }},
           {QStringLiteral("Права"),
            [](const QVariantMap& r) { return RightsLevels::words(r.value(QStringLiteral("Prefs")).toInt()); }},
           {QStringLiteral("Магазин"),
            [this](const QVariantMap& r) {
                const qint64 shop = r.value(QStringLiteral("ShopID")).toLongLong();
                return shop == 0 ? QStringLiteral("—") : shopName(shop);
            }},
           {QStringLiteral("Активен"),
            [](const QVariantMap& r) { return RecordTableModel::yesNo(r.value(QStringLiteral("Active")).toBool()); }}},
          parent) {
    setObjectName(QStringLiteral("clerksPage"));
    auto line = [](const QString& column) {
        auto* e = new QLineEdit;
        e->setMaxLength(fieldtext::columnLength(kClerks, column));
        keepWholeCharacters(e);
        return e;
    };
    m_nickEdit = line(QStringLiteral("Nick"));
    m_nameEdit = line(QStringLiteral("Name"));
    m_passwordEdit = line(QStringLiteral("Password"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_repeatEdit = line(QStringLiteral("Password"));
    m_repeatEdit->setEchoMode(QLineEdit::Password);
    m_levelCombo = new QComboBox;
    m_shopCombo = new QComboBox;
    m_activeCheck = new QCheckBox(QStringLiteral("Активен"));
    m_infoEdit = line(QStringLiteral("Info"));
    setRecordTitles(QStringLiteral("Нов служител"), QStringLiteral("Служител № %1"));
    setIntro(QStringLiteral("Кой влиза в програмата, с каква парола, с какви права и в кой магазин. Записаната "
                            "парола не се показва: оставете двете полета празни, за да остане същата."));

    addField(QStringLiteral("&Потребител"), m_nickEdit, QStringLiteral("Nick"));
    addField(QStringLiteral("&Име"), m_nameEdit, QStringLiteral("Name"));
    addField(QStringLiteral("Пар&ола"), m_passwordEdit, QStringLiteral("Password"));
    addField(QStringLiteral("Паролата о&тново"), m_repeatEdit, ClerkRules::repeatKey());
    addField(QStringLiteral("П&рава"), m_levelCombo, QStringLiteral("Prefs"));
    addField(QStringLiteral("&Магазин"), m_shopCombo, QStringLiteral("ShopID"));
    m_access = new QLabel;
    m_access->setObjectName(QStringLiteral("access"));
    addNote(m_access);
    addField(QString(), m_activeCheck, QStringLiteral("Active"));
    addField(QStringLiteral("&Бележка"), m_infoEdit, QStringLiteral("Info"));
    auto* activeNote = new QLabel(
        QStringLiteral("Модулът „Уреди втора употреба“ пуска и неактивен служител: за да спрете достъпа му до модула, "
                       "изберете права „Без достъп до модула“."));
    addNote(activeNote);

    connect(m_levelCombo, &QComboBox::currentIndexChanged, this, &ClerksPage::showAccess);
    connect(m_shopCombo, &QComboBox::currentIndexChanged, this, &ClerksPage::showAccess);
    fillLevels(RightsLevels::known().first().value);
}

QString ClerksPage::shopName(qint64 id) const {
    const auto it = m_shops.constFind(id);
    return it == m_shops.cend() ? QStringLiteral("№ %1 (няма такъв)").arg(id) : it.value();
}

QList<QVariantMap> ClerksPage::readRows() {
    m_shops.clear();
    m_shopActive.clear();
    for (const QVariantMap& s : ShopRules(database()->db()).list()) {
        m_shops.insert(s.value(QStringLiteral("ID")).toLongLong(), s.value(QStringLiteral("Name")).toString());
        m_shopActive.insert(s.value(QStringLiteral("ID")).toLongLong(), s.value(QStringLiteral("Active")).toBool());
    }
    return ClerkRules(database()->db()).list();
}

void ClerksPage::rowsRead() {
    if (!database()) {
        setPageNote(QString());
        return;
    }
    ClerkRules rules(database()->db());
    QStringList notes;
    bool administrator = false;
    for (const QVariantMap& r : model()->rows()) {
        const qint64 id = r.value(QStringLiteral("ID")).toLongLong();
        if (rules.hasDefaultPassword(id))
            notes << QStringLiteral("Служителят „%1“ още е с паролата по подразбиране, която всеки може да узнае: "
                                    "сменете я.")
                         .arg(r.value(QStringLiteral("Nick")).toString());
        administrator = administrator || (RightsLevels::isFullRights(r.value(QStringLiteral("Prefs")).toInt()) &&
                                          r.value(QStringLiteral("Active")).toBool());
    }
    if (!administrator)
        notes << QStringLiteral("Няма активен служител с права „%1“.")
                     .arg(RightsLevels::words(RightsLevels::kFullRights));
    setPageNote(notes.join(QLatin1Char('\n')));
}

void ClerksPage::fillLevels(int keep) {
    const QSignalBlocker block(m_levelCombo);
    m_levelCombo->clear();
    for (const RightsLevels::Level& l : RightsLevels::known())
        m_levelCombo->addItem(l.words, l.value);
    if (!RightsLevels::isKnown(keep))
        m_levelCombo->addItem(RightsLevels::words(keep), keep);
    m_levelCombo->setCurrentIndex(m_levelCombo->findData(keep));
}

void ClerksPage::fillShops(qint64 keep) {
    const QSignalBlocker block(m_shopCombo);
    m_shopCombo->clear();
    m_shopCombo->addItem(QStringLiteral("(без свой магазин)"), qint64(0));
    QList<qint64> ids = m_shops.keys();
    std::sort(ids.begin(), ids.end());
    for (qint64 id : ids)
        m_shopCombo->addItem(
            m_shopActive.value(id) ? m_shops.value(id) : m_shops.value(id) + QStringLiteral(" (неактивен)"), id);
    if (keep != 0 && m_shopCombo->findData(keep) < 0)
        m_shopCombo->addItem(shopName(keep), keep);
    m_shopCombo->setCurrentIndex(std::max(0, m_shopCombo->findData(keep)));
}

void ClerksPage::showRecord(const QVariantMap& row) {
    const bool isNew = row.isEmpty();
    m_nickEdit->setText(text(row, "Nick"));
    m_nameEdit->setText(text(row, "Name"));
    m_passwordEdit->clear();
    m_repeatEdit->clear();
    m_passwordEdit->setPlaceholderText(isNew ? QString() : QStringLiteral("непроменена"));
    m_repeatEdit->setPlaceholderText(isNew ? QString() : QStringLiteral("непроменена"));
    fillLevels(isNew ? 1 : row.value(QStringLiteral("Prefs")).toInt());
    fillShops(row.value(QStringLiteral("ShopID")).toLongLong());
    m_activeCheck->setChecked(isNew || row.value(QStringLiteral("Active")).toBool());
    m_infoEdit->setText(text(row, "Info"));
    showAccess();
}

QVariantMap ClerksPage::formValues() const {
    QVariantMap v{
        {QStringLiteral("Nick"), m_nickEdit->text()},           {QStringLiteral("Name"), m_nameEdit->text()},
        {QStringLiteral("Prefs"), m_levelCombo->currentData()}, {QStringLiteral("ShopID"), m_shopCombo->currentData()},
        {QStringLiteral("Active"), m_activeCheck->isChecked()}, {QStringLiteral("Info"), m_infoEdit->text()}};
    if (!m_passwordEdit->text().isEmpty() || !m_repeatEdit->text().isEmpty()) {
        v.insert(QStringLiteral("Password"), m_passwordEdit->text());
        v.insert(ClerkRules::repeatKey(), m_repeatEdit->text());
    }
    return v;
}

SaveOutcome ClerksPage::saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) {
    return ClerkRules(database()->db()).save(id, original, edited);
}

void ClerksPage::showAccess() {
    const int level = m_levelCombo->currentData().toInt();
    const qint64 shop = m_shopCombo->currentData().toLongLong();
    m_access->setText(RightsLevels::access(level, int(shop), shop == 0 ? QString() : shopName(shop)));
}
