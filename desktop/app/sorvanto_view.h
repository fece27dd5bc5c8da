#pragma once

#include <QWidget>
#include <string>

class QListWidget;

namespace sorvanto {

// The log pane under the tabs: time-stamped lines, newest on top, at most 1000 of them, not
// saved.
class CSorvantoView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 1000;

    explicit CSorvantoView(QWidget* parent = nullptr);

    // Adds the local-time prefix to a Shift_JIS message (taken as it stands, never as a
    // format) and puts the line on top.
    void AppendLog(const std::string& message);

    int LineCount() const;
    // Line at index 0 (the newest) downwards, as shown.
    QString LineAt(int index) const;

private:
    QListWidget* list_;
};

}  // namespace sorvanto
