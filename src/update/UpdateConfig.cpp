#include "update/UpdateConfig.h"

#include <QUrl>

#ifndef PAGEVANE_UPDATE_URL
#define PAGEVANE_UPDATE_URL "https://www.tessaly.com/pagevane/update.xml"
#endif
#ifndef PAGEVANE_VERSION
#define PAGEVANE_VERSION "0.0.0"
#endif

namespace update {

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

}  // namespace update
