#pragma once

#include <QStringView>

class QTextCursor;
class QTextDocument;

namespace tavrin {

// Replaces the whole document by the RTF, in one edit block and without undo history.
void setDocumentRtf(QTextDocument* document, QStringView rtf, bool rawBytes = false);

// Puts the RTF in place of the cursor's selection; the cursor ends after the insertion.
// Paragraph formats of the inserted paragraphs are applied; a last paragraph without \par
// joins the text after the cursor and keeps that paragraph's format, unless nothing follows
// the insertion in the document.
void insertRtf(QTextCursor& cursor, QStringView rtf, bool rawBytes = false);

} // namespace tavrin
