#include "platform/file_journal.h"

#include "platform/fs_error.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tavrin {
namespace {

namespace fs = std::filesystem;

const QString kStaging = QStringLiteral(".switch");
const QString kPlan = QStringLiteral("plan");

fs::path native(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

void removeTree(const QString& folder) {
    std::error_code ec;
    fs::remove_all(native(folder), ec);
}

// A plan line: "D\tpath" removes, "M\tstaged\tpath" moves, "K\tpath" makes a folder and
// "R\tpath" removes an emptied one; paths relative to the root.
struct Plan {
    QStringList removes;
    QList<QPair<QString, QString>> moves;
    QStringList makeFolders, removeFolders;

    QString text() const {
        QString out;
        for (const QString& r : removes)
            out += QStringLiteral("D\t") + r + u'\n';
        for (const QString& k : makeFolders)
            out += QStringLiteral("K\t") + k + u'\n';
        for (const auto& m : moves)
            out += QStringLiteral("M\t") + m.first + u'\t' + m.second + u'\n';
        for (const QString& r : removeFolders)
            out += QStringLiteral("R\t") + r + u'\n';
        return out;
    }
    static Plan read(const QString& text) {
        Plan plan;
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(u'\t');
            const QString kind = parts[0];
            if (parts.size() == 3 && kind == QLatin1String("M"))
                plan.moves.append({parts[1], parts[2]});
            else if (parts.size() != 2)
                continue;
            else if (kind == QLatin1String("D"))
                plan.removes.append(parts[1]);
            else if (kind == QLatin1String("K"))
                plan.makeFolders.append(parts[1]);
            else if (kind == QLatin1String("R"))
                plan.removeFolders.append(parts[1]);
        }
        return plan;
    }
};

// Each step may have been done already by a run that a kill cut short.
void carryOut(const QString& root, const Plan& plan) {
    for (const QString& relative : plan.removes) {
        std::error_code ec;
        fs::remove(native(root + relative), ec);
        if (ec)
            throw FsError::at(QString::fromStdString(ec.message()), root + relative);
    }
    for (const QString& relative : plan.makeFolders) {
        if (!QDir().mkpath(root + relative))
            throw FsError::at(QStringLiteral("Permission denied"), root + relative);
    }
    const QString staging = root + kStaging + u'/';
    for (const auto& [staged, target] : plan.moves) {
        if (!QFileInfo::exists(staging + staged))
            continue;
        const QString parent = QFileInfo(root + target).path();
        if (!QDir().mkpath(parent))
            throw FsError::at(QStringLiteral("Permission denied"), parent);
        std::error_code ec;
        fs::rename(native(staging + staged), native(root + target), ec);
        if (ec)
            throw FsError::at(QString::fromStdString(ec.message()), root + target);
    }
    for (const QString& relative : plan.removeFolders) {
        std::error_code ec;
        if (fs::is_directory(native(root + relative), ec) &&
            fs::is_empty(native(root + relative), ec))
            fs::remove(native(root + relative), ec);
    }
    std::error_code ec;
    fs::remove(native(staging + kPlan), ec);
    removeTree(root + kStaging);
}

QString rootOf(const QString& folder) {
    return QDir(folder).absolutePath() + u'/';
}

} // namespace

FileJournal::FileJournal(const QString& root) : root_(rootOf(root)) {}

QString FileJournal::staging() const {
    return root_ + kStaging + u'/';
}

void FileJournal::open() {
    removeTree(staging());
    if (!QDir().mkpath(staging()))
        throw FsError::at(QStringLiteral("Permission denied"), staging());
}

void FileJournal::write(const QByteArray& contents, const QString& target) {
    const QString name = QString::number(moves_.size());
    saveWholeFile(staging() + name, contents);
    moves_.append({name, target});
}

void linkOrCopy(const QString& from, const QString& to) {
    std::error_code ec;
    fs::create_directories(native(to).parent_path(), ec);
    fs::create_hard_link(native(from), native(to), ec);
    if (ec) { // a file system without hard links: a copy serves
        ec.clear();
        fs::copy_file(native(from), native(to), fs::copy_options::overwrite_existing, ec);
    }
    if (ec)
        throw FsError::at(QString::fromStdString(ec.message()), from);
}

void FileJournal::link(const QString& fromAbsolute, const QString& target) {
    const QString name = QString::number(moves_.size());
    linkOrCopy(fromAbsolute, staging() + name);
    moves_.append({name, target});
}

void FileJournal::remove(const QString& target) {
    removes_.append(target);
}

void FileJournal::makeFolder(const QString& target) {
    makeFolders_.append(target);
}

void FileJournal::removeFolder(const QString& target) {
    removeFolders_.append(target);
}

void FileJournal::commit() {
    Plan plan;
    plan.moves = moves_;
    plan.makeFolders = makeFolders_;
    // Deepest first, so a folder's emptied children go before it.
    plan.removeFolders = removeFolders_;
    std::sort(plan.removeFolders.begin(), plan.removeFolders.end(),
              [](const QString& a, const QString& b) { return a.count(u'/') > b.count(u'/'); });
    // What is moved over needs no removing; a replay must not remove what it moved.
    QSet<QString> targets;
    for (const auto& m : moves_)
        targets.insert(m.second);
    for (const QString& r : removes_) {
        if (!targets.contains(r) && !plan.removes.contains(r))
            plan.removes.append(r);
    }
    saveWholeFile(staging() + kPlan, plan.text().toUtf8());
    carryOut(root_, plan);
}

void FileJournal::abandon() {
    removeTree(staging());
}

bool FileJournal::finish(const QString& folder, bool* committed) {
    if (folder.isEmpty())
        return false;
    const QString root = rootOf(folder);
    const QString staging = root + kStaging;
    if (!QFileInfo(staging).isDir())
        return false;
    const QString planPath = staging + u'/' + kPlan;
    const bool planned = QFileInfo::exists(planPath);
    if (planned)
        carryOut(root, Plan::read(QString::fromUtf8(readWholeFile(planPath))));
    else
        removeTree(staging);
    if (committed)
        *committed = planned;
    return true;
}

} // namespace tavrin
