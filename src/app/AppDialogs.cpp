#include "app/AppDialogs.h"

#include <QFileDialog>

namespace appdlg {
namespace {

MessageBoxHook& MessageHook() {
  static MessageBoxHook hook;
  return hook;
}

OpenFilesHook& FilesHook() {
  static OpenFilesHook hook;
  return hook;
}

FolderHook& ChosenFolderHook() {
  static FolderHook hook;
  return hook;
}

}  // namespace

int ShowMessageBox(QWidget* parent, const QString& text, const QString& title,
                   QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
  if (MessageHook()) return MessageHook()(text, title, buttons);
  QMessageBox box(icon, title, text, buttons, parent);
  return box.exec();
}

QStringList ChooseOpenFiles(QWidget* parent) {
  if (FilesHook()) return FilesHook()();
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilter(QStringLiteral("PDF Files (*.pdf)"));
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) {
  if (ChosenFolderHook()) return ChosenFolderHook()(title);
  QFileDialog dialog(parent, title, start);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void SetMessageBoxHook(MessageBoxHook hook) { MessageHook() = std::move(hook); }
void SetOpenFilesHook(OpenFilesHook hook) { FilesHook() = std::move(hook); }
void SetFolderHook(FolderHook hook) { ChosenFolderHook() = std::move(hook); }

}  // namespace appdlg
