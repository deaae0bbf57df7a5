#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>

namespace tavrin {

class Context;
class WebViews;

// What the preview shows: an entry as the player shows its question.
struct PreviewEntry {
    QString text;
    QStringList answers;
    QString explanation;
    QMap<int, QString> images; // a mark's number -> its picture's file
};

// "Formula preview": beside the question editor, the entry drawn by the player's own page
// (the browser engine's module, KaTeX), and a row of formula buttons that ask the editor to insert
// their TeX.
class FormulaPreview : public QWidget {
    Q_OBJECT
public:
    FormulaPreview(Context& context, QWidget* parent);

    void showEntry(const PreviewEntry& entry);
    QWidget* view() const { return view_; }
    // A script run in the preview's page once it has loaded, its answer told.
    void runScript(const QString& script, const std::function<void(const QVariant&)>& answer);
    // How many formulas the page has drawn and how many it could not; -1 before the page
    // has drawn the entry.
    int drawn() const { return drawn_; }
    int broken() const { return broken_; }
    int pictures() const { return pictures_; } // the marks drawn as their pictures

signals:
    void insertRequested(int item); // an index of formulaPalette()
    void entryDrawn();

private:
    void draw();

    WebViews* views_ = nullptr; // the engine's, found once
    QWidget* view_ = nullptr;
    bool loaded_ = false;
    std::optional<PreviewEntry> pending_;
    int drawn_ = -1;
    int broken_ = -1;
    int pictures_ = -1;
};

} // namespace tavrin
