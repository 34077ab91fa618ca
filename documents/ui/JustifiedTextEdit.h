#pragma once

#include <QTextEdit>

// The rich-text editor of the sale contract: a text edit that can lay its
// paragraphs out justified.
class JustifiedTextEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit JustifiedTextEdit(QWidget* parent = nullptr);

    // Justifies the selected paragraphs (all of them when nothing is
    // selected), leaves the cursor at the start without a selection and
    // switches word wrap on.
    void setupJustification();
};
