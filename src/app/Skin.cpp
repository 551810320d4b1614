#include "app/Skin.h"

#include <QPainter>
#include <QPainterPath>

namespace skin {

QString StyleSheet() {
  return QStringLiteral(R"(
QWidget { font-family: Arial; font-size: 13px; color: #414141; }
QDialog#CVelluminDlg { background: #f4f4f4; }

QPushButton {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e9edf2);
  border: 1px solid #b9c3ce; border-radius: 4px; padding: 3px 10px; color: #2f3b48;
}
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dcebfa);
  border-color: #2176cc; }
QPushButton:pressed { background: #c9dff5; border-color: #1a5fa6; padding-top: 4px; padding-bottom: 2px; }
QPushButton:disabled { background: #f0f0f0; border-color: #d6d6d6; color: #a8a8a8; }
QPushButton:focus { outline: none; }

QPushButton[role="main"] { font-size: 14px; font-weight: bold; text-align: left; padding-left: 12px; }
QPushButton#m_btnConvert { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3a8ee0, stop:1 #1f6fbf);
  border-color: #1a5fa6; color: white; }
QPushButton#m_btnConvert:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #52a0ec, stop:1 #2a7fd2); }
QPushButton#m_btnConvert:pressed { background: #1a5fa6; }
QPushButton#m_btnConvert:disabled { background: #b7c9db; border-color: #a9bccf; color: #eef3f8; }
QPushButton#m_btnCancel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e86a5a, stop:1 #c9463a);
  border-color: #a93a30; color: white; }
QPushButton#m_btnCancel:hover { background: #ef7b6c; }

QPushButton[role="caption"] { background: transparent; border: none; border-radius: 3px; padding: 0; }
QPushButton[role="caption"]:hover { background: rgba(255, 255, 255, 40); }
QPushButton[role="caption"]:pressed { background: rgba(255, 255, 255, 70); }
QPushButton#m_btnClose:hover { background: #d9453b; }
QPushButton#m_btnClose:pressed { background: #b3342c; }

QPushButton[role="tool"] { padding: 0; border-radius: 3px; }

QTreeWidget { background: white; color: #414141; font-size: 15px; border: 1px solid #c5ccd4;
  selection-background-color: #d7e8fa; selection-color: #1d2a38; outline: none; }
QTreeWidget::item { height: 30px; border-bottom: 1px solid #ececec; border-right: 1px solid #f2f2f2; }
QTreeWidget::item:hover { background: #eef5fd; }
QTreeWidget::item:selected { background: #d7e8fa; color: #1d2a38; }
QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfbfb, stop:1 #e6eaee);
  color: #4b5764; font-weight: bold; font-size: 12px; padding: 4px 5px; border: none;
  border-right: 1px solid #d3d9df; border-bottom: 1px solid #c5ccd4; }
QHeaderView::section:hover { background: #eaf2fb; }

QScrollBar:vertical { background: #f1f1f1; width: 12px; margin: 0; }
QScrollBar:horizontal { background: #f1f1f1; height: 12px; margin: 0; }
QScrollBar::handle { background: #c3c9d0; border-radius: 4px; margin: 2px; min-height: 24px; min-width: 24px; }
QScrollBar::handle:hover { background: #9aa4ae; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }

QGroupBox { border: 1px solid #d3d9df; border-radius: 5px; margin-top: 9px; background: #fafafa;
  font-size: 13px; font-weight: bold; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #808080; }

QComboBox { background: white; border: 1px solid #b9c3ce; border-radius: 3px; padding: 2px 8px; min-height: 20px; }
QComboBox:hover { border-color: #2176cc; }
QComboBox:disabled { background: #f0f0f0; color: #a8a8a8; border-color: #d6d6d6; }
QComboBox QAbstractItemView { background: white; selection-background-color: #d7e8fa; selection-color: #1d2a38; }

QLineEdit { background: white; border: 1px solid #b9c3ce; border-radius: 3px; padding: 2px 6px; }
QLineEdit:focus { border-color: #2176cc; }
QLineEdit:disabled { background: #f0f0f0; color: #a8a8a8; border-color: #d6d6d6; }

QRadioButton { color: #646464; font-size: 13px; font-weight: bold; background: transparent; }
QRadioButton:disabled { color: #b0b0b0; }
QRadioButton::indicator { width: 14px; height: 14px; border-radius: 8px; border: 1px solid #9aa6b2; background: white; }
QRadioButton::indicator:hover { border-color: #2176cc; }
QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
  stop:0 #2176cc, stop:0.45 #2176cc, stop:0.55 white, stop:1 white); border-color: #2176cc; }
QRadioButton::indicator:disabled { background: #f0f0f0; border-color: #d0d0d0; }
QRadioButton::indicator:checked:disabled { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,
  stop:0 #b0b0b0, stop:0.45 #b0b0b0, stop:0.55 #f0f0f0, stop:1 #f0f0f0); }

QLabel#m_lblInvalid { color: #ff0000; font-weight: bold; }
QLabel#m_lblProcess { color: #675c5c; font-size: 14px; font-weight: bold; }
QLabel#m_lblPageCount { color: #808080; background: transparent; font-weight: bold; }
QLineEdit#m_editPage { color: #646464; font-size: 14px; font-weight: bold; }

QProgressBar { background: #e4e8ec; border: 1px solid #c5ccd4; border-radius: 7px; text-align: center;
  color: #2f3b48; font-size: 11px; font-weight: bold; }
QProgressBar::chunk { border-radius: 6px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
  stop:0 #5aa7ef, stop:1 #2176cc); }

QMenu { background: white; border: 1px solid #b9c3ce; padding: 4px 0; }
QMenu::item { padding: 5px 24px 5px 20px; }
QMenu::item:selected { background: #d7e8fa; color: #1d2a38; }
QMenu::item:disabled { color: #b0b0b0; }
QMenu::separator { height: 1px; background: #e0e0e0; margin: 4px 8px; }
QToolTip { background: #fffbe6; color: #333333; border: 1px solid #c9b66b; padding: 3px; }
)");
}

namespace {

void DrawGlyph(QPainter& p, EGlyph glyph, int s) {
  const double m = s * 0.22;       // margin
  const double c = s / 2.0;        // centre
  QPen pen = p.pen();
  switch (glyph) {
    case EGlyph::Help: {
      QFont font(QStringLiteral("Arial"));
      font.setPixelSize(static_cast<int>(s * 0.8));
      font.setBold(true);
      p.setFont(font);
      p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case EGlyph::Minimise:
      p.drawLine(QPointF(m, s - m - 1), QPointF(s - m, s - m - 1));
      break;
    case EGlyph::Maximise:
      p.drawRect(QRectF(m, m, s - 2 * m, s - 2 * m));
      break;
    case EGlyph::Restore:
      p.drawRect(QRectF(m, m + 3, s - 2 * m - 3, s - 2 * m - 3));
      p.drawPolyline(QPolygonF({QPointF(m + 3, m + 3), QPointF(m + 3, m), QPointF(s - m, m),
                                QPointF(s - m, s - m - 3), QPointF(s - m - 3, s - m - 3)}));
      break;
    case EGlyph::Close:
    case EGlyph::Cancel:
      p.drawLine(QPointF(m, m), QPointF(s - m, s - m));
      p.drawLine(QPointF(s - m, m), QPointF(m, s - m));
      break;
    case EGlyph::Add:
      pen.setWidthF(s / 7.0);
      p.setPen(pen);
      p.drawLine(QPointF(c, m), QPointF(c, s - m));
      p.drawLine(QPointF(m, c), QPointF(s - m, c));
      break;
    case EGlyph::Remove:
      pen.setWidthF(s / 7.0);
      p.setPen(pen);
      p.drawLine(QPointF(m, c), QPointF(s - m, c));
      break;
    case EGlyph::Clear: {  // a waste bin
      p.drawLine(QPointF(m - 1, m + 1), QPointF(s - m + 1, m + 1));
      p.drawLine(QPointF(c - 2, m - 1), QPointF(c + 2, m - 1));
      QPainterPath bin;
      bin.moveTo(m, m + 3);
      bin.lineTo(m + 1.5, s - m + 1);
      bin.lineTo(s - m - 1.5, s - m + 1);
      bin.lineTo(s - m, m + 3);
      p.drawPath(bin);
      p.drawLine(QPointF(c, m + 5), QPointF(c, s - m - 1));
      break;
    }
    case EGlyph::Convert: {
      QPainterPath tri;
      tri.moveTo(m + 1, m - 1);
      tri.lineTo(s - m + 1, c);
      tri.lineTo(m + 1, s - m + 1);
      tri.closeSubpath();
      p.fillPath(tri, pen.color());
      break;
    }
    case EGlyph::Prev:
    case EGlyph::Next: {
      const double up = glyph == EGlyph::Prev ? 1 : -1;
      QPainterPath arrow;
      arrow.moveTo(m, c + up * (s / 6.0));
      arrow.lineTo(c, c - up * (s / 6.0));
      arrow.lineTo(s - m, c + up * (s / 6.0));
      pen.setWidthF(s / 8.0);
      p.setPen(pen);
      p.drawPath(arrow);
      break;
    }
    case EGlyph::ZoomIn:
    case EGlyph::ZoomOut: {
      const double r = s * 0.28;
      const QPointF lens(c - 1.5, c - 1.5);
      p.drawEllipse(lens, r, r);
      p.drawLine(lens + QPointF(-r / 2, 0), lens + QPointF(r / 2, 0));
      if (glyph == EGlyph::ZoomIn) p.drawLine(lens + QPointF(0, -r / 2), lens + QPointF(0, r / 2));
      pen.setWidthF(s / 7.0);
      p.setPen(pen);
      p.drawLine(lens + QPointF(r * 0.75, r * 0.75), QPointF(s - m + 1, s - m + 1));
      break;
    }
    case EGlyph::Open:
    case EGlyph::Browse: {  // a folder
      QPainterPath folder;
      folder.moveTo(m - 1, s - m);
      folder.lineTo(m - 1, m);
      folder.lineTo(c - 1, m);
      folder.lineTo(c + 1, m + 2);
      folder.lineTo(s - m + 1, m + 2);
      folder.lineTo(s - m + 1, s - m);
      folder.closeSubpath();
      p.drawPath(folder);
      if (glyph == EGlyph::Browse) p.drawLine(QPointF(m - 1, m + 5), QPointF(s - m + 1, m + 5));
      break;
    }
  }
}

QPixmap GlyphPixmap(EGlyph glyph, const QColor& color, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(color, size / 10.0 < 1.4 ? 1.4 : size / 10.0);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  DrawGlyph(p, glyph, size);
  return pixmap;
}

// A page with a folded corner and a red band, the body shared by both list icons.
void DrawPage(QPainter& p) {
  QPainterPath page;
  page.moveTo(5, 2);
  page.lineTo(15, 2);
  page.lineTo(20, 7);
  page.lineTo(20, 22);
  page.lineTo(5, 22);
  page.closeSubpath();
  p.setPen(QPen(QColor(150, 158, 168), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.setBrush(QColor(226, 232, 238));
  p.drawPolygon(QPolygonF({QPointF(15, 2), QPointF(15, 7), QPointF(20, 7)}));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(214, 48, 49));
  p.drawRoundedRect(QRectF(3, 12, 15, 7), 1.5, 1.5);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(6);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(3, 12, 15, 7), Qt::AlignCenter, QStringLiteral("PDF"));
}

}  // namespace

QIcon GlyphIcon(EGlyph glyph, const QColor& color, int size) {
  QIcon icon;
  icon.addPixmap(GlyphPixmap(glyph, color, size), QIcon::Normal);
  icon.addPixmap(GlyphPixmap(glyph, QColor(176, 176, 176), size), QIcon::Disabled);
  return icon;
}

QPixmap FileIcon() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawPage(p);
  return pixmap;
}

QPixmap LockIcon() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(120, 96, 20), 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(7, 3, 10, 12), 0, 180 * 16);
  p.drawLine(QPointF(7, 9), QPointF(7, 12));
  p.drawLine(QPointF(17, 9), QPointF(17, 12));
  QLinearGradient body(0, 11, 0, 22);
  body.setColorAt(0, QColor(250, 204, 72));
  body.setColorAt(1, QColor(222, 162, 24));
  p.setPen(QPen(QColor(160, 116, 10), 1));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(4.5, 11, 15, 11), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 80, 10));
  p.drawEllipse(QPointF(12, 15.5), 1.8, 1.8);
  p.drawRect(QRectF(11.3, 16, 1.4, 3.5));
  return pixmap;
}

QPixmap AppPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // A document turning into a slide: a page, an arrow, a presentation sheet.
  QLinearGradient back(0, 0, 0, 64);
  back.setColorAt(0, QColor(58, 142, 224));
  back.setColorAt(1, QColor(24, 96, 176));
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(12, 12, 24, 32), 2, 2);
  p.setBrush(QColor(214, 48, 49));
  p.drawRect(QRectF(12, 30, 24, 7));
  p.setBrush(QColor(255, 196, 60));
  p.drawRoundedRect(QRectF(30, 28, 24, 20), 2, 2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(34, 33, 16, 2.5));
  p.drawRect(QRectF(34, 38, 11, 2.5));
  return pixmap;
}

}  // namespace skin
