#pragma once

#include <QList>
#include <QString>
#include <vector>

namespace tavrin {

// What was measured inside one bubble (PageInk::inside).
struct MarkFigures {
    double ink = 0;
    double cover = 0;
};

// A page's own scale of ink: how dark its empty bubbles are (their printed digit, the paper's
// grain, a copier's grey) and how dark its fills, so light pencil on one page and a marker on
// another both read, and one fixed threshold decides nothing.
struct PageScale {
    double empty = 0;
    double full = 0;
    bool fillsSeen = false; // false: the page has no clear fill, `full` is a nominal one
};
PageScale pageScale(std::vector<double> inks);

// A mark's place on that scale: 0 as the page's empty bubbles, 1 as its fills.
double level(const MarkFigures& mark, const PageScale& scale);

// Of one row (a question's options, a digit's ten values): one answer, none, several, or
// a doubt (a faint mark, an erasure, a cross, a fill that stops short, a smudge).
enum class RowState { Answer, Blank, Several, Doubtful };
struct RowReading {
    RowState state = RowState::Blank;
    int chosen = 0;       // from 1; for a doubt, the likeliest reading (0: blank)
    QList<int> marked;    // every option read as filled, from 1
    QString why, persian; // for a doubt or several: what was seen, with its figures
};
// `first` is the value the row's first bubble stands for (1 for options, 0 for digits); the
// reasons name the bubbles by it.
RowReading readRow(const QList<MarkFigures>& marks, const PageScale& scale, int first = 1);

} // namespace tavrin
