#pragma once

#include <QWidget>

class QListWidget;

// The small tool window that lists the grid's hidden columns. Dragging a
// column from it onto the header (or double-clicking it) shows the column;
// dragging a header into it hides the column. Its button puts every column
// back as it was at first.
class ColumnChooser : public QWidget {
    Q_OBJECT
public:
    explicit ColumnChooser(const QObject* owner, QWidget* parent = nullptr);

    // (column, caption) of every hidden column, in column order.
    void setHiddenColumns(const QList<QPair<int, QString>>& columns);
    QListWidget* list() const { return m_list; }
    // Closes the window without reporting it as closed by the clerk.
    void closeQuietly();

signals:
    void showRequested(int column);
    void hideRequested(int column);
    void closedByUser(); // the window's own close box
    void resetRequested(); // "Подредба по подразбиране"

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override; // Escape closes it, as its close box does
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const QObject* m_owner;
    QListWidget* m_list;
    bool m_quiet = false;
};
