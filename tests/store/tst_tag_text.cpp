#include "store/tag_text.h"
#include "support/test_program.h"

#include <QtTest>

using namespace tavrin;
using tavrin::test::TestProgram;

namespace {

const QString kProjectFile = QStringLiteral(
    "<XML:? Project: Tavrin CD Maker/>\r\n<Project>\r\n\t<Proj Name=\"My exam\" "
    "DateCreated=\"1386/9/13 9:05\">\r\n</Project>\r\n<Reshteh>\r\n\t<Count Adad=\"0\">\r\n"
    "</Reshteh>\r\n<Settings>\r\n\t<Music>1</Music>\r\n\t<Music1 Path=\"C:\\Tool\\Resources\\"
    "MySound1.mp3\">\r\n\t<Olgoo>1</Olgoo>\r\n</Settings>\r\n");

const QString kFields = QStringLiteral(
    "<Reshteh>\r\n\t<Count Adad=\"1\">\r\n\t<Resh1 Name=\"Physics\" DateCreated=\"x\">\r\n"
    "\t\t<Count Adad=\"1\">\r\n\t<Dars1 Name=\"One\" DateCreated=\"y\">\r\n</Resh1 >\r\n"
    "</Reshteh>\r\n");

QString lessons(int n) {
    QString s = QStringLiteral("<Resh1 Name=\"F\">\r\n\t\t<Count Adad=\"%1\">\r\n").arg(n);
    for (int i = 1; i <= n; ++i)
        s += QStringLiteral("\t<Dars%1 Name=\"L%1\">\r\n").arg(i);
    return s + QStringLiteral("</Resh1 >\r\n");
}

} // namespace

class TagTextTest : public QObject {
    Q_OBJECT
private slots:
    void readsBlocksByPrefix() {
        TestProgram p;
        QCOMPARE(Wsre(p.context(), kProjectFile, "Settings"),
                 QStringLiteral("\r\n\t<Music>1</Music>\r\n\t<Music1 Path=\"C:\\Tool\\Resources\\"
                                "MySound1.mp3\">\r\n\t<Olgoo>1</Olgoo>\r\n"));
        // "<Music" finds the Music block only because it stands before Music1.
        QCOMPARE(Wsre(p.context(), kProjectFile, "Music"), QStringLiteral("1"));
        // A field's tag with its trailing space: the content starts inside the opening.
        QCOMPARE(Wsre(p.context(), kFields, "Resh1 "),
                 QStringLiteral("ame=\"Physics\" DateCreated=\"x\">\r\n\t\t<Count Adad=\"1\">\r\n"
                                "\t<Dars1 Name=\"One\" DateCreated=\"y\">\r\n"));
        QCOMPARE(Wsre(p.context(), kProjectFile, "Nothing"), QString());
        QVERIFY(p.entries().isEmpty());
    }

    void missingClosingTagIsFailure41() {
        TestProgram p;
        QCOMPARE(Wsre(p.context(), "<Projects>\r\n\t<Count Adad=\"0\">\r\n", "Projects"),
                 QString());
        QCOMPARE(p.entries(),
                 QStringList{
                     "Error occurred => Error number is 41 (Closing tag </Projects> not found)"});
    }

    void readsAttributes() {
        TestProgram p;
        const QString both = "<Projects>\r\n\t<Proj10 Name=\"Ten\">\r\n\t<Proj1 Name=\"One\" "
                             "Path=\"C:\\a\">\r\n</Projects>\r\n";
        QCOMPARE(Wste(p.context(), both, "Proj1", "Name"), QStringLiteral("One"));
        QCOMPARE(Wste(p.context(), both, "Proj10", "Name"), QStringLiteral("Ten"));
        QCOMPARE(Wste(p.context(), both, "Proj1", "Path"), QStringLiteral("C:\\a"));
        QCOMPARE(Wste(p.context(), both, "Proj2", "Name"), QString());
        QCOMPARE(Wste(p.context(), both, "Proj1", "DateCreated"), QString());
        QVERIFY(p.entries().isEmpty());
        QCOMPARE(Wste(p.context(), "<Proj1 Name=\"cut", "Proj1", "Name"), QString());
        QCOMPARE(p.entries().size(), 1);
        QVERIFY(p.entries()[0].startsWith("Error occurred => Error number is 88 ("));
    }

