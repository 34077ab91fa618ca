#pragma once

class QWidget;

// Screen readers name a field by its label only when the label sits beside
// it under the same parent. A label set as buddy from elsewhere (a heading,
// a box of its own) gives no name; these give each such field its label's
// text as accessible name.
namespace accessible {

// Every input under root that has a buddy label and no accessible name yet
// is named by that label's text (without "&" and a closing colon).
void nameFromBuddies(QWidget* root);

} // namespace accessible
