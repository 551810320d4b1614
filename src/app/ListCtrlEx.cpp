#include "app/ListCtrlEx.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>
#include <QUrl>

#include "app/AppMessages.h"
#include "app/Skin.h"

namespace {

constexpr int kLockedRole = Qt::UserRole + 1;      // first column: the row shows the lock icon
constexpr int kOutputNameRole = Qt::UserRole + 2;  // fifth column: the full output name
constexpr int kStatusTipRole = Qt::UserRole + 3;   // fifth column: a reason or a warning

const char* const kLockTip = "Please click lock icon to input user password or ownerpassword";

}  // namespace

CListCtrlEx::CListCtrlEx(QWidget* parent)
    : QTreeWidget(parent), m_iconFile(skin::FileIcon()), m_iconLock(skin::LockIcon()) {
  setColumnCount(COLUMN_COUNT);
  setHeaderLabels({QStringLiteral("No."), QStringLiteral("Input File"), QStringLiteral("File Size"),
                   QStringLiteral("Pages"), QStringLiteral("Output File")});
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setIconSize(QSize(24, 24));
  setMouseTracking(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideMiddle);
  header()->setSectionsMovable(true);
  header()->setStretchLastSection(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(15);
  setFont(font);
}

void CListCtrlEx::SetColumnWidths(int nWidth) {
  static const double kShares[COLUMN_COUNT] = {0.118, 0.33, 0.135, 0.105756, 0.28};
  for (int c = 0; c < COLUMN_COUNT; ++c) setColumnWidth(c, static_cast<int>(nWidth * kShares[c]));
}

int CListCtrlEx::AddRow(bool bLocked, const QString& strName, const QString& strSize, const QString& strPages,
                        const QString& strStatus) {
  auto* item = new QTreeWidgetItem(this);
  const int row = indexOfTopLevelItem(item);
  item->setText(COL_NUMBER, QString::number(row + 1));
  item->setText(COL_NAME, strName);
  item->setToolTip(COL_NAME, QString());
  item->setText(COL_SIZE, strSize);
  item->setText(COL_PAGES, strPages);
  SetRowLocked(row, bLocked);
  SetStatusText(row, strStatus);
  return row;
}

void CListCtrlEx::SetRowLocked(int nRow, bool bLocked) {
  QTreeWidgetItem* item = topLevelItem(nRow);
  if (!item) return;
  item->setIcon(COL_NUMBER, bLocked ? m_iconLock : m_iconFile);
  item->setData(COL_NUMBER, kLockedRole, bLocked);
}

bool CListCtrlEx::IsRowLocked(int nRow) const {
  const QTreeWidgetItem* item = topLevelItem(nRow);
  return item && item->data(COL_NUMBER, kLockedRole).toBool();
}

void CListCtrlEx::SetPagesText(int nRow, const QString& strPages) {
  if (QTreeWidgetItem* item = topLevelItem(nRow)) item->setText(COL_PAGES, strPages);
}

void CListCtrlEx::SetStatusText(int nRow, const QString& strStatus, const QString& strOutputName) {
  QTreeWidgetItem* item = topLevelItem(nRow);
  if (!item) return;
  item->setText(COL_STATUS, strStatus);
  item->setForeground(COL_STATUS, QBrush(skin::kStatusBlue));
  QFont statusFont(QStringLiteral("Arial"));
  statusFont.setPixelSize(15);
  const bool isName = IsOutputName(strStatus);
  statusFont.setUnderline(isName);
  item->setFont(COL_STATUS, statusFont);
  item->setData(COL_STATUS, kOutputNameRole, isName ? (strOutputName.isEmpty() ? strStatus : strOutputName) : QString());
  item->setData(COL_STATUS, kStatusTipRole, QString());
}

void CListCtrlEx::SetStatusTip(int nRow, const QString& strTip) {
  if (QTreeWidgetItem* item = topLevelItem(nRow)) item->setData(COL_STATUS, kStatusTipRole, strTip);
}

QString CListCtrlEx::StatusTip(int nRow) const {
  const QTreeWidgetItem* item = topLevelItem(nRow);
  if (!item) return {};
  const QString name = OutputNameTip(item->data(COL_STATUS, kOutputNameRole).toString());
  const QString extra = item->data(COL_STATUS, kStatusTipRole).toString();
  if (name.isEmpty()) return extra;
  return extra.isEmpty() ? name : name + QLatin1Char('\n') + extra;
}

void CListCtrlEx::RenumberRows() {
  for (int r = 0; r < topLevelItemCount(); ++r) topLevelItem(r)->setText(COL_NUMBER, QString::number(r + 1));
}

void CListCtrlEx::RemoveRow(int nRow) { delete takeTopLevelItem(nRow); }

std::vector<int> CListCtrlEx::SelectedRows() const {
  std::vector<int> rows;
  for (int r = 0; r < topLevelItemCount(); ++r)
    if (topLevelItem(r)->isSelected()) rows.push_back(r);
  return rows;
}

int CListCtrlEx::FirstSelectedRow() const {
  for (int r = 0; r < topLevelItemCount(); ++r)
    if (topLevelItem(r)->isSelected()) return r;
  return -1;
}

void CListCtrlEx::SelectRowAlone(int nRow) {
  QTreeWidgetItem* item = topLevelItem(nRow);
  if (!item) return;
  setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollToItem(item);
}

bool CListCtrlEx::IsOutputName(const QString& strStatus) {
  static const char* const kStates[] = {"Word", "PowerPoint", "Excel", "CSV", "Text", "EPub",
                                        "Html", "Image", "Skipped", "Failed", "Waiting..."};
  for (const char* state : kStates)
    if (strStatus == QLatin1String(state)) return false;
  return true;
}

QString CListCtrlEx::OutputNameTip(const QString& strOutputName) {
  if (strOutputName.size() <= 80) return strOutputName;
  return strOutputName.left(66) + QStringLiteral("...") + strOutputName.right(10);
}

void CListCtrlEx::FillContextMenu(QMenu& menu) {
  QAction* remove = menu.addAction(QStringLiteral("Remove This Item"));
  QAction* clear = menu.addAction(QStringLiteral("Clear All Items"));
  QAction* password = menu.addAction(QStringLiteral("Input Password"));
  const std::vector<int> rows = SelectedRows();
  // Only for one selected row that is also the current row and shows the lock icon.
  const bool oneLocked = rows.size() == 1 && currentItem() == topLevelItem(rows[0]) && IsRowLocked(rows[0]);
  password->setEnabled(oneLocked && !m_bBusy);
  remove->setEnabled(!m_bBusy);
  clear->setEnabled(!m_bBusy);
  connect(remove, &QAction::triggered, this, &CListCtrlEx::removeRequested);
  connect(clear, &QAction::triggered, this, &CListCtrlEx::clearRequested);
  const int row = rows.empty() ? -1 : rows[0];
  connect(password, &QAction::triggered, this, [this, row] { emit listItemEvent(row, LIST_EVENT_FIRST_COLUMN); });
}

void CListCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
  if (topLevelItemCount() == 0) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.size() > 1)
    emit listItemEvent(rows[0], LIST_EVENT_MENU_MANY);
  else
    emit listItemEvent(rows.empty() ? -1 : rows[0], LIST_EVENT_MENU_ONE);
  QMenu menu(this);
  FillContextMenu(menu);
  menu.exec(event->globalPos());
}

