#pragma once

#include <QString>

// The maker's web site. Every link carries the product query, so the site knows which program asks.
inline constexpr char kWebHost[] = "http://www.brembloc.com";

QString supportPageBase();
QString homePageBase();

// base + "?id=vornetta&Lang=" + language + "&Platform=Win", plain concatenation: a base that already
// holds a query gets a second "?" all the same.
QString buildWebUrl(const QString& base, const QString& language);
