#include "export/scorm_package.h"

#include "app/context.h"
#include "export/quiz_data.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "platform/zip_library.h"
#include "store/fields.h"
#include "store/lesson_files.h"
#include "store/project_settings.h"
#include "store/quiz_file.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <list>
#include <stdexcept>
#include <unistd.h>
#include <zip.h>

namespace tavrin {

namespace {

// The player's files in Resources, as the export script copies them.
const QStringList kPlayerFiles{
    QStringLiteral("index.html"),
    QStringLiteral("player-formula.js"),
    QStringLiteral("player-text.js"),
    QStringLiteral("player-keeping.js"),
    QStringLiteral("player-platform.js"),
    QStringLiteral("player-score.js"),
    QStringLiteral("player-exam.js"),
    QStringLiteral("player.js"),
    QStringLiteral("player.css"),
    QStringLiteral("fonts/Vazirmatn-Regular.woff2"),
    QStringLiteral("fonts/Vazirmatn-Bold.woff2"),
    QStringLiteral("fonts/OFL.txt"),
    QStringLiteral("katex/katex.min.js"),
    QStringLiteral("katex/katex.min.css"),
    QStringLiteral("katex/LICENSE.txt"),
    QStringLiteral("katex/fonts/KaTeX_AMS-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Caligraphic-Bold.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Caligraphic-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Fraktur-Bold.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Fraktur-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Main-Bold.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Main-BoldItalic.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Main-Italic.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Main-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Math-BoldItalic.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Math-Italic.woff2"),
    QStringLiteral("katex/fonts/KaTeX_SansSerif-Bold.woff2"),
    QStringLiteral("katex/fonts/KaTeX_SansSerif-Italic.woff2"),
    QStringLiteral("katex/fonts/KaTeX_SansSerif-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Script-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Size1-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Size2-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Size3-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Size4-Regular.woff2"),
    QStringLiteral("katex/fonts/KaTeX_Typewriter-Regular.woff2"),
};

// The schemas of IMS content packaging and ADL SCORM 1.2, from Resources/scorm12.
const QStringList kSchemas{QStringLiteral("imscp_rootv1p1p2.xsd"),
                           QStringLiteral("adlcp_rootv1p2.xsd"), QStringLiteral("ims_xml.xsd")};

// A zip being written: entries from memory or from files, written out at close.
class Zip {
public:
    explicit Zip(const QString& path) : lib_(zipLibrary()), path_(path) {
        int error = 0;
        zip_ = lib_.open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!zip_) {
            zip_error_t e;
            lib_.error_init_with_code(&e, error);
            const QString why = QString::fromUtf8(lib_.error_strerror(&e));
            lib_.error_fini(&e);
            throw FsError::at(why, path);
        }
    }
    ~Zip() {
        if (zip_)
            lib_.discard(zip_);
    }
    void add(const QString& name, QByteArray bytes) {
        kept_.push_back(std::move(bytes));
        zip_source_t* source = lib_.source_buffer(zip_, kept_.back().constData(),
                                                  zip_uint64_t(kept_.back().size()), 0);
        entry(name, source);
    }
    void addFile(const QString& name, const QString& from) {
        if (!fileExists(from))
            throw FsError::at(QStringLiteral("File not found"), from);
        entry(name, lib_.source_file(zip_, QFile::encodeName(from).constData(), 0, -1));
    }
    void close() {
        if (lib_.close(zip_) != 0)
            fail();
        zip_ = nullptr;
    }

private:
    // An entry a platform unpacks for others to read: 0644, whatever the disk said.
    void entry(const QString& name, zip_source_t* source) {
        const zip_int64_t at =
            source ? lib_.file_add(zip_, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (at < 0) {
            if (source)
                lib_.source_free(source);
            fail();
        }
        if (lib_.file_set_external_attributes(zip_, zip_uint64_t(at), 0, ZIP_OPSYS_UNIX,
                                              zip_uint32_t(0100644) << 16) != 0)
            fail();
    }
    [[noreturn]] void fail() { throw FsError::at(QString::fromUtf8(lib_.strerror(zip_)), path_); }
    ZipLibrary lib_;
    QString path_;
    zip_t* zip_ = nullptr;
    std::list<QByteArray> kept_; // libzip reads them at close
};

} // namespace

QString scormIdentifier(const QStringList& lessonIds, bool scoPerLesson, const QDateTime& made) {
    const QString seed = lessonIds.join(u',') + (scoPerLesson ? u'/' : u'*') +
                         made.toUTC().toString(Qt::ISODateWithMs);
    return QStringLiteral("tavrin-") +
           QString::fromLatin1(
               QCryptographicHash::hash(seed.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QByteArray scormManifest(const QString& identifier, const QString& title,
                         const QStringList& lessonTitles, bool scoPerLesson, int passMark,
                         const QStringList& files) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("manifest"));
    xml.writeAttribute(QStringLiteral("identifier"), identifier);
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.imsproject.org/xsd/imscp_rootv1p1p2"));
    const QString adl = QStringLiteral("http://www.adlnet.org/xsd/adlcp_rootv1p2");
    xml.writeNamespace(adl, QStringLiteral("adlcp"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeAttribute(
        QStringLiteral("xsi:schemaLocation"),
        QStringLiteral("http://www.imsproject.org/xsd/imscp_rootv1p1p2 imscp_rootv1p1p2.xsd "
                       "http://www.adlnet.org/xsd/adlcp_rootv1p2 adlcp_rootv1p2.xsd"));
    xml.writeStartElement(QStringLiteral("metadata"));
    xml.writeTextElement(QStringLiteral("schema"), QStringLiteral("ADL SCORM"));
    xml.writeTextElement(QStringLiteral("schemaversion"), QStringLiteral("1.2"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("organizations"));
    xml.writeAttribute(QStringLiteral("default"), QStringLiteral("ORG-1"));
    xml.writeStartElement(QStringLiteral("organization"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("ORG-1"));
    xml.writeTextElement(QStringLiteral("title"), xmlSafe(persianShown(title, Digits::Untouched)));
    const auto item = [&](int n, const QString& itemTitle, const QString& parameters) {
        xml.writeStartElement(QStringLiteral("item"));
        xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("ITEM-%1").arg(n));
        xml.writeAttribute(QStringLiteral("identifierref"), QStringLiteral("RES-1"));
        xml.writeAttribute(QStringLiteral("isvisible"), QStringLiteral("true"));
        if (!parameters.isEmpty())
            xml.writeAttribute(QStringLiteral("parameters"), parameters);
        xml.writeTextElement(QStringLiteral("title"),
                             xmlSafe(persianShown(itemTitle, Digits::Untouched)));
        xml.writeTextElement(adl, QStringLiteral("masteryscore"), QString::number(passMark));
        xml.writeEndElement();
    };
    if (scoPerLesson) {
        for (int n = 0; n < lessonTitles.size(); ++n)
            item(n + 1, lessonTitles[n], QStringLiteral("?lesson=%1").arg(n));
    } else {
        item(1, title, QString());
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("resources"));
    xml.writeStartElement(QStringLiteral("resource"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("RES-1"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("webcontent"));
    xml.writeAttribute(adl, QStringLiteral("scormtype"), QStringLiteral("sco"));
    xml.writeAttribute(QStringLiteral("href"), QStringLiteral("index.html"));
    for (const QString& f : files) {
        xml.writeEmptyElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("href"), f);
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

namespace {

// The lessons in the scope that have a quiz file; projectQuestions checks the scope.
QList<LessonRef> lessonsInScope(Context& context, const ScormRequest& request,
                                const QString& project, const QString& document) {
    projectQuestions(context, request.projectPath, request.scope, FileBytes::NamesOnly);
    QList<LessonRef> lessons;
    for (const LessonRef& l : projectLessons(context, document)) {
        if ((request.scope.field < 0 || l.field == request.scope.field) &&
            (request.scope.lesson < 0 || l.lesson == request.scope.lesson) &&
            fileExists(project + u'/' + folders::kXml + u'/' + folders::quizName(l.id())))
            lessons.append(l);
    }
    if (lessons.isEmpty())
        throw std::invalid_argument("no lesson in the choice has a quiz file");
    return lessons;
}

// The files the lessons' questions name and the player's media, by their names in the
// package. The CD export's rule holds: nothing from outside the project, links included.
void addProjectFiles(const QString& project, const QList<LessonRef>& lessons,
                     QMap<QString, QString>& files) {
    for (const LessonRef& l : lessons) {
        const QString name = folders::quizName(l.id());
        for (const QuizQuestion& q : parseQuizFile(
                 withoutLoneSurrogates(readUtf16File(project + u'/' + folders::kXml + u'/' + name)),
                 l.id(), name)) {
            QStringList copies = q.images.values();
            copies << q.attach << q.sound << q.film << q.back;
            for (const QString& copy : copies) {
                if (copy.isEmpty())
                    continue;
                const QString from = project + QStringLiteral("/BookTXT/") + copy;
                if (!isInside(from, project))
                    throw FsError::at(QStringLiteral("Leaves the project folder"), from);
                files.insert(QStringLiteral("Data/BookTXT/") + copy, from);
            }
        }
    }
    for (const char* media : {"FlashIMG/Back.jpg", "FlashIMG/Sound1.mp3", "FlashIMG/Sound2.mp3"}) {
        const QString from = project + u'/' + QLatin1String(media);
        if (fileExists(from) && !isInside(from, project))
            throw FsError::at(QStringLiteral("Leaves the project folder"), from);
        if (fileExists(from))
            files.insert(QStringLiteral("Data/") + QLatin1String(media), from);
    }
}

// What a killed package left beside this one: the working zip and libzip's own working file.
void removeKilledPackage(Context& context, const QString& out) {
    const QFileInfo target(out);
    for (const QFileInfo& left :
         QDir(target.absolutePath())
             .entryInfoList({target.fileName() + QStringLiteral(".partial"),
                             target.fileName() + QStringLiteral(".partial.*")},
                            QDir::Files | QDir::Hidden)) {
        if (QFile::remove(left.filePath()))
            context.log().LogMe(QStringLiteral("A killed package's working file removed: %1")
                                    .arg(QDir::toNativeSeparators(left.filePath())));
    }
}

// The zip under a working name, on the disk before it takes the package's name: a crash
// leaves the old one whole.
void writePackage(const QString& out, const QByteArray& manifest,
                  const QMap<QString, QString>& files, const QByteArray& data,
                  const QString& resources) {
    const QString working = out + QStringLiteral(".partial");
    try {
        Zip zip(working);
        zip.add(QStringLiteral("imsmanifest.xml"), manifest);
        for (auto f = files.begin(); f != files.end(); ++f)
            zip.addFile(f.key(), f.value());
        zip.add(QStringLiteral("Data/quizdata.js"), data);
        // The schemas the manifest names stand beside it, as strict platforms look for them.
        for (const QString& schema : kSchemas)
            zip.addFile(schema, resources + QStringLiteral("scorm12/") + schema);
        zip.close();
        QFile written(working);
        if (!written.open(QIODevice::ReadWrite) || ::fsync(written.handle()) != 0)
            throw FsError::at(QStringLiteral("Could not write"), working);
        written.close();
        if (::rename(QFile::encodeName(working).constData(), QFile::encodeName(out).constData()) !=
            0)
            throw FsError::at(QString::fromLocal8Bit(std::strerror(errno)), out);
    } catch (...) {
        QFile::remove(working);
        throw;
    }
}

} // namespace

int makeScormPackage(Context& context, const ScormRequest& request) {
    const QString project = QDir(QDir::fromNativeSeparators(request.projectPath)).absolutePath();
    const QString document = readUtf16File(store::projectFilePath(request.projectPath));
    const QList<LessonRef> lessons = lessonsInScope(context, request, project, document);
    QMap<QString, QString> files; // name in the package -> file
    const QString resources = DoSlash(context.programFolder()) + QStringLiteral("Resources/");
    for (const QString& f : kPlayerFiles)
        files.insert(f, resources + f);
    addProjectFiles(project, lessons, files);
    const ExamSettings exam = examSettings(readSettings(context, document));
    const QByteArray data = quizDataScript(context, project, lessons, exam, request.passMark,
                                           QString(), playerScoring(context, document))
                                .toUtf8();
    const QString projectTitle =
        Wste(context, document, QStringLiteral("Proj"), QStringLiteral("Name"));
    QStringList names = files.keys();
    names << QStringLiteral("Data/quizdata.js");
    names.sort();
    QStringList ids, titles;
    for (const LessonRef& l : lessons) {
        ids.append(l.id());
        titles.append(l.title);
    }
    const QByteArray manifest =
        scormManifest(scormIdentifier(ids, request.scoPerLesson, context.now()),
                      projectTitle.isEmpty() ? titles.first() : projectTitle, titles,
                      request.scoPerLesson, request.passMark, names);
    removeKilledPackage(context, request.out);
    writePackage(request.out, manifest, files, data, resources);
    context.log().LogMe(QStringLiteral("SCORM package made: %1 (%2 lessons).")
                            .arg(request.out)
                            .arg(lessons.size()));
    return int(lessons.size());
}

} // namespace tavrin
