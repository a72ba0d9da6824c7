#include "windows/picture_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace gui {

namespace {
constexpr int kGap = 4; // between picture and caption
}

PictureButton::PictureButton(const QString& caption, QPixmap picture, QWidget* parent)
    : QPushButton(caption, parent), m_picture(std::move(picture)) {}

void PictureButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the bevel and the focus frame; picture and caption are ours.
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QSize pictureSize = m_picture.deviceIndependentSize().toSize();
    const QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QRect textBounds = fontMetrics().boundingRect(content, Qt::AlignHCenter | Qt::TextWordWrap, text());
    const int totalHeight = pictureSize.height() + kGap + textBounds.height();
    int top = content.top() + (content.height() - totalHeight) / 2;
    if (option.state & QStyle::State_Sunken)
        top += 1;

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap picture = mode == QIcon::Normal ? m_picture : QIcon(m_picture).pixmap(pictureSize, QIcon::Disabled);
    painter.drawPixmap(QPoint(content.left() + (content.width() - pictureSize.width()) / 2, top), picture);

    const QRect textRect(content.left(), top + pictureSize.height() + kGap, content.width(), textBounds.height());
    painter.drawItemText(textRect, Qt::AlignHCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

} // namespace gui
