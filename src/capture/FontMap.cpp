#include "capture/FontMap.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/FontLookup.h"

namespace {

// One row of the built-in table.
struct BuiltInRow {
  std::wstring_view m_strDisplayName;  // exact-lookup key
  std::wstring_view m_strMatchName;    // substring key; empty: matched by display name only
  std::wstring_view m_strFamily;       // output family
};

// Well-known PDF fonts in lookup order. Most rows match by the display name without its
// spaces and give the display name as family; the rest name the family the output uses
// instead. The order, the repeated names and the odd spellings are deliberate: the first
// row to match wins, so each row stays where it is.
constexpr BuiltInRow kBuiltInRows[] = {
    {L"Helvetica", L"Helvetica", L"Helvetica"},  // 0
    {L"Times Roman", L"Times-Roman", L"Times New Roman"},  // 1
    {L"Symbol", L"Symbol", L"Symbol"},  // 2
    {L"Adobe pi", L"AdobePiStd", L"Parchment"},  // 3
    {L"Adobe Arabic", L"AdobeArabic-Regular", L"Times New Roman"},  // 4
    {L"Adobe Myungjo Std M", L"", L"Adobe Myungjo Std M"},  // 5
    {L"Adobe Hebrew", L"AdobeHebrew-Regular", L"Times New Roman"},  // 6
    {L"Adobe Thai", L"AdobeThai-Regular", L"Times New Roman"},  // 7
    {L"Adobe 黑体 Std R", L"AdobeHeitiStd-Regular", L"黑体"},  // 8
    {L"Adobe 宋体 Std L", L"AdobeSongStd-Light", L"宋体"},  // 9
    {L"Adobe Ming Std L", L"AdobeMingStd-Light", L"Adobe 明體 Std L"},  // 10
    {L"Curier Std", L"CourierStd", L"Courier"},  // 11
    {L"Kozuka Gothic Pr6N M", L"KozGoPr6N-Medium", L"Meiryo"},  // 12
    {L"Kozuka Mincho Pr6N R", L"KozMinPr6N-Regular", L"Meiryo"},  // 13
    {L"Minion Pro", L"MinionPro-Regular", L"Minion Pro"},  // 14
    {L"Minion Pro", L"MinionPro-Regular", L"Minion Pro"},  // 15
    {L"Myriad Pro", L"MyriadPro-Regular", L"Myriad Pro"},  // 16
    {L"Algerian", L"Algerian", L"Algerian"},  // 17
    {L"Arial Black", L"Arial-Black", L"Arial Black"},  // 18
    {L"Arial Narrow", L"ArialNarrow", L"Arial Narrow"},  // 19
    {L"Arial Rounded MT Bold", L"ArialRoundedMTBold", L"Arial Rounded MT Bold"},  // 20
    {L"Arial Unicode MS", L"ArialUnicodeMS", L"Arial Unicode MS"},  // 21
    {L"Arial MT", L"ArialMT", L"Arial"},  // 22
    {L"Arial", L"Arial", L"Arial"},  // 23
    {L"Aharoni", L"Aharoni", L"Aharoni"},  // 24
    {L"Andalus", L"Andalus", L"Andalus"},  // 25
    {L"Angsana New", L"AngsanaNew", L"Angsana New"},  // 26
    {L"Angsana UPC", L"AngsanaUPC", L"AngsanaUPC"},  // 27
    {L"Agency Fb", L"AgencyFB-Reg", L"Agency FB"},  // 28
    {L"Basemic Symbol", L"BasemicSymbol", L"Basemic Symbol"},  // 29
    {L"BasemicNew", L"BasemicNew", L"BasemicNew"},  // 30
    {L"Baskerville Old Face", L"BaskervilleOldFace", L"Baskerville Old Face"},  // 31
    {L"Bauhaus 93", L"Bauhaus93", L"Bauhaus 93"},  // 32
    {L"Berlin Sans FB Demi", L"BerlinSansFBDemi", L"Berlin Sans FB Demi"},  // 33
    {L"Berlin Sans FB", L"BerlinSansFB", L"Berlin Sans FB"},  // 34
    {L"Bell MT", L"BellMT", L"Bell MT"},  // 35
    {L"Bell Gothic Std Black", L"BellGothicStd-Black", L"Bell Gothic Std Black"},  // 36
    {L"Browallia New", L"BrowalliaNew", L"Browallia New"},  // 37
    {L"BrowalliaUPC", L"BrowalliaUPC", L"BrowalliaUPC"},  // 38
    {L"Bernard MT Condensed", L"BernardMT-Condensed", L"Bernard MT Condensed"},  // 39
    {L"Bodoni MT Condensed", L"BodoniMTCondensed", L"Bodoni MT Condensed"},  // 40
    {L"Bodoni MT Poster Compressed", L"BodoniMTPosterCompressed", L"Bodoni MT Poster Compressed"},  // 41
    {L"Bodoni MT Black", L"BodoniMTBlack", L"Bodoni MT Black"},  // 42
    {L"Bodoni MT", L"BodoniMT", L"Bodoni MT"},  // 43
    {L"Baskerville Old Face", L"BaskOldFace", L"Baskerville Old Face"},  // 44
    {L"Bradley Hand ITC", L"BradleyHandITC", L"Bradley Hand ITC"},  // 45
    {L"Book Antiqua", L"BookAntiqua", L"Book Antiqua"},  // 46
    {L"Bookman Old Style", L"BookmanOldStyle", L"Bookman Old Style"},  // 47
    {L"Bookshelf Symbol 7", L"BookshelfSymbol7", L"Bookself Symbol 7"},  // 48
    {L"Broadway", L"Broadway", L"Broadway"},  // 49
    {L"Britannic Bold", L"BritannicBold", L"Britannic Bold"},  // 50
    {L"Brush Script MT", L"BrushScriptMT", L"Brush Script MT"},  // 51
    {L"Calibri", L"Calibri", L"Calibri"},  // 52
    {L"Californian FB", L"CalifornianFB", L"Californian FB"},  // 53
    {L"Cambria Math", L"CambriaMath", L"Cambria Math"},  // 54
    {L"Cambria", L"Cambria", L"Cambria"},  // 55
    {L"Candara", L"Candara", L"Candara"},  // 56
    {L"Century Gothic", L"CenturyGothic", L"Century Gothic"},  // 57
    {L"Chiller", L"Chiller", L"Chiller"},  // 58
    {L"Colonna MT", L"ColonnaMT", L"Colonna MT"},  // 59
    {L"Cordia New", L"CordiaNew", L"Cordia New"},  // 60
    {L"CordiaUPC", L"CordiaUPC", L"CordiaUPC"},  // 61
    {L"Courier New", L"CourierNew", L"Courier New"},  // 62
    {L"Comic Sans MS", L"ComicSansMS", L"Comic Sans MS"},  // 63
    {L"Constantia", L"Constantia", L"Constantia"},  // 64
    {L"Consolas", L"Consolas", L"Consolas"},  // 65
    {L"Cooper Black", L"CooperBlack", L"Cooper Black"},  // 66
    {L"Copperplate Gothic Bold", L"CopperplateGothic-Bold", L"Copperplate Gothic Bold"},  // 67
    {L"Copperplate Gothic Light", L"CopperplateGothic-Light", L"Copperplate Gothic Light"},  // 68
    {L"Century", L"Century", L"Century"},  // 69
    {L"Centaur", L"Centaur", L"Centaur"},  // 70
    {L"Courier New", L"CourierNew", L"Courier New"},  // 71
    {L"Courier", L"Courier", L"Courier"},  // 72
    {L"Corbel", L"Corbel", L"Corbel"},  // 73
    {L"Curlz MT", L"CurlzMT", L"Curlz MT"},  // 74
    {L"David", L"David", L"David"},  // 75
    {L"DilleniaUPC", L"DilleniaUPC", L"DilleniaUPC"},  // 76
    {L"DokChampa", L"DokChampa", L"DokChampa"},  // 77
    {L"Eccentric Std", L"EccentricStd", L"Eccentric Std"},  // 78
    {L"EucrosiaUPC", L"EucrosiaUPC", L"EucrosiaUPC"},  // 79
    {L"Footlight MT Light", L"FootlightMTLight", L"Footlight MT Light"},  // 80
    {L"Forte", L"Forte", L"Forte"},  // 81
    {L"Franklin Gothic Medium", L"FranklinGothic-Medium", L"Franklin Gothic Medium"},  // 82
    {L"FrankRuehl", L"FrankRuehl", L"FrankRuehl"},  // 83
    {L"Freestyle Script", L"FreestyleScript", L"Freestyle Script"},  // 84
    {L"FreesiaUPC", L"FreesiaUPC", L"FreesiaUPC"},  // 85
    {L"French Script MT", L"FrenchScriptMT", L"French Script MT"},  // 86
    {L"Garamond", L"Garamond", L"Garamond"},  // 87
    {L"Gautami", L"ArialMT", L"Gautami"},  // 88
    {L"Georgia", L"Georgia", L"Georgia"},  // 89
    {L"Gisha", L"Gisha", L"Gisha"},  // 90
    {L"Haettenschweiler", L"Haettenschweiler", L"Haettenschweiler"},  // 91
    {L"Harlow Solid Italic", L"HarlowSolid", L"Harlow Solid Italic"},  // 92
    {L"Harrington", L"Harrington", L"Harrington"},  // 93
    {L"High Tower Text", L"HighTowerText", L"High Tower Text"},  // 94
    {L"Impact", L"Impact", L"Impact"},  // 95
    {L"Informal Roman", L"InformalRoman", L"Informal Roman"},  // 96
    {L"IrisUPC", L"IrisUPC", L"IrisUPC"},  // 97
    {L"JasmineUPC", L"JasmineUPC", L"JasmineUPC"},  // 98
    {L"Jokerman", L"Jokerman", L"Jokerman"},  // 99
    {L"Juice ITC", L"JuiceITC", L"Juice ITC"},  // 100
    {L"Kartika", L"Kartika", L"Kartika"},  // 101
    {L"Kingsoft Phonetic Plain", L"KingsoftPhoneticPlain", L"Kingsoft Phonetic Plain"},  // 102
    {L"KodchiangUPC", L"KodchiangUPC", L"KodchiangUPC"},  // 103
    {L"Kozuka Gothic Pro B", L"KozGoPro-Bold", L"Meiryo"},  // 104
    {L"Kozuka Gothic Pro EL", L"KozGoPro-ExtraLight", L"Kozuka Gothic Pro EL"},  // 105
    {L"Kozuka Gothic Pro H", L"KozGoPro-Heavy", L"Kozuka Gothic Pro H"},  // 106
    {L"Kozuka Gothic Pro L", L"KozGoPro-Light", L"Kozuka Gothic Pro L"},  // 107
    {L"Kozuka Gothic Pro M", L"KozGoPro-Medium", L"Kozuka Gothic Pro M"},  // 108
    {L"Kozuka Gothic Pro R", L"KozGoPro-Regular", L"Kozuka Gothic Pro R"},  // 109
    {L"Kozuka Mincho Pro B", L"KozMinPro-Bold", L"Meiryo"},  // 110
    {L"Kozuka Mincho Pro EL", L"KozMinPro-ExtraLight", L"Kozuka Mincho Pro EL"},  // 111
    {L"Kozuka Mincho Pro H", L"KozMinPro-Heavy", L"Kozuka Mincho Pro H"},  // 112
    {L"Kozuka Mincho Pro L", L"KozMinPro-Light", L"Kozuka Mincho Pro L"},  // 113
    {L"Kozuka Mincho Pro M", L"KozMinPro-Medium", L"Kozuka Mincho Pro M"},  // 114
    {L"Kozuka Mincho Pro R", L"KozMinPro-Regular", L"Kozuka Mincho Pro R"},  // 115
    {L"Kristen ITC", L"KristenITC", L"Kristen ITC"},  // 116
    {L"Kunstler Script", L"KunstlerScript", L"Kunstler Script"},  // 117
    {L"Leelawadee", L"Leelawadee", L"Leelawadee"},  // 118
    {L"Leelawadee", L"LevenimMT", L"Levenim MT"},  // 119
    {L"Lucida Bright", L"LucidaBright", L"Lucida Bright"},  // 120
    {L"Lucida Calligraphy", L"LucidaCalligraphy", L"Lucida Calligraphy"},  // 121
    {L"Lucida Console", L"LucidaConsole", L"Lucida Console"},  // 122
    {L"Lucida Fax", L"LucidaFax", L"Lucida Fax"},  // 123
    {L"Lucida Handwriting", L"LucidaHandwriting", L"Lucida Handwriting"},  // 124
    {L"Lucida Sans Typewriter", L"LucidaSansTypewriter", L"Lucida Sans Typewriter"},  // 125
    {L"Lucida Sans Unicode", L"LucidaSansUnicode", L"Lucida Sans Unicode"},  // 126
    {L"Lucida Sans", L"LucidaSans", L"Lucida Sans"},  // 127
    {L"Magneto", L"Magneto", L"Magneto"},  // 128
    {L"Malgun Gothic", L"MalgunGothic", L"Malgun Gothic"},  // 129
    {L"Marlett", L"Marlett", L"Marlett"},  // 130
    {L"Matura MT Script Capitals", L"MaturaMTScriptCapitals", L"Matura MT Script Capitals"},  // 131
    {L"Meiryo UI", L"MeiryoUI", L"Meiryo UI"},  // 132
    {L"Microsoft Sans Serif", L"MicrosoftSansSerif", L"Microsoft Sans Serif"},  // 133
    {L"Mistral", L"Mistral", L"Mistral"},  // 134
    {L"Mriam", L"Miriam", L"Miriam"},  // 135
    {L"Nuruan Fixed", L"MiriamFixed", L"Miriam Fixed"},  // 136
    {L"Modern No. 20", L"Modern", L"Modern No. 20"},  // 137
    {L"Monotype Corsiva", L"MonotypeCorsiva", L"Monotype Corsiva"},  // 138
    {L"Mouser", L"Mouser", L"Mouser"},  // 139
    {L"MS Gothic", L"MSGothic", L"MS Gothic"},  // 140
    {L"MS Mincho", L"MSMincho", L"MS Mincho"},  // 141
    {L"MS PGothic", L"MSPGothic", L"MS PGothic"},  // 142
    {L"MS Reference Sans Serif", L"MSReferenceSansSerif", L"MS Reference Sans Serif"},  // 143
    {L"MS Reference Specialty", L"MSReferenceSpecialty", L"MS Reference Specialty"},  // 144
    {L"MT Extra", L"MT-Extra", L"MT Extra"},  // 145
    {L"MV Boli", L"ArialMT", L"MV Boli"},  // 146
    {L"Narkisim", L"Narkisim", L"Narkisim"},  // 147
    {L"Niagara Engraved", L"NiagaraEngraved", L"Niagara Engraved"},  // 148
    {L"Niagara Solid", L"NiagaraSolid", L"Niagara Solid"},  // 149
    {L"New Gulim", L"New-Gulim", L"New Gulim"},  // 150
    {L"OCR A Extended", L"OCRAExtended", L"OCR A Extended"},  // 151
    {L"Old English Text MT", L"OldEnglishTextMT", L"Old English Text MT"},  // 152
    {L"Onyx", L"Onyx", L"Onyx"},  // 153
    {L"Prestige Elite Std", L"PrestigeEliteStd-Bd", L"Prestige Elite Std"},  // 154
    {L"Palace Script MT", L"PalaceScriptMT", L"Palace Script MT"},  // 155
    {L"Palatino Linotype", L"PalatinoLinotype", L"Palatino Linotype"},  // 156
    {L"Parchment", L"Parchment", L"Parchment"},  // 157
    {L"Playbill", L"Playbill", L"Playbill"},  // 158
    {L"Poor Richard", L"PoorRichard", L"Poor Richard"},  // 159
    {L"Raavi", L"ArialMT", L"Raavi"},  // 160
    {L"Rage Italic", L"RageItalic", L"Rage Italic"},  // 161
    {L"Ravie", L"Ravie", L"Ravie"},  // 162
    {L"Rod", L"Rod", L"Rod"},  // 163
    {L"Rockwell Condensed", L"Rockwell-Condensed", L"Rockwell Condensed"},  // 164
    {L"Rockwell Extra Bold", L"Rockwell-ExtraBold", L"Rockwell Extra Bold"},  // 165
    {L"Script MT Bold", L"ScriptMTBold", L"Script MT Bold"},  // 166
    {L"Segoe UI", L"SegoeUI", L"Segoe UI"},  // 167
    {L"Showcard Gothic", L"ShowcardGothic", L"Showcard Gothic"},  // 168
    {L"Simplified Arabic", L"SimplifiedArabic", L"Simplified Arabic"},  // 169
    {L"Simplified Arabic Fixed", L"SimplifiedArabicFixed", L"Simplified Arabic Fixed"},  // 170
    {L"Shruti", L"ArialMT", L"Shruti"},  // 171
    {L"Snap ITC", L"SnapITC", L"Snap ITC"},  // 172
    {L"Stencil", L"Stencil", L"Stencil"},  // 173
    {L"Sylfaen", L"Sylfaen", L"Sylfaen"},  // 174
    {L"Times New Roman", L"TimesNewRoman", L"Times New Roman"},  // 175
    {L"Traditional Arabic", L"TraditionalArabic", L"Traditional Arabic"},  // 176
    {L"Trebuchet MS", L"TrebuchetMS", L"Trebuchet MS"},  // 177
    {L"Tempus Sans ITC", L"TempusSansITC", L"Tempus Sans ITC"},  // 178
    {L"Tahoma", L"Tahoma", L"Tahoma"},  // 179
    {L"Verdana", L"Verdana", L"Verdana"},  // 180
    {L"Viner Hand ITC", L"VinerHandITC", L"Viner Hand ITC"},  // 181
    {L"Vivaldi", L"Vivaldi", L"Vivaldi"},  // 182
    {L"Vladimir Script", L"VladimirScript", L"Vladimir Script"},  // 183
    {L"Vrinda", L"Vrinda", L"Vrinda"},  // 184
    {L"Webdings", L"Webdings", L"Webdings"},  // 185
    {L"Wide Latin", L"LatinWide", L"Wide Latin"},  // 186
    {L"Wingdings 2", L"Wingdings2", L"Wingdings 2"},  // 187
    {L"Wingdings 3", L"Wingdings3", L"Wingdings 3"},  // 188
    {L"Wingdings", L"Wingdings", L"Wingdings"},  // 189
    {L"Zdingbats", L"ZDingbats", L"Times New Roman"},  // 190
    {L"ZWAdobeF", L"ZWAdobeF", L"ZWAdobeF"},  // 191
    {L"Edwardian Script ITC", L"EdwardianScriptITC", L"Edwardian Script ITC"},  // 192
    {L"Estrangelo Edessa", L"ArialMT", L"Estrangelo Edessa"},  // 193
    {L"Euro Sign", L"ArialMT", L"Euro Sign"},  // 194
    {L"Gautami", L"ArialMT", L"Gautami"},  // 195
    {L"Tunga", L"ArialMT", L"Tunga"},  // 196
    {L"Latha", L"ArialMT", L"Latha"},  // 197
    {L"MS Gothic", L"MS-Gothic", L"MS Gothic"},  // 198
    {L"MS Mincho", L"MS-Mincho", L"MS Mincho"},  // 199
    {L"MS PGothic", L"MS-PGothic", L"MS PGothic"},  // 200
    {L"MS PMincho", L"MS-PMincho", L"MS PMincho"},  // 201
    {L"MS UI Gothic", L"MSUIGothic", L"MS UI Gothic"},  // 202
    {L"Mangal", L"ArialMT", L"Mangal"},  // 203
    {L"Raavi", L"ArialMT", L"Raavi"},  // 204
    {L"Shruti", L"ArialMT", L"Shruti"},  // 205
    {L"BatangChe", L"BatangChe", L"BatangChe"},  // 206
    {L"Batang", L"Batang", L"Batang"},  // 207
    {L"DotumChe", L"DotumChe", L"DotumChe"},  // 208
    {L"Dotum", L"Dotum", L"Dotum"},  // 209
    {L"GulimChe", L"GulimChe", L"GulimChe"},  // 210
    {L"Gulim", L"Gulim", L"Gulim"},  // 211
    {L"GungsuhChe", L"GungsuhChe", L"GungsuhChe"},  // 212
    {L"Gungsuh", L"Gungsuh", L"Gungsuh"},  // 213
    {L"PMingLiU", L"PMingLiU", L"PMingLiU"},  // 214
    {L"MingLiU", L"MingLiU", L"MingLiU"},  // 215
    {L"方正舒体", L"FZSTK", L"方正舒体"},  // 216
    {L"方正姚体", L"FZYTK", L"方正姚体"},  // 217
    {L"仿宋_GB2312", L"FangSong_GB2312", L"仿宋_GB2312"},  // 218
    {L"黑体", L"SimHei", L"黑体"},  // 219
    {L"华文彩云", L"STCaiyun", L"华文彩云"},  // 220
    {L"华文仿宋", L"STFangsong", L"华文仿宋"},  // 221
    {L"华文琥珀", L"STHupo", L"华文琥珀"},  // 222
    {L"华文楷体", L"STKaiti", L"华文楷体"},  // 223
    {L"华文隶书", L"STLiti", L"华文隶书"},  // 224
    {L"华文宋体", L"STSong", L"华文宋体"},  // 225
    {L"华文细黑", L"STXihei", L"华文细黑"},  // 226
    {L"华文新魏", L"STXinwei", L"华文新魏"},  // 227
    {L"华文行楷", L"STXingkai", L"华文行楷"},  // 228
    {L"华文中宋", L"STZhongsong", L"华文中宋"},  // 229
    {L"楷体_GB2312", L"KaiTi_GB2312", L"楷体_GB2312"},  // 230
    {L"隶书", L"LiSu", L"隶书"},  // 231
    {L"宋体-方正超大字符集", L"FZSY", L"宋体-方正超大字符集"},  // 232
    {L"宋体-PUA", L"SimSun-PUA", L"宋体-PUA"},  // 233
    {L"宋体", L"SimSun", L"宋体"},  // 234
    {L"微软雅黑", L"MicrosoftYaHei", L"微软雅黑"},  // 235
    {L"新宋体", L"NSimSun", L"新宋体"},  // 236
    {L"幼圆", L"YouYuan", L"幼圆"},  // 237
    {L"Eras Bold ITC", L"ErasITC-Bold", L"Eras Bold ITC"},  // 238
    {L"Eras Light ITC", L"ErasITC-Light", L"Eras Light ITC"},  // 239
    {L"Eras Demi ITC", L"ErasITC-Demi", L"Eras Demi ITC"},  // 240
    {L"Eras Medium ITC", L"ErasITC-Medium", L"Eras Medium ITC"},  // 241
    {L"Grobsidian ExtBlk", L"Grobsidian-ExtraBlack", L"Grobsidian ExtBlk"},  // 242
    {L"金梅美工愛心字形", L"\uE056宾\uE117\uE61B稲み\uE6D8\uE7AC", L"金梅美工愛心字形"},  // 243
    {L"Gill Sans MT Ext Condensed Bold", L"GillSansMT-ExtraCondensedBold", L"Gill Sans MT Ext Condensed Bold"},  // 244
    {L"Gill Sans Ultra Bold", L"GillSans-UltraBold", L"Gill Sans Ultra Bold"},  // 245
    {L"Imprint MT Shadow", L"ImprintMT-Shadow", L"Imprint MT Shadow"},  // 246
    {L"Tw Cen MT Condensed Extra Bold", L"TwCenMT-CondensedExtraBold", L"Tw Cen MT Condensed Extra Bold"},  // 247
    {L"Zdingbats", L"ZDingbat-Medium", L"Zdingbats"},  // 248
};
static_assert(std::size(kBuiltInRows) == CFontMap::kBuiltInCount);

// The one family that carries a second name: its Latin name.
constexpr std::wstring_view kAliasFamily = L"华文仿宋";
constexpr std::wstring_view kAliasFace = L"STFangsong";

constexpr std::wstring_view kDefaultFamily = L"Times New Roman";

// A subset font is named "ABCDEF+RealName": seven characters with the plus sign last.
constexpr std::size_t kSubsetPrefixLength = 7;

std::wstring WithoutSpaces(std::wstring name) {
  std::erase(name, L' ');
  return name;
}

}  // namespace

