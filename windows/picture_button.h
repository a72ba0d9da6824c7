#pragma once

#include <QPixmap>
#include <QPushButton>

namespace gui {

// A push button that shows a picture above its caption, the caption wrapped to the
// button's width, as the narrow "Move Up" and "Move Down" buttons need.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    PictureButton(const QString& caption, QPixmap picture, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace gui
