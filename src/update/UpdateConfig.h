#pragma once
// Build-time configuration of the online update, with environment overrides so tests and
// packagers can point the check at another server and set the version the program reports.

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

// True for an installer address the program may download and run: a valid https address,
// or http on this machine (127.0.0.1, ::1, localhost) for local mirrors. Plain http to any
// other host would let anyone on the network path swap the program that is started.
bool IsValidInstallerUrl(const QString& strUrl);

}  // namespace update
