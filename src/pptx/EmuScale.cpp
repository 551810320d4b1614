#include "pptx/EmuScale.h"

#include <algorithm>
#include <cmath>

#include "pptx/XmlText.h"

namespace {

constexpr double kEmuPerPoint = 12700;

bool InRange(int64_t emu) { return emu >= kMinSlideEmu && emu <= kMaxSlideEmu; }

bool IsUsableSide(float side) { return std::isfinite(side) && side > 0; }

}  // namespace

int64_t CEmuScale::Emu(double points) const { return TruncateToInt64(points * m_dScale * kEmuPerPoint); }

int64_t CEmuScale::Hundredths(double points) const { return TruncateToInt64(points * m_dScale * 100); }

std::wstring CEmuScale::EmuText(double points) const { return IntText(Emu(points)); }

std::wstring CEmuScale::HundredthsText(double points) const { return IntText(Hundredths(points)); }

CSlideGeometry FitSlideSize(float width, float height) {
  if (!IsUsableSide(width) || !IsUsableSide(height)) {
    width = kDefaultSlideWidth;
    height = kDefaultSlideHeight;
  }
  CSlideGeometry geometry;
  geometry.m_nWidthEmu = geometry.m_scale.Emu(width);
  geometry.m_nHeightEmu = geometry.m_scale.Emu(height);
  if (InRange(geometry.m_nWidthEmu) && InRange(geometry.m_nHeightEmu)) return geometry;

  const double shorter = std::min(width, height) * kEmuPerPoint;
  const double longer = std::max(width, height) * kEmuPerPoint;
  const double lowest = static_cast<double>(kMinSlideEmu) / shorter;   // brings the short side up
  const double highest = static_cast<double>(kMaxSlideEmu) / longer;   // brings the long side down
  // Too narrow for any factor: fit the long side and let the short side grow to the
  // minimum, so no content falls outside the slide.
  const double scale = lowest <= highest ? std::clamp(1.0, lowest, highest) : std::min(1.0, highest);
  geometry.m_scale = CEmuScale(scale);
  geometry.m_nWidthEmu = std::clamp(geometry.m_scale.Emu(width), kMinSlideEmu, kMaxSlideEmu);
  geometry.m_nHeightEmu = std::clamp(geometry.m_scale.Emu(height), kMinSlideEmu, kMaxSlideEmu);
  return geometry;
}
