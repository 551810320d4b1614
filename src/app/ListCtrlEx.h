#pragma once
// CListCtrlEx: the visible half of the file list, one row per CFileItem in the same order.
// It reports clicks and selection changes as WM_LIST_ITEM_EVENT (listItemEvent), passes
// dropped files and its context-menu commands to the main window, and turns arrow keys and
// wheel turns that belong to the preview into preview scroll requests.

#include <QTreeWidget>
#include <vector>

class QMenu;

class CListCtrlEx : public QTreeWidget {
  Q_OBJECT

 public:
  enum EColumn { COL_NUMBER = 0, COL_NAME, COL_SIZE, COL_PAGES, COL_STATUS, COLUMN_COUNT };

  explicit CListCtrlEx(QWidget* parent = nullptr);

  // Gives the columns their shares of `nWidth` pixels (truncated).
  void SetColumnWidths(int nWidth);

  // Appends a row and returns its number (0-based).
  int AddRow(bool bLocked, const QString& strName, const QString& strSize, const QString& strPages,
             const QString& strStatus);
  // The lock icon or the file icon in the first column.
  void SetRowLocked(int nRow, bool bLocked);
  bool IsRowLocked(int nRow) const;
  void SetPagesText(int nRow, const QString& strPages);
  // The fifth column: blue, underlined with a hand cursor when it names an output file, whose
  // full name (`strOutputName`) then shows as its tooltip.
  // Any tooltip set with SetStatusTip is dropped.
  void SetStatusText(int nRow, const QString& strStatus, const QString& strOutputName = {});
  // A line the fifth column's tooltip shows (under the output name, if any): why a job
  // failed, or what a finished job warns about.
  void SetStatusTip(int nRow, const QString& strTip);
  // The fifth column's tooltip as it shows now; empty for none.
  QString StatusTip(int nRow) const;
  // Rewrites the numbers of the first column as 1, 2, 3, ...
  void RenumberRows();
  void RemoveRow(int nRow);

  // Selected rows, ascending.
  std::vector<int> SelectedRows() const;
  int FirstSelectedRow() const;
  // Selects `nRow` alone, makes it current and scrolls it into view; sends no event.
  void SelectRowAlone(int nRow);

  // Fills `menu` with the context menu's commands as they apply now.
  void FillContextMenu(QMenu& menu);
  // While a batch runs the menu's commands are greyed: the list must keep its rows and the
  // files their state until the batch ends.
  void SetBusy(bool bBusy) { m_bBusy = bBusy; }

  // True when the status text names an output file rather than a kind or a state.
  static bool IsOutputName(const QString& strStatus);
  // The tooltip of an output name: names over 80 characters are shortened to 66 + "..." + 10.
  static QString OutputNameTip(const QString& strOutputName);

 signals:
  void listItemEvent(int nRow, int nCause);   // WM_LIST_ITEM_EVENT
  void removeRequested();                     // "Remove This Item"
  void clearRequested();                      // "Clear All Items"
  void filesDropped(const QStringList& paths);
  void previewArrow(bool bDown);              // WM_PREVIEW_ARROW (1130)

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  bool IsPointerOverList() const;
  bool IsHandCell(const QPoint& viewportPos) const;

  QIcon m_iconFile;
  QIcon m_iconLock;
  bool m_bBusy = false;
};
