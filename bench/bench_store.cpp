#include "bench_program.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "store/store_view.h"

#include <QDir>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

// Lists kept in memory, as the window would show them.
class ListsOnly final : public StoreView {
public:
    void setEntries(StoreList l, const QStringList& e) override { lists[int(l)] = e; }
    void selectEntry(StoreList l, int i) override { selected[int(l)] = i; }
    int selectedIndex(StoreList l) const override { return selected[int(l)]; }
    QString selectedText(StoreList l) const override {
        return lists[int(l)].value(selected[int(l)]);
    }
    QString projectPath() const override { return path; }
    void setProjectPath(const QString& p) override { path = p; }
    void setInputFolder(const QString&) override {}
    void showSettings(const ProjectSettings&) override {}
    QStringList lists[3];
    int selected[3] = {0, 0, 0};
    QString path;
};

const QString kStamp = QStringLiteral(" DateCreated=\"1386/9/13 9:05\">\r\n");

void writeCatalogue(Program& p, int projects, const QString& projectFolder) {
    QString text = QStringLiteral("<Projects>\r\n\t<Count Adad=\"%1\">\r\n").arg(projects);
    for (int i = 1; i <= projects; ++i)
        text += QStringLiteral(u"\t<Proj%1 Name=\"پروژه شماره %1\" Path=\"%2\"")
                    .arg(i)
                    .arg(projectFolder) +
                kStamp;
    text += QStringLiteral("</Projects>\r\n");
    saveUtf16File(p.dir.filePath("Projects.xml"), text);
}

void writeProject(const QString& folder, int fields, int lessons) {
    QString text =
        QStringLiteral("<XML:? Project: Tavrin CD Maker/>\r\n<Project>\r\n\t<Proj Name=\"P\"") +
        kStamp + QStringLiteral("</Project>\r\n<Reshteh>\r\n\t<Count Adad=\"%1\">\r\n").arg(fields);
    for (int f = 1; f <= fields; ++f) {
        text += QStringLiteral(u"\t<Resh%1 Name=\"رشته %1\"").arg(f) + kStamp +
                QStringLiteral("\t\t<Count Adad=\"%1\">\r\n").arg(lessons);
        for (int l = 1; l <= lessons; ++l)
            text += QStringLiteral(u"\t<Dars%1 Name=\"درس %1\"").arg(l) + kStamp;
        text += QStringLiteral("</Resh%1 >\r\n").arg(f);
    }
    text += QStringLiteral(
        "</Reshteh>\r\n<Settings>\r\n\t<Music>1</Music>\r\n\t<Music1 Path=\"a\">\r\n"
        "\t<Music2 Path=\"b\">\r\n\t<Olgoo>1</Olgoo>\r\n\t<BackPic Path=\"c\">\r\n"
        "\t<Printable>0</Printable>\r\n\t<Export Path=\"d\">\r\n\t<Import Path=\"e\">\r\n"
        "</Settings>\r\n");
    saveUtf16File(folder + QStringLiteral("/Project.xml"), text);
}

// Listing the catalogue: what start-up and every project change do.
void BM_ReadProj(benchmark::State& state) {
    Program p;
    writeCatalogue(p, int(state.range(0)), p.dir.path());
    ListsOnly view;
    for (auto _ : state)
        ReadProj(p.context, view);
    if (view.lists[0].size() - 2 != state.range(0)) // with the list's two rows of its own
        qFatal("the catalogue was not listed whole");
}
BENCHMARK(BM_ReadProj)->Arg(200)->Arg(2000)->UseRealTime()->Unit(benchmark::kMillisecond);

// Selecting a project of 200 fields with 50 lessons each, and then its last field.
void BM_ReadResh(benchmark::State& state) {
    Program p;
    QDir(p.dir.path()).mkdir("P");
    writeCatalogue(p, 1, p.dir.filePath("P"));
    writeProject(p.dir.filePath("P"), int(state.range(0)), 50);
    ListsOnly view;
    for (auto _ : state)
        ReadResh(p.context, view);
    if (view.lists[1].size() - 2 != state.range(0))
        qFatal("the project's fields were not listed whole");
}
BENCHMARK(BM_ReadResh)->Arg(20)->Arg(200)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ReadDarsLastField(benchmark::State& state) {
    Program p;
    QDir(p.dir.path()).mkdir("P");
    writeProject(p.dir.filePath("P"), 200, 50);
    ListsOnly view;
    view.path = p.dir.filePath("P");
    view.selected[1] = 199;
    for (auto _ : state)
        ReadDars(p.context, view);
    if (view.lists[2].size() - 2 != 50 || !view.lists[2].contains(QStringLiteral(u"درس 50")))
        qFatal("the last field's lessons were not listed whole");
}
BENCHMARK(BM_ReadDarsLastField)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
