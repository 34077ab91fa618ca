#pragma once

#include "tools/setup/ui/RecordEditorPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;

// "Магазини": the chain's shops, their name, address, telephone and the
// flags that decide whether the program offers them.
class ShopsPage : public RecordEditorPage {
    Q_OBJECT

public:
    explicit ShopsPage(QWidget* parent = nullptr);

public slots:
    // Deletes the shop in the form when nothing names it; otherwise says why
    // and offers to make it inactive.
    void deleteCurrent();

protected:
    QList<QVariantMap> readRows() override;
    void showRecord(const QVariantMap& row) override;
    QVariantMap formValues() const override;
    SaveOutcome saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) override;

private:
    void showShownName();

    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QLineEdit* m_phoneEdit = nullptr;
    QCheckBox* m_activeCheck = nullptr;
    QCheckBox* m_awayCheck = nullptr;
    QLabel* m_shownName = nullptr;
};
