#include "widgets/fading_panel.h"

#include "widgets/widget_colours.h"

#include <QLabel>

namespace tavrin {

using namespace colours;

FadingPanel::FadingPanel(QWidget* frame, QWidget* shape, QList<QLabel*> labels)
    : frame_(frame), shape_(shape), labels_(std::move(labels)) {}

void FadingPanel::paint(int level) {
    const QColor c = grey(level);
    for (QLabel* l : labels_)
        setTextColor(l, c);
    setTextColor(shape_, c);
    setTextColor(frame_, c);
}

void FadingPanel::fadeIn(int startGrey) {
    paint(startGrey);
    frame_->show();
    shape_->show();
    shape_->raise();
    level_ = startGrey;
}

bool FadingPanel::step(int restGrey) {
    if (level_ < 0)
        return false;
    level_ -= 14;
    if (level_ >= restGrey) {
        paint(level_);
        return true;
    }
    paint(restGrey);
    level_ = -1;
    return false;
}

void FadingPanel::stopFade() {
    level_ = -1;
}

void FadingPanel::hide() {
    if (frame_->isHidden() && shape_->isHidden())
        return;
    frame_->hide();
    shape_->hide();
}

bool FadingPanel::isVisible() const {
    return frame_->isVisible();
}

bool FadingPanel::atRest(int restGrey) const {
    return textColor(frame_) == grey(restGrey);
}

} // namespace tavrin
