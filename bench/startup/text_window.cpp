// The floor of the start-up benchmark: the least a Qt Widgets program that shows text can do,
// a window of Kalvor's size with one line of Liberation Sans (the face Kalvor draws in). Any
// such program pays for fontconfig, the font database and a first font; whatever Kalvor takes
// beyond this is the cost of its own controls and pictures.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Text 2.2"));
    window.setFixedSize(442, 488);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(9.0);
    auto *line = new QLabel(&window);
    line->setFont(font);
    line->setText(QStringLiteral("seleziona un materiale"));
    line->setGeometry(80, 136, 200, 17);
    window.show();
    return app.exec();
}
