#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

class QWebEngineView;

namespace tavrin {

class Context;

// What the preview shows: an entry as the player shows its question.
struct PreviewEntry {
    QString text;
    QStringList answers;
    QString explanation;
};

// "Formula preview": beside the question editor, the entry drawn by the player's own page
// (Qt WebEngine, KaTeX), and a row of formula buttons that ask the editor to insert their TeX.
class FormulaPreview : public QWidget {
    Q_OBJECT
public:
    FormulaPreview(Context& context, QWidget* parent);

    void showEntry(const PreviewEntry& entry);
    QWebEngineView* view() const { return view_; }
    // How many formulas the page has drawn and how many it could not; -1 before the page
    // has drawn the entry.
    int drawn() const { return drawn_; }
    int broken() const { return broken_; }

signals:
    void insertRequested(int item); // an index of formulaPalette()
    void entryDrawn();

private:
    void draw();

    QWebEngineView* view_ = nullptr;
    bool loaded_ = false;
    std::optional<PreviewEntry> pending_;
    int drawn_ = -1;
    int broken_ = -1;
};

} // namespace tavrin
