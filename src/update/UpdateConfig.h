#pragma once
// Build-time configuration of the online update, with environment overrides so tests can
// point the check at a local server and pretend to be another release.

#include <QString>

namespace update {

// The address of the release description: PAGEVANE_UPDATE_URL from the environment when it
// is set (even to an empty value), otherwise the address compiled in. Never fails.
QString ReleaseDescriptionUrl();

// The running program's own version text: PAGEVANE_VERSION from the environment when set,
// otherwise the project version compiled in. Never fails.
QString OwnVersionText();

// True for an absolute http or https address with a host; empty text is not valid.
bool IsValidDownloadUrl(const QString& strUrl);

}  // namespace update
