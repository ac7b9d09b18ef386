// The floor of start-up for startup_bench: a Qt Widgets program that shows one
// empty window and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.show();
  return QApplication::exec();
}
