#include "update/VersionCompare.h"

namespace update {

int CompareVersionText(const QString& strOwn, const QString& strRelease)
{
    return QString::compare(strOwn, strRelease, Qt::CaseSensitive);
}

bool IsReleaseNewer(const QString& strOwn, const QString& strRelease)
{
    return CompareVersionText(strOwn, strRelease) < 0;
}

}  // namespace update