void CListCtrlEx::mousePressEvent(QMouseEvent* event) {
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  if (!item) {
    // A press on the empty part never clears the selection; the main window re-selects the
    // previewed row (its event filter sees the press first).
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const int column = header()->logicalIndexAt(event->position().toPoint().x());
  const int clicked = indexOfTopLevelItem(item);
  int row = item->isSelected() ? clicked : FirstSelectedRow();
  emit listItemEvent(row, column < 0 ? LIST_EVENT_NAME_COLUMN : column);
}

bool CListCtrlEx::IsHandCell(const QPoint& viewportPos) const {
  QTreeWidgetItem* item = itemAt(viewportPos);
  if (!item) return false;
  const int column = header()->logicalIndexAt(viewportPos.x());
  if (column == COL_STATUS) return !item->data(COL_STATUS, kOutputNameRole).toString().isEmpty();
  if (column == COL_NUMBER) return item->data(COL_NUMBER, kLockedRole).toBool();
  return false;
}

void CListCtrlEx::mouseMoveEvent(QMouseEvent* event) {
  if (IsHandCell(event->position().toPoint()))
    viewport()->setCursor(Qt::PointingHandCursor);
  else
    viewport()->unsetCursor();
  QTreeWidget::mouseMoveEvent(event);
}

bool CListCtrlEx::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    QTreeWidgetItem* item = itemAt(help->pos());
    const int column = header()->logicalIndexAt(help->pos().x());
    QString tip;
    if (item && column == COL_NUMBER && item->data(COL_NUMBER, kLockedRole).toBool())
      tip = QString::fromLatin1(kLockTip);
    else if (item && column == COL_STATUS)
      tip = StatusTip(indexOfTopLevelItem(item));
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
  }
  return QTreeWidget::viewportEvent(event);
}

bool CListCtrlEx::IsPointerOverList() const { return rect().contains(mapFromGlobal(QCursor::pos())); }

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (ctrl && event->key() == Qt::Key_A) {
    if (topLevelItemCount() == 0) return;
    selectAll();
    emit listItemEvent(0, LIST_EVENT_SELECTED);
    return;
  }
  if (!ctrl && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    const bool down = event->key() == Qt::Key_Down;
    if (!IsPointerOverList()) {
      emit previewArrow(down);
      return;
    }
    const int first = FirstSelectedRow();
    const int target = first + (down ? 1 : -1);
    if (first >= 0 && target >= 0 && target < topLevelItemCount()) {
      SelectRowAlone(target);
      emit listItemEvent(target, LIST_EVENT_SELECTED);
      return;
    }
  }
  QTreeWidget::keyPressEvent(event);
}

void CListCtrlEx::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    event->ignore();
}

void CListCtrlEx::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    event->ignore();
}

void CListCtrlEx::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  event->acceptProposedAction();
  if (!paths.isEmpty()) emit filesDropped(paths);
}
