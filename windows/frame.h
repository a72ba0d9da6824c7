#pragma once

#include <QGroupBox>

namespace gui {

// A frame drawn as the designed windows have it: an etched rectangle whose top edge runs
// through the middle of the caption, the caption on the frame's own background. The
// children keep the positions they are given; the frame adds no layout of its own.
class Frame : public QGroupBox {
    Q_OBJECT
public:
    explicit Frame(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace gui
