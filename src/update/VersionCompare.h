#pragma once
// Release versions are compared as plain text, character by character: "2.0.10" sorts
// below "2.0.9".

#include <QString>

namespace update {

// Negative, zero or positive as strOwn sorts below, equal to or above strRelease, comparing
// UTF-16 code units in order; a text that is a prefix of the other sorts below it.
int CompareVersionText(const QString& strOwn, const QString& strRelease);

// True when the release is newer: the own version text sorts below the release's.
bool IsReleaseNewer(const QString& strOwn, const QString& strRelease);

}  // namespace update
