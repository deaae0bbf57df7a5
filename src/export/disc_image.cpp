#include "export/disc_image.h"

#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>

#define LIBISOFS_WITHOUT_LIBBURN
#include <libisofs/libisofs.h>

namespace tavrin {

namespace {

constexpr qint64 kFourGigabytes = 4LL * 1024 * 1024 * 1024;

// libisofs is set up once a use and put away after it.
struct Library {
    bool ok;
    Library() : ok(iso_init() >= 0) {
        if (ok)
            iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
    }
    ~Library() {
        if (ok)
            iso_finish();
    }
};

// A disc is read by others: every folder 0755 and every file 0644 on it, whatever the disk
// says of the folder's own files (a copy made private there stays readable on the disc).
void ordinaryModes(IsoDir* dir) {
    IsoDirIter* iter = nullptr;
    if (iso_dir_get_children(dir, &iter) != 1)
        return;
    IsoNode* node = nullptr;
    while (iso_dir_iter_next(iter, &node) == 1) {
        const bool folder = iso_node_get_type(node) == LIBISO_DIR;
        iso_node_set_permissions(node, folder ? 0755 : 0644);
        if (folder)
            ordinaryModes(reinterpret_cast<IsoDir*>(node));
    }
    iso_dir_iter_free(iter);
}

QString isoError(const char* step, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(step),
                                        QString::fromUtf8(iso_error_to_msg(code)));
}

struct Sizes {
    qint64 total = 0, largest = 0;
};
} // namespace

QString firstSpecialFile(const QString& folder) {
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.isSymLink() || !(entry.isFile() || entry.isDir()))
            return entry.filePath();
    }
    return {};
}

namespace {

Sizes sizesOf(const QString& folder) {
    Sizes s;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const qint64 size = it.nextFileInfo().size();
        s.total += size;
        s.largest = std::max(s.largest, size);
    }
    return s;
}

constexpr qsizetype kComparePiece = 1 << 20;

// Every file below the folder by its path from there.
QStringList folderFiles(const QString& folder) {
    QStringList out;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out.append(root.relativeFilePath(it.next()));
    out.sort();
    return out;
}

// Every file of the image by its path, as libisofs read it; valid while the image is.
void imageFiles(IsoDir* dir, const QString& prefix, QMap<QString, IsoFile*>& out) {
    IsoDirIter* iter = nullptr;
    if (iso_dir_get_children(dir, &iter) != 1)
        return;
    IsoNode* node = nullptr;
    while (iso_dir_iter_next(iter, &node) == 1) {
        const QString name = prefix + QString::fromUtf8(iso_node_get_name(node));
        if (iso_node_get_type(node) == LIBISO_DIR)
            imageFiles(reinterpret_cast<IsoDir*>(node), name + u'/', out);
        else if (iso_node_get_type(node) == LIBISO_FILE)
            out.insert(name, reinterpret_cast<IsoFile*>(node));
    }
    iso_dir_iter_free(iter);
}

// As many bytes as fit from the file at its position, unless it ends first; -1 on failure.
qsizetype readFully(QFile& file, char* into, qsizetype size) {
    qsizetype got = 0;
    while (got < size) {
        const qint64 n = file.read(into + got, size - got);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

// The image's file holds the folder's file byte for byte: compared as they are read, as a
// disc's own compare does, rather than hashing both. The image is read where its extents
// lie, a large piece a call, not through libisofs a sector at a time.
bool sameBytes(int image, IsoFile* node, const QString& path, QByteArray& mine,
               QByteArray& theirs) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        qint64(iso_stream_get_size(iso_file_get_stream(node))) != file.size())
        return false;
    int count = 0;
    iso_file_section* sections = nullptr;
    if (iso_file_get_old_image_sections(node, &count, &sections, 0) != 1)
        return file.size() == 0;
    const std::unique_ptr<iso_file_section, decltype(&free)> held(sections, free);
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        off_t at = off_t(sections[i].block) * 2048;
        for (qint64 left = sections[i].size; left > 0;) {
            const qsizetype piece = qsizetype(std::min<qint64>(left, theirs.size()));
            const ssize_t n = ::pread(image, theirs.data(), size_t(piece), at);
            if (n != piece || readFully(file, mine.data(), piece) != piece ||
                std::memcmp(theirs.constData(), mine.constData(), size_t(piece)) != 0)
                return false;
            at += piece;
            left -= piece;
        }
        total += sections[i].size;
    }
    return total == file.size();
}

} // namespace

