#pragma once

#include "tools/setup/RecordTableModel.h"
#include "tools/setup/SaveOutcome.h"
#include "tools/setup/ui/SetupPage.h"

#include <QHash>
#include <QVariantMap>

class QFormLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

// A step that lists rows of one table and edits the selected one (or a new
// one) in a form beside the list. Saving goes through the page's rules
// class; a refusal is shown next to its field, a change made meanwhile at
// another workstation in a message, and the list then shows the rows as
// they are now. Unsaved changes are never dropped without asking.
class RecordEditorPage : public SetupPage {
    Q_OBJECT

public:
    void setDatabase(ChainDatabase* db) override;
    void reload() override;
    bool mayLeave() override;

    // Key of the record in the form; 0 while a new one is typed.
    qint64 currentId() const { return m_id; }
    // Whether the form differs from the record it shows.
    bool isDirty() const;

public slots:
    void startNew();
    bool saveCurrent();
    void revert();

protected:
    RecordEditorPage(const QString& title, const QString& key, QList<RecordTableModel::Column> columns,
                     QWidget* parent = nullptr);

    // --- what each table's page supplies ---
    virtual QList<QVariantMap> readRows() = 0;
    // Fills the form from row; an empty row means a new record.
    virtual void showRecord(const QVariantMap& row) = 0;
    // The form's values by column (what a save would write).
    virtual QVariantMap formValues() const = 0;
    virtual SaveOutcome saveRecord(qint64 id, const QVariantMap& original, const QVariantMap& edited) = 0;
    // Called after the rows were read again (page notes, combo boxes).
    virtual void rowsRead() {}

    // --- for the pages ---
    // A labelled row of the form with a message line under the editor; the
    // editor's object name is the column's.
    void addField(const QString& label, QWidget* editor, const QString& column);
    void addNote(QLabel* note);
    void showRefusal(const QString& column, const QString& text);
    void clearMessages();
    // Heading of the form for a new record, and for one by its number ("%1").
    void setRecordTitles(const QString& newRecord, const QString& record);
    // What the step is for, under its heading.
    void setIntro(const QString& text);
    // A marked line at the top of the page (notes that concern the whole table).
    void setPageNote(const QString& text);
    QHBoxLayout* buttonRow() const { return m_buttons; }
    ChainDatabase* database() const { return m_db; }
    RecordTableModel* model() const { return m_model; }
    const QVariantMap& originalRow() const { return m_original; }
    // Shows the record with this key (or a new one for 0) and selects it.
    void selectRecord(qint64 id);
    // Makes what the form shows now the unchanged state.
    void markClean();

private:
    void currentRowChanged();
    bool confirmLeavingRecord();
    void showRow(const QVariantMap& row);

    ChainDatabase* m_db = nullptr;
    RecordTableModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QFormLayout* m_form = nullptr;
    QVBoxLayout* m_formBox = nullptr;
    QHBoxLayout* m_buttons = nullptr;
    QLabel* m_heading = nullptr;
    QLabel* m_intro = nullptr;
    QLabel* m_pageNote = nullptr;
    QLabel* m_formTitle = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_revertButton = nullptr;
    QWidget* m_lastEditor = nullptr;
    QHash<QString, QLabel*> m_messages;
    QHash<QString, QWidget*> m_editors;
    QWidget* m_firstEditor = nullptr;
    QString m_key;
    QString m_newTitle = QStringLiteral("Нов запис");
    QString m_recordTitle = QStringLiteral("Запис № %1");
    qint64 m_id = 0;
    QVariantMap m_original;
    QVariantMap m_shownValues;
    bool m_selecting = false;
};
