#pragma once
// Click hyperlinks of a slide: a linked word run or picture gets an a:hlinkClick element
// and the slide one relationship naming the target, an external address or another slide.
//
// Shape writers call AddHyperlink while they write a linked run or picture, at the point
// where its relationship must take its id: a run while building its run properties, a
// picture before appending its own image relationship (so its link gets the lower id).
// The slide writer turns the collected records into the relationship part and prepares
// external targets with ExternalLinkTarget.

#include <cstdint>
#include <string>

#include "pptx/SlideRel.h"

// For a link of kind `linkType` (the page model's m_nLinkType: 1 web address, 2 e-mail
// address, 3 page of this document) with target `target` (m_strLinkTarget): appends the
// record {linkType, target} to `rels` and returns the click element naming it, without a
// leading line break:
//   kinds 1 and 2: <a:hlinkClick r:id="rIdK"/>
//   kind 3:        <a:hlinkClick r:id="rIdK" action="ppaction://hlinksldjump"/>
// with K = the list size + 1 after the append. Any other kind (-1: no link) appends
// nothing and returns an empty text. Never fails.
std::wstring AddHyperlink(SlideRelList& rels, int32_t linkType, const std::wstring& target);

// The Target attribute text of an external link relationship of kind 1 (web) or 2
// (e-mail). A web address gets "http://" in front unless it already starts with "http://"
// followed by more text, or names a scheme of its own ("https://", "ftp://"...); an e-mail
// address gets "mailto:" unless it starts with "mailto:" followed by more text. The text is
// then a valid URI: spaces, control characters, quotation marks, angle brackets and
// non-ASCII characters are percent-encoded (UTF-8), as is a "%" that starts no escape, and
// "&" is written "&amp;". Never fails.
std::wstring ExternalLinkTarget(int32_t linkType, const std::wstring& target);

// The Target attribute text of a relationship to the slide named by `target` (a page
// number in decimal): "slide" + target + ".xml". Never fails.
std::wstring SlideLinkTarget(const std::wstring& target);
