#pragma once
// The program's look: one style sheet for every control of the main window and the icons,
// drawn in code so that no picture files ship with the program.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace skin {

// Colours the window paints itself with.
inline const QColor kBackground(244, 244, 244);   // the light brush of the left pane
inline const QColor kCaptionTop(38, 58, 82);
inline const QColor kCaptionBottom(27, 42, 60);
inline const QColor kAccent(33, 118, 204);
inline const QColor kStatusBlue(0, 0, 255);

// The style sheet of the main window and its children.
QString StyleSheet();

enum class EGlyph {
  Help, Minimise, Maximise, Restore, Close,   // caption buttons
  Add, Remove, Clear, Convert, Cancel,        // list buttons
  Prev, Next, ZoomIn, ZoomOut,                // preview toolbar
  Open, Browse,                               // output folder
};

// A button icon in the given colour, with a lighter variant for the disabled state.
QIcon GlyphIcon(EGlyph glyph, const QColor& color, int size = 16);

// 24 x 24 list icons: a PDF page, and the padlock of a file that needs a password.
QPixmap FileIcon();
QPixmap LockIcon();

// The program's picture: the window icon and the About box.
QPixmap AppPixmap(int size);

}  // namespace skin
