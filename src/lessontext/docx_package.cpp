#include "lessontext/docx_package.h"

#include "platform/fs_error.h"
#include "platform/xml_guard.h"
#include "platform/zip_library.h"

#include <zip.h>

namespace tavrin::docx {

namespace {

// A part may not be larger than this once unpacked: a small zip must not fill the memory.
constexpr zip_uint64_t kLargestPart = 64u * 1024u * 1024u;

} // namespace

Package::Package(const QByteArray& bytes)
    : bytes_(bytes), lib_(std::make_unique<ZipLibrary>(zipLibrary())) {
    zip_error_t error;
    lib_->error_init(&error);
    zip_source_t* source =
        lib_->source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &error);
    if (source)
        zip_ = lib_->open_from_source(source, ZIP_RDONLY, &error);
    if (!zip_) {
        const QString why = QString::fromUtf8(lib_->error_strerror(&error));
        if (source)
            lib_->source_free(source);
        lib_->error_fini(&error);
        throw FsError(QStringLiteral("Not a Word document (damaged zip: %1)").arg(why));
    }
    lib_->error_fini(&error);
    try {
        findMainPart();
        readRelations();
    } catch (...) {
        lib_->discard(zip_); // no destructor for an object never made
        throw;
    }
}

Package::~Package() {
    lib_->discard(zip_);
}

bool Package::has(const QString& name) const {
    return lib_->name_locate(zip_, name.toUtf8().constData(), 0) >= 0;
}

QByteArray Package::part(const QString& name) const {
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t stat;
    lib_->stat_init(&stat);
    if (lib_->stat(zip_, utf8.constData(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        throw FsError(QStringLiteral("Not a Word document (no %1)").arg(name));
    if (stat.size > kLargestPart)
        throw FsError(QStringLiteral("Word document part too large (over %1 MB): %2")
                          .arg(kLargestPart / (1024 * 1024))
                          .arg(name));
    zip_file_t* file = lib_->fopen(zip_, utf8.constData(), 0);
    if (!file)
        throw FsError(QStringLiteral("Damaged Word document: %1").arg(name));
    QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = lib_->fread(file, data.data(), stat.size);
    lib_->fclose(file);
    if (read < 0 || zip_uint64_t(read) != stat.size)
        throw FsError(QStringLiteral("Damaged Word document: %1").arg(name));
    // Every part that is XML, whatever its name says (a main part may be named anything
    // through the relationships); pictures never begin with a tag.
    if (looksLikeXml(data) && declaresEntities(data))
        throw FsError(QStringLiteral("Word document declares entities: %1").arg(name));
    return data;
}

void Package::findMainPart() {
    const QString packageRels = QStringLiteral("_rels/.rels");
    if (has(packageRels)) {
        QXmlStreamReader xml(part(packageRels));
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship" ||
                !attribute(xml, QLatin1StringView("Type"))
                     .endsWith(QLatin1StringView("/officeDocument")))
                continue;
            QString target = attribute(xml, QLatin1StringView("Target")).toString();
            if (target.startsWith(u'/'))
                target.remove(0, 1);
            if (!target.isEmpty() && !target.contains(QLatin1StringView("..")) && has(target))
                main_ = target;
            break;
        }
    }
    folder_ = main_.left(main_.lastIndexOf(u'/') + 1);
}

QString Package::besideMain(const QString& target) const {
    return target.startsWith(u'/') ? target.mid(1) : folder_ + target;
}

void Package::readRelations() {
    const QString name =
        folder_ + QStringLiteral("_rels/") + main_.mid(folder_.size()) + QStringLiteral(".rels");
    if (!has(name))
        return;
    QXmlStreamReader xml(part(name));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        const QString target = attribute(xml, QLatin1StringView("Target")).toString();
        relations_.insert(attribute(xml, QLatin1StringView("Id")).toString(), target);
        const QStringView type = attribute(xml, QLatin1StringView("Type"));
        partsByType_.insert(type.mid(type.lastIndexOf(u'/') + 1).toString(), target);
    }
}

QString Package::partByRelation(const QString& id) const {
    const QString target = relations_.value(id);
    if (target.isEmpty() || target.contains(QLatin1StringView("..")))
        return {};
    return besideMain(target);
}

QString Package::partByRelation(const QString& id, const QString& fromPart) const {
    if (fromPart.isEmpty() || fromPart == main_)
        return partByRelation(id);
    auto found = otherRelations_.find(fromPart);
    if (found == otherRelations_.end()) {
        QHash<QString, QString> relations;
        const qsizetype slash = fromPart.lastIndexOf(u'/');
        const QString folder = fromPart.left(slash + 1);
        const QString name =
            folder + QStringLiteral("_rels/") + fromPart.mid(slash + 1) + QStringLiteral(".rels");
        if (has(name)) {
            QXmlStreamReader xml(part(name));
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement ||
                    xml.name() != u"Relationship")
                    continue;
                const QString target = attribute(xml, QLatin1StringView("Target")).toString();
                relations.insert(attribute(xml, QLatin1StringView("Id")).toString(),
                                 target.startsWith(u'/') ? target.mid(1) : folder + target);
            }
        }
        found = otherRelations_.insert(fromPart, relations);
    }
    const QString target = found->value(id);
    return target.isEmpty() || target.contains(QLatin1StringView("..")) ? QString() : target;
}

QString Package::partOf(const QString& kind) const {
    const QString target = partsByType_.value(kind, kind + QStringLiteral(".xml"));
    if (target.contains(QLatin1StringView("..")))
        return {};
    const QString path = besideMain(target);
    return has(path) ? path : QString();
}

Deeper::Deeper(int& depth) : depth_(depth) {
    if (++depth_ > kDeepestXml) {
        --depth_;
        throw FsError(
            QStringLiteral("Word document nested too deeply (over %1 levels)").arg(kDeepestXml));
    }
}

QStringView attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        if (a.name() == name)
            return a.value();
    }
    return {};
}

bool switchedOn(const QXmlStreamReader& xml) {
    const QStringView v = attribute(xml, QLatin1StringView("val"));
    return v.isEmpty() || !(v == u"0" || v == u"false" || v == u"off" || v == u"none");
}

bool switchedOnAttribute(const QXmlStreamReader& xml, const char* name) {
    const QStringView v = attribute(xml, QLatin1StringView(name));
    return v == u"1" || v == u"true" || v == u"on";
}

} // namespace tavrin::docx
