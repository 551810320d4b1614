#pragma once
// Lengths of the package. A length v in points becomes v x 12700 EMU, truncated toward
// zero. Slides must measure 1 to 56 inches per side; a first page outside that range makes
// the whole package scale every length by one factor, so it keeps its proportions.

#include <cstdint>
#include <string>

class CEmuScale {
 public:
  CEmuScale() = default;
  explicit CEmuScale(double scale) : m_dScale(scale) {}

  // EMU of `points` after scaling; never NaN.
  int64_t Emu(double points) const;
  std::wstring EmuText(double points) const;
  // A length given in hundredths of a point (font sizes, line spacing): points x 100.
  int64_t Hundredths(double points) const;
  std::wstring HundredthsText(double points) const;
  double Scale() const { return m_dScale; }

 private:
  double m_dScale = 1.0;  // factor applied to every length in points; 1 inside the size range
};

// The slide size and the factor a package takes from its first page.
struct CSlideGeometry {
  CEmuScale m_scale;           // applies to every length of the package
  int64_t m_nWidthEmu = 0;     // slide width, EMU
  int64_t m_nHeightEmu = 0;    // slide height, EMU
};

constexpr int64_t kMinSlideEmu = 914400;    // 1 inch
constexpr int64_t kMaxSlideEmu = 51206400;  // 56 inches
constexpr float kDefaultSlideWidth = 720;   // points; 10 inches, for a package without pages
constexpr float kDefaultSlideHeight = 540;  // points; 7.5 inches

// A page inside the range keeps factor 1 and its exact EMU size. Outside it, the factor is
// the one closest to 1 that brings both sides into range; when the page is too narrow for
// any factor, the factor closest to 1 that fits the long side, with the short side clamped
// up to the minimum. A size that is not positive and finite gives the default size.
CSlideGeometry FitSlideSize(float width, float height);