    void addNodeAppendsAddsAndUpdates() {
        TestProgram p;
        QString doc = "<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n";
        doc = AddNode(p.context(), doc, "Projects", "Proj1", "Name", "A");
        doc = AddNode(p.context(), doc, "Projects", "Proj1", "Path", "C:\\A");
        doc = AddNode(p.context(), doc, "Projects", "Count", "Adad", "1");
        doc = AddNode(p.context(), doc, "Projects", "/Resh1", "", "");
        QCOMPARE(doc, QStringLiteral("<Projects>\r\n\t<Count Adad=\"1\">\r\n\t<Proj1 Name=\"A\" "
                                     "Path=\"C:\\A\">\r\n\t</Resh1 >\r\n</Projects>\r\n"));
        QCOMPARE(p.entries(), (QStringList{"Node Proj1 added.", "Value Path added.",
                                           "Value Adad updated.", "Node /Resh1 added."}));
    }

    void addNodeChangesOnlyTheBlocksOwnCount() {
        TestProgram p;
        const QString changed = AddNode(p.context(), kFields, "Reshteh", "Count", "Adad", "2");
        QString expected = kFields;
        expected.replace("\t<Count Adad=\"1\">\r\n\t<Resh1", "\t<Count Adad=\"2\">\r\n\t<Resh1");
        QCOMPARE(changed, expected);
        QVERIFY(changed.contains("\t\t<Count Adad=\"1\">"));
    }

    void addNodeLeavesDocumentWhenParentIsMissingOrEmpty() {
        TestProgram p;
        QCOMPARE(AddNode(p.context(), kFields, "Projects", "Proj1", "Name", "A"), kFields);
        const QString empty = "<Projects></Projects>";
        QCOMPARE(AddNode(p.context(), empty, "Projects", "Proj1", "Name", "A"), empty);
        const QString broken = "<Projects>\r\n\t<Count Adad=\"0\"\r\n</Projects>";
        QCOMPARE(AddNode(p.context(), broken, "Projects", "Count", "Adad", "1"), broken);
        QVERIFY(p.entries().last().startsWith("Error occurred => Error number is 92 ("));
    }

    void delNodeRemovesAndRenumbers() {
        TestProgram p;
        const QString doc = lessons(4);
        const QString out = DelNode(p.context(), doc, "Resh1 ", "Dars", 2, 3);
        QCOMPARE(out, QStringLiteral("<Resh1 Name=\"F\">\r\n\t\t<Count Adad=\"4\">\r\n\t<Dars1 "
                                     "Name=\"L1\">\r\n\t\r\n\t<Dars2 Name=\"L3\">\r\n\t<Dars3 "
                                     "Name=\"L4\">\r\n</Resh1 >\r\n"));
        QCOMPARE(p.entries(), (QStringList{"Node Dars2 deleted.", "2 node(s) sorted."}));
        // The last one: nothing to renumber.
        DelNode(p.context(), doc, "Resh1 ", "Dars", 4, 3);
        QCOMPARE(p.entries().mid(2), (QStringList{"Node Dars4 deleted.", "0 node(s) sorted."}));
        // Missing element: unchanged, nothing logged.
        QCOMPARE(DelNode(p.context(), doc, "Resh1 ", "Dars", 9, 3), doc);
        QCOMPARE(p.entries().size(), 4);
    }

    void delFullNodeRemovesAFieldWithItsLessons() {
        TestProgram p;
        const QString doc = "<Reshteh>\r\n\t<Count Adad=\"3\">\r\n"
                            "\t<Resh1 Name=\"A\">\r\n\t\t<Count Adad=\"1\">\r\n\t<Dars1 "
                            "Name=\"x\">\r\n</Resh1 >\r\n"
                            "\t<Resh2 Name=\"B\">\r\n\t\t<Count Adad=\"0\">\r\n</Resh2 >\r\n"
                            "\t<Resh3 Name=\"C\">\r\n\t\t<Count Adad=\"0\">\r\n</Resh3 >\r\n"
                            "</Reshteh>\r\n";
        const QString out = DelFullNode(p.context(), doc, "Reshteh", "Resh", 1, 2);
        QCOMPARE(out,
                 QStringLiteral("<Reshteh>\r\n\t<Count Adad=\"3\">\r\n\t\r\n"
                                "\t<Resh1 Name=\"B\">\r\n\t\t<Count Adad=\"0\">\r\n</Resh1 >\r\n"
                                "\t<Resh2 Name=\"C\">\r\n\t\t<Count Adad=\"0\">\r\n</Resh2 >\r\n"
                                "</Reshteh>\r\n"));
        QCOMPARE(p.entries(), (QStringList{"Full node Resh1 deleted.", "2 full node(s) sorted."}));
        const QString unclosed = "<Reshteh>\r\n\t<Resh1 Name=\"A\">\r\n</Reshteh>\r\n";
        QCOMPARE(DelFullNode(p.context(), unclosed, "Reshteh", "Resh", 1, 0), unclosed);
        QVERIFY(p.entries().last().startsWith("Error occurred => Error number is 202 ("));
    }
};

QTEST_GUILESS_MAIN(TagTextTest)
#include "tst_tag_text.moc"
