#include "tools/setup/ui/RecordEditorPage.h"

#include "db/DbError.h"
#include "widgets/MessageService.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

RecordEditorPage::RecordEditorPage(const QString& title, const QString& key, QList<RecordTableModel::Column> columns,
                                   QWidget* parent)
    : SetupPage(title, parent), m_key(key) {
    m_model = new RecordTableModel(key, std::move(columns), this);

    m_pageNote = new QLabel(this);
    m_pageNote->setObjectName(QStringLiteral("pageNote"));
    m_pageNote->setWordWrap(true);
    m_pageNote->setVisible(false);
    m_pageNote->setStyleSheet(
        QStringLiteral("QLabel { background: #fff4ce; border: 1px solid #e0c060; padding: 6px; }"));

    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAlternatingRowColors(true);
    m_list->verticalHeader()->setVisible(false);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setAccessibleName(title);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RecordEditorPage::currentRowChanged);

    auto* refresh = new QPushButton(QStringLiteral("Обнови"), this);
    refresh->setObjectName(QStringLiteral("refreshButton"));
    refresh->setToolTip(QStringLiteral("Прочита отново записите, както са в базата сега"));
    connect(refresh, &QPushButton::clicked, this, &RecordEditorPage::reload);

    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    auto* leftButtons = new QHBoxLayout;
    leftButtons->addWidget(refresh);
    leftButtons->addStretch(1);
    left->addLayout(leftButtons);

    m_formTitle = new QLabel(this);
    m_formTitle->setObjectName(QStringLiteral("formTitle"));
    QFont f = m_formTitle->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.1);
    m_formTitle->setFont(f);

    m_form = new QFormLayout;
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->setRowWrapPolicy(QFormLayout::DontWrapRows);

    m_newButton = new QPushButton(QStringLiteral("Нов"), this);
    m_newButton->setObjectName(QStringLiteral("newButton"));
    m_newButton->setShortcut(QKeySequence::New);
    m_newButton->setToolTip(QStringLiteral("Нов запис (Ctrl+N)"));
    m_saveButton = new QPushButton(QStringLiteral("Запис"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setShortcut(QKeySequence::Save);
    m_saveButton->setToolTip(QStringLiteral("Записва формуляра (Ctrl+S или Enter в поле)"));
    m_revertButton = new QPushButton(QStringLiteral("Отказ"), this);
    auto* revertButton = m_revertButton;
    revertButton->setObjectName(QStringLiteral("revertButton"));
    revertButton->setToolTip(QStringLiteral("Връща формуляра към записа, както е прочетен"));
    connect(m_newButton, &QPushButton::clicked, this, &RecordEditorPage::startNew);
    connect(m_saveButton, &QPushButton::clicked, this, &RecordEditorPage::saveCurrent);
    connect(revertButton, &QPushButton::clicked, this, &RecordEditorPage::revert);
    m_buttons = new QHBoxLayout;
    m_buttons->addWidget(m_newButton);
    m_buttons->addWidget(m_saveButton);
    m_buttons->addWidget(revertButton);
    m_buttons->addStretch(1);

    m_formBox = new QVBoxLayout;
    m_formBox->addWidget(m_formTitle);
    m_formBox->addLayout(m_form);
    m_formBox->addSpacing(6);
    m_formBox->addLayout(m_buttons);
    m_formBox->addStretch(1);
    auto* formHolder = new QWidget(this);
    formHolder->setLayout(m_formBox);
    formHolder->setMinimumWidth(380);
    formHolder->setMaximumWidth(480);

    auto* columnsBox = new QHBoxLayout;
    columnsBox->addLayout(left, 1);
    columnsBox->addWidget(formHolder);

    m_heading = new QLabel(title, this);
    m_heading->setObjectName(QStringLiteral("heading"));
    QFont hf = m_heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.3);
    m_heading->setFont(hf);
    m_intro = new QLabel(this);
    m_intro->setObjectName(QStringLiteral("intro"));
    m_intro->setWordWrap(true);
    m_intro->setVisible(false);

    auto* page = new QVBoxLayout(this);
    page->addWidget(m_heading);
    page->addWidget(m_intro);
    page->addWidget(m_pageNote);
    page->addLayout(columnsBox, 1);
    setEnabled(false);
}

