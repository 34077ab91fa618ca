#include "widgets/ColumnChooser.h"

#include "widgets/GridDrag.h"

#include <QCloseEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The list of hidden columns; its items drag out as grid columns.
class ChooserList : public QListWidget {
public:
    ChooserList(const QObject* owner, QWidget* parent) : QListWidget(parent), m_owner(owner) {
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

protected:
    void startDrag(Qt::DropActions) override {
        QListWidgetItem* item = currentItem();
        if (!item)
            return;
        auto* drag = new QDrag(this);
        drag->setMimeData(GridDrag::make(GridDrag::Kind::Column, m_owner, item->data(Qt::UserRole).toInt()));
        drag->exec(Qt::MoveAction);
    }

private:
    const QObject* m_owner;
};

} // namespace

ColumnChooser::ColumnChooser(const QObject* owner, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowCloseButtonHint | Qt::WindowTitleHint), m_owner(owner),
      m_list(new ChooserList(owner, this)) {
    setObjectName(QStringLiteral("gridColumnChooser"));
    setWindowTitle(QStringLiteral("Видими колони"));
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* hint = new QLabel(QStringLiteral("Скрити колони:"), this);
    hint->setBuddy(m_list);
    layout->addWidget(hint);
    layout->addWidget(m_list);
    m_list->setObjectName(QStringLiteral("lstHiddenColumns"));
    auto* reset = new QPushButton(QStringLiteral("Подредба по подразбиране"), this);
    reset->setObjectName(QStringLiteral("btnDefaultLayout"));
    reset->setToolTip(QStringLiteral("Колоните, ширините, групирането и подреждането както при първото пускане"));
    reset->setAutoDefault(false);
    layout->addWidget(reset);
    connect(reset, &QPushButton::clicked, this, &ColumnChooser::resetRequested);
    resize(190, 240);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit showRequested(item->data(Qt::UserRole).toInt()); });
}

void ColumnChooser::setHiddenColumns(const QList<QPair<int, QString>>& columns) {
    m_list->clear();
    for (const auto& [column, caption] : columns) {
        auto* item = new QListWidgetItem(caption, m_list);
        item->setData(Qt::UserRole, column);
    }
}

void ColumnChooser::closeQuietly() {
    m_quiet = true;
    close();
    m_quiet = false;
}

void ColumnChooser::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!m_quiet)
        emit closedByUser();
}

void ColumnChooser::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ColumnChooser::dragEnterEvent(QDragEnterEvent* event) {
    if (GridDrag::column(event->mimeData(), GridDrag::Kind::Column, m_owner) >= 0 && event->source() != m_list)
        event->acceptProposedAction();
    else
        event->ignore();
}

void ColumnChooser::dragMoveEvent(QDragMoveEvent* event) {
    if (GridDrag::column(event->mimeData(), GridDrag::Kind::Column, m_owner) >= 0 && event->source() != m_list)
        event->acceptProposedAction();
    else
        event->ignore();
}

void ColumnChooser::dropEvent(QDropEvent* event) {
    const int column = GridDrag::column(event->mimeData(), GridDrag::Kind::Column, m_owner);
    if (column < 0 || event->source() == m_list)
        return;
    event->acceptProposedAction();
    emit hideRequested(column);
}
