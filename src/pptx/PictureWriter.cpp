#include "pptx/PictureWriter.h"

#include "capture/TextPage.h"
#include "pptx/Hyperlink.h"
#include "pptx/MediaPart.h"
#include "pptx/XmlText.h"

namespace {

std::wstring Tabs(int n) { return L"\n" + std::wstring(static_cast<size_t>(n), L'\t'); }

// Exported boxes are pixels of the 96-dpi page raster; the slide wants points.
float PixelsToPoints(float pixels) { return pixels * 72.0f / 96.0f; }

}  // namespace

bool HasPictureData(const nsPDFData::CImageObj& picture) {
  return picture.m_pData != nullptr && picture.m_nDataSize > 0;
}

std::wstring CPictureWriter::LinkClick(const nsPDFData::CImageObj& picture) {
  return AddHyperlink(m_rels, picture.m_nLinkType, picture.m_strLinkTarget);
}

std::wstring CPictureWriter::WritePicture(const nsPDFData::CImageObj& picture, int shapeId, int pictureNumber) {
  const std::wstring click = LinkClick(picture);
  m_rels.push_back({SLIDE_REL_PICTURE, MediaBaseName(pictureNumber)});
  const std::wstring embed = LastRelationshipId(m_rels);
  const std::wstring id = IntText(shapeId);

  std::wstring out = Tabs(3) + L"<p:pic>" + Tabs(4) + L"<p:nvPicPr>" + Tabs(5) + L"<p:cNvPr id=\"" + id +
                     L"\" name=\"Picture " + id + L"\">";
  if (!click.empty()) out += Tabs(6) + click;
  out += Tabs(5) + L"</p:cNvPr>" + Tabs(5) + L"<p:cNvPicPr>" + Tabs(6) + L"<a:picLocks noChangeAspect=\"1\" />" +
         Tabs(5) + L"</p:cNvPicPr>" + Tabs(5) + L"<p:nvPr />" + Tabs(4) + L"</p:nvPicPr>" + Tabs(4) +
         L"<p:blipFill>" + Tabs(5) + L"<a:blip r:embed=\"" + embed + L"\" />" + Tabs(5) + L"<a:stretch>" + Tabs(6) +
         L"<a:fillRect />" + Tabs(5) + L"</a:stretch>" + Tabs(4) + L"</p:blipFill>";
  out += Tabs(4) + L"<p:spPr>" + Tabs(5) + L"<a:xfrm>" + Tabs(6) + L"<a:off x=\"" +
         m_scale.EmuText(PixelsToPoints(picture.m_fX)) + L"\" y=\"" + m_scale.EmuText(PixelsToPoints(picture.m_fY)) +
         L"\" />" + Tabs(6) + L"<a:ext cx=\"" + m_scale.EmuText(PixelsToPoints(picture.m_fWidth)) + L"\" cy=\"" +
         m_scale.EmuText(PixelsToPoints(picture.m_fHeight)) + L"\" />" + Tabs(5) + L"</a:xfrm>" + Tabs(5) +
         L"<a:prstGeom prst=\"rect\">" + Tabs(6) + L"<a:avLst />" + Tabs(5) + L"</a:prstGeom>" + Tabs(4) +
         L"</p:spPr>" + Tabs(3) + L"</p:pic>";
  return out;
}
