#pragma once

namespace ops {
struct Result;
}
struct Item;
class QDialog;
class QLineEdit;
class QWidget;

// What the operations' dialogs share.
namespace dialogs {

// Puts the focus into a field with its whole text selected, ready to be typed over.
void focusAndSelect(QLineEdit* e);

// Ends an operation's confirm: true when it was booked. A refusal means the
// item was changed at another workstation since the register was built:
// nothing was booked, the clerk is told, *stale is set and the dialog closes.
// An engine error leaves the dialog open with everything typed for another try.
bool booked(QDialog* dialog, const ops::Result& r, bool* stale);

// A read-only line naming the appliance an amount is for ("eItem"): shown by
// the payout and the price change above their amounts.
QLineEdit* itemLine(QWidget* parent);
// Fills it: contract number, appliance and consignor, all of it in view.
void showItem(QLineEdit* line, const Item& item);

} // namespace dialogs
