#include "export/disc_check.h"

#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

namespace tavrin {

namespace {

constexpr int kJolietName = 103;

class Checker {
public:
    explicit Checker(QString folder) : root_(std::move(folder)) {}

    DiscCheck run() {
        if (!QFileInfo(root_).isDir())
            throw FsError::at(QStringLiteral("Path not found"), root_);
        top();
        names();
        playerData();
        quizFiles();
        size();
        std::stable_sort(check_.findings.begin(), check_.findings.end(),
                         [](const Finding& a, const Finding& b) { return a.kind < b.kind; });
        return check_;
    }

private:
    void add(Finding::Kind kind, const QString& about, const QString& text) {
        check_.findings.append({kind, about, text});
    }
    bool exists(const QString& relative) const {
        return QFileInfo(root_ + u'/' + relative).isFile();
    }

    void top() {
        for (const char* name : {"index.html", "autorun.inf"}) {
            if (!exists(QLatin1String(name)))
                add(Finding::Error, QLatin1String(name),
                    QStringLiteral(u"در بالاترين شاخه لوح نيست"));
        }
    }

    // Every file and folder: its name on a disc, and its size.
    void names() {
        QHash<QString, QString> seen; // folder + name in lower case -> the name
        QDirIterator it(root_,
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        static const QRegularExpression refused(QStringLiteral("[\\x00-\\x1F*/:;?\\\\\"<>|]"));
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const QString relative = QDir(root_).relativeFilePath(info.filePath());
            const QString name = info.fileName();
            if (info.isSymLink() || !(info.isFile() || info.isDir()))
                add(Finding::Error, relative,
                    QStringLiteral(u"نه فايل است نه شاخه (پيوند، لوله يا دستگاه)؛ لوح آن را "
                                   u"نمي‌پذيرد"));
            else if (info.isFile())
                check_.totalBytes += info.size();
            if (name.size() > kJolietName)
                add(Finding::Error, relative,
                    QStringLiteral(u"نام بيش از %1 حرف است و روي لوح كوتاه مي\u200Cشود")
                        .arg(kJolietName));
            if (refused.match(name).hasMatch())
                add(Finding::Error, relative,
                    QStringLiteral(u"نام حرفي دارد كه لوح نمي\u200Cپذيرد"));
            const QString key = QFileInfo(relative).path() + u'/' + name.toLower();
            if (seen.contains(key))
                add(Finding::Error, relative,
                    QStringLiteral(u"با «%1» فقط در بزرگي و كوچكي حروف فرق دارد")
                        .arg(seen.value(key)));
            else
                seen.insert(key, name);
        }
    }

    // The lessons, questions and files of Data/quizdata.js.
    void playerData() {
        const QString path = QStringLiteral("Data/quizdata.js");
        if (!exists(path)) {
            add(Finding::Error, path, QStringLiteral(u"داده\u200Cهاي پخش\u200Cكننده نيست"));
            return;
        }
        const QString script = QString::fromUtf8(readWholeFile(root_ + u'/' + path));
        const qsizetype from = script.indexOf(u'=');
        const qsizetype to = script.lastIndexOf(u';');
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(
            from < 0 || to <= from ? QByteArray() : script.mid(from + 1, to - from - 1).toUtf8(),
            &error);
        if (error.error != QJsonParseError::NoError || !json.isObject()) {
            add(Finding::Error, path, QStringLiteral(u"داده\u200Cهاي پخش\u200Cكننده خوانا نيست"));
            return;
        }
        const QJsonObject data = json.object();
        const QJsonArray lessons = data.value(QStringLiteral("lessons")).toArray();
        if (lessons.isEmpty())
            add(Finding::Warning, path, QStringLiteral(u"لوح درسي ندارد"));
        // A lesson not yet made has no quiz file: the CD leaves it out, said here.
        for (const QJsonValue& title : data.value(QStringLiteral("leftOut")).toArray())
            add(Finding::Warning, QStringLiteral(u"درس «%1»").arg(title.toString()),
                QStringLiteral(u"فایل آزمون ندارد (ساخته نشده است) و روی لوح نیامد"));
        for (const QJsonValue& l : lessons) {
            const QJsonObject lesson = l.toObject();
            const QString title = lesson.value(QStringLiteral("title")).toString();
            const QJsonArray questions = lesson.value(QStringLiteral("questions")).toArray();
            if (questions.isEmpty())
                add(Finding::Error, QStringLiteral(u"درس «%1»").arg(title),
                    QStringLiteral(u"سؤالي ندارد"));
            int number = 0;
            for (const QJsonValue& v : questions) {
                const QJsonObject q = v.toObject();
                const QString about = QStringLiteral(u"درس «%1»، سؤال %2").arg(title).arg(++number);
                const int answers = int(q.value(QStringLiteral("answers")).toArray().size());
                const int correct = q.value(QStringLiteral("correct")).toInt();
                // A text to read (a description): the player shows it without a score.
                if (answers == 0)
                    add(Finding::Note, about,
                        QStringLiteral(u"بدون گزينه: متني براي خواندن، بي\u200Cنمره"));
                else if (q.value(QStringLiteral("unmarked")).toBool())
                    add(Finding::Warning, about,
                        QStringLiteral(u"پاسخ صحيح معين نشده است؛ اين سؤال نمره نمي\u200Cگيرد"));
                else if (correct < 1 || correct > answers)
                    add(Finding::Error, about, QStringLiteral(u"بدون پاسخ صحيح"));
                if (const QString own = q.value(QStringLiteral("ownLabels")).toString();
                    !own.isEmpty())
                    add(Finding::Note, about,
                        QStringLiteral(u"شماره و برچسب‌های خود متن برداشته شد، "
                                       u"چون "
                                       u"پخش‌کننده "
                                       u"خودش شماره و حرف می‌گذارد: %1")
                            .arg(own));
                const QJsonObject images = q.value(QStringLiteral("images")).toObject();
                for (auto it = images.begin(); it != images.end(); ++it)
                    named(about, it.value());
                for (const char* kind : {"attach", "sound", "film", "back"})
                    named(about, q.value(QLatin1String(kind)));
            }
        }
        const QJsonObject media = data.value(QStringLiteral("media")).toObject();
        named(QStringLiteral(u"پس\u200Cزمينه لوح"), media.value(QStringLiteral("back")));
        for (const QJsonValue& m : media.value(QStringLiteral("music")).toArray())
            named(QStringLiteral(u"موزيك لوح"), m);
    }

