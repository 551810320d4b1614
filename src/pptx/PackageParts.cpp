#include "pptx/PackageParts.h"

#include "pptx/PackageNames.h"
#include "pptx/XmlText.h"

using namespace pptx_names;

namespace {

constexpr wchar_t kLfTab[] = L"\n\t";
constexpr wchar_t kLfTab2[] = L"\n\t\t";

std::wstring LayoutOverride(int layout) {
  return L"<Override PartName=\"/ppt/slideLayouts/slideLayout" + IntText(layout) +
         L".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.slideLayout+xml\"/>";
}

std::wstring LayoutOverrides(std::initializer_list<int> layouts) {
  std::wstring out;
  for (int layout : layouts) out += kLfTab + LayoutOverride(layout);
  return out;
}

std::wstring SlideOverride(unsigned slide) {
  return L"<Override PartName=\"/ppt/slides/slide" + IntText(slide) +
         L".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.slide+xml\"/>";
}

// One level of the default text style; levels indent by half an inch each.
std::wstring DefaultLevel(int level) {
  const std::wstring k = IntText(level);
  return L"<a:lvl" + k + L"pPr marL=\"" + IntText(457200 * (level - 1)) +
         L"\" algn=\"l\" defTabSz=\"914400\" rtl=\"0\" eaLnBrk=\"1\" latinLnBrk=\"0\" hangingPunct=\"1\">"
         L"<a:defRPr sz=\"1800\" kern=\"1200\"><a:solidFill><a:schemeClr val=\"tx1\"/></a:solidFill>"
         L"<a:latin typeface=\"+mn-lt\"/><a:ea typeface=\"+mn-ea\"/><a:cs typeface=\"+mn-cs\"/></a:defRPr>"
         L"</a:lvl" + k + L"pPr>";
}

std::wstring DefaultTextStyle() {
  std::wstring out = L"<p:defaultTextStyle><a:defPPr><a:defRPr lang=\"en-US\"/></a:defPPr>";
  for (int level = 1; level <= 9; ++level) out += DefaultLevel(level);
  return out + L"</p:defaultTextStyle>";
}

}  // namespace

std::wstring RelationshipElement(int id, const wchar_t* type, const std::wstring& target, bool external) {
  return L"<Relationship Id=\"rId" + IntText(id) + L"\" Type=\"" + kOfficeRelNs + L"/" + type +
         L"\" Target=\"" + target + L"\"" + (external ? L" TargetMode=\"External\"" : L"") + L"/>";
}

std::wstring BuildContentTypes(unsigned slideCount) {
  std::wstring out = kXmlDeclaration;
  out += L"<Types xmlns=\"" + std::wstring(kContentTypesNs) + L"\">";
  out += kLfTab;
  out += L"<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>";
  out += kLfTab;
  out += L"<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>";
  out += LayoutOverrides({6, 8, 1, 11, 3});
  out += kLfTab;
  out += L"<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  out += kLfTab;
  out += L"<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>";
  out += kLfTab;
  out += L"<Override PartName=\"/ppt/slideMasters/slideMaster1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.slideMaster+xml\"/>";
  out += LayoutOverrides({5});
  out += kLfTab;
  out += L"<Override PartName=\"/ppt/viewProps.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.viewProps+xml\"/>";
  out += LayoutOverrides({7, 9, 10});
  out += kLfTab;
  out += L"<Override PartName=\"/ppt/presProps.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.presProps+xml\"/>";
  out += kLfTab;
  out += L"<Override PartName=\"/ppt/presentation.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml\"/>";
  out += LayoutOverrides({2});
  out += kLfTab;
  out += L"<Default Extension=\"bin\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.printerSettings\"/>";
  out += kLfTab;
  out += L"<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>";
  out += LayoutOverride(4);  // directly after the jpeg default, on the same line
  out += kLfTab;
  out += L"<Override PartName=\"/ppt/tableStyles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.tableStyles+xml\"/>";
  out += kLfTab;
  out += L"<Override PartName=\"/ppt/theme/theme1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.theme+xml\"/>";
  for (unsigned slide = 1; slide <= slideCount; ++slide) out += kLfTab + SlideOverride(slide);
  out += L"\n</Types>";
  return out;
}

std::wstring BuildPresentationRels(unsigned slideCount) {
  std::wstring out = kXmlDeclaration;
  out += L"\n<Relationships xmlns=\"" + std::wstring(kRelationshipsNs) + L"\">";
  out += kLfTab + RelationshipElement(3, L"printerSettings", L"printerSettings/printerSettings1.bin");
  out += kLfTab + RelationshipElement(4, L"presProps", L"presProps.xml");
  out += kLfTab + RelationshipElement(5, L"viewProps", L"viewProps.xml");
  out += kLfTab + RelationshipElement(6, L"theme", L"theme/theme1.xml");
  out += kLfTab + RelationshipElement(7, L"tableStyles", L"tableStyles.xml");
  out += kLfTab + RelationshipElement(1, L"slideMaster", L"slideMasters/slideMaster1.xml");
  for (unsigned slide = 1; slide <= slideCount; ++slide)
    out += kLfTab + RelationshipElement(static_cast<int>(slide + 7), L"slide", L"slides/slide" + IntText(slide) + L".xml");
  out += L"\n</Relationships>";
  return out;
}

std::wstring BuildPresentation(unsigned slideCount, int64_t widthEmu, int64_t heightEmu) {
  std::wstring out = kXmlDeclaration;
  out += L"\n<p:presentation xmlns:a=\"" + std::wstring(kDrawingNs) + L"\" xmlns:r=\"" + kOfficeRelNs +
         L"\" xmlns:mc=\"" + kCompatibilityNs + L"\" xmlns:mv=\"" + kMacVmlNs +
         L"\" mc:Ignorable=\"mv\" mc:PreserveAttributes=\"mv:*\" xmlns:p=\"" + kPresentationNs +
         L"\" saveSubsetFonts=\"1\" autoCompressPictures=\"0\">";
  out += kLfTab;
  out += L"<p:sldMasterIdLst>";
  out += kLfTab2;
  out += L"<p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/>";
  out += kLfTab;
  out += L"</p:sldMasterIdLst>";
  out += kLfTab;
  out += L"<p:sldIdLst>";
  for (unsigned slide = 1; slide <= slideCount; ++slide)
    out += kLfTab2 + (L"<p:sldId id=\"" + IntText(255 + int64_t{slide}) + L"\" r:id=\"rId" + IntText(int64_t{slide} + 7) + L"\"/>");
  out += kLfTab;
  out += L"</p:sldIdLst>";
  out += kLfTab;
  out += L"<p:sldSz cx=\"" + IntText(widthEmu) + L"\" cy=\"" + IntText(heightEmu) + L"\"/>";
  out += L"<p:notesSz cx=\"6858000\" cy=\"9144000\"/>";
  out += DefaultTextStyle();
  out += L"</p:presentation>";
  return out;
}
