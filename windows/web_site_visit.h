#pragma once

#include <QString>

#include <functional>

namespace gui {

// The maker's web site, opened at about one start in a hundred.
inline const QString kWebSiteAddress = QStringLiteral("https://hedgemoor.example/tarnwick");

// How a start decides on the visit and opens the site. Both are replaceable so that
// tests and tools never open a browser: with either left empty nothing happens.
struct WebSiteVisit {
    std::function<bool()> chance;
    std::function<void(const QString& address)> open;
};

// The program's own: a draw of 1 to 100 that visits on 7, through the desktop's browser,
// without waiting for it.
WebSiteVisit standardWebSiteVisit();

// Opens the site when the chance says so.
void MaybeVisitWebSite(const WebSiteVisit& visit);

} // namespace gui
