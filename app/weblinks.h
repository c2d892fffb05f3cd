#pragma once

#include <QString>

// The maker's web site. Every link carries the product query, so the site knows which program asks.
inline constexpr char kWebHost[] = "http://www.brembloc.com";

QString supportPageBase();
QString homePageBase();

// The update check asks this host which version is the latest.
inline constexpr char kUpdateHost[] = "http://www.brembloc.com";

// The update check's endpoint: the update host + "/download/checkupates.php".
QString updateCheckBase();

// Points the update check at another host ("http://127.0.0.1:PORT" for a test's own server); an empty
// host goes back to kUpdateHost.
void overrideUpdateHost(const QString& host);

// base + "?id=vornetta&Lang=" + language + "&Platform=Win", plain concatenation: a base that already
// holds a query gets a second "?" all the same.
QString buildWebUrl(const QString& base, const QString& language);
