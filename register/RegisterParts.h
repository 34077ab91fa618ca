#pragma once

#include "register/FindStatement.h"
#include "register/RegisterStatement.h"

#include <QHash>
#include <QPointer>

class AboutDialog;
class FindWindow;
class GridTableModel;
class GroupingGrid;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// The main window's register: the query's rows, the grid over them, the
// detail panels and the register's own windows.
struct RegisterParts {
    GridTableModel* table = nullptr; // the rows the register's query read
    GroupingGrid* grid = nullptr;    // grid
    QWidget* details = nullptr;      // the three detail panels
    QHash<QString, QWidget*> fields; // detail fields by item column (QLineEdit or QPlainTextEdit)

    RegisterStatement statement;     // the statement the register shows
    QVariantList findParams;         // the values bound to the find statement
    bool searchMode = false;         // showing a find result until the next refresh
    bool loaded = false;             // the table holds what the statement gave (it ran without error)
    bool inPlace = true;             // an operation changes its item's row only (else the statement runs again)
    qint64 currentId = -1;           // the current item
    qint64 detailsId = -1;           // the item whose detail columns are in detailValues
    QHash<QString, QString> detailValues; // the current item's columns that the list does not load

    FindWindow* find = nullptr;
    AboutDialog* about = nullptr;

    static QString summaryGroupName() { return QStringLiteral("gridSummaryGroup2"); }
    // The user manual beside the program.
    static QString manualFileName() { return QStringLiteral("doc_resale.html"); }
};
