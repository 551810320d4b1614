#pragma once
// The modal dialogs the main window opens for a message or a choice of files, behind one
// small seam each, so that tests answer them instead of a person.

#include <QMessageBox>
#include <QStringList>
#include <functional>

class QWidget;

namespace appdlg {

// Shows `text` in a message box titled `title` and returns the StandardButton pressed.
int ShowMessageBox(QWidget* parent, const QString& text, const QString& title,
                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                   QMessageBox::Icon icon = QMessageBox::NoIcon);

// The file-open dialog of the Add button: several PDF files; empty when cancelled.
QStringList ChooseOpenFiles(QWidget* parent);

// The folder picker of "Browse", titled `title`, opened on `start`: the chosen folder, or an
// empty string when cancelled.
QString ChooseFolder(QWidget* parent, const QString& title, const QString& start);

// Replacements for the dialogs above; an empty function restores the real dialog.
using MessageBoxHook = std::function<int(const QString& text, const QString& title, QMessageBox::StandardButtons buttons)>;
using OpenFilesHook = std::function<QStringList()>;
using FolderHook = std::function<QString(const QString& title)>;
void SetMessageBoxHook(MessageBoxHook hook);
void SetOpenFilesHook(OpenFilesHook hook);
void SetFolderHook(FolderHook hook);

}  // namespace appdlg
