#pragma once
// The three package-level parts written when the package is finished: they depend on the
// number of slides and on the slide size. Each returns the part's complete text.

#include <cstdint>
#include <string>

// Relationship element `<Relationship Id="rId<id>" Type="<office relationships>/<type>"
// Target="<target>"/>`; `external` adds TargetMode="External". `target` is written as given.
std::wstring RelationshipElement(int id, const wchar_t* type, const std::wstring& target, bool external = false);

// [Content_Types].xml for slides 1 to `slideCount`.
std::wstring BuildContentTypes(unsigned slideCount);

// ppt/_rels/presentation.xml.rels: master at rId1, fixed parts at rId3 to rId7, slide i at rId(i + 7).
std::wstring BuildPresentationRels(unsigned slideCount);

// ppt/presentation.xml with slide ids 256 upward and the slide size in EMU.
std::wstring BuildPresentation(unsigned slideCount, int64_t widthEmu, int64_t heightEmu);
