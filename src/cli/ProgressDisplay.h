#pragma once
// CProgressDisplay: what the user sees of a batch. One result line per file on stdout
// ("done: in.pdf -> out.txt", "failed: in.pdf: reason", "cancelled: in.pdf"), and, when
// stderr is a terminal, a one-line progress bar there, redrawn in place. Used by the
// main thread only.

#include <cstdio>
#include <map>
#include <string>

class CProgressDisplay {
 public:
  // `showBar`: draw the bar on `err` (normally: stderr is a terminal). `fileCount`: files
  // in the batch.
  CProgressDisplay(std::FILE* out, std::FILE* err, bool showBar, size_t fileCount);
  ~CProgressDisplay();
  CProgressDisplay(const CProgressDisplay&) = delete;
  CProgressDisplay& operator=(const CProgressDisplay&) = delete;

  // File `item` (1-based) started converting.
  void Started(int item, const std::string& input);
  // File `item` is `fraction` (0..1) done.
  void Progress(int item, float fraction);
  // Result lines; each ends the file's share of the bar. `note` (may be empty) follows a
  // done line on stderr as a warning.
  void Done(int item, const std::string& input, const std::string& output, const std::string& note);
  void Failed(int item, const std::string& input, const std::string& reason);
  void Cancelled(int item, const std::string& input);

  // Clears the bar so that something else (a password prompt) can use the terminal; the
  // next update draws it again.
  void Suspend();

 private:
  void Finish(int item);
  void PrintLine(std::FILE* stream, const std::string& line);
  void Draw();
  void Clear();

  std::FILE* m_pOut;                   // result lines
  std::FILE* m_pErr;                   // the bar and warnings
  bool m_bShowBar;                     // draw the bar at all
  size_t m_nFileCount;                 // files in the batch
  size_t m_nFinished = 0;              // files with a result (done, failed or cancelled)
  std::map<int, float> m_mapRunning;   // item -> fraction done, for the files converting now
  std::string m_strCurrent;            // name of the file that started last
  std::string m_strDrawn;              // the bar line on screen; empty when none is
};
