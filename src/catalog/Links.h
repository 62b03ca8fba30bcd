#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The web pages the window links to.
namespace links {

// Pages of the maker's web site, given its base address (no trailing "/").
QString programPage(const QString& site); // site + "/?p=333"
QString sharingPage(const QString& site); // site + "/?p=343"
QString homePage(const QString& site);    // site + "/"

// True for an absolute http or https address with a host. Addresses that come from the catalog are
// opened only when this holds: the catalog is remote input, and the desktop would otherwise run a
// program or open a local file it names.
bool isWebAddress(const QString& address);

// The address of a recommended-sites row ("title[address]"): the text between the first "[" and
// the first "]"; with no "[" at all, the text before the first "]". nullopt when the row has no "]",
// when its first "]" stands before its first "[", or when the text is not a web address.
std::optional<QString> siteAddress(QStringView row);

} // namespace links
