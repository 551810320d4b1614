#pragma once
// What the PDF fuzz targets share: a process-private temporary folder that holds the input
// file and the outputs, removed when the process ends.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fuzzing {

// The folder, made on first use under the system temporary folder. Never fails: falls back
// to the temporary folder itself.
const std::filesystem::path& WorkFolder();

// Writes `size` bytes to `name` in the work folder and returns its wide path.
std::wstring WriteInput(const uint8_t* data, size_t size, const std::string& name = "input.pdf");

// Stops the process so that the engine reports the input: a broken promise of our code.
[[noreturn]] void Fail(const char* what);

}  // namespace fuzzing
