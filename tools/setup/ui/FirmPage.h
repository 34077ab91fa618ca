#pragma once

#include "tools/setup/ui/RecordEditorPage.h"

class QCheckBox;
class QLineEdit;

// "Собствена фирма": the firm whose data the contracts print. Exactly one
// firm is active; ticking "Активна" on another one moves the mark to it.
class FirmPage : public RecordEditorPage {
    Q_OBJECT

public:
    explicit FirmPage(QWidget* parent = nullptr);

protected:
    QList<QVariantMap> readRows() override;
    void showRecord(const QVariantMap& row) override;
    QVariantMap formValues() const override;
    SaveOutcome saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) override;
    void rowsRead() override;

private:
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_bulstatEdit = nullptr;
    QLineEdit* m_taxNumberEdit = nullptr;
    QLineEdit* m_responsibleEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QLineEdit* m_infoEdit = nullptr;
    QCheckBox* m_vatCheck = nullptr;
    QCheckBox* m_activeCheck = nullptr;
};
