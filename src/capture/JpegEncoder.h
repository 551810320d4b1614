#pragma once
// JPEG encoding of a picture's raw pixels with libjpeg: RGB input, three components, the
// library's defaults and the standard quantisation tables at quality 100 (every quantiser 1).

namespace nsPDFData {
struct CImageObj;
}

namespace capture {

// Encodes picture.m_pData, packed RGB rows of m_fPixWidth x m_fPixHeight pixels (sizes
// truncated), and on success replaces the data by the JPEG file bytes and m_nDataSize by
// their count. Returns false, leaving the picture as it was, when the sizes do not match
// the data, exceed what JPEG can hold, or the library fails.
bool EncodeJpeg(nsPDFData::CImageObj& picture);

}  // namespace capture
