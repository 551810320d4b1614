#include "app/VelluminApp.h"

int main(int argc, char** argv) {
  CVelluminApp app(argc, argv);
  return app.Run();
}
