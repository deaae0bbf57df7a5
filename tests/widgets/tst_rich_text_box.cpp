// The rich text box through its widget: CR LF coordinates, selections and their RTF, the
// string edits the editor windows make on RTF, files.
#include "lesson/to_txt.h"
#include "platform/fs_error.h"
#include "platform/text_codec.h"
#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_plain.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/program_steps.h"
#include "support/test_program.h"
#include "widgets/rich_text_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace tavrin;
using namespace tavrin::test;

namespace {

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
    void scenarios_data() { fileRows("textbox", ".steps"); }
    // The box's coordinates, selections and edits, and its files: tests/data/textbox. "@check"
    // and "@img" stand for the shipped snippets.
    void scenarios() {
        QFETCH(QString, name);
        TestProgram p;
        RichTextBox box;
        const auto pictures = [](const RichTextBox& of) {
            QList<QByteArray> data;
            for (const QTextImageFormat& image : imagesOf(*of.document()))
                data << pictureOf(of.document(), image).data;
            return data;
        };
        runProgramSteps(
            p, "textbox/" + name, [&] { return p.folder(); },
            [&](const QString& verb, const QString& a, const QString& b, const QString&,
                const QString& where, qsizetype&, bool& known) {
                known = true;
                if (verb == "set-text") {
                    box.setText(a);
                } else if (verb == "set-rtf") {
                    box.setRtf(withSnippets(a));
                } else if (verb == "retype") { // the box's text put back as text
                    box.setText(box.text());
                } else if (verb == "text") {
                    QCOMPARE(box.text(), a);
                } else if (verb == "shown") { // the letters on screen, paragraphs by CR LF
                    QCOMPARE(box.toPlainText().replace(u'\n', QStringLiteral("\r\n")), a);
                } else if (verb == "reads-left-to-right") { // a's characters, laid out
                    // Each place inside the text stands right of the one before it.
                    box.resize(600, 200);
                    box.show();
                    QVERIFY(QTest::qWaitForWindowExposed(&box));
                    const QString plain = box.toPlainText();
                    const int at = int(plain.indexOf(a));
                    QVERIFY2(at >= 0, qPrintable(where));
                    const QTextBlock block = box.document()->findBlock(at);
                    const QTextLine line =
                        block.layout()->lineForTextPosition(at - block.position());
                    QVERIFY2(line.isValid(), qPrintable(where));
                    for (int i = at + 2; i < at + a.size(); ++i)
                        QVERIFY2(line.cursorToX(i - block.position()) >
                                     line.cursorToX(i - 1 - block.position()),
                                 qPrintable(where + ": " + QString::number(i - at)));
                } else if (verb == "type") {
                    typeText(&box, a);
                } else if (verb == "undo") {
                    box.undo();
                } else if (verb == "redo") {
                    box.redo();
                } else if (verb == "text-starts") {
                    QVERIFY2(box.text().startsWith(a), qPrintable(where));
                } else if (verb == "length") {
                    QCOMPARE(box.textLength(), a.toInt());
                } else if (verb == "select") {
                    box.setSelection(a.toInt(), b.toInt());
                } else if (verb == "select-all") {
                    box.selectAll();
                } else if (verb == "caret") {
                    box.setCaret(a.toInt());
                } else if (verb == "selection") {
                    QCOMPARE(box.selectionStart(), a.toInt());
                    QCOMPARE(box.selectionLength(), b.toInt());
                } else if (verb == "selected") { // its text, and its RTF's
                    QCOMPARE(box.selectedText(), a);
                    QCOMPARE(rtfToPlainText(box.selectedRtf()), a);
                } else if (verb == "replace") {
                    box.replaceSelection(a);
                } else if (verb == "replace-rtf") {
                    box.replaceSelectionRtf(withSnippets(a));
                } else if (verb == "selected-rtf-swap") { // in the selection's RTF, a made b
                    QString rtf = box.selectedRtf();
                    QVERIFY2(rtf.contains(a), qPrintable(where));
                    box.replaceSelectionRtf(rtf.replace(a, b));
                } else if (verb == "rtf-swap") { // in the box's RTF, a made b
                    box.setRtf(box.rtf().replace(a, withSnippets(b)));
                } else if (verb == "rtf-has") {
                    QCOMPARE(box.rtf().contains(a), b != "no");
                } else if (verb == "align-right") {
                    box.setSelectionAlignment(Qt::AlignRight | Qt::AlignAbsolute);
                } else if (verb == "right-to-left") {
                    QVERIFY(everyParagraphRightToLeftAndRight(box));
                } else if (verb == "first-left-to-right") {
                    QCOMPARE(box.document()->firstBlock().blockFormat().layoutDirection(),
                             Qt::LeftToRight);
                } else if (verb == "blocks") {
                    QCOMPARE(box.document()->blockCount(), a.toInt());
                } else if (verb == "images") {
                    QCOMPARE(int(imagesOf(*box.document()).size()), a.toInt());
                } else if (verb == "image-size") { // the first picture, as shown
                    const QUrl url(imagesOf(*box.document()).value(0).name());
                    QCOMPARE(box.document()
                                 ->resource(QTextDocument::ImageResource, url)
                                 .value<QImage>()
                                 .size(),
                             QSize(a.toInt(), b.toInt()));
                } else if (verb == "to-txt") {
                    QCOMPARE(ToTXT(p.context(), box.rtf()), a);
                } else if (verb == "reloads-same") { // text and pictures, from the box's RTF
                    RichTextBox copy;
                    copy.setRtf(box.rtf());
                    QCOMPARE(copy.text(), box.text());
                    QCOMPARE(pictures(copy), pictures(box));
                } else if (verb == "load") {
                    box.loadFile(p.path(a));
                } else if (verb == "load-fails") {
                    QVERIFY_THROWS_EXCEPTION(FsError, box.loadFile(p.path(a)));
                } else if (verb == "positions-map") { // back to itself, but inside a CR LF
                    for (int pos = 0; pos <= box.textLength(); ++pos) {
                        const bool insideCrLf = pos > 0 && box.text().at(pos - 1) == u'\r';
                        QCOMPARE(box.toBoxPosition(box.toDocumentPosition(pos)),
                                 insideCrLf ? pos - 1 : pos);
                    }
                } else {
                    known = false;
                }
            });
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

    void clipboardCarriesRtf() {
        RichTextBox from, to;
        from.setRtf(u8("{\\rtf1\\pard\\rtlpar\\qr\\b پر\\b0  رنگ") + shippedSnippet("check.bin") +
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
};

QTEST_MAIN(TestRichTextBox)
#include "tst_rich_text_box.moc"
