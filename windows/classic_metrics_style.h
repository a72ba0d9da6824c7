#pragma once

#include <QProxyStyle>

class QWidget;

namespace gui {

// The option buttons' and check boxes' indicator size and caption spacing of the
// designed windows (13 and 4 pixels), which their widths were measured for; with a
// style's own, wider metrics the longest captions lose their last letters.
class ClassicMetricsStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

// Gives every option button and check box on the window these metrics.
void applyClassicMetrics(QWidget& window);

} // namespace gui
