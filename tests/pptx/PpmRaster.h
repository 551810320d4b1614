#pragma once
// Renderings read back from pdftoppm's binary PPM output, and a structural similarity
// index (SSIM) between two of them for the interop tests that compare a slide with its page.

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

namespace pptx_test {

// A binary PPM (P6, maxval 255) as pdftoppm writes it.
struct Raster {
  int m_nWidth = 0, m_nHeight = 0;
  std::string m_strPixels;  // RGB, rows top to bottom

  // The pixel at (x, y) as 0xRRGGBB; -1 outside the raster.
  long At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return -1;
    const size_t at = (static_cast<size_t>(y) * m_nWidth + x) * 3;
    const auto byte = [&](size_t i) { return static_cast<long>(static_cast<unsigned char>(m_strPixels[at + i])); };
    return byte(0) << 16 | byte(1) << 8 | byte(2);
  }

  // Luma (BT.601) of the pixel at (x, y), which must lie inside the raster.
  double Luma(int x, int y) const {
    const long rgb = At(x, y);
    return 0.299 * ((rgb >> 16) & 255) + 0.587 * ((rgb >> 8) & 255) + 0.114 * (rgb & 255);
  }
};

// An empty raster when the bytes are not a P6 image of maxval 255 with all its pixels.
inline Raster ReadPpm(const std::string& bytes) {
  Raster raster;
  std::istringstream in(bytes);
  std::string magic;
  int maxval = 0;
  in >> magic >> raster.m_nWidth >> raster.m_nHeight >> maxval;
  in.get();
  if (magic != "P6" || maxval != 255 || !in) return {};
  raster.m_strPixels = bytes.substr(static_cast<size_t>(in.tellg()));
  if (raster.m_strPixels.size() < static_cast<size_t>(raster.m_nWidth) * raster.m_nHeight * 3) return {};
  return raster;
}

// Mean SSIM of the luma over 8 x 8 windows moved by 4 pixels, with the usual constants
// for 8-bit samples; compares the area both rasters cover. With `inkOnly`, windows blank
// in both rasters (near-white and flat) are left out, so that a mostly white page cannot
// score high on its margins alone. -1 when either raster is empty or no window counts.
inline double Ssim(const Raster& a, const Raster& b, bool inkOnly = false) {
  const int width = std::min(a.m_nWidth, b.m_nWidth), height = std::min(a.m_nHeight, b.m_nHeight);
  constexpr int kWindow = 8, kStep = 4;
  if (width < kWindow || height < kWindow) return -1;
  constexpr double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
  double total = 0;
  long windows = 0;
  for (int top = 0; top + kWindow <= height; top += kStep) {
    for (int left = 0; left + kWindow <= width; left += kStep) {
      double sumA = 0, sumB = 0, sumAA = 0, sumBB = 0, sumAB = 0;
      for (int y = top; y < top + kWindow; ++y) {
        for (int x = left; x < left + kWindow; ++x) {
          const double va = a.Luma(x, y), vb = b.Luma(x, y);
          sumA += va;
          sumB += vb;
          sumAA += va * va;
          sumBB += vb * vb;
          sumAB += va * vb;
        }
      }
      constexpr double n = kWindow * kWindow;
      const double meanA = sumA / n, meanB = sumB / n;
      const double varA = sumAA / n - meanA * meanA, varB = sumBB / n - meanB * meanB;
      const auto blank = [](double mean, double variance) { return mean > 250 && variance < 4; };
      if (inkOnly && blank(meanA, varA) && blank(meanB, varB)) continue;
      const double covariance = sumAB / n - meanA * meanB;
      total += ((2 * meanA * meanB + c1) * (2 * covariance + c2)) /
               ((meanA * meanA + meanB * meanB + c1) * (varA + varB + c2));
      ++windows;
    }
  }
  return windows ? total / static_cast<double>(windows) : -1;
}

}  // namespace pptx_test