QString volumeLabel(const QString& projectTitle) {
    QString label;
    for (const QChar c : projectTitle.toUpper()) {
        const bool plain = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        if (plain)
            label += c;
        else if (!label.isEmpty() && !label.endsWith(u'_'))
            label += u'_';
    }
    while (label.endsWith(u'_'))
        label.chop(1);
    label = label.left(32);
    return label.isEmpty() ? QStringLiteral("TAVRIN_CD") : label;
}

QString compareImage(const QString& isoPath, const QString& given, int* files) {
    const QString folder = QFileInfo(given).absoluteFilePath();
    const Library library;
    if (!library.ok)
        return QStringLiteral("libisofs could not start");
    IsoDataSource* source = nullptr;
    if (iso_data_source_new_from_file(QFile::encodeName(isoPath).constData(), &source) < 0)
        return QStringLiteral("Image not readable: %1").arg(isoPath);
    IsoReadOpts* opts = nullptr;
    iso_read_opts_new(&opts, 0);
    iso_read_opts_set_input_charset(opts, "UTF-8");
    IsoImage* image = nullptr;
    iso_image_new("check", &image);
    const int read = iso_image_import(image, source, opts, nullptr);
    iso_read_opts_free(opts);
    const std::unique_ptr<IsoImage, decltype(&iso_image_unref)> imageHeld(image, iso_image_unref);
    const std::unique_ptr<IsoDataSource, decltype(&iso_data_source_unref)> sourceHeld(
        source, iso_data_source_unref);
    if (read < 0)
        return isoError("reading the image", read);
    QMap<QString, IsoFile*> inImage;
    imageFiles(iso_image_get_root(image), QString(), inImage);
    const QStringList inFolder = folderFiles(folder);
    if (files)
        *files = int(inImage.size());
    QFile imageFile(isoPath);
    if (!imageFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QStringLiteral("Image not readable: %1").arg(isoPath);
    QByteArray mine(kComparePiece, Qt::Uninitialized), theirs(kComparePiece, Qt::Uninitialized);
    for (const QString& name : inFolder) {
        IsoFile* node = inImage.value(name);
        if (!node)
            return QStringLiteral("Not in the image: %1").arg(name);
        if (!sameBytes(imageFile.handle(), node, folder + u'/' + name, mine, theirs))
            return QStringLiteral("Differs in the image: %1").arg(name);
    }
    for (auto it = inImage.begin(); it != inImage.end(); ++it) {
        if (!std::binary_search(inFolder.begin(), inFolder.end(), it.key()))
            return QStringLiteral("Only in the image: %1").arg(it.key());
    }
    return {};
}

namespace {

// Why the folder cannot be imaged there, before anything is written; empty when it can.
QString refusal(const QString& exportFolder, const QString& isoPath) {
    if (!QFileInfo(exportFolder).isDir())
        return QStringLiteral("Path not found: %1").arg(exportFolder);
    // An image written inside the folder it images would take in itself.
    if (isInside(isoPath, exportFolder))
        return QStringLiteral("The image may not be inside the folder it images: %1").arg(isoPath);
    if (QFileInfo(isoPath).isDir())
        return QStringLiteral("Is a folder: %1").arg(isoPath);
    if (const QString special = firstSpecialFile(exportFolder); !special.isEmpty())
        return QStringLiteral("Not a regular file: %1").arg(special);
    return {};
}

// The working files a killed image left beside this one, removed.
QStringList removeLeftovers(const QString& isoPath) {
    QStringList removed;
    const QFileInfo target(isoPath);
    for (const QFileInfo& left :
         QDir(target.absolutePath())
             .entryInfoList({target.fileName() + QStringLiteral(".????????.part")},
                            QDir::Files | QDir::Hidden)) {
        if (QFile::remove(left.filePath()))
            removed.append(left.filePath());
    }
    return removed;
}

// The folder's image as libisofs hands its bytes over; freed with it.
struct Source {
    IsoImage* image = nullptr;
    burn_source* burn = nullptr;
    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source() {
        if (burn) {
            burn->free_data(burn);
            free(burn);
        }
        if (image)
            iso_image_unref(image);
    }
};

// The image of the folder ready to be read: ISO 9660 with Rock Ridge and Joliet, ordinary
// modes. Why it could not be made, or empty.
QString prepare(Source& source, const QString& folder, const QString& label) {
    int code = iso_image_new(label.toLatin1().constData(), &source.image);
    if (code < 0)
        return isoError("new image", code);
    iso_tree_set_follow_symlinks(source.image, 0);
    IsoDir* root = iso_image_get_root(source.image);
    code = iso_tree_add_dir_rec(source.image, root, QFile::encodeName(folder).constData());
    if (code < 0)
        return isoError("adding the files", code);
    iso_node_set_permissions(reinterpret_cast<IsoNode*>(root), 0755);
    ordinaryModes(root);
    const Sizes sizes = sizesOf(folder);
    IsoWriteOpts* opts = nullptr;
    iso_write_opts_new(&opts, 0);
    // Level 3 lets a file (and a disc) pass 4 GB in several extents.
    iso_write_opts_set_iso_level(
        opts, sizes.largest >= kFourGigabytes || sizes.total >= kFourGigabytes ? 3 : 2);
    iso_write_opts_set_rockridge(opts, 1);
    iso_write_opts_set_joliet(opts, 1);
    iso_write_opts_set_joliet_long_names(opts, 1);
    iso_write_opts_set_joliet_longer_paths(opts, 1);
    iso_write_opts_set_always_gmt(opts, 1);
    code = iso_image_create_burn_source(source.image, opts, &source.burn);
    iso_write_opts_free(opts);
    return code < 0 ? isoError("preparing the image", code) : QString();
}

// The source's bytes into the working file, flushed and synced; a failure or a cancel
// removes it and is said in the result.
bool write(burn_source* burn, const QString& working, const QString& isoPath,
           const std::function<bool(qint64, qint64)>& progress, ImageResult& result) {
    const qint64 total = burn->get_size(burn);
    QFile out(working);
    bool ok = out.open(QIODevice::WriteOnly);
    // Whole sectors at a time: the source hands over from its writer thread per call, and
    // gives a piece only whole.
    QByteArray buffer(2048, Qt::Uninitialized);
    qint64 done = 0;
    bool cancelled = false;
    while (ok) {
        const int n = burn->read_xt(burn, reinterpret_cast<unsigned char*>(buffer.data()),
                                    int(buffer.size()));
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = out.write(buffer.constData(), n) == n;
        done += n;
        if (progress && !progress(done, total)) {
            cancelled = true;
            break;
        }
    }
    if (cancelled || !ok)
        burn->cancel(burn);
    // The disk's refusal may come only when the last buffer is flushed or synced: its
    // cause is taken where it happened.
    QString writeError = ok ? QString() : out.errorString();
    if (ok && !cancelled && !out.flush()) {
        writeError = out.errorString();
        ok = false;
    }
    if (ok && !cancelled && ::fsync(out.handle()) != 0) {
        writeError = QString::fromLocal8Bit(std::strerror(errno));
        ok = false;
    }
    ok = ok && !cancelled;
    out.close();
    if (!ok) {
        QFile::remove(working);
        result.outcome = cancelled ? ImageOutcome::Cancelled : ImageOutcome::Failed;
        result.description = cancelled ? QStringLiteral("Cancelled")
                                       : QStringLiteral("%1: %2").arg(writeError, isoPath);
        return false;
    }
    if (progress)
        progress(total, total);
    return true;
}

} // namespace

ImageResult makeDiscImage(const QString& given, const QString& isoPath, const QString& label,
                          const std::function<bool(qint64, qint64)>& progress, bool readBack) {
    const QString exportFolder = QFileInfo(given).absoluteFilePath();
    ImageResult result;
    result.description = refusal(exportFolder, isoPath);
    if (!result.description.isEmpty())
        return result;
    result.leftoversRemoved = removeLeftovers(isoPath);
    const QString working =
        isoPath + QStringLiteral(".%1.part")
                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    {
        const Library library;
        if (!library.ok) {
            result.description = QStringLiteral("libisofs could not start");
            return result;
        }
        Source source;
        result.description = prepare(source, exportFolder, label);
        if (!result.description.isEmpty() ||
            !write(source.burn, working, isoPath, progress, result))
            return result;
    }
    QFile::remove(isoPath);
    if (QFile made(working); !made.rename(isoPath)) {
        result.description = QStringLiteral("%1: %2").arg(made.errorString(), isoPath);
        QFile::remove(working);
        return result;
    }
    result.outcome = ImageOutcome::Made;
    if (!readBack)
        return result;
    result.description = compareImage(isoPath, exportFolder, &result.files);
    result.readBackMatched = result.description.isEmpty();
    return result;
}

} // namespace tavrin
