#pragma once

#include <QString>

// One column of a GroupingGrid: which field of the flat source model it shows,
// how its values are drawn, and what the clerk may do with it.
struct GridColumn {
    enum class Kind {
        Text,    // shown as is
        Integer, // right aligned
        Date,    // "dd.MM.yyyy"; the source may hold a QDate or ISO text
        Money,   // "# ##0.00", summed in whole stotinki
        Check,   // "Да" / "Не"
    };

    QString name;     // object name of the column, e.g. "gridDogNo"
    QString caption;  // header text
    int field = -1;   // column of the source model
    Kind kind = Kind::Text;
    bool visible = true;
    bool groupable = true;  // may be dragged to the group panel
    bool footerSum = false; // sum shown in the footer (Money columns)
    QString summaryGroup;   // name of the summary set its group rows show; empty: none
};
