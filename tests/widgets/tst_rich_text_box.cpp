// The rich text box through its widget: CR LF coordinates, selections and their RTF, the
// string edits the editor windows make on RTF, files.
#include "lesson/to_txt.h"
#include "platform/fs_error.h"
#include "platform/text_codec.h"
#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_plain.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/test_program.h"
#include "widgets/rich_text_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QChar kObject = QChar::ObjectReplacementCharacter;

// The shipped snippet, read as the formatter reads it: whole, as ANSI text.
QString snippet(const char* name) {
    return decodeAnsi(readBytes(sourceFile(QStringLiteral("resources/") + QLatin1String(name))));
}

bool everyParagraphRightToLeftAndRight(const RichTextBox& box) {
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().layoutDirection() != Qt::RightToLeft ||
            b.blockFormat().alignment() != (Qt::AlignRight | Qt::AlignAbsolute))
            return false;
    }
    return true;
}

} // namespace

class TestRichTextBox : public QObject {
    Q_OBJECT

private slots:
    void textAndPositionsCountCrLfAsTwo() {
        RichTextBox box;
        const QString text = u8("سلام\r\nدنیا\r\n\r\nآخر");
        box.setText(text);
        QCOMPARE(box.text(), text);
        QCOMPARE(box.textLength(), int(text.size()));

        box.setSelection(6, 4);
        QCOMPARE(box.selectionStart(), 6);
        QCOMPARE(box.selectionLength(), 4);
        QCOMPARE(box.selectedText(), u8("دنیا"));
        // Across paragraphs, the selection text and its RTF agree with the box's text.
        box.setSelection(2, 6);
        QCOMPARE(box.selectedText(), text.mid(2, 6));
        QCOMPARE(rtfToPlainText(box.selectedRtf()), text.mid(2, 6));
        box.setSelection(10, 5);
        QCOMPARE(box.selectedText(), u8("\r\n\r\nآ"));
        // Between CR and LF is the end of that paragraph.
        box.setCaret(5);
        QCOMPARE(box.selectionStart(), 4);
        // Beyond the end: clamped.
        box.setSelection(100, 5);
        QCOMPARE(box.selectionStart(), int(text.size()));
        QCOMPARE(box.selectionLength(), 0);
        // Every position maps back to itself, except inside a CR LF.
        for (int pos = 0; pos <= box.textLength(); ++pos) {
            const bool insideCrLf = pos > 0 && text.at(pos - 1) == u'\r';
            QCOMPARE(box.toBoxPosition(box.toDocumentPosition(pos)), insideCrLf ? pos - 1 : pos);
        }
        // Other line ends become paragraphs too.
        box.setText(u8("a\nb\rc"));
        QCOMPARE(box.text(), u8("a\r\nb\r\nc"));
    }

