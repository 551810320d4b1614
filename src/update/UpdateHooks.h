#pragma once
// The update windows' message boxes go through one hook, so tests can record them instead
// of blocking on a modal box.

#include <QString>

#include <functional>

class QWidget;

namespace update {

using MessageBoxHook = std::function<void(const QString& strTitle, const QString& strText)>;

// Replaces the message box with hook; an empty hook restores the modal box.
void SetMessageBoxHook(MessageBoxHook hook);

// Shows a modal message box over pParent titled strTitle, or hands both texts to the hook.
void ShowMessageBox(QWidget* pParent, const QString& strTitle, const QString& strText);

}  // namespace update
