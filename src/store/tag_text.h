#pragma once

#include <QString>

namespace tavrin {

class Context;

// The data files are held whole in one string and changed only through these five
// procedures. They find tags by plain text search, so their blind spots are part of the
// file format. When an element or parent is missing, or a step fails, the document comes
// back unchanged: callers write the result to disk.

// Content of the first block whose opening starts with "<" + tag (failure code 41).
QString Wsre(Context& context, const QString& document, const QString& tag);
// Value of an attribute of the first element that opens with "<" + tag + " " (code 88).
QString Wste(Context& context, const QString& document, const QString& tag,
             const QString& attribute);
// Appends an element to the parent's content, or adds or changes one attribute (code 92).
QString AddNode(Context& context, const QString& document, const QString& parentTag,
                const QString& elementTag, const QString& attribute, const QString& value);
// Sets one attribute of an element of the parent to exactly this value, touching nothing
// else (AddNode replaces every occurrence of the old value's text in the opening, the tag
// name included); an element that is missing is appended as AddNode does (code 92).
QString SetValue(Context& context, const QString& document, const QString& parentTag,
                 const QString& elementTag, const QString& attribute, const QString& value);
// Sets the text of a plain block (<Music>1</Music>) inside the parent; a block that is
// missing goes first in the parent, where the prefix search finds it before any element
// whose name begins with its own (code 92); with last, after the parent's other elements
// (for a name that no other begins with, such as the exam settings).
QString SetBlockText(Context& context, const QString& document, const QString& parentTag,
                     const QString& blockTag, const QString& text, bool last = false);
// Removes the opening of prefix + number and renumbers the later elements (code 94).
QString DelNode(Context& context, const QString& document, const QString& parentTag,
                const QString& prefix, int number, int remainingCount);
// Removes prefix + number through its closing tag and renumbers (code 202).
QString DelFullNode(Context& context, const QString& document, const QString& parentTag,
                    const QString& prefix, int number, int remainingCount);

} // namespace tavrin
