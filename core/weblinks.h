// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The maker's web site. Every link carries the product query, so the site knows which program asks.
// HTTPS, so that no one on the path can put a page of their own in its place.
inline constexpr char kWebHost[] = "https://www.brembloc.com";

QString supportPageBase();
QString homePageBase();

// The update check asks this host which version is the latest; HTTPS, so that only the maker answers.
inline constexpr char kUpdateHost[] = "https://www.brembloc.com";

// The update check's endpoint: the update host + "/download/checkupates.php".
QString updateCheckBase();

// Points the update check at another host ("http://127.0.0.1:PORT" for a test's own server); an empty
// host goes back to kUpdateHost.
void overrideUpdateHost(const QString& host);

// base + "?id=vornetta&Lang=" + language + "&Platform=Win", plain concatenation: a base that already
// holds a query gets a second "?" all the same.
QString buildWebUrl(const QString& base, const QString& language);
