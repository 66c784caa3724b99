#pragma once

class QEvent;
class QKeyEvent;
class QObject;

// The character code a key press types into a text box, as the numeric boxes
// judge it: 3 for copy, 22 for paste, 24 for cut, 8 for Backspace, 13 for
// Enter, the control code of a Ctrl+letter, otherwise the code of the typed
// character. -1 for a key that types nothing (arrows, Delete, Home, Tab, ...),
// which the boxes handle as usual.
int KeyAscii(const QKeyEvent &event);

// The key filter of the numeric boxes: sets key to 0 (discarded) unless it is
// Ctrl+C (3), Backspace (8), Ctrl+V (22), Ctrl+X (24) or a digit "0" to "9".
void DigitKeyFilter(int &key);

// Whether a numeric box discards this key press (DigitKeyFilter of its KeyAscii).
bool DiscardsDigitKey(const QKeyEvent &event);

// The event filter of a numeric box, with its WA_InputMethodEnabled off:
// consumes the key presses DigitKeyFilter discards and keeps input methods
// out. Composed text (a dead key, a compose sequence, an input method editor)
// arrives without a key press, so the box answers that it takes none, which
// QLineEdit does not do of itself whatever the attribute says, and drops any
// that still comes unless it is plain digits. Returns whether event is consumed.
bool FilterDigitBoxEvent(QObject &box, QEvent &event);
