#pragma once
// One relationship of a slide, collected while its shapes are written. The k-th record of
// a slide is written as rId(k + 1); rId1 is always the slide layout.

#include <cstdint>
#include <string>
#include <vector>

enum SlideRelType : int32_t {
  SLIDE_REL_PICTURE = 0,  // a picture of the slide's media
  SLIDE_REL_WEB = 1,      // a web address
  SLIDE_REL_EMAIL = 2,    // an e-mail address
  SLIDE_REL_SLIDE = 3,    // another slide of this presentation
};

struct CSlideRel {
  int32_t m_nType = SLIDE_REL_PICTURE;  // SlideRelType
  std::wstring m_strTarget;  // picture: media base name "imageK"; link: the page model's target text
};

using SlideRelList = std::vector<CSlideRel>;

// The relationship id a shape writer uses for the record it has just appended.
inline std::wstring LastRelationshipId(const SlideRelList& rels) {
  return L"rId" + std::to_wstring(rels.size() + 1);
}
