#pragma once
// CPDFPreview: the preview window. It only shows the picture the pane composes for it and
// reports the wheel and mouse presses; it renders nothing itself.

#include <QImage>
#include <QWidget>

class CPDFPreview : public QWidget {
  Q_OBJECT

 public:
  explicit CPDFPreview(QWidget* parent = nullptr);

  // Replaces the picture shown and repaints; a null image shows an empty preview.
  void SetImage(QImage image);
  const QImage& Image() const { return m_image; }

 signals:
  // A wheel turn over the preview: the vertical delta in eighths of a degree (120 a notch).
  void WheelTurned(int delta);
  // A mouse button went down in the preview (the main window moves the focus to the list).
  void MousePressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QImage m_image;  // the composed viewport; null for an empty preview
};
