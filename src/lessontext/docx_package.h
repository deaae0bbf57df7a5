#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <QXmlStreamReader>
#include <memory>

struct zip;

namespace tavrin {
struct ZipLibrary;
}

namespace tavrin::docx {

// A Word document's zip: its parts, each bounded and refused when it declares entities, and
// how the main part names the others.
class Package {
public:
    // Throws FsError when the bytes are not a zip.
    explicit Package(const QByteArray& bytes);
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool has(const QString& name) const;
    // Throws FsError for a part that is missing, too large or damaged.
    QByteArray part(const QString& name) const;
    // The document's main part, as the package's relationships name it (a package may keep it
    // elsewhere than word/document.xml).
    const QString& mainPart() const { return main_; }
    // A part the main part, or another part (a footnotes part), names by its relationship id
    // (a picture); empty when none. Each part's relationships are its own.
    QString partByRelation(const QString& id) const;
    QString partByRelation(const QString& id, const QString& fromPart) const;
    // A part the main part names by its kind ("numbering", "styles", "footnotes"), or where
    // Word puts it; empty when the package has none.
    QString partOf(const QString& kind) const;

private:
    void findMainPart();
    void readRelations();
    QString besideMain(const QString& target) const;

    QByteArray bytes_; // the zip reads from it until it is closed
    std::unique_ptr<ZipLibrary> lib_;
    struct zip* zip_ = nullptr;
    QString main_ = QStringLiteral("word/document.xml");
    QString folder_ = QStringLiteral("word/");
    QHash<QString, QString> relations_;
    mutable QHash<QString, QHash<QString, QString>> otherRelations_; // by part, read when asked
    QHash<QString, QString> partsByType_;
};

// One level deeper into nested content for as long as it lives; too deep is refused (throws
// FsError), as each level is a call.
class Deeper {
public:
    explicit Deeper(int& depth);
    ~Deeper() { --depth_; }
    Deeper(const Deeper&) = delete;
    Deeper& operator=(const Deeper&) = delete;

private:
    int& depth_;
};

QStringView attribute(const QXmlStreamReader& xml, QLatin1StringView name);

// An on/off property such as <w:b/> or <w:b w:val="0"/>.
bool switchedOn(const QXmlStreamReader& xml);
// An on/off attribute such as w:default="1".
bool switchedOnAttribute(const QXmlStreamReader& xml, const char* name);

// Walks a part's elements in order: ended(name) at each end, started(name) at each start
// (the reader stands on it).
template <typename Ended, typename Started>
void walkElements(QXmlStreamReader& xml, Ended ended, Started started) {
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            ended(xml.name());
        else if (token == QXmlStreamReader::StartElement)
            started(xml.name());
    }
}

} // namespace tavrin::docx
