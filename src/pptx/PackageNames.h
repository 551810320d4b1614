#pragma once
// Namespace and relationship-type URIs written into the parts of the package.

namespace pptx_names {

inline constexpr wchar_t kXmlDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
inline constexpr wchar_t kContentTypesNs[] = L"http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr wchar_t kRelationshipsNs[] = L"http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr wchar_t kDrawingNs[] = L"http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr wchar_t kOfficeRelNs[] = L"http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr wchar_t kCompatibilityNs[] = L"http://schemas.openxmlformats.org/markup-compatibility/2006";
inline constexpr wchar_t kPresentationNs[] = L"http://schemas.openxmlformats.org/presentationml/2006/main";
inline constexpr wchar_t kMacVmlNs[] = L"urn:schemas-microsoft-com:mac:vml";

}  // namespace pptx_names
