#include "lesson/question_import.h"

#include "interchange/gift_format.h"
#include "lesson/entry_table.h"
#include "lesson/outline_editing.h"
#include "lesson/quiz_reopen.h"
#include "platform/file_system.h"
#include "platform/formula_text.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace tavrin {

namespace {

const QString kNoRoom = QStringLiteral(u"جاي خالي در جدول اين درس نماند");

QStringList commonStart(const QList<QStringList>& categories) {
    if (categories.isEmpty())
        return {};
    QStringList common = categories.first();
    for (const QStringList& c : categories) {
        qsizetype n = 0;
        while (n < common.size() && n < c.size() && common[n] == c[n])
            ++n;
        common = common.mid(0, n);
    }
    return common;
}

constexpr qsizetype kChoices = 4;
// What one import may write into BookTXT: far above a real file's pictures.
constexpr qint64 kLargestImport = 512LL * 1024 * 1024;
const QString kRightBeyondFour =
    QStringLiteral(u"پاسخ درست پس از گزينه چهارم است و فايل آزمون فقط چهار گزينه مي\u200Cگيرد");
// The question's title (%1) and the choices left out (%2).
const QString kChoicesLeftOut =
    QStringLiteral(u"از «%1» چهار گزينه اول آمد؛ اين گزينه\u200Cها نيامد: %2");
// The question's title (%1) and the picture's name (%2).
const QString kPictureNotHere =
    QStringLiteral(u"«%1»: تصوير «%2» در پوشه BookTXT اين پروژه نيست و نامش در متن گزينه ماند");
const QString kPictureUnnamed = QStringLiteral(
    u"«%1»: گزينه\u200Cاي از تصويري بي\u200Cنام نام مي\u200Cبرد و اين نام در متن آن ماند");

class Importer {
public:
    Importer(Context& context, EntryTable& table, QStringList& outline, const ImportTarget& target)
        : context_(context), table_(table), outline_(outline), target_(target),
          pages_(QDir(target.projectPath).filePath(folders::kBookTxt) + u'/') {}

    bool room(int entries) const { return table_.EntryCount + entries <= EntryTable::kEntries; }

    void groupLine(const QString& marker, const QString& title) {
        const int k = table_.EntryCount;
        table_.SoalText[k] = marker;
        table_.JavabRtf[k] = title;
        table_.TozihRtf[k].clear();
        outline_.insert(k, groupLineOf(table_, k));
        table_.EntryCount = k + 1;
    }
    void open(const QString& title) {
        groupLine(kMainTitleEntry, title);
        table_.GroupTitle = title;
        ++table_.OpenGroups;
        opened_.append(title);
    }
    void close() {
        groupLine(kEndTitleEntry, opened_.takeLast());
        --table_.OpenGroups;
        table_.GroupTitle = opened_.isEmpty() ? QString() : opened_.last();
    }
    // Into the groups of this path: those that differ closed, the new ones opened.
    bool enter(const QStringList& groups) {
        qsizetype same = 0;
        while (same < opened_.size() && same < groups.size() && opened_[same] == groups[same])
            ++same;
        if (!room(int(opened_.size() - same + groups.size() - same) + 1))
            return false;
        while (opened_.size() > same)
            close();
        for (qsizetype g = same; g < groups.size(); ++g)
            open(groups[g]);
        return true;
    }
    void leave() {
        while (!opened_.isEmpty() && room(1))
            close();
    }

    // A file's bytes under a free import name; its path. The same bytes named again are the
    // file already written, and one import writes no more than kLargestImport.
    QString keep(const TravelFile& file, const QString& what) {
        QString suffix = QFileInfo(file.name).suffix();
        if (suffix.isEmpty())
            suffix = QStringLiteral("bin");
        const QByteArray key =
            QCryptographicHash::hash(file.bytes, QCryptographicHash::Sha256) + suffix.toUtf8();
        if (const auto same = byContent_.find(key); same != byContent_.end())
            return *same;
        writtenBytes_ += file.bytes.size();
        if (writtenBytes_ > kLargestImport)
            throw FsError::at(QStringLiteral("Larger than %1 MB in pictures and attachments")
                                  .arg(kLargestImport / (1024 * 1024)),
                              pages_);
        QString path;
        for (int n = 0;; ++n) {
            path = pages_ + folders::importName(
                                target_.id, QStringLiteral("%1%2.%3")
                                                .arg(what)
                                                .arg(n ? QStringLiteral("-%1").arg(n) : QString())
                                                .arg(suffix));
            if (!fileExists(path))
                break;
        }
        saveWholeFile(path, file.bytes);
        written_.append(path);
        const QString shown = QDir::toNativeSeparators(path);
        byContent_.insert(key, shown);
        return shown;
    }

    // What this import wrote, taken away again when it does not finish.
    void undo() {
        for (const QString& path : written_)
            QFile::remove(path);
        written_.clear();
    }

    // Pictures a file names in words ("[تصویر: name]", as GIFT carries them) come back as
    // their answers' pictures when this project's BookTXT holds them; the others stay as the
    // words they are, listed.
    void namedPictures(TravelQuestion& q, const QString& shown, ImportResult& result) const {
        int next = q.pictures.isEmpty() ? 0 : q.pictures.lastKey() + 1;
        QHash<QString, int> numbers;
        for (QString& a : q.answers) {
            const QList<PictureWords> found = pictureWordsIn(a);
            for (auto w = found.rbegin(); w != found.rend(); ++w) {
                const QString& name = w->name;
                const QString path = pages_ + name;
                const bool here = !name.isEmpty() && QFileInfo(name).fileName() == name &&
                                  name != QLatin1String("..") &&
                                  isInside(path, pages_ + QStringLiteral("..")) &&
                                  QFileInfo(path).isFile();
                if (!here) {
                    result.notes.append(name.isEmpty() ? kPictureUnnamed.arg(shown)
                                                       : kPictureNotHere.arg(shown, name));
                    continue;
                }
                auto n = numbers.find(name);
                if (n == numbers.end()) {
                    n = numbers.insert(name, next++);
                    q.pictures.insert(*n, {name, readWholeFile(path)});
                }
                a.replace(w->start, w->end - w->start, QStringLiteral("{%1}").arg(*n));
            }
        }
    }