CFontMap::CFontMap() : CFontMap(platform::ListFontFamilies()) {}

CFontMap::CFontMap(std::vector<std::wstring> installedFamilies)
    : m_strDefaultFamily(kDefaultFamily) {
  m_vecEntries.reserve(kBuiltInCount + installedFamilies.size());
  for (const BuiltInRow& row : kBuiltInRows)
    AddEntry({std::wstring(row.m_strDisplayName), std::wstring(row.m_strMatchName), {},
              std::wstring(row.m_strFamily)});
  m_vecAliases.push_back({std::wstring(kAliasFamily), std::wstring(kAliasFace)});

  // Longest names first, so that a family whose name contains a shorter family's name
  // is found before it ("DejaVu Sans Mono" before "DejaVu Sans"). Equal lengths go in
  // alphabetical order to keep the result independent of the enumeration order.
  std::erase(installedFamilies, std::wstring());
  std::sort(installedFamilies.begin(), installedFamilies.end(),
            [](const std::wstring& a, const std::wstring& b) {
              if (a.size() != b.size()) return a.size() > b.size();
              return a < b;
            });
  // A family is added under its name without spaces, which is how PDF files name it
  // ("Liberation Sans" as "LiberationSans-Bold"), unless that name is already an output
  // family (a family such as "Arial", whose name has no spaces, that the table gives).
  for (std::wstring& family : installedFamilies) {
    std::wstring compact = WithoutSpaces(family);
    if (m_mapFamilyIndex.contains(compact)) continue;
    std::wstring output = family;
    AddEntry({std::move(family), std::move(compact), {}, std::move(output)});
  }
}

