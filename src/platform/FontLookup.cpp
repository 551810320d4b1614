#include "platform/FontLookup.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <cwctype>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

#include "platform/Strings.h"

namespace platform {

namespace {

struct FaceFile {
  std::string m_strPath;  // font file
  int m_nIndex = 0;       // face index inside the file
  bool m_bSyntheticBold = false;  // bold was asked but the face is not bold
};

bool SameFamily(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
      return false;
  return true;
}

// One process-wide catalogue: fontconfig for lookup, FreeType for widths. One mutex
// serialises everything; callers measure short strings.
class CFontCatalog {
 public:
  static CFontCatalog& Get() {
    static CFontCatalog catalog;
    return catalog;
  }

  std::optional<FaceFile> Find(std::wstring_view family, bool bold, bool italic) {
    std::lock_guard lock(m_mutex);
    return FindLocked(family, bold, italic);
  }

  std::optional<int> Advance(std::wstring_view family, bool bold, bool italic, int pixelHeight,
                             char32_t ch) {
    std::lock_guard lock(m_mutex);
    auto file = FindLocked(family, bold, italic);
    if (!file) return std::nullopt;
    if (pixelHeight <= 0) return 0;
    FT_Face face = OpenFace(*file);
    if (!face) return 0;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return 0;
    if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) != 0) return 0;
    int width = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    return width + (file->m_bSyntheticBold ? 1 : 0);
  }

  std::vector<std::wstring> Families() {
    std::lock_guard lock(m_mutex);
    std::set<std::wstring> names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(m_pConfig, pattern, objects);
    for (int i = 0; set && i < set->nfont; ++i) {
      FcChar8* name = nullptr;
      for (int k = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, k, &name) == FcResultMatch; ++k)
        names.insert(Utf8ToWide(reinterpret_cast<const char*>(name)));
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return {names.begin(), names.end()};
  }

 private:
  CFontCatalog() {
    m_pConfig = FcInitLoadConfigAndFonts();
    if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
  }
  ~CFontCatalog() {
    for (auto& [key, face] : m_faces)
      if (face) FT_Done_Face(face);
    if (m_library) FT_Done_FreeType(m_library);
    if (m_pConfig) FcConfigDestroy(m_pConfig);
  }

  std::optional<FaceFile> FindLocked(std::wstring_view family, bool bold, bool italic) {
    auto key = std::make_tuple(std::wstring(family), bold, italic);
    if (auto it = m_lookups.find(key); it != m_lookups.end()) return it->second;
    auto found = Search(family, bold, italic);
    m_lookups.emplace(std::move(key), found);
    return found;
  }

  // Lists the faces of the family and takes the one nearest to the wanted weight and slant.
  std::optional<FaceFile> Search(std::wstring_view family, bool bold, bool italic) {
    auto utf8 = WideToUtf8(family);
    if (!m_pConfig || !utf8 || utf8->empty()) return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8->c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr);
    FcFontSet* set = FcFontList(m_pConfig, pattern, objects);
    std::optional<FaceFile> best;
    int bestScore = 0;
    for (int i = 0; set && i < set->nfont; ++i) {
      FcPattern* font = set->fonts[i];
      if (!HasFamily(font, family)) continue;
      FcChar8* file = nullptr;
      int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
      if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(font, FC_SLANT, 0, &slant);
      const bool faceBold = weight >= FC_WEIGHT_BOLD;
      const int wantWeight = bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
      const int score = std::abs(weight - wantWeight) + ((slant != FC_SLANT_ROMAN) != italic ? 1000 : 0);
      if (!best || score < bestScore) {
        best = FaceFile{reinterpret_cast<const char*>(file), index, bold && !faceBold};
        bestScore = score;
      }
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return best;
  }

  static bool HasFamily(FcPattern* font, std::wstring_view family) {
    FcChar8* name = nullptr;
    for (int k = 0; FcPatternGetString(font, FC_FAMILY, k, &name) == FcResultMatch; ++k)
      if (SameFamily(Utf8ToWide(reinterpret_cast<const char*>(name)), family)) return true;
    return false;
  }

  FT_Face OpenFace(const FaceFile& file) {
    auto key = std::make_pair(file.m_strPath, file.m_nIndex);
    if (auto it = m_faces.find(key); it != m_faces.end()) return it->second;
    FT_Face face = nullptr;
    if (!m_library || FT_New_Face(m_library, file.m_strPath.c_str(), file.m_nIndex, &face) != 0)
      face = nullptr;
    m_faces.emplace(std::move(key), face);
    return face;
  }

  std::mutex m_mutex;
  FcConfig* m_pConfig = nullptr;   // fontconfig configuration with the installed fonts
  FT_Library m_library = nullptr;  // FreeType instance that owns the open faces
  std::map<std::tuple<std::wstring, bool, bool>, std::optional<FaceFile>> m_lookups;  // family, bold, italic
  std::map<std::pair<std::string, int>, FT_Face> m_faces;  // open faces by file and index
};

}  // namespace

bool IsFamilyInstalled(std::wstring_view family) {
  return CFontCatalog::Get().Find(family, false, false).has_value();
}

std::optional<int> GetAdvanceWidth(std::wstring_view family, bool bold, bool italic,
                                   int pixelHeight, char32_t ch) {
  return CFontCatalog::Get().Advance(family, bold, italic, pixelHeight, ch);
}

std::vector<std::wstring> ListFontFamilies() { return CFontCatalog::Get().Families(); }

}  // namespace platform