void RecordEditorPage::addField(const QString& label, QWidget* editor, const QString& column) {
    editor->setObjectName(column);
    auto* holder = new QWidget(this);
    auto* box = new QVBoxLayout(holder);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(1);
    box->addWidget(editor);
    auto* message = new QLabel(holder);
    message->setObjectName(column + QStringLiteral("Message"));
    message->setWordWrap(true);
    message->setStyleSheet(QStringLiteral("QLabel { color: #b00020; }"));
    message->setVisible(false);
    box->addWidget(message);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(editor);
    m_form->addRow(caption, holder);
    m_messages.insert(column, message);
    m_editors.insert(column, editor);
    if (!m_firstEditor)
        m_firstEditor = editor;
    // Enter in a text field saves, as in the program's dialogs; Tab goes
    // from the list through the fields in their order to the buttons.
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        connect(line, &QLineEdit::returnPressed, this, [this] { saveCurrent(); });
    setTabOrder(m_lastEditor ? m_lastEditor : static_cast<QWidget*>(m_list), editor);
    setTabOrder(editor, m_newButton);
    setTabOrder(m_newButton, m_saveButton);
    setTabOrder(m_saveButton, m_revertButton);
    m_lastEditor = editor;
}

void RecordEditorPage::addNote(QLabel* note) {
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("QLabel { color: #505050; }"));
    m_form->addRow(note);
}

void RecordEditorPage::showRefusal(const QString& column, const QString& text) {
    QLabel* message = m_messages.value(column);
    if (!message) {
        MessageService::error(this, text);
        return;
    }
    message->setText(text);
    message->setVisible(true);
    if (QWidget* editor = m_editors.value(column)) {
        editor->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll();
    }
}

void RecordEditorPage::clearMessages() {
    for (QLabel* m : std::as_const(m_messages)) {
        m->clear();
        m->setVisible(false);
    }
}

void RecordEditorPage::setRecordTitles(const QString& newRecord, const QString& record) {
    m_newTitle = newRecord;
    m_recordTitle = record;
}

void RecordEditorPage::setIntro(const QString& text) {
    m_intro->setText(text);
    m_intro->setVisible(!text.isEmpty());
}

void RecordEditorPage::setPageNote(const QString& text) {
    m_pageNote->setText(text);
    m_pageNote->setVisible(!text.isEmpty());
}

void RecordEditorPage::setDatabase(ChainDatabase* db) {
    m_db = db;
    m_id = 0;
    m_original.clear();
    setEnabled(db != nullptr);
    reload();
    selectRecord(m_model->rowCount() > 0 ? m_model->rowAt(0).value(m_key).toLongLong() : 0);
}

void RecordEditorPage::reload() {
    QList<QVariantMap> rows;
    if (m_db) {
        try {
            rows = readRows();
        } catch (const DbError& e) {
            MessageService::error(this, e.message());
        }
    }
    const bool keepForm = isDirty();
    m_selecting = true;
    m_model->setRows(rows);
    m_selecting = false;
    rowsRead();
    if (keepForm) {
        // What is being typed stays; the list only shows where it belongs.
        m_selecting = true;
        const int row = m_id != 0 ? m_model->rowOf(m_original.value(m_key)) : -1;
        if (row >= 0)
            m_list->selectRow(row);
        m_selecting = false;
        return;
    }
    selectRecord(m_id != 0 && m_model->rowOf(m_original.value(m_key)) >= 0 ? m_id : 0);
}

bool RecordEditorPage::isDirty() const {
    return m_db && formValues() != m_shownValues;
}

void RecordEditorPage::markClean() {
    m_shownValues = formValues();
}

