#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

namespace sorvanto {

// Keeps the hot look of the ColourButtons in one bar: on every mouse move over the bar or a
// button, and every 500 ms (so a button the mouse left quickly goes back to normal), each
// button whose rectangle holds the mouse point is set hot and every other normal.
class ColourButtonHotTracker : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 500;

    // Tracks the ColourButton children of bar (those added later too, at the next update).
    explicit ColourButtonHotTracker(QWidget* bar);

    // Sets the looks for a mouse point in the bar's coordinates.
    void UpdateAt(const QPoint& point_in_bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateFromCursor();
    void WatchButtons();

    QWidget* bar_;
    QTimer timer_;
};

}  // namespace sorvanto
