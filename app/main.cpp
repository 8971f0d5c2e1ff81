// editboot: with a sub-command it works on images from the command line,
// without one it opens the window.

#include "app/application.h"
#include "app/commandline.h"
#include "app/unit1.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc > 1)
        return editboot::RunCommandLineMain(argc, argv);

    // Without a display (and no platform chosen explicitly) the window cannot
    // open: say so plainly instead of the toolkit's abort.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("editboot: no display found (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot be "
                   "shown; the command line works without one, see 'editboot --help'.\n",
                   stderr);
        return editboot::ExitError;
    }

    TEditBootApplication app(argc, argv);
    TForm1 Form1;
    Form1.show();
    return app.exec();
}
