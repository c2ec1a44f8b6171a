// A reference for the start-up benchmark: the least a Qt Widgets program can show, a window of
// Kalvor's size with nothing in it. It draws no text, so it pays nothing for fonts; the window
// with one line of text (text_window.cpp) is the fair floor, this one shows what text costs.
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