void CFontMap::AddEntry(CFontEntry entry) {
  const std::size_t position = m_vecEntries.size();
  // emplace keeps an existing key: the first entry of a repeated name stays indexed.
  m_mapDisplayIndex.emplace(entry.m_strDisplayName, position);
  m_mapFamilyIndex.emplace(entry.m_strFamily, position);
  m_vecEntries.push_back(std::move(entry));
}

const std::wstring& CFontMap::MapFontName(std::wstring_view name) const {
  std::wstring_view key = name;
  if (name.size() > kSubsetPrefixLength && name[kSubsetPrefixLength - 1] == L'+')
    key.remove_prefix(kSubsetPrefixLength);

  if (auto it = m_mapDisplayIndex.find(key); it != m_mapDisplayIndex.end()) {
    const CFontEntry& entry = m_vecEntries[it->second];
    if (!entry.m_strFamily.empty()) return entry.m_strFamily;
  }
  constexpr auto npos = std::wstring_view::npos;
  // PDF names carry style suffixes and vendor decorations ("Arial-BoldMT"): the first
  // entry whose matching or display name occurs in the key wins. Case matters.
  for (const CFontEntry& entry : m_vecEntries) {
    const bool byMatchName =
        !entry.m_strMatchName.empty() && key.find(entry.m_strMatchName) != npos;
    const bool matches = byMatchName || key.find(entry.m_strDisplayName) != npos;
    if (matches) return entry.m_strFamily.empty() ? m_strDefaultFamily : entry.m_strFamily;
  }
  return m_strDefaultFamily;
}

const std::wstring& CFontMap::MapFontFace(std::wstring_view family) const {
  for (const CFontAlias& alias : m_vecAliases)
    if (alias.m_strFamily == family) return alias.m_strFace;
  return m_strEmpty;
}
