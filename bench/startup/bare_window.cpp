// The baseline for the start-up benchmark: the least a Qt Widgets program can show, a window
// of Kalvor's size and title length with nothing in it. Whatever Kalvor takes beyond this is
// the cost of its own controls, fonts and pictures.
#include <QApplication>
#include <QString>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare 2.2"));
    window.setFixedSize(442, 488);
    window.show();
    return app.exec();
}
