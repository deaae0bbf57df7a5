#pragma once

#include <QString>

namespace tavrin::folders {

// The output folders of a project and the files the tool names in them, spelled once.
inline const QString kBookTxt = QStringLiteral("BookTXT");
inline const QString kXml = QStringLiteral("_xml");
inline const QString kBookImg = QStringLiteral("BookIMG");
inline const QString kFlashImg = QStringLiteral("FlashIMG");
inline const QString kProjectFile = QStringLiteral("Project.xml");
inline const QString kBookTitle = QStringLiteral("BookTitle.xml");

} // namespace tavrin::folders
