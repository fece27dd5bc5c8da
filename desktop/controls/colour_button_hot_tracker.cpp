#include "controls/colour_button_hot_tracker.h"

#include <QCursor>
#include <QEvent>
#include <QWidget>

#include "controls/colour_button.h"

namespace sorvanto {

ColourButtonHotTracker::ColourButtonHotTracker(QWidget* bar) : QObject(bar), bar_(bar) {
    bar_->setMouseTracking(true);
    bar_->installEventFilter(this);
    WatchButtons();
    connect(&timer_, &QTimer::timeout, this, &ColourButtonHotTracker::UpdateFromCursor);
    timer_.start(kIntervalMs);
}

void ColourButtonHotTracker::WatchButtons() {
    for (ColourButton* button : bar_->findChildren<ColourButton*>()) {
        // Installing twice would deliver events twice: remove first.
        button->removeEventFilter(this);
        button->installEventFilter(this);
    }
}

void ColourButtonHotTracker::UpdateAt(const QPoint& point_in_bar) {
    for (ColourButton* button : bar_->findChildren<ColourButton*>()) {
        const bool hot = button->isVisible() && button->geometry().contains(point_in_bar);
        button->SetVisualState(hot ? ColourButton::VisualState::kHot : ColourButton::VisualState::kNormal, true);
    }
}

void ColourButtonHotTracker::UpdateFromCursor() {
    WatchButtons();
    UpdateAt(bar_->mapFromGlobal(QCursor::pos()));
}

bool ColourButtonHotTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
        UpdateFromCursor();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace sorvanto
