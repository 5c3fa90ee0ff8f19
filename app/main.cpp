#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Компьютерный полиграф - Воркел"));
    window.setCentralWidget(new QLabel(QStringLiteral("Воркел"), &window));
    window.resize(800, 400);
    window.show();
    return app.exec();
}
