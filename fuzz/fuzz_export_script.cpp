// libFuzzer target: any export script, run by ExportAll inside a throw-away program folder.
// A write outside the export folder is a finding: the folders around it, the Resources and
// the project must be as they were after every run.
#include "export/cd_export.h"
#include "fuzz_common.h"
#include "platform/text_codec.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>

using namespace tavrin;
using namespace tavrin::fuzz;

namespace {

Program* program = nullptr;
QMap<QString, QByteArray> before;

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// Every file and folder under the root but the export target's contents.
QMap<QString, QByteArray> tree() {
    QMap<QString, QByteArray> files;
    const QString root = program->root.path();
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        if (relative.startsWith(QLatin1String("program/out/")) ||
            relative == QLatin1String("program/Vonk.txt"))
            continue;
        QFile f(path);
        files[relative] =
            it.fileInfo().isFile() && f.open(QIODevice::ReadOnly) ? f.readAll() : "dir";
    }
    return files;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv);
    program = new Program;
    const QString p = program->folder;
    put(p + "/Resources/index.html", "<html>");
    put(p + "/Resources/player.css", "body{}");
    put(p + "/Resources/fonts/f.woff2", "font");
    put(p + "/Resources/Default.html", encodeUtf16Le("%Title%%Matn%"));
    put(p + "/Project 1/BookTXT/a.htm", encodeUtf16Le("<pgTitle>t</pgTitle>b"));
    put(p + "/Project 1/_xml/quiz0-0.xml", encodeUtf16Le("<quiz qNo='0-0' IDname='x'>\r\n"));
    put(p + "/Project 1/Project.xml",
        encodeUtf16Le(
            "<Reshteh>\r\n\t<Count Adad=\"1\">\r\n\t<Resh1 Name=\"F\">\r\n"
            "\t\t<Count Adad=\"1\">\r\n\t<Dars1 Name=\"L\">\r\n</Resh1 >\r\n</Reshteh>\r\n"));
    put(program->root.filePath("beside/secret.txt"), "secret");
    QDir().mkpath(p + "/out");
    before = tree();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    const QString p = program->folder;
    put(p + "/Resources/Export.inf",
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    before[QStringLiteral("program/Resources/Export.inf")] =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    ExportRequest request;
    request.target = p + "/out";
    request.projectPath = p + "/Project 1";
    request.printable = size % 2 == 1;
    request.flushToDisk = false;
    ExportAll(*program->context, request);
    need(tree() == before);
    QDir(p + "/out").removeRecursively();
    QDir().mkpath(p + "/out");
    return 0;
}
