#include "pptx/SlideWriter.h"

#include "capture/TextPage.h"
#include "pptx/DrawOrder.h"
#include "pptx/FreeformWriter.h"
#include "pptx/Hyperlink.h"
#include "pptx/PackageNames.h"
#include "pptx/PackageParts.h"
#include "pptx/PictureWriter.h"
#include "pptx/TextBoxWriter.h"
#include "pptx/XmlText.h"

using namespace pptx_names;

namespace {

std::wstring SlideRelElement(int id, const CSlideRel& rel) {
  switch (rel.m_nType) {
    case SLIDE_REL_PICTURE: return RelationshipElement(id, L"image", L"../media/" + rel.m_strTarget + L".jpeg");
    case SLIDE_REL_WEB:
    case SLIDE_REL_EMAIL: return RelationshipElement(id, L"hyperlink", ExternalLinkTarget(rel.m_nType, rel.m_strTarget), true);
    default: return RelationshipElement(id, L"slide", SlideLinkTarget(rel.m_strTarget));
  }
}

}  // namespace

void CSlideWriter::AddPage(const nsPDFData::CTextPage& page) {
  if (!page.m_vecPaths.empty() || !page.m_lstImages.empty())
    for (const CDrawOrderEntry& entry : BuildDrawOrder(page)) AddDrawing(entry);

  CTextBoxWriter boxes(m_vecRels, m_scale);
  for (const nsPDFData::CFloatText* floating : page.m_vecFloatTexts) {
    if (!floating || !floating->m_pLine) continue;
    const nsPDFData::CTextLine& line = *floating->m_pLine;
    const CTextBoxRect box{line.m_fX, line.m_fY, line.m_fWidth, line.m_fHeight};
    m_strShapes += boxes.WriteTextBox(FloatTextAngle(floating->m_afTransform), line, TakeTextBoxId(), true, box);
  }
  for (const nsPDFData::CTextBase* blockBase : page.m_lstTextLines) {
    const auto* block = dynamic_cast<const nsPDFData::CTextLine*>(blockBase);
    if (!block) continue;
    for (const nsPDFData::CTextBase* columnBase : block->m_lstTextLines) {
      const auto* column = dynamic_cast<const nsPDFData::CTextLine*>(columnBase);
      if (!column) continue;
      const CTextBoxRect box{column->m_fX, column->m_fY, column->m_fWidth, column->m_fHeight};
      m_strShapes += boxes.WriteTextBox(0, *column, TakeTextBoxId(), false, box);
    }
  }
}

void CSlideWriter::AddDrawing(const CDrawOrderEntry& entry) {
  if (entry.m_bIsPath) {
    if (entry.m_pPath) m_strShapes += WriteFreeform(m_scale, m_nShapeId, *entry.m_pPath);
    ++m_nShapeId;
    return;
  }
  if (!entry.m_pImage || !HasPictureData(*entry.m_pImage)) return;
  const nsPDFData::CImageObj& picture = *entry.m_pImage;
  const int shapeId = ++m_nShapeId;
  const int number = ++m_nPictureCount;
  m_strShapes += CPictureWriter(m_vecRels, m_scale).WritePicture(picture, shapeId, number);
  m_vecMedia.push_back({MediaFileName(number), picture.m_pData, static_cast<size_t>(picture.m_nDataSize)});
}

std::wstring CSlideWriter::BuildSlidePart() const {
  std::wstring out = L"<p:sld xmlns:a=\"" + std::wstring(kDrawingNs) + L"\" xmlns:r=\"" + kOfficeRelNs +
                     L"\" xmlns:p=\"" + kPresentationNs + L"\">";
  out += L"\n\t<p:cSld>\n\t\t<p:spTree>\n\t\t\t<p:nvGrpSpPr>\n\t\t\t\t<p:cNvPr id=\"1\" name=\"\"/>"
         L"\n\t\t\t\t<p:cNvGrpSpPr/>\n\t\t\t\t<p:nvPr/>\n\t\t\t</p:nvGrpSpPr>\n\t\t\t<p:grpSpPr>\n\t\t\t\t<a:xfrm>"
         L"\n\t\t\t\t\t<a:off x=\"0\" y=\"0\"/>\n\t\t\t\t\t<a:ext cx=\"0\" cy=\"0\"/>\n\t\t\t\t\t<a:chOff x=\"0\" y=\"0\"/>"
         L"\n\t\t\t\t\t<a:chExt cx=\"0\" cy=\"0\"/>\n\t\t\t\t</a:xfrm>\n\t\t\t</p:grpSpPr>";
  out += m_strShapes;
  out += L"\n\t\t</p:spTree>\n\t</p:cSld>\n\t<p:clrMapOvr>\n\t\t<a:masterClrMapping/>\n\t</p:clrMapOvr>\n</p:sld>";
  return out;
}

std::wstring CSlideWriter::BuildSlideRels() const {
  std::wstring out = kXmlDeclaration;
  out += L"\n<Relationships xmlns=\"" + std::wstring(kRelationshipsNs) + L"\">";
  out += L"\n\t" + RelationshipElement(1, L"slideLayout", L"../slideLayouts/slideLayout1.xml");
  int id = 2;
  for (const CSlideRel& rel : m_vecRels) out += L"\n\t" + SlideRelElement(id++, rel);
  out += L"\n</Relationships>";
  return out;
}
