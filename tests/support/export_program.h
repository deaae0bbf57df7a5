#pragma once

#include "export/cd_export.h"
#include "export/output_folders.h"
#include "support/test_program.h"

#include <QDir>
#include <QFileInfo>

namespace tavrin::test {

// A program folder with the shipped Resources, one project with its output folders, and an
// export folder; exports made through the shipped (or a test's own) script.
struct ExportProgram {
    TestProgram p;
    QString project;
    QString exports;
    QStringList started; // the players the exports would start
    explicit ExportProgram(Prompts* real = nullptr) : p(real) {
        copyShippedResources(p.folder());
        project = p.path("Project 1");
        QDir().mkpath(project);
        MakeDirs(p.context(), project, "BookTXT", "_xml");
        exports = p.path("out");
        QDir().mkpath(exports);
    }
    void put(const QString& relative, const QByteArray& bytes) {
        const QString path = project + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeBytes(path, bytes);
    }
    void script(const QString& text) {
        writeBytes(p.path("Resources/Export.inf"), text.toLatin1());
    }
    ExportResult exportNow(bool printable = false, ExportProgress* progress = nullptr) {
        ExportRequest request;
        request.target = exports;
        request.projectPath = project;
        request.printable = printable;
        request.runFile = [this](const QString& path) { started << path; };
        return ExportAll(p.context(), request, progress);
    }
};

} // namespace tavrin::test
