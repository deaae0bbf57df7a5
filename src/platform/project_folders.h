#pragma once

#include <QRegularExpression>
#include <QString>

namespace tavrin::folders {

// The output folders of a project and the files the tool names in them, spelled once.
inline const QString kBookTxt = QStringLiteral("BookTXT");
inline const QString kXml = QStringLiteral("_xml");
inline const QString kBookImg = QStringLiteral("BookIMG");
inline const QString kFlashImg = QStringLiteral("FlashIMG");
inline const QString kProjectFile = QStringLiteral("Project.xml");
inline const QString kBookTitle = QStringLiteral("BookTitle.xml");

// The pictures an author may choose (picture answers, backgrounds): every kind the CD player
// and the platforms show.
inline const QString kPicturePattern = QStringLiteral("*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.webp");

// Beside a lesson's quiz file "quizF-L.xml" in _xml: the draft of its unmade entries and
// the group lines of its made ones (and a draft that could not be read, put aside). They are the
// author's working files: the export never copies them to a CD, and they follow their lesson when
// lessons are renumbered.
inline QString quizName(const QString& id) {
    return QStringLiteral("quiz") + id + QStringLiteral(".xml");
}
inline QString draftName(const QString& id) {
    return QStringLiteral("quiz") + id + QStringLiteral(".draft");
}
inline QString groupsName(const QString& id) {
    return QStringLiteral("quiz") + id + QStringLiteral(".groups");
}
// In BookTXT: a picture or attachment of an imported question, until the lesson is made
// ("quizF-L-import-" and the rest of its name); making the lesson copies it.
inline QString importName(const QString& id, const QString& rest) {
    return QStringLiteral("quiz") + id + QStringLiteral("-import-") + rest;
}
inline bool isAuthoringFile(const QString& name) {
    static const QRegularExpression own(
        QStringLiteral("^quiz\\d+-\\d+(\\.(draft|groups)(\\.damaged)?|-import-.+)$"));
    return own.match(name).hasMatch();
}

} // namespace tavrin::folders
