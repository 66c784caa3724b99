#pragma once

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

// Small functions that create the windows' controls under the names the rest of
// the program (and its tests) find them by.

template<typename W> W *MakeControl(const char *name, QWidget *parent)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

inline QLabel *MakeLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = MakeControl<QLabel>(name, parent);
    label->setText(text);
    return label;
}

inline QPushButton *MakeButton(const char *name, const QString &text, QWidget *parent)
{
    auto *button = MakeControl<QPushButton>(name, parent);
    button->setText(text);
    return button;
}

inline QGroupBox *MakeFrame(const char *name, const QString &title, QWidget *parent)
{
    auto *frame = MakeControl<QGroupBox>(name, parent);
    frame->setTitle(title);
    return frame;
}

// Names a box or list for screen readers by the label beside it.
inline void LabelFor(QLabel *label, QWidget *control)
{
    label->setBuddy(control);
    control->setAccessibleName(label->text());
}

// A row of controls with the small spacing the crowded frames need.
inline QHBoxLayout *MakeRow(int spacing = 4)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    return row;
}

// The rows of a frame, close to its edges.
inline QVBoxLayout *MakeRows(QWidget *frame)
{
    auto *rows = new QVBoxLayout(frame);
    rows->setContentsMargins(6, 2, 6, 4);
    rows->setSpacing(4);
    return rows;
}

// Fixes a box's width to hold characters digits (or letters) of its font.
inline void FitWidth(QWidget *box, int characters, QChar sample = u'0')
{
    const int text = box->fontMetrics().horizontalAdvance(QString(characters, sample));
    box->setFixedWidth(text + 12);
}
