#pragma once

#include <QStringList>

class QWidget;

namespace tavrin::test {

// Every text a window and its children draw, as the painter receives it: after the style
// and the delegates have done their part, so what a person reads. The boxes that hold the
// author's own text while it is edited (rich text and line edits, but spin boxes) are left
// out, as are hidden widgets.
QStringList drawnTexts(QWidget* window);

// The drawn texts a person would read as not Persian: those holding an Arabic yeh or kaf,
// and those with a Latin digit and no Latin letter in them or in the run drawn beside them (a
// number in Persian text).
QStringList notPersian(const QStringList& drawn);

} // namespace tavrin::test
