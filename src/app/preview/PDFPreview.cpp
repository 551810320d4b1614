#include "app/preview/PDFPreview.h"

#include <QPainter>
#include <QWheelEvent>

#include "app/preview/PreviewDoc.h"

CPDFPreview::CPDFPreview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void CPDFPreview::SetImage(QImage image) {
  m_image = std::move(image);
  update();
}

void CPDFPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), CPreviewDoc::kBackground);
  if (!m_image.isNull()) painter.drawImage(QPoint(0, 0), m_image);
}

void CPDFPreview::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  event->accept();
  if (delta != 0) emit WheelTurned(delta);
}

void CPDFPreview::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit MousePressed();
}
