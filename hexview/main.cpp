// hexview: the editor component in a window of its own.

#include "hexview/core/viewoptions.h"
#include "hexview/comparewindow.h"
#include "hexview/hexviewwindow.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("editboot"));
    QCoreApplication::setApplicationName(QStringLiteral("hexview"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HEXVIEW_VERSION));

    // The command line is read before the window system is touched, so that
    // --help, --version and bad values work without a display.
    QStringList arguments;
    QString badArgument;
    if (!hexview::DecodeArguments(argc, argv, &arguments, &badArgument)) {
        std::fprintf(stderr, "hexview: %s\n", qPrintable(badArgument));
        return 2;
    }
    const hexview::TParsedCommandLine parsed = hexview::ParseViewCommandLine(arguments);
    switch (parsed.Outcome) {
    case hexview::TParsedCommandLine::ShowHelp:
    case hexview::TParsedCommandLine::ShowVersion:
        std::fputs(qPrintable(parsed.Text), stdout);
        return 0;
    case hexview::TParsedCommandLine::Error:
        std::fprintf(stderr, "hexview: %s\nTry 'hexview --help'.\n", qPrintable(parsed.Text));
        return 2;
    case hexview::TParsedCommandLine::Run:
        break;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("hexview: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n", stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("org.editboot.HexView"));
    if (!parsed.Options.DiffFiles.isEmpty()) {
        // A file that cannot be opened was reported in a box; the window stays.
        hexview::TCompareWindow compare;
        compare.show();
        compare.OpenFiles(parsed.Options.DiffFiles[0], parsed.Options.DiffFiles[1]);
        return app.exec();
    }
    hexview::HexViewWindow window;
    window.show();
    // A file that cannot be opened was reported in a box; the window stays.
    window.ApplyOptions(parsed.Options);
    return app.exec();
}
