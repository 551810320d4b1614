#pragma once
// COutputNamer: hands out unique output paths in one folder to jobs that may run at once.
// A name stays reserved from the moment its job is built until its result arrives, so two
// jobs running side by side never get the same name even before either file exists.

#include <mutex>
#include <set>
#include <string>

class COutputNamer {
 public:
  explicit COutputNamer(std::wstring folder) : m_strFolder(std::move(folder)) {}
  COutputNamer(const COutputNamer&) = delete;
  COutputNamer& operator=(const COutputNamer&) = delete;

  // Reserves and returns the output path for the PDF at `inputPath` in output kind `kind`;
  // empty when no name is free. A name that does not end in ".pdf" (any case) keeps all its
  // characters in the base, so "notes" gives "notes.txt".
  std::wstring Reserve(const std::wstring& inputPath, int kind);

  // Gives a reserved name back once its job has ended; a written file now holds it on disk.
  void Release(const std::wstring& outputPath);

 private:
  std::mutex m_lock;                     // guards m_setReserved
  std::wstring m_strFolder;              // the output folder as given
  std::set<std::wstring> m_setReserved;  // paths handed to jobs whose result has not arrived
};
