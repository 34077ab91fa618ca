#pragma once

#include <QString>

// Qt's own Bulgarian texts (standard buttons, the print dialog and preview,
// the file dialogs). Only texts: the process keeps its number and date
// formats (core/Formats.h), and month and day names come from the widgets
// that show them (widgets/BulgarianDates.h).
namespace qttranslation {

// Installs Qt's Bulgarian translation into the running application. Returns
// the file loaded, or an empty text when none was found (Qt's English texts
// stay then).
QString installBulgarian();

// Where the translation is looked for: Qt's translations folder.
QString searchFolder();

} // namespace qttranslation
