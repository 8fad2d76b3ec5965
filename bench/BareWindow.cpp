// A main window and nothing else, built with the same Qt as the editor: the
// Windows check sets the editor's start-up under Wine against it.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(600, 480);
    window.show();
    return app.exec();
}
