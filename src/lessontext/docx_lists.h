#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace tavrin::docx {

// A Word document's lists and paragraph styles: how each list level is numbered, which list
// and direction a style gives its paragraphs, and the counts as the items come.
class Lists {
public:
    // What a paragraph style gives, with what it inherits filled in; -1 and empty: not said.
    struct Style {
        QString basedOn;
        QString listId;
        int listLevel = -1;
        int rtl = -1;
    };

    // numbering.xml: each list level's number format, its text ("%1."), its start; each list
    // (numId) its abstract list, whose counts it shares, and the starts it overrides.
    void readNumbering(const QByteArray& part);
    // styles.xml: what a paragraph style gives its paragraphs (a list, a direction), its own
    // or from the styles it is based on; the default paragraph style for paragraphs without.
    void readStyles(const QByteArray& part);

    // The style of that id (the default style for none), with what it inherits; a loop of
    // bases ends where it starts again.
    Style style(const QString& id) const;

    // The mark Word shows before the next item of a list at a level: the level's text with
    // each "%N" the count of level N in that level's format (Persian digits in a right-to-left
    // item). Lists of one abstract list share their counts. Empty for a mark of no text.
    QString nextMark(const QString& listId, int level, bool rtl);

private:
    struct Level {
        QString format = QStringLiteral("decimal");
        QString text; // "%1." when not said
        int start = 1;
    };
    struct List {
        QString abstractId;
        QHash<int, int> starts; // levels restarted by this list
    };

    QHash<QString, QHash<int, Level>> abstractLevels_;
    QHash<QString, List> lists_;
    QHash<QString, QList<int>> counts_;
    QSet<QString> started_;
    QHash<QString, Style> styles_;
    QString defaultStyle_;
};

} // namespace tavrin::docx
