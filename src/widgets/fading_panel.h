#pragma once

#include <QList>

class QLabel;
class QWidget;

namespace tavrin {

// An action panel: labels in a frame with an outline shape, all in one grey. It fades in
// from a light grey to its rest grey, one step of 14 levels a tick (235, 221, ... 137, then
// the rest level); the ticks come from its window's timer.
class FadingPanel {
public:
    FadingPanel() = default;
    FadingPanel(QWidget* frame, QWidget* shape, QList<QLabel*> labels);
    void paint(int grey);
    // Shown at the start grey, the fade running.
    void fadeIn(int startGrey);
    // One step of a running fade; true while it goes on.
    bool step(int restGrey);
    // Hidden; a fade that runs goes on unseen until stopped or done.
    void hide();
    void stopFade();
    bool isVisible() const;
    // Shown at rest (the fade done).
    bool atRest(int restGrey) const;

private:
    QWidget* frame_ = nullptr;
    QWidget* shape_ = nullptr;
    QList<QLabel*> labels_;
    int level_ = -1; // grey of a running fade, -1 when none
};

} // namespace tavrin
