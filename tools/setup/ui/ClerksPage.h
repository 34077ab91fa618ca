#pragma once

#include "tools/setup/ui/RecordEditorPage.h"

#include <QHash>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// "Служители": who may log in, with which password, rights level and shop.
// A stored password is never shown: the two password fields stay empty and
// a clerk keeps the password unless a new one is typed twice.
class ClerksPage : public RecordEditorPage {
    Q_OBJECT

public:
    explicit ClerksPage(QWidget* parent = nullptr);

protected:
    QList<QVariantMap> readRows() override;
    void showRecord(const QVariantMap& row) override;
    QVariantMap formValues() const override;
    SaveOutcome saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) override;
    void rowsRead() override;

private:
    void fillShops(qint64 keep);
    void fillLevels(int keep);
    void showAccess();
    QString shopName(qint64 id) const;

    QLineEdit* m_nickEdit = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLineEdit* m_repeatEdit = nullptr;
    QComboBox* m_levelCombo = nullptr;
    QComboBox* m_shopCombo = nullptr;
    QCheckBox* m_activeCheck = nullptr;
    QLineEdit* m_infoEdit = nullptr;
    QLabel* m_access = nullptr;
    QHash<qint64, QString> m_shops; // number -> name, every shop
    QHash<qint64, bool> m_shopActive;
};
