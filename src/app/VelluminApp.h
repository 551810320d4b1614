#pragma once
// CVelluminApp: the application object. Sets up Qt and runs the main window modally; the
// program ends when the main window closes.

#include <QApplication>

class CVelluminApp {
 public:
  CVelluminApp(int& argc, char** argv);
  CVelluminApp(const CVelluminApp&) = delete;
  CVelluminApp& operator=(const CVelluminApp&) = delete;

  // Runs the main window until it closes; returns the process's exit code (never fails).
  int Run();

  // The look every window of the program shares; also used by tests and tools.
  static void SetUpLook(QApplication& app);

 private:
  QApplication m_app;
};
