#pragma once
// A hexview window on the offscreen platform, its error boxes recorded
// instead of shown and its recent files kept in a temporary folder.

#include "hexview/hexviewwindow.h"

#include "app/test_folder.h"

#include <QCoreApplication>
#include <QSettings>
#include <gtest/gtest.h>
#include <memory>

class HexViewWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.dir.path());
        // hexview's configuration file (core/configfile.h) is found the same way.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsFolder.dir.path()));
        QCoreApplication::setOrganizationName(QStringLiteral("editboot-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("hexview-tests"));
        window = std::make_unique<hexview::HexViewWindow>();
        window->ErrorReporter = [this](const QString& text) { errors << text; };
        window->resize(900, 600);
        window->show();
    }

    TMPHexEditorEx& Editor() { return window->Editor(); }

    // A firmware image: marker at markerAt, ID strings at 32-44 and 48-58.
    static QByteArray FirmwareImage(int size, int markerAt)
    {
        QByteArray data(size, '\x11');
        for (int i = 0; i < size; ++i)
            data[i] = char(i * 7);
        data.replace(32, 13, "ZELQ-BOOT-1.0");
        data.replace(48, 11, "SN-00042-AB");
        data.replace(markerAt, 4, QByteArray("\xE3\x00\x00\x10", 4));
        return data;
    }

    TTestFolder settingsFolder;
    TTestFolder files;
    QStringList errors;
    std::unique_ptr<hexview::HexViewWindow> window;
};
