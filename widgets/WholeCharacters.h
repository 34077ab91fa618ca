#pragma once

class QLineEdit;

// A line edit's maximum length counts UTF-16 units, and Qt cuts what is typed
// or pasted at that limit even inside a character outside the Basic
// Multilingual Plane. With this, such a half character is dropped at once, so
// the field never holds a broken character.
void keepWholeCharacters(QLineEdit* edit);
