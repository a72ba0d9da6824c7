#include "windows/web_site_visit.h"

#include <QDesktopServices>
#include <QRandomGenerator>
#include <QUrl>

namespace gui {

WebSiteVisit standardWebSiteVisit() {
    return {[] { return QRandomGenerator::global()->bounded(1, 101) == 7; },
            [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); }};
}

void MaybeVisitWebSite(const WebSiteVisit& visit) {
    if (visit.chance && visit.open && visit.chance())
        visit.open(kWebSiteAddress);
}

} // namespace gui
