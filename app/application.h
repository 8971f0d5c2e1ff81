#pragma once
// The application object of the window: an error that escapes any event
// handler (a command, or a key pressed in an editor) ends that handler and is
// shown in the application's error box; the program goes on.

#include <QApplication>

class TEditBootApplication : public QApplication
{
    Q_OBJECT
public:
    TEditBootApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
