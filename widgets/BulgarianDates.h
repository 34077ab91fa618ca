#pragma once

class QDateEdit;

// A date editor shows and parses its dates in the program's format
// (core/Formats.h, digits only), while its calendar names the months and
// days in Bulgarian and starts the week on Monday. Only the editor and its
// calendar get the Bulgarian locale: numbers elsewhere keep ".".
void showBulgarianDateNames(QDateEdit* editor);
