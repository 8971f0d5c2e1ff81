#pragma once
// The editor's settings (TMPHexEditorEx::GetSettingsText, Name=Value lines):
// View > Export settings... / Import settings..., and keeping them between
// runs in hexview's configuration file (core/configfile.h, key
// "Editor/Settings"). Settings files and the configuration file are read only
// when they are regular files of at most 1 MiB (a named pipe or a device is
// refused without blocking) and written only through SaveFileAtomically.
// Stored settings are applied when the window is built; if they cannot be
// read or applied, the defaults are used and the problem is reported once.
// They are stored again when the window closes.

#include <QString>
#include <functional>

namespace hexview {

class HexViewWindow;

// Writes the settings text to path (atomically). Errors are shown.
bool ExportSettings(HexViewWindow& window, const QString& path);
// Applies the settings text in path. Errors are shown; the lines before a
// bad line stay applied.
bool ImportSettings(HexViewWindow& window, const QString& path);

// Applies the stored settings; a problem is reported (through the window's
// error reporting, once the event loop runs) and the defaults are restored.
void LoadStoredSettings(HexViewWindow& window);
void StoreSettings(HexViewWindow& window);

class TConfigFile;
// Applies change to the configuration file and writes it; a failure is
// shown (once per run) and changes nothing on disk.
void StoreInConfiguration(HexViewWindow& window, const std::function<void(TConfigFile&)>& change);

// File names for the two dialogs; empty when cancelled. Tests replace them.
extern std::function<QString(HexViewWindow&)> AskSettingsExportFileName;
extern std::function<QString(HexViewWindow&)> AskSettingsImportFileName;

void InstallSettingsActions(HexViewWindow& window);

} // namespace hexview
