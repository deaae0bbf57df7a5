#pragma once

#include <QString>
#include <Qt>

class QTextDocument;

namespace tavrin {

// Right alignment that stays on the right in a right-to-left window: without
// AlignAbsolute Qt mirrors AlignRight to the left edge there.
inline constexpr Qt::Alignment kAlignRight = Qt::AlignRight | Qt::AlignAbsolute;

// A text as the windows show it: Persian letters, non-joiners and Persian digits (a number
// beside a Latin letter keeps its digits). Applied where text is drawn, never to what is kept.
QString shownInWindows(const QString& text);
// A line already in Persian letters (an outline's) with its formulas isolated left to right.
QString formulasIsolated(const QString& text);

// A read-only document (the help) shown the same way: each run of text mapped in place, its
// formats kept. Never for a document the author edits or saves.
void showDocumentInPersian(QTextDocument* document);

// True when the text holds any right-to-left letter (Persian, Arabic, Hebrew).
bool holdsRightToLeft(const QString& text);

// Makes the application speak right-to-left Persian, once: every control text holding a
// Persian letter is laid out as a right-to-left paragraph whatever its first letter (Qt
// would go by the first strong letter, so "Tavrin ـ نگارش 1" would read left to right),
// and Qt's own buttons and context menus use Qt's Persian translation.
void preparePersianUi();

} // namespace tavrin
