#pragma once

#include "store/fields.h"
#include "store/lessons.h"
#include "store/store_view.h"

#include <QStringList>

namespace tavrin::test {

// The main window's part, without widgets: lists, selection, and a click that reads on.
class FakeView : public StoreView {
public:
    explicit FakeView(Context& c) : context(c) {}
    void setEntries(StoreList l, const QStringList& e) override {
        lists[int(l)] = e;
        selected[int(l)] = -1;
    }
    void selectEntry(StoreList l, int index) override {
        selected[int(l)] = index;
        if (l == StoreList::Projects)
            ReadResh(context, *this);
        else if (l == StoreList::Fields)
            ReadDars(context, *this);
    }
    int selectedIndex(StoreList l) const override { return selected[int(l)]; }
    QString selectedText(StoreList l) const override {
        const int i = selected[int(l)];
        return i >= 0 && i < lists[int(l)].size() ? lists[int(l)][i] : QString();
    }
    QString projectPath() const override { return path; }
    void setProjectPath(const QString& p) override { path = p; }
    void setInputFolder(const QString& p) override { input = p; }
    void showSettings(const ProjectSettings& s) override { settings = s; }

    Context& context;
    QStringList lists[3];
    int selected[3] = {-1, -1, -1};
    QString path, input;
    ProjectSettings settings;
};

} // namespace tavrin::test
