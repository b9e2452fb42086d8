// The least a Qt Widgets program does: one empty window shown, then an exit.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.show();
  QTimer::singleShot(0, [&window] { std::_Exit(window.isVisible() ? 0 : 2); });
  return QApplication::exec();
}
