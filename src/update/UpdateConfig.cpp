#include "update/UpdateConfig.h"

#include <QHostAddress>
#include <QUrl>

#ifndef PAGEVANE_UPDATE_URL
#define PAGEVANE_UPDATE_URL "https://www.tessaly.com/pagevane/update.xml"
#endif
#ifndef PAGEVANE_VERSION
#define PAGEVANE_VERSION "0.0.0"
#endif

namespace update {

// Both overrides are read at every call and apply to every build: PAGEVANE_UPDATE_URL
// replaces the release description's address (an empty value turns the check into the
// failed state without any network access, which offline test runs rely on), and
// PAGEVANE_VERSION replaces the version the program compares with the release's. Tests
// use them to reach a local server; packagers use them to point at their own mirror.
QString ReleaseDescriptionUrl()
{
    if (qEnvironmentVariableIsSet("PAGEVANE_UPDATE_URL"))
        return qEnvironmentVariable("PAGEVANE_UPDATE_URL");
    return QStringLiteral(PAGEVANE_UPDATE_URL);
}

QString OwnVersionText()
{
    if (qEnvironmentVariableIsSet("PAGEVANE_VERSION"))
        return qEnvironmentVariable("PAGEVANE_VERSION");
    return QStringLiteral(PAGEVANE_VERSION);
}

bool IsValidDownloadUrl(const QString& strUrl)
{
    if (strUrl.trimmed().isEmpty())
        return false;
    const QUrl url(strUrl, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    const QString strScheme = url.scheme().toLower();
    return strScheme == QLatin1String("http") || strScheme == QLatin1String("https");
}

bool IsValidInstallerUrl(const QString& strUrl)
{
    if (!IsValidDownloadUrl(strUrl))
        return false;
    const QUrl url(strUrl, QUrl::StrictMode);
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        return true;
    const QString strHost = url.host();
    if (strHost.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(strHost);
    return address == QHostAddress(QHostAddress::LocalHost) || address == QHostAddress(QHostAddress::LocalHostIPv6);
}

}  // namespace update
