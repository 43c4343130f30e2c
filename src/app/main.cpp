#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantric"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vantric"));
    window.show();
    return app.exec();
}