    // Typed text and Enter or Shift+Enter: the text and the caret, a selection made by keys,
    // and a save and reload, all agree.
    void typingKeepsTheCoordinates_data() {
        tableData("text/typing.tsv", {"keys", "text", "caret"});
    }
    void typingKeepsTheCoordinates() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, caret);
        RichTextBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setFocus();
        for (const QString& key : keys.split(u'|')) {
            if (key.endsWith("Enter"))
                QTest::keyClick(&box, Qt::Key_Return,
                                key.startsWith("Shift") ? Qt::ShiftModifier : Qt::NoModifier);
            else
                typeText(&box, key);
        }
        QCOMPARE(box.text(), text);
        QCOMPARE(box.selectionStart(), caret.toInt());
        RichTextBox reloaded;
        reloaded.setRtf(box.rtf());
        QCOMPARE(reloaded.text(), box.text());
        const QString last = text.section("\r\n", -1);
        QTest::keyClick(&box, Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(box.selectedText(), last);
        QCOMPARE(box.selectionStart(), caret.toInt() - last.size());
        QTest::keyClick(&box, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(box.selectionLength(), caret.toInt() - box.selectionStart());
        QVERIFY(box.selectedText().endsWith("\r\n" + last));
    }

    void replacingTheSelection() {
        RichTextBox box;
        box.setText(u8("الف ب ج"));
        box.setSelection(4, 1);
        box.replaceSelection(u8("دو\r\nسه"));
        QCOMPARE(box.text(), u8("الف دو\r\nسه ج"));
        QCOMPARE(box.selectionStart(), 10);
        box.setSelection(0, 3);
        box.replaceSelectionRtf(u8("{\\rtf1\\pard\\b یک\\par دو}"));
        QCOMPARE(box.text(), u8("یک\r\nدو دو\r\nسه ج"));
        // Text that is not RTF goes in as text.
        box.setSelection(0, 0);
        box.replaceSelectionRtf(u8("plain {x}"));
        QVERIFY(box.text().startsWith(u8("plain {x}یک")));
    }

    // The editor's step: select all, turn \ltrpar into \rtlpar in the selection's RTF, put
    // it back, right-align everything.
    void ltrparBecomesRtlpar() {
        RichTextBox box;
        box.setRtf(
            u8("{\\rtf1\\pard\\ltrpar\\ql abc\\par\\pard\\ltrpar\\ql سلام\\par\\pard\\ltrpar x}"));
        QCOMPARE(box.document()->firstBlock().blockFormat().layoutDirection(), Qt::LeftToRight);
        box.selectAll();
        QString rtf = box.selectedRtf();
        QVERIFY(rtf.contains(u8("\\ltrpar")));
        rtf.replace(u8("\\ltrpar"), u8("\\rtlpar"));
        box.replaceSelectionRtf(rtf);
        box.selectAll();
        box.setSelectionAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        box.setCaret(0);
        QCOMPARE(box.text(), u8("abc\r\nسلام\r\nx"));
        QVERIFY(everyParagraphRightToLeftAndRight(box));
        QCOMPARE(box.selectionStart(), 0);
        QCOMPARE(box.selectionLength(), 0);
        QVERIFY(!box.rtf().contains(u8("\\ltrpar")));
    }

    // The correct-answer mark: "%%%" in the text, replaced in the RTF by the check snippet.
    void placeholderReplacedBySnippet() {
        const QString check = snippet("check.bin");
        QVERIFY(check.startsWith(u8("{\\pict\\pngblip")));
        RichTextBox box;
        box.setText(u8("الف\r\nب\r\nج"));
        box.setCaret(5);
        box.replaceSelection(u8("%%%"));
        QString rtf = box.rtf();
        QVERIFY(rtf.contains(u8("%%%")));
        rtf.replace(u8("%%%"), check).replace(u8("\\ltrpar"), u8("\\rtlpar"));
        box.setRtf(rtf);
        QCOMPARE(box.text(), u8("الف\r\n") + kObject + u8("ب\r\nج"));
        QCOMPARE(imagesOf(*box.document()).size(), 1);
        const QImage shown =
            box.document()
                ->resource(QTextDocument::ImageResource, QUrl(imagesOf(*box.document())[0].name()))
                .value<QImage>();
        QCOMPARE(shown.size(), QSize(20, 20));
        TestProgram program;
        QCOMPARE(ToTXT(program.context(), box.rtf()), u8("الف\r\nب\r\nج"));
        // Replacing the content by its own text drops the mark.
        box.setText(box.text());
        QCOMPARE(box.text(), u8("الف\r\nب\r\nج"));
        QVERIFY(imagesOf(*box.document()).isEmpty());
    }

    // The image mark: the snippet inserted as rich text at the caret, then "{N}".
    void imageSnippetAtTheCaret() {
        const QString img = snippet("img.bin");
        RichTextBox box;
        box.setText(u8("گزینه"));
        box.setCaret(0);
        box.replaceSelectionRtf(img);
        box.replaceSelection(u8("{0}"));
        box.replaceSelection(u8("\r\n"));
        QCOMPARE(box.text(), kObject + u8("{0}\r\nگزینه"));
        QCOMPARE(box.document()->blockCount(), 2);
        // The picture survives the box's own RTF and a reload.
        RichTextBox copy;
        copy.setRtf(box.rtf());
        QCOMPARE(copy.text(), box.text());
        QCOMPARE(pictureOf(copy.document(), imagesOf(*copy.document())[0]).data,
                 pictureOf(box.document(), imagesOf(*box.document())[0]).data);
    }

    void clipboardCarriesRtf() {
        RichTextBox from, to;
        from.setRtf(u8("{\\rtf1\\pard\\rtlpar\\qr\\b پر\\b0  رنگ") + snippet("check.bin") +
                    u8("\\par دوم}"));
        from.selectAll();
        from.copy();
        to.setFocus();
        QTest::keyClick(&to, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(to.text(), from.text());
        QCOMPARE(imagesOf(*to.document()).size(), 1);
        QVERIFY(to.document()->firstBlock().begin().fragment().charFormat().fontWeight() >=
                QFont::Bold);
        QCOMPARE(QGuiApplication::clipboard()->text(), u8("پر رنگ\nدوم"));
        // RTF another editor put there, as raw 1256 bytes.
        auto* mime = new QMimeData;
        mime->setData(
            QStringLiteral("text/rtf"),
            "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 T;}}\\f0\\i \xd3\xe1\xc7\xe3}");
        mime->setText(QStringLiteral("plain"));
        QGuiApplication::clipboard()->setMimeData(mime);
        to.setCaret(0);
        QTest::keyClick(&to, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(to.text().startsWith(u8("سلام")));
        QVERIFY(to.document()->firstBlock().begin().fragment().charFormat().fontItalic());
    }

    void loadingFiles() {
        TestProgram program;
        RichTextBox box;
        // RichEdit writes Persian as raw 1256 bytes.
        writeBytes(program.path("a.rtf"),
                   "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 "
                   "Tahoma;}}\\pard\\rtlpar\\qr\\f0 \xd3\xe1\xc7\xe3\\par }");
        box.loadFile(program.path("a.rtf"));
        QCOMPARE(box.text(), u8("سلام\r\n"));
        QVERIFY(everyParagraphRightToLeftAndRight(box));
        // A file that is not RTF is shown as ANSI text.
        writeBytes(program.path("b.txt"), "\xd3\xe1\xc7\xe3\r\nabc");
        box.loadFile(program.path("b.txt"));
        QCOMPARE(box.text(), u8("سلام\r\nabc"));
        QVERIFY_THROWS_EXCEPTION(FsError, box.loadFile(program.path("missing.rtf")));
        QCOMPARE(box.text(), u8("سلام\r\nabc"));
    }
};

QTEST_MAIN(TestRichTextBox)
#include "tst_rich_text_box.moc"
