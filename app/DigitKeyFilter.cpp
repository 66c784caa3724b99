#include "app/DigitKeyFilter.h"

#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QKeySequence>

int KeyAscii(const QKeyEvent &event)
{
    if (event.matches(QKeySequence::Copy))
        return 3;
    if (event.matches(QKeySequence::Paste))
        return 22;
    if (event.matches(QKeySequence::Cut))
        return 24;

    switch (event.key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return -1; // focus moves and Delete edits; neither types a character
    default:
        break;
    }

    const QString text = event.text();
    if (text.isEmpty())
        return -1;
    const char16_t c = text.at(0).unicode();
    if (event.modifiers().testFlag(Qt::ControlModifier)) {
        // Some platforms report Ctrl+letter as the letter itself.
        if (c >= u'a' && c <= u'z')
            return c - u'a' + 1;
        if (c >= u'A' && c <= u'Z')
            return c - u'A' + 1;
    }
    return c == 0x7f ? -1 : int(c);
}

void DigitKeyFilter(int &key)
{
    const bool digit = key >= '0' && key <= '9';
    if (!digit && key != 3 && key != 8 && key != 22 && key != 24)
        key = 0;
}

bool DiscardsDigitKey(const QKeyEvent &event)
{
    int key = KeyAscii(event);
    if (key < 0)
        return false;
    DigitKeyFilter(key);
    return key == 0;
}

namespace {

bool IsDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

bool FilterDigitBoxEvent(QObject &box, QEvent &event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
        return DiscardsDigitKey(static_cast<const QKeyEvent &>(event));
    case QEvent::InputMethodQuery: {
        // The box answers the query; only its answer on input methods is replaced.
        box.event(&event);
        auto &query = static_cast<QInputMethodQueryEvent &>(event);
        if (query.queries().testFlag(Qt::ImEnabled))
            query.setValue(Qt::ImEnabled, false);
        return true;
    }
    case QEvent::InputMethod: {
        const auto &input = static_cast<const QInputMethodEvent &>(event);
        return !input.preeditString().isEmpty() || !IsDigits(input.commitString());
    }
    default:
        return false;
    }
}
