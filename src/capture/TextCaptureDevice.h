#pragma once
// TextCaptureDevice: an engine device that receives a page's text-drawing calls and builds
// a SpanPage (characters with boxes, spans of one style, lines, blocks, order numbers).

#include "capture/SpanPage.h"

struct fz_device;
struct fz_context;

namespace capture {

// Document-wide state the capture keeps between pages of one open document.
struct GlyphNameState {
  int m_nHexNames = -1;  // -1 undecided, 0 decimal glyph names, 1 hexadecimal glyph names
};

// A new device filling `page` with styles from `sheet`. Both must outlive the device.
// Close the device (fz_close_device) to flush the last line. Null when the engine cannot
// allocate it. Failed() tells whether any callback failed and dropped text.
fz_device* NewTextCaptureDevice(fz_context* ctx, StyleSheet& sheet, SpanPage& page,
                                GlyphNameState& glyphNames);

bool TextCaptureFailed(fz_device* device);

}  // namespace capture
