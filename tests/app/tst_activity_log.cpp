// The activity log: its two files byte for byte (1256, CR LF), headers, entries, errors,
// messages and runs, and what is left when a file or a folder cannot be written.
#include "app/activity_log.h"
#include "app/messages.h"
#include "app/run_log.h"
#include "platform/text_codec.h"
#include "support/golden.h"
#include "support/program_steps.h"
#include "support/test_program.h"

#include <QtTest>
#include <optional>

using namespace tavrin;
using namespace tavrin::test;

class ActivityLogTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("log", ".steps"); }
    // tests/data/log. "context" logs from then on through a context of its own program folder
    // and second log; "ansi-is" is a file's bytes as the text in 1256.
    void scenarios() {
        QFETCH(QString, name);
        TestProgram p;
        std::optional<Context> own;
        const auto context = [&]() -> Context& { return own ? *own : p.context(); };
        runProgramSteps(
            p, "log/" + name, [&] { return p.folder(); },
            [&](const QString& verb, const QString& a, const QString& b, const QString&,
                const QString&, qsizetype&, bool& known) {
                known = true;
                if (verb == "log") {
                    context().log().LogMe(a);
                } else if (verb == "run-start") {
                    logRunStart(context());
                } else if (verb == "run-end") {
                    logRunEnd(context());
                } else if (verb == "context") {
                    own.emplace(p.path(a), p.path(b), p.clock, p.prompts, p.random);
                } else if (verb == "clock") {
                    p.clock.time = QDateTime::fromString(a, Qt::ISODate);
                } else if (verb == "ansi-is") {
                    QCOMPARE(readBytes(p.path(a)), encodeAnsi(b));
                } else if (verb == "err-text") {
                    context().log().setErrText(a);
                } else if (verb == "err-text-is") {
                    QCOMPARE(context().log().ErrText(), a);
                } else if (verb == "log-err") {
                    context().log().LogErr(a.toInt());
                } else if (verb == "payam") { // a message by its number
                    bepayam(context(), a.toInt());
                } else if (verb == "report-failure") { // a failure's code and its cause
                    reportFailure(context(), a.toInt(), b);
                } else {
                    known = false;
                }
            });
    }
};

QTEST_GUILESS_MAIN(ActivityLogTest)
#include "tst_activity_log.moc"
