#pragma once

class QListWidget;

// Keeps the current line of a single-selection list selected. Qt lets
// Ctrl+click clear the selection while the line stays current, and the
// commands that act on the current line would then act on a line the user no
// longer sees selected.
void KeepLineSelected(QListWidget &list);
