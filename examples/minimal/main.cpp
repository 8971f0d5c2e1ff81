// A window that shows one file in the extended hex editor.
//   minimal FILE

#include "hexeditor/ex/mphexeditorex.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    TMPHexEditorEx editor;
    editor.resize(800, 500);
    if (args.size() > 1) {
        try {
            editor.LoadFromFile(args[1]);
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, QStringLiteral("minimal"), QString::fromUtf8(e.what()));
            return 1;
        }
    }
    editor.setWindowTitle(args.size() > 1 ? args[1] : QStringLiteral("minimal"));
    editor.show();
    // minimal FILE --check: print the bytes loaded and leave (for scripts).
    if (args.size() > 2 && args[2] == QStringLiteral("--check")) {
        std::printf("%d bytes\n", int(editor.DataSize()));
        return 0;
    }
    return app.exec();
}
