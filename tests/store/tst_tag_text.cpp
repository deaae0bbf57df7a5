#include "store/tag_text.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QtTest>

using namespace tavrin;
using tavrin::test::tableData;
using tavrin::test::TestProgram;

class TagTextTest : public QObject {
    Q_OBJECT
private slots:
    void procedures_data() {
        tableData("store/tag_text.tsv", {"procedure", "document", "arguments", "result", "log"});
    }
    void procedures() {
        QFETCH(QString, procedure);
        QFETCH(QString, document);
        QFETCH(QString, arguments);
        QFETCH(QString, result);
        QFETCH(QString, log);
        TestProgram p;
        Context& c = p.context();
        const QStringList a = arguments.split(u'|');
        const QString out = procedure == "Wsre"      ? Wsre(c, document, a[0])
                            : procedure == "Wste"    ? Wste(c, document, a[0], a[1])
                            : procedure == "AddNode" ? AddNode(c, document, a[0], a[1], a[2], a[3])
                            : procedure == "DelNode"
                                ? DelNode(c, document, a[0], a[1], a[2].toInt(), a[3].toInt())
                                : DelFullNode(c, document, a[0], a[1], a[2].toInt(), a[3].toInt());
        if (result != "*")
            QCOMPARE(out, result);
        const QStringList entries = p.entries();
        if (log == "*") // not looked at
            return;
        if (log.startsWith(u'*')) {
            QVERIFY2(entries.value(entries.size() - 1).startsWith(log.mid(1)),
                     qPrintable(entries.join('\n')));
            return;
        }
        const QStringList lines = log.isEmpty() ? QStringList() : log.split(u'|');
        QCOMPARE(entries.size(), lines.size());
        for (qsizetype n = 0; n < lines.size(); ++n)
            QVERIFY2(entries[n].startsWith(lines[n]), qPrintable(entries[n]));
    }
};

QTEST_GUILESS_MAIN(TagTextTest)
#include "tst_tag_text.moc"