    void question(const TravelQuestion& q, ImportResult& result) {
        const int k = table_.EntryCount;
        // The file's picture numbers become the table's next ones.
        QMap<int, int> numbers;
        QMap<int, QString> images;
        for (auto p = q.pictures.begin(); p != q.pictures.end(); ++p) {
            if (p->isEmpty())
                continue;
            if (table_.ImageCounter >= EntryTable::kImages) {
                result.notes.append(QStringLiteral(u"تصوير «%1» جا نگرفت.").arg(p->name));
                continue;
            }
            // The same picture again takes the number it has: one copy however often shown.
            const QString path = keep(*p, QString::number(table_.ImageCounter));
            int n = imageNumbers_.value(path, -1);
            if (n < 0) {
                n = table_.ImageCounter++;
                table_.ImagePaths[n] = path;
                imageNumbers_.insert(path, n);
            }
            numbers.insert(p.key(), n);
            images.insert(n, table_.ImagePaths[n]);
        }
        QStringList answers;
        for (const QString& a : q.answers) {
            QString out;
            qsizetype from = 0;
            for (const ImageMark& m : imageMarks(a)) {
                const auto n = numbers.find(m.number);
                if (n == numbers.end())
                    continue;
                out += a.mid(from, m.start - from) + QStringLiteral("{%1}").arg(*n);
                from = m.end;
            }
            answers.append(out + a.mid(from));
        }
        table_.SoalText[k] = beforeRemCrLf(q.text);
        table_.JavabRtf[k] = answers.isEmpty()
                                 ? QString()
                                 : paragraphsRtf(answers, q.correct, target_.checkSnippet, images,
                                                 target_.imgSnippet);
        table_.TozihRtf[k] = q.explanation.isEmpty() ? QString()
                                                     : paragraphsRtf({beforeRemCrLf(q.explanation)},
                                                                     0, QString(), {}, QString());
        const QString entry = QString::number(k);
        const auto attachment = [&](const TravelFile& f, const char* what) {
            return f.isEmpty() ? QString() : keep(f, entry + u'-' + QLatin1String(what));
        };
        table_.AttachPath[k] = attachment(q.attach, "attach");
        table_.SoundPath[k] = attachment(q.sound, "sound");
        table_.FilmPath[k] = attachment(q.film, "film");
        table_.BackPath[k] = attachment(q.back, "back");
        outline_.insert(k, outlineLineOf(context_, table_, k));
        table_.EntryCount = k + 1;
        ++result.questions;
    }

private:
    Context& context_;
    EntryTable& table_;
    QStringList& outline_;
    const ImportTarget& target_;
    QString pages_;
    QStringList opened_;
    QStringList written_;
    QHash<QByteArray, QString> byContent_; // by hash and suffix: the file's path
    QHash<QString, int> imageNumbers_;     // a written picture's number in the table
    qint64 writtenBytes_ = 0;
};

void importInto(Importer& in, const TravelSet& set, const QStringList& base, ImportResult& result);

} // namespace

ImportResult importQuestions(Context& context, EntryTable& table, QStringList& outline,
                             const TravelSet& set, const ImportTarget& target) {
    const EntryTable tableBefore = table;
    const QStringList outlineBefore = outline;
    ImportResult result;
    result.skipped = set.skipped;
    result.notes = set.notes;
    // A question being filed keeps what it has and its place.
    if (table.questionOpen) {
        ++table.EntryCount;
        table.questionOpen = false;
    }
    while (outline.size() > table.EntryCount)
        outline.removeLast();
    QDir().mkpath(QDir(target.projectPath).filePath(folders::kBookTxt));
    const QStringList base = commonStart(set.categories);
    Importer in(context, table, outline, target);
    // All or nothing: a failure (a full disk) leaves the table, the outline and BookTXT as
    // they were.
    try {
        importInto(in, set, base, result);
    } catch (...) {
        in.undo();
        table = tableBefore;
        outline = outlineBefore;
        throw;
    }
    return result;
}

namespace {

void importInto(Importer& in, const TravelSet& set, const QStringList& base, ImportResult& result) {
    for (const TravelQuestion& given : set.questions) {
        const QString shown = given.title.isEmpty() ? given.text.left(40) : given.title;
        // A quiz file holds four choices: more come as four only when the right one is
        // among them, and what was left is said; else the question stays out, said why.
        TravelQuestion q = given;
        if (q.answers.size() > kChoices) {
            if (q.correct > kChoices) {
                result.skipped.append({shown, kRightBeyondFour});
                continue;
            }
            result.notes.append(
                kChoicesLeftOut.arg(shown, q.answers.mid(kChoices).join(QStringLiteral(u"، "))));
            q.answers = q.answers.mid(0, kChoices);
        }
        if (!in.enter(q.category.mid(base.size()))) {
            result.skipped.append({shown, kNoRoom});
            continue;
        }
        in.namedPictures(q, shown, result);
        in.question(q, result);
    }
    in.leave();
}

} // namespace

} // namespace tavrin