    // A file the player data names; null where the export found none to name.
    void named(const QString& about, const QJsonValue& value) {
        if (!value.isString())
            return;
        const QString file = value.toString();
        if (!isInside(root_ + u'/' + file, root_))
            add(Finding::Error, about, QStringLiteral(u"فايل «%1» بيرون از لوح است").arg(file));
        else if (!exists(file))
            add(Finding::Error, about, QStringLiteral(u"فايل «%1» در لوح نيست").arg(file));
    }

    // The files each quiz file names, and the lessons of the index.
    void quizFiles() {
        const QString xml = root_ + QStringLiteral("/Data/_xml/");
        static const QRegularExpression line(
            QStringLiteral("^\t\t<(img\\d+|attach|sound|film|back)>(.*)</\\1>$"));
        static const QRegularExpression indexLine(
            QStringLiteral("^\t<quiz(\\d+-\\d+)>(.*)</quiz\\1>$"));
        if (QFileInfo(xml + QStringLiteral("BookTitle.xml")).isFile()) {
            const QStringList index =
                readUtf16File(xml + QStringLiteral("BookTitle.xml")).split(QStringLiteral("\r\n"));
            for (const QString& l : index) {
                const QRegularExpressionMatch m = indexLine.match(l);
                if (m.hasMatch() && !QFileInfo(xml + QStringLiteral("quiz") + m.captured(1) +
                                               QStringLiteral(".xml"))
                                         .isFile())
                    add(Finding::Error, QStringLiteral(u"درس «%1»").arg(m.captured(2)),
                        QStringLiteral(u"فايل آزمون ندارد"));
            }
        }
        for (const QString& name :
             QDir(xml).entryList({QStringLiteral("quiz*.xml")}, QDir::Files)) {
            const QStringList lines =
                withoutLoneSurrogates(readUtf16File(xml + name)).split(QStringLiteral("\r\n"));
            for (const QString& l : lines) {
                const QRegularExpressionMatch m = line.match(l);
                if (!m.hasMatch())
                    continue;
                const QString file = QStringLiteral("Data/BookTXT/") + m.captured(2);
                if (!isPlainFileName(m.captured(2)))
                    add(Finding::Error, QStringLiteral("Data/_xml/") + name,
                        QStringLiteral(u"فايل «%1» بيرون از لوح است").arg(m.captured(2)));
                else if (!exists(file))
                    add(Finding::Error, QStringLiteral("Data/_xml/") + name,
                        QStringLiteral(u"فايل «%1» در لوح نيست").arg(file));
            }
        }
    }

    void size() {
        // Latin digits: the log is written in the Windows Persian code page, which has no
        // Persian ones; the unit in Persian, so the number and its unit read in order.
        const double kb = double(check_.totalBytes) / 1000.0;
        const QString total =
            kb < 1000.0 ? QString::number(kb, 'f', 1) + QStringLiteral(u" كيلوبايت")
            : kb < 1e6  ? QString::number(kb / 1000.0, 'f', 1) + QStringLiteral(u" مگابايت")
                        : QString::number(kb / 1e6, 'f', 1) + QStringLiteral(u" گيگابايت");
        if (check_.totalBytes <= kCdBytes)
            add(Finding::Note, total,
                QStringLiteral(u"روي يك سي\u200Cدي (700 مگابايت) جا مي\u200Cشود"));
        else if (check_.totalBytes <= kDvdBytes)
            add(Finding::Warning, total,
                QStringLiteral(u"براي سي\u200Cدي بزرگ است؛ روي يك دي\u200Cوي\u200Cدي (4.7 "
                               u"گيگابايت) جا مي\u200Cشود"));
        else if (check_.totalBytes <= kDualDvdBytes)
            add(Finding::Warning, total,
                QStringLiteral(u"فقط روي دي\u200Cوي\u200Cدي دولايه (8.5 گيگابايت) جا مي\u200Cشود"));
        else
            add(Finding::Error, total, QStringLiteral(u"روي هيچ لوحي جا نمي\u200Cشود"));
    }

    QString root_;
    DiscCheck check_;
};

} // namespace

bool DiscCheck::hasErrors() const {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.kind == Finding::Error; });
}

QStringList DiscCheck::lines() const {
    QStringList out;
    for (const Finding& f : findings) {
        const QString kind = f.kind == Finding::Error     ? QStringLiteral(u"خطا")
                             : f.kind == Finding::Warning ? QStringLiteral(u"هشدار")
                                                          : QStringLiteral(u"توضيح");
        out.append(kind + QStringLiteral(": ") + f.about + QStringLiteral(u" — ") + f.text);
    }
    return out;
}

DiscCheck checkExport(const QString& exportFolder) {
    return Checker(QDir::fromNativeSeparators(exportFolder)).run();
}

} // namespace tavrin