void RecordEditorPage::selectRecord(qint64 id) {
    int found = -1;
    for (int i = 0; id != 0 && i < m_model->rowCount(); ++i)
        if (m_model->rowAt(i).value(m_key).toLongLong() == id)
            found = i;
    m_selecting = true;
    if (found >= 0) {
        m_list->selectRow(found);
        m_list->scrollTo(m_model->index(found, 0));
    } else {
        m_list->clearSelection();
        m_list->setCurrentIndex(QModelIndex());
    }
    m_selecting = false;
    showRow(found >= 0 ? m_model->rowAt(found) : QVariantMap());
}

void RecordEditorPage::showRow(const QVariantMap& row) {
    m_original = row;
    m_id = row.value(m_key).toLongLong();
    clearMessages();
    showRecord(row);
    m_formTitle->setText(m_id == 0 ? m_newTitle : m_recordTitle.arg(m_id));
    m_shownValues = formValues();
}

void RecordEditorPage::currentRowChanged() {
    if (m_selecting)
        return;
    const QModelIndex current = m_list->currentIndex();
    const qint64 id = current.isValid() ? m_model->rowAt(current.row()).value(m_key).toLongLong() : 0;
    if (id == m_id)
        return;
    if (!confirmLeavingRecord()) {
        // Stay on the record being edited.
        m_selecting = true;
        const int row = m_model->rowOf(m_original.value(m_key));
        if (row >= 0 && m_id != 0)
            m_list->selectRow(row);
        else
            m_list->clearSelection();
        m_selecting = false;
        return;
    }
    // Saving may have read the rows again: find the chosen one anew.
    selectRecord(id);
}

bool RecordEditorPage::confirmLeavingRecord() {
    if (!isDirty())
        return true;
    const auto answer = MessageService::ask(
        this, QStringLiteral("Има незаписани промени. Да ги запиша ли?"), QStringLiteral("Запис"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::Question);
    if (answer == QMessageBox::Yes)
        return saveCurrent();
    if (answer == QMessageBox::No) {
        revert();
        return true;
    }
    return false;
}

bool RecordEditorPage::mayLeave() {
    return confirmLeavingRecord();
}

void RecordEditorPage::startNew() {
    if (!confirmLeavingRecord())
        return;
    selectRecord(0);
    if (m_firstEditor)
        m_firstEditor->setFocus(Qt::OtherFocusReason);
}

void RecordEditorPage::revert() {
    showRow(m_original);
}

bool RecordEditorPage::saveCurrent() {
    if (!m_db)
        return false;
    clearMessages();
    const QVariantMap edited = formValues();
    const SaveOutcome out = saveRecord(m_id, m_original, edited);
    switch (out.status) {
    case SaveOutcome::Status::Saved: {
        m_selecting = true;
        try {
            m_model->setRows(readRows());
        } catch (const DbError& e) {
            MessageService::error(this, e.message());
        }
        m_selecting = false;
        rowsRead();
        selectRecord(out.id);
        if (out.changedMeanwhile())
            MessageService::warning(this, out.notice());
        emit dataChanged();
        return true;
    }
    case SaveOutcome::Status::Refused:
        showRefusal(out.field, out.message);
        return false;
    case SaveOutcome::Status::Gone: {
        MessageService::error(this, out.message + QStringLiteral("\nВъведеното остава във формуляра: с „Запис“ "
                                                                 "ще бъде добавено като нов запис."));
        // The form keeps what was typed, now as a new record.
        m_selecting = true;
        try {
            m_model->setRows(readRows());
        } catch (const DbError&) {
        }
        m_list->clearSelection();
        m_selecting = false;
        rowsRead();
        m_id = 0;
        m_original.clear();
        m_shownValues.clear();
        m_formTitle->setText(m_newTitle);
        return false;
    }
    case SaveOutcome::Status::EngineError:
        MessageService::error(this, out.message);
        return false;
    }
    return false;
}
