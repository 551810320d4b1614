#pragma once
// Conversions between the wide strings of the page model and UI, the UTF-8 strings of
// the engine and the file system, and std::filesystem paths. The only place that does so.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 to wide. Invalid sequences become U+FFFD; never fails.
std::wstring Utf8ToWide(std::string_view text);

// Wide to UTF-8. Fails (nullopt) on code points that UTF-8 cannot carry
// (surrogates, values above U+10FFFF).
std::optional<std::string> WideToUtf8(std::wstring_view text);

// Wide to UTF-8 for display and logs: unconvertible code points become U+FFFD.
std::string WideToUtf8Lossy(std::wstring_view text);

// A wide path as a filesystem path (UTF-8 bytes on Linux); nullopt when unconvertible.
std::optional<std::filesystem::path> ToPath(std::wstring_view path);

// A filesystem path as a wide string; byte sequences that are not UTF-8 become U+FFFD.
std::wstring FromPath(const std::filesystem::path& path);

}  // namespace platform
