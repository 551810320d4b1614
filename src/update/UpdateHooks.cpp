#include "update/UpdateHooks.h"

#include <QMessageBox>

namespace update {

namespace {

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

void ShowMessageBox(QWidget* pParent, const QString& strTitle, const QString& strText)
{
    if (Hook()) {
        Hook()(strTitle, strText);
        return;
    }
    QMessageBox box(QMessageBox::Warning, strTitle, strText, QMessageBox::Ok, pParent);
    box.exec();
}

}  // namespace update
