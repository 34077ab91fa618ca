#pragma once

#include "documents/SaleContract.h"

#include <QDialog>

class QPushButton;
class QPrinter;
class JustifiedTextEdit;

// The sale contract: the shop's template "salecontract.rtf" beside the
// program is loaded, its placeholders filled with the sale's values, and the
// result shown in the print preview on one A4 page. The sale runs the steps
// by calling loadTemplate() and preview(); the window itself is not shown.
class SaleContractWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTemplateName = "salecontract.rtf";

    explicit SaleContractWindow(QWidget* parent = nullptr);

    void setValues(const SaleContractValues& values);
    const SaleContractValues& values() const { return m_values; }

    // Folder holding the template; the program's folder unless set.
    void setTemplateDir(const QString& dir);
    QString templatePath() const;

    // Loads the template and fills it; shows a message when there is none.
    void loadTemplate();
    // Replaces the placeholders in the loaded template.
    void fillPlaceholders();
    // Opens the print preview of the filled contract (nothing when no
    // template could be loaded).
    void preview();

    bool isLoaded() const { return m_loaded; }
    int replacedCount() const { return m_replaced; }

    // The line at the foot of the printed contract naming the program.
    static QString footerText();
    // Page set-up of the preview: A4 portrait, margins 15/10/10/10 mm.
    static void setupPage(QPrinter* printer);

private:
    JustifiedTextEdit* m_contractEdit;
    QPushButton* m_loadButton;
    QPushButton* m_replaceButton;
    QPushButton* m_printButton;
    SaleContractValues m_values;
    QString m_templateDir;
    bool m_loaded = false;
    int m_replaced = 0;
};
