#include "windows/classic_metrics_style.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyleFactory>

namespace gui {

namespace {
constexpr int kIndicator = 13;
constexpr int kSpacing = 4;
} // namespace

int ClassicMetricsStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        return kIndicator;
    case PM_RadioButtonLabelSpacing:
    case PM_CheckBoxLabelSpacing:
        return kSpacing;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void applyClassicMetrics(QWidget& window) {
    // One style per window, owned by it; the proxy owns the base style it wraps.
    auto* style = new ClassicMetricsStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(&window);
    for (QWidget* child : window.findChildren<QWidget*>())
        if (qobject_cast<QRadioButton*>(child) || qobject_cast<QCheckBox*>(child))
            child->setStyle(style);
}

} // namespace gui
